// Replacing a file's contents the way a careful editor does: the new text goes to a fresh
// temporary file beside the file (never one of the user's), is flushed to the disk and then
// renamed over the file in one step, so the file is replaced whole or not at all. The file
// keeps its permissions (and its owner, where the process may keep it); a new file gets the
// permissions the process's umask allows. A symbolic link is written through: the file it
// leads to is replaced (made, for a link whose file is not there yet) and the link stays.
// A file the user may not write (read-only) is refused, not replaced. The temporary has no
// name while it is written where the file system allows (O_TMPFILE); elsewhere it is
// ".NAME.XXXXXX", locked while in use, and a later save removes those a killed save left.
#pragma once

#include <stdexcept>
#include <string>

namespace refhost {

// Throws std::runtime_error with the reason (not naming the file: "is read-only (Permission
// denied)", "is a folder, not a plain file") when the file cannot be replaced; the file and
// its folder are then as they were.
void ReplaceFileContents(std::string const& path, std::string const& text);

} // namespace refhost
