// Replacing a file's contents the way a careful editor does: the new text goes to a fresh
// temporary file beside the file (never one of the user's), is flushed to the disk and then
// renamed over the file in one step, so the file is replaced whole or not at all. The file
// keeps its permissions (and its owner, where the process may keep it); a new file gets the
// permissions the process's umask allows. A symbolic link is written through: the file it
// leads to is replaced and the link stays.
#pragma once

#include <stdexcept>
#include <string>

namespace refhost {

// Throws std::runtime_error with the reason (not naming the file) when the file cannot be
// replaced; the file and its folder are then as they were.
void ReplaceFileContents(std::string const& path, std::string const& text);

} // namespace refhost
