// The host's commands in windows: the command keys, save and save as, undo and redo, play
// and stop, the palette menu and quitting (asking to save an edited document).
#include <SDL.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>

#include "host/framework.h"
#include "refhost/framework/host_state.h"
#include "refhost/window/window_app_parts.h"

namespace refhost::window {

namespace {

constexpr long kPlayForwardTag = 1005;
constexpr long kStopTag = 1004;
constexpr float kPromptWidth = 420;
constexpr float kPromptHeight = 90;

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
                Said("type the path and press return");
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
    case SDLK_p:
        ToggleAid(&view3d::AidSwitches::paths, "motion paths");
        return true;
    case SDLK_o:
        ToggleAid(&view3d::AidSwitches::ghosts, "ghosts");
        return true;
    case SDLK_g:
        ToggleAid(&view3d::AidSwitches::grid, "grid");
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

void WindowApp::ToggleAid(bool view3d::AidSwitches::*which, char const* name) {
    fSwitches.*which = !(fSwitches.*which);
    fViewDirty = true;
    Said(std::string(name) + (fSwitches.*which ? " on" : " off"));
}

void WindowApp::Save(std::string const& path) {
    try {
        if (path.empty() && Doc().path.empty()) {
            Said("the document has no file yet: use save as");
            return;
        }
        fSession.Save(path);
        Said("saved " + Doc().path);
        std::cout << "saved " << Doc().path << std::endl;
    } catch (std::exception const& error) {
        Said(error.what());
        std::cerr << "keypose-host: " << error.what() << std::endl;
    }
}

void WindowApp::Undo(bool redo) {
    bool const done = redo ? fSession.Redo() : fSession.Undo();
    Said(done ? (redo ? "redone" : "undone") : (redo ? "nothing to redo" : "nothing to undo"));
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
        QuitPrompt::Answer const answer = AskToSave();
        if (answer == QuitPrompt::Answer::cancel) {
            Said("quitting was cancelled");
            return;
        }
        if (answer == QuitPrompt::Answer::save) {
            Save({});
            if (Doc().edited) {
                return;
            }
        }
    }
    fQuit = true;
}

QuitPrompt::Answer WindowApp::AskToSave() {
    std::string const name = Doc().path.empty()
                                 ? "the untitled document"
                                 : std::filesystem::path(Doc().path).filename().string();
    QuitPrompt prompt(NSMakeRect(0, -2000, kPromptWidth, kPromptHeight),
                      "Save the changes to " + name + " before quitting?");
    int x = 0, y = 0;
    SDL_GetWindowPosition(fView.Sdl(), &x, &y);
    x += std::max(0, (fView.Width() - static_cast<int>(kPromptWidth)) / 2);
    y += std::max(0, (fView.Height() - static_cast<int>(kPromptHeight)) / 2);
    prompt.Panel().makeKeyAndOrderFront(nullptr);
    ToolkitWindow window(prompt.Panel(), "Save changes? - keypose-host", x, y);
    window.TakeKeyboard();
    fPrompt = &window;
    QuitPrompt::Answer answer = QuitPrompt::Answer::none;
    while (answer == QuitPrompt::Answer::none) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 20)) {
            if (event.type == SDL_QUIT ||
                (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE &&
                 event.window.windowID == window.Id())) {
                answer = QuitPrompt::Answer::cancel;
            } else if (event.type == SDL_KEYDOWN) {
                answer = prompt.Key(event.key.keysym.sym, (event.key.keysym.mod & KMOD_SHIFT) != 0);
            } else if (event.type == SDL_WINDOWEVENT &&
                       event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                Draw(true);
                window.Update(true);
            } else if (WindowOf(event) == window.Id()) {
                HandleToolkit(window, event);
            }
        }
        NSApp()->processPendingEvents();
        if (answer == QuitPrompt::Answer::none) {
            answer = prompt.Clicked();
        }
        Draw(false);
        window.Update(false);
    }
    fPrompt = nullptr;
    prompt.Panel().orderOut(nullptr);
    // The keyboard goes back to the 3D view, whatever had it before the question.
    SDL_RaiseWindow(fView.Sdl());
    SDL_SetWindowInputFocus(fView.Sdl());
    return answer;
}

} // namespace refhost::window
