// What a window's title says: the document it holds, marked while it has unsaved changes, and
// what the window is. Pure.
#pragma once

#include <string>

namespace refhost::window {

// "box.json - keypose-host", "*box.json - keypose-host" when edited since saved; a document
// without a file is "untitled".
std::string WindowTitle(std::string const& documentPath, bool edited, std::string const& window);

} // namespace refhost::window
