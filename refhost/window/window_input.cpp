// The routing of SDL's events: to the host's commands, to the 3D view's gestures, or to the
// toolkit window under them as the toolkit's own events.
#include <SDL.h>

#include <utility>

#include "host/plugin_messages.h"
#include "refhost/input/keyboard_state.h"
#include "refhost/window/sdl_input.h"
#include "refhost/window/window_app_parts.h"

namespace refhost::window {

namespace {

// "selected Crate, Ball" or "nothing selected".
std::string SelectionText(Document const& document) {
    std::string names;
    CGroupObject selected(document.SelectedGroup());
    for (auto* at = selected.GetFirstObject(); at; at = selected.NextPosition(at)) {
        std::string const name =
            CSetObject(CShapeObject(selected.GetObjectAt(at))).GetNameAttribute().ToString();
        names += (names.empty() ? "" : ", ") + (name.empty() ? std::string("(unnamed)") : name);
    }
    return names.empty() ? "nothing selected" : "selected " + names;
}

std::string EditText(DragKind kind) {
    switch (kind) {
    case DragKind::turn:
        return "turned the selection";
    case DragKind::scale:
        return "scaled the selection";
    default:
        return "moved the selection";
    }
}

} // namespace

void WindowApp::Report(Changes const& changes, std::string const& edit) {
    if (changes.scene) {
        Said(edit);
    } else if (changes.selection) {
        Said(SelectionText(Doc()));
    } else if (changes.camera) {
        Said("moved the camera");
    }
}

ToolkitWindow* WindowApp::ToolkitWindowOf(uint32_t id) {
    for (auto& palette : fPalettes) {
        if (palette->Id() == id) {
            return palette.get();
        }
    }
    if (fPrompt && fPrompt->Id() == id) {
        return fPrompt;
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
        } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            if (ToolkitWindow* window = ToolkitWindowOf(event.window.windowID)) {
                window->Resized(event.window.data1, event.window.data2);
            }
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
    uint32_t id = WindowOf(event);
    if (id == 0 &&
        (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP || event.type == SDL_TEXTINPUT)) {
        // Keys before any window of ours has the focus (no window manager gave it yet) go to
        // the window under the mouse, else to the 3D view.
        SDL_Window* under = SDL_GetMouseFocus();
        id = under ? SDL_GetWindowID(under) : fView.Id();
    }
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
    // The gestures see the camera's picture, not the bars beside it.
    ImageRect const image = ViewImage();
    fGestures.SetSize(image.width, image.height);
    auto imageX = [&](int x) { return static_cast<float>(x - image.x); };
    auto imageY = [&](int y) { return static_cast<float>(y - image.y); };
    try {
        switch (event.type) {
        case SDL_MOUSEBUTTONDOWN: {
            MouseButton const button = event.button.button == SDL_BUTTON_RIGHT ? MouseButton::right
                                       : event.button.button == SDL_BUTTON_MIDDLE
                                           ? MouseButton::middle
                                           : MouseButton::left;
            fMouseHeld = true;
            fSession.Loop().Input(kEventMouse, kInputWentDown);
            fGesture = fGestures.Press(Doc(), button, imageX(event.button.x),
                                       imageY(event.button.y), modifiers());
            Posed(fGesture, false);
            break;
        }
        case SDL_MOUSEMOTION:
            if (fMouseHeld) {
                Changes const dragged =
                    fGestures.Drag(Doc(), imageX(event.motion.x), imageY(event.motion.y));
                fGesture |= dragged;
                Posed(dragged, false);
            }
            break;
        case SDL_MOUSEBUTTONUP:
            if (fMouseHeld) {
                fMouseHeld = false;
                DragKind const kind = fGestures.Dragging();
                Changes const released = fGestures.Release(Doc());
                fGesture |= released;
                fSession.Loop().Input(kEventMouse, kInputWentUp);
                if (kind != DragKind::none || released.selection) {
                    Posed(released, true);
                }
                Report(fGesture, EditText(kind));
            }
            break;
        case SDL_MOUSEWHEEL: {
            Changes const wheeled = fGestures.Wheel(Doc(), static_cast<float>(event.wheel.y));
            Posed(wheeled, true);
            Report(wheeled, {});
        } break;
        case SDL_KEYDOWN: {
            if (!event.key.repeat) {
                fKeyHeld = true;
                fSession.Loop().Input(kEventKey, kInputWentDown);
            }
            bool const along = (event.key.keysym.mod & KMOD_SHIFT) != 0;
            bool const repeat = event.key.repeat != 0;
            SDL_Keycode const key = event.key.keysym.sym;
            int const dx = key == SDLK_LEFT ? -1 : key == SDLK_RIGHT ? 1 : 0;
            int const dy = key == SDLK_DOWN ? -1 : key == SDLK_UP ? 1 : 0;
            if (dx != 0 || dy != 0) {
                Changes const nudged = fGestures.Nudge(Doc(), dx, dy, dx == 0 && along, repeat);
                Posed(nudged, true);
                if (nudged.scene) {
                    Said("nudged the selection");
                } else {
                    Said("select an object to nudge it");
                }
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
        // A wheel click scrolls by a line of the timeline; with shift the wheel scrolls
        // across (up toward the start), as wheels without a sideways tilt do elsewhere.
        float dx = static_cast<float>(event.wheel.x) * 14;
        float dy = static_cast<float>(event.wheel.y) * 14;
        if ((SDL_GetModState() & KMOD_SHIFT) && dx == 0) {
            std::swap(dx, dy);
        }
        window.PostScroll(x, y, dx, dy, flags);
        break;
    }
    case SDL_KEYDOWN: {
        // Keys that type no text, and letters with control or command (copy, paste), which
        // come as no text either (a field being typed into takes no such letter).
        std::string characters = FunctionKeyCharacters(event.key.keysym.sym);
        if (characters.empty() && !window.EditingText()) {
            characters = CommandKeyCharacters(event.key.keysym.sym,
                                              static_cast<uint16_t>(event.key.keysym.mod));
        }
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
