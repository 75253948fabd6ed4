// The frame loop of the window mode: SDL's events, the toolkit's pending events, the clock
// and the drawing, once a turn; and the same while a toolkit control follows the mouse.
#include <SDL.h>

#include <chrono>
#include <cmath>

#include "host/framework.h"
#include "host/plugin_messages.h"
#include "refhost/framework/host_state.h"
#include "refhost/window/heads_up.h"
#include "refhost/window/window_app_parts.h"

namespace refhost::window {

void WindowApp::Run() {
    // The windows show, then the 3D view takes the keyboard, whether or not a window manager
    // would give it.
    Draw(true);
    SDL_RaiseWindow(fView.Sdl());
    SDL_SetWindowInputFocus(fView.Sdl());
    while (!fQuit) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 10)) {
            Handle(event);
            while (!fQuit && SDL_PollEvent(&event)) {
                Handle(event);
            }
        }
        NSApp()->processPendingEvents();
        Tick();
        Draw(false);
    }
}

void WindowApp::Tick() {
    auto const now = std::chrono::steady_clock::now();
    double const seconds = std::chrono::duration<double>(now - fLastFrame).count();
    if (seconds < 1.0 / HostSession::kFramesPerSecond) {
        return;
    }
    fLastFrame = now;
    // Held buttons and keys in the 3D view are said once a frame, so that the plug-in leaves
    // the scene alone while the user poses it.
    if (fMouseHeld) {
        fSession.Loop().Input(kEventMouse, kInputHeld);
    }
    if (fKeyHeld) {
        fSession.Loop().Input(kEventKey, kInputHeld);
    }
    fSession.Frame(std::fmin(seconds, 0.25));
}

void WindowApp::Draw(bool force) {
    HostState& host = HostState::Instance();
    if (host.documentRedraws != fSeenDocumentRedraws && fSession.HasDocument()) {
        // The views show the animated scene: before they are drawn again at a plug-in's
        // request, it animates (a pass at an unchanged time only brings its rows up to date).
        fSession.Loop().Input(kEventAnimate, 0);
    }
    if (host.documentRedraws != fSeenDocumentRedraws ||
        fSession.Loop().viewDrawings != fSeenViewDrawings) {
        fSeenDocumentRedraws = host.documentRedraws;
        fSeenViewDrawings = fSession.Loop().viewDrawings;
        fViewDirty = true;
        ShowInspector();
    }
    if (host.undoCount != fSeenUndoCount) {
        // A step the host did not take itself: the palette recorded.
        Said("recorded; Ctrl+Z takes it back");
    }
    ShowTitles();
    if (fViewDirty || force) {
        fViewDirty = false;
        std::string heads;
        if (fSession.HasDocument()) {
            fView.SetAids(&fMotion.Update(Doc(), fSwitches));
            heads = HeadsUpText(Doc().clock, HostSession::kFramesPerSecond);
        }
        ImageRect const image = ViewImage();
        fView.Show(nullptr, image, [&](Bitmap& picture) {
            DrawViewMarkers(picture, image);
            if (!heads.empty()) {
                DrawHeadsUp(picture, heads);
            }
        });
    }
    for (auto& palette : fPalettes) {
        palette->Update(force);
    }
    fInspectorWindow->Update(force);
}

// While a control of a toolkit window follows the mouse, the loop waits here for the drags
// and the release, and keeps the windows drawn.
bool WindowApp::WaitDuringTracking() {
    SDL_Event event;
    bool posted = false;
    while (!posted) {
        if (SDL_WaitEventTimeout(&event, 20)) {
            if (event.type == SDL_QUIT) {
                fQuit = true;
                return false;
            }
            ToolkitWindow* window = ToolkitWindowOf(WindowOf(event));
            if (window && (event.type == SDL_MOUSEMOTION || event.type == SDL_MOUSEBUTTONUP)) {
                HandleToolkit(*window, event);
                posted = NSApp()->pendingEventCount() > 0;
            }
        } else if (!(SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK)) {
            // Released where no window of ours saw it.
            return false;
        }
        Tick();
        Draw(false);
    }
    return true;
}

} // namespace refhost::window
