#include "refhost/app/video.h"

#include <cstdio>
#include <stdexcept>

#include "refhost/app/child_process.h"

namespace keypose_host {

namespace {

// ffmpeg reads a name with a colon as a protocol and one with a leading dash as an option;
// the file protocol named outright takes any name as a file's.
std::string AsFile(std::string const& path) {
    return "file:" + path;
}

// ffmpeg's image sequence pattern expands %d; a % of the folder's name is written %%.
std::string FramePattern(std::string const& folder) {
    std::string pattern;
    for (char c : folder) {
        pattern += c;
        if (c == '%') {
            pattern += '%';
        }
    }
    return pattern + "/view_%04d.png";
}

} // namespace

void RequireFfmpeg() {
    if (!FindProgram("ffmpeg")) {
        throw std::runtime_error("--video needs ffmpeg, which is not on the PATH (install it, "
                                 "or leave --video out)");
    }
}

void WriteVideo(std::string const& folder, std::size_t first, double fps,
                std::string const& video) {
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.17g", fps);
    int const status =
        RunProgram({"ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-framerate", rate,
                    "-start_number", std::to_string(first), "-i", AsFile(FramePattern(folder)),
                    // The encoder's colour format wants even sides.
                    "-vf", "pad=ceil(iw/2)*2:ceil(ih/2)*2", "-pix_fmt", "yuv420p", AsFile(video)});
    if (status != 0) {
        throw std::runtime_error(video + ": ffmpeg could not write the video (status " +
                                 std::to_string(status) + ")");
    }
}

} // namespace keypose_host
