#include "refhost/window/window_app.h"

#include <SDL.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "host/framework.h"
#include "host/plugin_messages.h"
#include "host/scene.h"
#include "refhost/framework/host_state.h"
#include "refhost/input/keyboard_state.h"
#include "refhost/session/posing.h"
#include "refhost/window/inspector.h"
#include "refhost/window/posing_gestures.h"
#include "refhost/window/sdl_input.h"
#include "refhost/window/toolkit_window.h"
#include "refhost/window/view_window.h"

namespace refhost::window {

namespace {

constexpr long kPlayForwardTag = 1005;
constexpr long kStopTag = 1004;
constexpr int kGap = 10;
constexpr float kInspectorWidth = 340;
constexpr float kInspectorHeight = 220;

// SDL for as long as the windows are open.
class SdlVideo {
public:
    SdlVideo() {
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // The window pressed keeps the drags and the release (the display does that); SDL's
        // own capture would send them to the window with the keyboard instead.
        SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
        // Interrupt and terminate signals end the program as usual, without asking to save.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            throw std::runtime_error(std::string("no display for the windows: ") + SDL_GetError());
        }
        SDL_StartTextInput();
    }
    ~SdlVideo() {
        SDL_StopTextInput();
        SDL_Quit();
    }
    SdlVideo(SdlVideo const&) = delete;
    SdlVideo& operator=(SdlVideo const&) = delete;
};

std::optional<TQ3LightData> ViewLight(Document& document, TQ3ObjectType kind) {
    std::optional<TQ3LightData> found;
    try {
        ChangeViewLight(document, kind, [&](TQ3LightData& data) { found = data; });
    } catch (std::exception const&) {
    }
    return found;
}

std::optional<TQ3ColorRGB> SelectionColour(Document& document) {
    CGroupObject selected(document.SelectedGroup());
    for (auto* at = selected.GetFirstObject(); at; at = selected.NextPosition(at)) {
        if (selected.GetObjectAt(at).IsAGroup()) {
            TQ3ColorRGB colour{};
            if (CGroupObject(selected, at).GetTheGroupColor(&colour, false, false, false)) {
                return colour;
            }
        }
    }
    return std::nullopt;
}

class WindowApp {
public:
    WindowApp(HostSession& session, WindowSettings const& settings);
    ~WindowApp();
    void Run();

private:
    Document& Doc() { return fSession.Front(); }
    void Handle(SDL_Event const& event);
    void HandleView(SDL_Event const& event);
    void HandleToolkit(ToolkitWindow& window, SDL_Event const& event);
    bool Command(SDL_Keysym const& key, bool typingText);
    ToolkitWindow* ToolkitWindowOf(uint32_t id);
    void Posed(Changes const& changes, bool finished);
    void Save(std::string const& path);
    void Undo(bool redo);
    void PlayOrStop();
    void TogglePalette(std::size_t entry);
    void Quit();
    void Tick();
    void Draw(bool force);
    bool WaitDuringTracking();
    void ShowInspector();

    HostSession& fSession;
    SdlVideo fVideo;
    ViewWindow fView;
    PosingGestures fGestures;
    std::unique_ptr<Inspector> fInspector;
    std::vector<std::unique_ptr<ToolkitWindow>> fPalettes;
    std::unique_ptr<ToolkitWindow> fInspectorWindow;
    std::chrono::steady_clock::time_point fLastFrame = std::chrono::steady_clock::now();
    bool fMouseHeld = false;
    bool fKeyHeld = false;
    bool fSkipText = false;
    bool fQuit = false;
    bool fViewDirty = true;
    int fSeenDocumentRedraws = -1;
    int fSeenViewDrawings = -1;
};

WindowApp::WindowApp(HostSession& session, WindowSettings const& settings)
    : fSession(session), fView(settings.viewWidth, settings.viewHeight) {
    fGestures.SetSize(settings.viewWidth, settings.viewHeight);
    HostState& host = HostState::Instance();
    std::vector<std::string> names;
    int y = 0;
    for (PaletteMenuEntry const& entry : host.paletteMenu) {
        names.push_back(entry.name);
        fPalettes.push_back(std::make_unique<ToolkitWindow>(*entry.panel, entry.panel->title(),
                                                            settings.viewWidth + kGap, y));
        y += static_cast<int>(entry.panel->frame().size.height) + 3 * kGap;
    }
    Inspector::Actions actions;
    actions.colourSelection = [this](TQ3ColorRGB const& colour) {
        try {
            ColourSelection(Doc(), colour, false);
            Posed(Changes{false, true, false}, true);
        } catch (std::exception const& error) {
            fInspector->Say(error.what());
        }
    };
    actions.changeLight = [this](TQ3ObjectType kind, std::optional<float> brightness,
                                 std::optional<TQ3ColorRGB> colour) {
        try {
            ChangeViewLight(Doc(), kind, [&](TQ3LightData& data) {
                data.brightness = brightness.value_or(data.brightness);
                data.color = colour.value_or(data.color);
            });
            Posed(Changes{false, true, false}, true);
        } catch (std::exception const& error) {
            fInspector->Say(error.what());
        }
    };
    actions.saveAs = [this](std::string const& path) { Save(path); };
    actions.togglePalette = [this](std::size_t entry) { TogglePalette(entry); };
    fInspector = std::make_unique<Inspector>(
        NSMakeRect(0, -1000, kInspectorWidth, kInspectorHeight), names, std::move(actions));
    fInspectorWindow = std::make_unique<ToolkitWindow>(fInspector->Panel(), "Inspector",
                                                       settings.viewWidth + kGap, y);
    NSApp()->waitForEvents = [this] { return WaitDuringTracking(); };
    ShowInspector();
}

WindowApp::~WindowApp() {
    NSApp()->waitForEvents = nullptr;
    keyboard::ReleaseAllKeys();
}

void WindowApp::Run() {
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
    if (fViewDirty || force) {
        fViewDirty = false;
        fView.Show(nullptr);
    }
    for (auto& palette : fPalettes) {
        palette->Update(force);
    }
    fInspectorWindow->Update(force);
}

void WindowApp::ShowInspector() {
    if (!fSession.HasDocument()) {
        return;
    }
    fInspector->Show(SelectionColour(Doc()), ViewLight(Doc(), "ambn"_4cc),
                     ViewLight(Doc(), "drct"_4cc));
}

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
                fGestures.Release();
                fSession.Loop().Input(kEventMouse, kInputWentUp);
                if (posed) {
                    Posed({}, true);
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
            switch (event.key.keysym.sym) {
            case SDLK_LEFT:
                Posed(fGestures.Nudge(Doc(), -1, 0, false), true);
                break;
            case SDLK_RIGHT:
                Posed(fGestures.Nudge(Doc(), 1, 0, false), true);
                break;
            case SDLK_UP:
                Posed(fGestures.Nudge(Doc(), 0, 1, along), true);
                break;
            case SDLK_DOWN:
                Posed(fGestures.Nudge(Doc(), 0, -1, along), true);
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

void WindowApp::Posed(Changes const& changes, bool finished) {
    if (changes.selection) {
        fSession.Loop().SelectionChanged();
        ShowInspector();
    }
    if (changes.scene || changes.camera) {
        Doc().edited = true;
        fSession.Loop().SceneEdited();
    }
    if (finished) {
        // The plug-in hears of the finished change to the document as a notice.
        fSession.Module().SendNotice(kNoticeSceneChangedElsewhere);
        ShowInspector();
    }
    fViewDirty = true;
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

} // namespace

void RunWindows(HostSession& session, WindowSettings const& settings) {
    WindowApp app(session, settings);
    app.Run();
}

} // namespace refhost::window
