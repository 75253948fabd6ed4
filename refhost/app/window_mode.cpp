// The window mode: the document in windows, posed, recorded and played by hand.
#include <iostream>

#include "refhost/app/modes.h"
#include "refhost/session/host_session.h"
#include "refhost/window/window_app.h"

namespace keypose_host {

int RunWindowMode(WindowOptions const& options) {
    refhost::HostSession session(options.plugIn);
    session.Open(options.document);
    std::cout << "opened " << options.document << std::endl;
    refhost::window::RunWindows(session);
    return 0;
}

} // namespace keypose_host
