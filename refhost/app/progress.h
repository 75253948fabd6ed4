// A progress bar on the terminal, for work that has gone on for more than a second. Nothing
// shows when the error stream is not a terminal (a log, a pipe, a test).
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace keypose_host {

class ProgressBar {
public:
    ProgressBar(std::string what, std::size_t total);
    // Ends the bar's line, if one was drawn.
    ~ProgressBar();
    ProgressBar(ProgressBar const&) = delete;
    ProgressBar& operator=(ProgressBar const&) = delete;

    void Update(std::size_t done);

    // The bar's text for done of total, `width` characters between the brackets.
    static std::string Line(std::string const& what, std::size_t done, std::size_t total,
                            int width);

private:
    std::string fWhat;
    std::size_t fTotal;
    std::chrono::steady_clock::time_point fStart;
    bool fTerminal;
    bool fShown = false;
};

} // namespace keypose_host
