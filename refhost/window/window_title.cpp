#include "refhost/window/window_title.h"

#include <filesystem>

namespace refhost::window {

std::string WindowTitle(std::string const& documentPath, bool edited, std::string const& window) {
    std::string const name = documentPath.empty()
                                 ? std::string("untitled")
                                 : std::filesystem::path(documentPath).filename().string();
    return (edited ? "*" : "") + name + " - " + window;
}

} // namespace refhost::window
