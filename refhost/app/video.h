// A video of a folder of rendered frames, made by ffmpeg run as a program of its own (no
// shell): any folder and file name works as it is.
#pragma once

#include <cstddef>
#include <string>

namespace keypose_host {

// Throws std::runtime_error saying so when ffmpeg is not on the PATH; a render asks before
// its first frame.
void RequireFfmpeg();

// Encodes `folder`/view_NNNN.png from frame `first` on, fps frames a second, into `video`
// (its kind from its extension; an existing file is replaced). Throws std::runtime_error
// with ffmpeg's status when it fails (ffmpeg's own words go to the error stream).
void WriteVideo(std::string const& folder, std::size_t first, double fps, std::string const& video);

} // namespace keypose_host
