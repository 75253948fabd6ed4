#include "refhost/window/window_app.h"

#include <SDL.h>

#include <optional>
#include <stdexcept>

#include "host/framework.h"
#include "host/plugin_messages.h"
#include "host/scene.h"
#include "refhost/framework/host_state.h"
#include "refhost/input/keyboard_state.h"
#include "refhost/session/posing.h"
#include "refhost/window/view_markers.h"
#include "refhost/window/view_scene.h"
#include "refhost/window/window_app_parts.h"
#include "refhost/window/window_title.h"

namespace refhost::window {

namespace {

constexpr int kGap = 10;
constexpr float kInspectorWidth = 340;
constexpr float kInspectorHeight = 220;

std::string NoDisplay(std::string const& reason) {
    return "no display for the windows: " + reason +
           "; without one, use document mode (keypose-host --play SECONDS --save PATH DOCUMENT), "
           "render mode (keypose-host render DOCUMENT --out DIR) or script mode (keypose-host "
           "run SCRIPT)";
}

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

} // namespace

SdlVideo::SdlVideo() {
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The window pressed keeps the drags and the release (the display does that); SDL's
    // own capture would send them to the window with the keyboard instead.
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    // Interrupt and terminate signals end the program as usual, without asking to save.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        throw std::runtime_error(NoDisplay(SDL_GetError()));
    }
    // Without a display SDL falls back to drivers that show nothing; a loop on them would
    // wait for events that never come.
    std::string const driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (driver == "offscreen" || driver == "dummy") {
        SDL_Quit();
        throw std::runtime_error(
            NoDisplay("SDL found only its '" + driver + "' video driver (is DISPLAY set?)"));
    }
    SDL_StartTextInput();
}
SdlVideo::~SdlVideo() {
    SDL_StopTextInput();
    SDL_Quit();
}

WindowApp::WindowApp(HostSession& session, WindowSettings const& settings)
    : fSession(session), fView(settings.viewWidth, settings.viewHeight) {
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
    // Each change of the document made here is an undo step of the host's, kept before it.
    fGestures.OnEdit([this] { BeginEdit(); });
    // A click selects what the picture shows under the mouse.
    fGestures.SetPicker([this](float atX, float atY) {
        return fView.Pick(ViewImage(), static_cast<int>(atX), static_cast<int>(atY));
    });
    actions.colourSelection = [this](TQ3ColorRGB const& colour) {
        if (!SelectionColour(Doc())) {
            fInspector->Say("no object with a colour is selected");
            return false;
        }
        try {
            BeginEdit();
            ColourSelection(Doc(), colour, false);
        } catch (std::exception const& error) {
            fInspector->Say(error.what());
            return false;
        }
        Posed(Changes{false, true, false}, true);
        Said("coloured the selection");
        return true;
    };
    actions.changeLight = [this](TQ3ObjectType kind, std::optional<float> brightness,
                                 std::optional<TQ3ColorRGB> colour) {
        std::string const name = kind == "ambn"_4cc ? "ambient light" : "sun";
        if (!ViewLight(Doc(), kind)) {
            fInspector->Say("the view has no " + name);
            return false;
        }
        try {
            BeginEdit();
            ChangeViewLight(Doc(), kind, [&](TQ3LightData& data) {
                data.brightness = brightness.value_or(data.brightness);
                data.color = colour.value_or(data.color);
            });
        } catch (std::exception const& error) {
            fInspector->Say(error.what());
            return false;
        }
        Posed(Changes{false, true, false}, true);
        Said("changed the " + name);
        return true;
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

void WindowApp::ShowTitles() {
    if (!fSession.HasDocument()) {
        return;
    }
    std::string const title = WindowTitle(Doc().path, Doc().edited, "keypose-host");
    if (title == fShownTitle) {
        return;
    }
    fShownTitle = title;
    fView.SetTitle(title);
    for (auto& palette : fPalettes) {
        palette->SetTitle(WindowTitle(Doc().path, Doc().edited, palette->Window().title()));
    }
    fInspectorWindow->SetTitle(WindowTitle(Doc().path, Doc().edited, "Inspector"));
}

void WindowApp::BeginEdit() {
    HostState::Instance().PushUndoStep();
    // A step of the host's own, not a recording in the palette.
    fSeenUndoCount = HostState::Instance().undoCount;
}

void WindowApp::Said(std::string const& text) {
    fInspector->Say(text);
    // The host's own undo steps are no news from the palette.
    fSeenUndoCount = HostState::Instance().undoCount;
}

ImageRect WindowApp::ViewImage() {
    float aspect = 0;
    if (fSession.HasDocument()) {
        if (std::optional<ViewProjection> const projection = CurrentProjection(Doc())) {
            aspect = projection->tanHalfX / projection->tanHalfY;
        }
    }
    return Letterbox(fView.Width(), fView.Height(), aspect);
}

void WindowApp::DrawViewMarkers(Bitmap& picture, ImageRect const& image) {
    if (!fSession.HasDocument()) {
        return;
    }
    try {
        if (std::optional<ViewProjection> const projection = CurrentProjection(Doc())) {
            DrawMarkers(picture,
                        ViewMarkers(Doc(), *projection, CameraPlacement(Doc()).pointOfInterest,
                                    image.width, image.height),
                        HostState::Instance().selectionColour);
        }
    } catch (std::exception const&) {
        // A view without a camera to place markers by shows none.
    }
}

void WindowApp::ShowInspector() {
    if (!fSession.HasDocument()) {
        return;
    }
    fInspector->Show(SelectionColour(Doc()), ViewLight(Doc(), "ambn"_4cc),
                     ViewLight(Doc(), "drct"_4cc));
}

void RunWindows(HostSession& session, WindowSettings const& settings) {
    WindowApp app(session, settings);
    app.Run();
}

} // namespace refhost::window
