// Other programs, run without a shell: the program and its arguments go to the system as a
// vector of words, so quotes, spaces, semicolons and dashes in a name are only characters.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace keypose_host {

// Where `name` lies on the PATH (a name with a slash is taken as a path), when it is an
// executable file; nothing otherwise.
std::optional<std::string> FindProgram(std::string const& name);

// Runs words[0] (searched on the PATH as FindProgram does) with words[1...] as its arguments,
// its output streams shared with this program and its input from /dev/null, and waits for it.
// Returns its exit status; 127 when it could not be started, 128 + the signal's number when
// a signal ended it. Throws std::invalid_argument for an empty vector.
int RunProgram(std::vector<std::string> const& words);

// The same, its standard output collected and returned (its error stream still shared);
// nothing when it could not be started or did not exit with status 0.
std::optional<std::string> ProgramOutput(std::vector<std::string> const& words);

} // namespace keypose_host
