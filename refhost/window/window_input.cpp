// The routing of SDL's events: to the host's commands, to the 3D view's gestures, or to the
// toolkit window under them as the toolkit's own events.
#include <SDL.h>

#include "host/plugin_messages.h"
#include "refhost/input/keyboard_state.h"
#include "refhost/window/sdl_input.h"
#include "refhost/window/window_app_parts.h"

namespace refhost::window {

ToolkitWindow* WindowApp::ToolkitWindowOf(uint32_t id) {
    for (auto& palette : fPalettes) {
        if (palette->Id() == id) {
            return palette.get();
        }
    }
    return fInspectorWindow->Id() == id ? fInspectorWindow.get() : nullptr;
}

uint32_t WindowOf(SDL_Event const& event) {
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return event.button.windowID;
    case SDL_MOUSEMOTION:
        return event.motion.windowID;
    case SDL_MOUSEWHEEL:
        return event.wheel.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        return event.key.windowID;
    case SDL_TEXTINPUT:
        return event.text.windowID;
    case SDL_WINDOWEVENT:
        return event.window.windowID;
    default:
        return 0;
    }
}

void WindowApp::Handle(SDL_Event const& event) {
    if (event.type == SDL_QUIT) {
        Quit();
        return;
    }
    if (event.type == SDL_WINDOWEVENT) {
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            if (event.window.windowID == fView.Id()) {
                Quit();
            } else if (ToolkitWindow* window = ToolkitWindowOf(event.window.windowID)) {
                window->Window().orderOut(nullptr);
            }
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            Draw(true);
        }
        return;
    }
    if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        bool const down = event.type == SDL_KEYDOWN;
        if (uint16_t const code = ModifierKeyCode(event.key.keysym.sym)) {
            keyboard::SetKeyDown(code, down);
        }
    }
    uint32_t const id = WindowOf(event);
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        // The window clicked takes the keyboard, whether or not a window manager does so.
        SDL_Window* clicked = SDL_GetWindowFromID(id);
        if (clicked && clicked != SDL_GetKeyboardFocus()) {
            SDL_SetWindowInputFocus(clicked);
        }
    }
    ToolkitWindow* toolkit = ToolkitWindowOf(id);
    bool const typing = toolkit && toolkit->EditingText();
    if (event.type == SDL_KEYDOWN && Command(event.key.keysym, typing)) {
        fSkipText = true;
        return;
    }
    if (event.type == SDL_TEXTINPUT && fSkipText) {
        fSkipText = false;
        return;
    }
    fSkipText = false;
    if (id == fView.Id()) {
        HandleView(event);
    } else if (toolkit) {
        HandleToolkit(*toolkit, event);
    }
}

void WindowApp::HandleView(SDL_Event const& event) {
    auto modifiers = [] {
        SDL_Keymod const mod = SDL_GetModState();
        return Modifiers{(mod & KMOD_SHIFT) != 0, (mod & KMOD_CTRL) != 0, (mod & KMOD_ALT) != 0};
    };
    try {
        switch (event.type) {
        case SDL_MOUSEBUTTONDOWN: {
            MouseButton const button = event.button.button == SDL_BUTTON_RIGHT ? MouseButton::right
                                       : event.button.button == SDL_BUTTON_MIDDLE
                                           ? MouseButton::middle
                                           : MouseButton::left;
            fMouseHeld = true;
            fSession.Loop().Input(kEventMouse, kInputWentDown);
            Posed(fGestures.Press(Doc(), button, static_cast<float>(event.button.x),
                                  static_cast<float>(event.button.y), modifiers()),
                  false);
            break;
        }
        case SDL_MOUSEMOTION:
            if (fMouseHeld) {
                Posed(fGestures.Drag(Doc(), static_cast<float>(event.motion.x),
                                     static_cast<float>(event.motion.y)),
                      false);
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (fMouseHeld) {
                fMouseHeld = false;
                bool const posed = fGestures.Dragging() != DragKind::none;
                Changes const released = fGestures.Release(Doc());
                fSession.Loop().Input(kEventMouse, kInputWentUp);
                if (posed || released.selection) {
                    Posed(released, true);
                }
            }
            break;
        case SDL_MOUSEWHEEL:
            Posed(fGestures.Wheel(Doc(), static_cast<float>(event.wheel.y)), true);
            break;
        case SDL_KEYDOWN: {
            if (!event.key.repeat) {
                fKeyHeld = true;
                fSession.Loop().Input(kEventKey, kInputWentDown);
            }
            bool const along = (event.key.keysym.mod & KMOD_SHIFT) != 0;
            bool const repeat = event.key.repeat != 0;
            switch (event.key.keysym.sym) {
            case SDLK_LEFT:
                Posed(fGestures.Nudge(Doc(), -1, 0, false, repeat), true);
                break;
            case SDLK_RIGHT:
                Posed(fGestures.Nudge(Doc(), 1, 0, false, repeat), true);
                break;
            case SDLK_UP:
                Posed(fGestures.Nudge(Doc(), 0, 1, along, repeat), true);
                break;
            case SDLK_DOWN:
                Posed(fGestures.Nudge(Doc(), 0, -1, along, repeat), true);
                break;
            default:
                break;
            }
            break;
        }
        case SDL_KEYUP:
            if (fKeyHeld) {
                fKeyHeld = false;
                fSession.Loop().Input(kEventKey, kInputWentUp);
            }
            break;
        default:
            break;
        }
    } catch (std::exception const& error) {
        fInspector->Say(error.what());
    }
}

void WindowApp::HandleToolkit(ToolkitWindow& window, SDL_Event const& event) {
    NSEventModifierFlags const flags = ModifierFlags(static_cast<uint16_t>(SDL_GetModState()));
    switch (event.type) {
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) {
            window.PostMouse(NSEventType::leftMouseDown, event.button.x, event.button.y, flags,
                             event.button.clicks);
        }
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.state & SDL_BUTTON_LMASK) {
            window.PostMouse(NSEventType::leftMouseDragged, event.motion.x, event.motion.y, flags);
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            window.PostMouse(NSEventType::leftMouseUp, event.button.x, event.button.y, flags);
        }
        break;
    case SDL_MOUSEWHEEL: {
        int x = 0, y = 0;
        SDL_GetMouseState(&x, &y);
        // A wheel click scrolls by a line of the timeline.
        window.PostScroll(x, y, static_cast<float>(event.wheel.x) * 14,
                          static_cast<float>(event.wheel.y) * 14, flags);
        break;
    }
    case SDL_KEYDOWN: {
        std::string const characters = FunctionKeyCharacters(event.key.keysym.sym);
        if (!characters.empty()) {
            window.PostKey(NSEventType::keyDown, characters, flags);
        }
        break;
    }
    case SDL_TEXTINPUT:
        window.PostKey(NSEventType::keyDown, event.text.text, flags);
        break;
    default:
        break;
    }
}

} // namespace refhost::window
