// The parts of keypose-host's window mode, shared by the files that hold them: the
// construction and the document's changes (window_app.cpp), the routing of SDL's events to
// the 3D view and the toolkit windows (window_input.cpp), the host's commands
// (window_commands.cpp) and the frame loop (window_frame_loop.cpp).
#pragma once

#include <SDL.h>

#include <chrono>
#include <memory>
#include <vector>

#include "refhost/session/host_session.h"
#include "refhost/window/inspector.h"
#include "refhost/window/motion_aids.h"
#include "refhost/window/posing_gestures.h"
#include "refhost/window/quit_prompt.h"
#include "refhost/window/toolkit_window.h"
#include "refhost/window/view_window.h"
#include "refhost/window/window_app.h"

namespace refhost::window {

// The SDL window an event is for; 0 for events of no window.
uint32_t WindowOf(SDL_Event const& event);

// SDL for as long as the windows are open.
class SdlVideo {
public:
    // Throws std::runtime_error with SDL's reason when there is no display.
    SdlVideo();
    ~SdlVideo();
    SdlVideo(SdlVideo const&) = delete;
    SdlVideo& operator=(SdlVideo const&) = delete;
};

// The window mode's state: the windows, the gestures in the 3D view and what the loop has
// seen of the document's redraws.
class WindowApp {
public:
    WindowApp(HostSession& session, WindowSettings const& settings);
    ~WindowApp();
    void Run();

private:
    Document& Doc() { return fSession.Front(); }

    // window_app.cpp: the plug-in hears of a change made in the 3D view or the inspector;
    // finished, it is a change of the document.
    void Posed(Changes const& changes, bool finished);
    void ShowInspector();
    // The windows' titles name the document and mark it while edited.
    void ShowTitles();
    // Keeps the document as it is as an undo step, before the host changes it.
    void BeginEdit();
    // The inspector's status line tells what the last action did.
    void Said(std::string const& text);
    // Where the camera's picture lies in the 3D view's window now: drawing and the mouse's
    // gestures both use it.
    ImageRect ViewImage();
    // The lights' and the point of interest's markers over the picture of the 3D view.
    void DrawViewMarkers(Bitmap& picture, ImageRect const& image);

    // window_input.cpp
    // Tells what a gesture did: the edit when the scene changed, else the selection or the
    // camera.
    void Report(Changes const& changes, std::string const& edit);
    void Handle(SDL_Event const& event);
    void HandleView(SDL_Event const& event);
    void HandleToolkit(ToolkitWindow& window, SDL_Event const& event);
    ToolkitWindow* ToolkitWindowOf(uint32_t id);

    // window_commands.cpp: a command key (true when it was one); the commands.
    bool Command(SDL_Keysym const& key, bool typingText);
    void Save(std::string const& path);
    void Undo(bool redo);
    void PlayOrStop();
    // P, O and G: motion paths, ghosts and the grid on or off.
    void ToggleAid(bool view3d::AidSwitches::*which, char const* name);
    void TogglePalette(std::size_t entry);
    void Quit();
    // Asks whether to save the edited document first, with the keyboard's attention, until
    // answered.
    QuitPrompt::Answer AskToSave();

    // window_frame_loop.cpp
    void Tick();
    void Draw(bool force);
    bool WaitDuringTracking();

    HostSession& fSession;
    SdlVideo fVideo;
    ViewWindow fView;
    PosingGestures fGestures;
    MotionAids fMotion;
    view3d::AidSwitches fSwitches;
    std::unique_ptr<Inspector> fInspector;
    std::vector<std::unique_ptr<ToolkitWindow>> fPalettes;
    std::unique_ptr<ToolkitWindow> fInspectorWindow;
    ToolkitWindow* fPrompt = nullptr; // the quit prompt's, while it asks
    std::chrono::steady_clock::time_point fLastFrame = std::chrono::steady_clock::now();
    Changes fGesture; // what the gesture under way has changed
    bool fMouseHeld = false;
    bool fKeyHeld = false;
    bool fSkipText = false;
    bool fQuit = false;
    bool fViewDirty = true;
    int fSeenDocumentRedraws = -1;
    int fSeenViewDrawings = -1;
    int fSeenUndoCount = 0;
    std::string fShownTitle;
};

} // namespace refhost::window
