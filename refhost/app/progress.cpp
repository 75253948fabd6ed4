#include "refhost/app/progress.h"

#include <unistd.h>

#include <cstdio>

namespace keypose_host {

ProgressBar::ProgressBar(std::string what, std::size_t total)
    : fWhat(std::move(what)), fTotal(total), fStart(std::chrono::steady_clock::now()),
      fTerminal(isatty(fileno(stderr)) != 0) {}

ProgressBar::~ProgressBar() {
    if (fShown) {
        std::fputc('\n', stderr);
    }
}

std::string ProgressBar::Line(std::string const& what, std::size_t done, std::size_t total,
                              int width) {
    std::size_t const filled = total == 0 ? width : done * static_cast<std::size_t>(width) / total;
    std::string line = what + " [";
    line.append(filled, '#');
    line.append(static_cast<std::size_t>(width) - std::min<std::size_t>(filled, width), ' ');
    line += "] " + std::to_string(done) + "/" + std::to_string(total);
    return line;
}

void ProgressBar::Update(std::size_t done) {
    if (!fTerminal) {
        return;
    }
    if (!fShown && std::chrono::steady_clock::now() - fStart < std::chrono::seconds(1)) {
        return;
    }
    fShown = true;
    std::fprintf(stderr, "\r%s", Line(fWhat, done, fTotal, 40).c_str());
    std::fflush(stderr);
}

} // namespace keypose_host
