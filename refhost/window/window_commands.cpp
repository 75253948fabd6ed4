// The host's commands in windows: the command keys, save and save as, undo and redo, play
// and stop, the palette menu and quitting (asking to save an edited document).
#include <SDL.h>

#include <iostream>
#include <string>

#include "host/framework.h"
#include "refhost/framework/host_state.h"
#include "refhost/window/window_app_parts.h"

namespace refhost::window {

namespace {

constexpr long kPlayForwardTag = 1005;
constexpr long kStopTag = 1004;

} // namespace

bool WindowApp::Command(SDL_Keysym const& key, bool typingText) {
    bool const control = (key.mod & (KMOD_CTRL | KMOD_GUI)) != 0;
    bool const shift = (key.mod & KMOD_SHIFT) != 0;
    if (control) {
        switch (key.sym) {
        case SDLK_s:
            if (shift) {
                fInspector->Panel().makeKeyAndOrderFront(nullptr);
                fInspector->Panel().makeFirstResponder(&fInspector->PathField());
                fInspector->Say("type the path and press return");
            } else {
                Save({});
            }
            return true;
        case SDLK_z:
            Undo(shift);
            return true;
        case SDLK_y:
            Undo(true);
            return true;
        case SDLK_p:
            TogglePalette(0);
            return true;
        case SDLK_q:
        case SDLK_w:
            Quit();
            return true;
        default:
            return false;
        }
    }
    if (typingText) {
        return false;
    }
    switch (key.sym) {
    case SDLK_SPACE:
        PlayOrStop();
        return true;
    case SDLK_HOME:
        PL_SetCurTime(PL_GetMinTime());
        PL_DrawDocumentViews(1);
        return true;
    case SDLK_END:
        PL_SetCurTime(PL_GetMaxTime());
        PL_DrawDocumentViews(1);
        return true;
    default:
        return false;
    }
}

void WindowApp::Save(std::string const& path) {
    try {
        if (path.empty() && Doc().path.empty()) {
            fInspector->Say("the document has no file yet: use save as");
            return;
        }
        fSession.Save(path);
        fInspector->Say("saved " + Doc().path);
        std::cout << "saved " << Doc().path << std::endl;
    } catch (std::exception const& error) {
        fInspector->Say(error.what());
        std::cerr << "keypose-host: " << error.what() << std::endl;
    }
}

void WindowApp::Undo(bool redo) {
    bool const done = redo ? fSession.Redo() : fSession.Undo();
    fInspector->Say(done ? (redo ? "redone" : "undone")
                         : (redo ? "nothing to redo" : "nothing to undo"));
    fViewDirty = true;
    ShowInspector();
}

void WindowApp::PlayOrStop() {
    NSPanel& palette = fSession.Palette();
    fSession.Click(palette.contentView()->viewWithTag(PL_GetPaused() ? kPlayForwardTag : kStopTag));
}

void WindowApp::TogglePalette(std::size_t entry) {
    HostState& host = HostState::Instance();
    if (entry >= host.paletteMenu.size()) {
        return;
    }
    NSPanel* panel = host.paletteMenu[entry].panel;
    if (panel->isVisible()) {
        panel->orderOut(nullptr);
    } else {
        panel->makeKeyAndOrderFront(nullptr);
        fSession.Loop().PaletteActivated();
    }
}

void WindowApp::Quit() {
    if (fSession.HasDocument() && Doc().edited) {
        SDL_MessageBoxButtonData const buttons[] = {
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "Cancel"},
            {0, 1, "Don't Save"},
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 2, "Save"},
        };
        std::string const text = "Save the changes to " + Doc().path + " before quitting?";
        SDL_MessageBoxData const box{
            SDL_MESSAGEBOX_WARNING, fView.Sdl(), "keypose-host", text.c_str(), 3, buttons, nullptr};
        int answer = 0;
        if (SDL_ShowMessageBox(&box, &answer) != 0 || answer == 0 || answer == -1) {
            return;
        }
        if (answer == 2) {
            Save({});
            if (Doc().edited) {
                return;
            }
        }
    }
    fQuit = true;
}

} // namespace refhost::window
