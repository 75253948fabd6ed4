// The script mode: a session of user actions read from a file.
#include <iostream>

#include "refhost/app/modes.h"
#include "refhost/script/script_runner.h"
#include "refhost/session/host_session.h"

namespace keypose_host {

int RunScript(ScriptOptions const& options) {
    refhost::HostSession session(options.plugIn);
    refhost::RunScriptFile(session, options.script, std::cout);
    return 0;
}

} // namespace keypose_host
