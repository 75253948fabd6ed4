// keypose-host in windows: the document's 3D view in a window of its own, the plug-in's
// palette as a floating window beside it and the inspector panel. The loop feeds the
// toolkit windows real mouse, key, text and wheel events, draws what is marked for display,
// moves the clock while the document plays, tells the plug-in what the user does in the 3D
// view (held mouse and keys included) and the document's changes, and runs the host's
// commands (save, save as, undo, redo, play and stop, start and end, the palette menu, quit).
#pragma once

#include "refhost/session/host_session.h"

namespace refhost::window {

struct WindowSettings {
    int viewWidth = 640;
    int viewHeight = 480;
};

// Runs until the user quits (asked whether to save an edited document first). The session
// has its document open. Throws std::runtime_error when SDL or a window cannot start.
void RunWindows(HostSession& session, WindowSettings const& settings = {});

} // namespace refhost::window
