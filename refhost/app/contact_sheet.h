// A contact sheet: frames of a render side by side, in rows, each scaled to a thumbnail and
// labelled with its time, so a whole animation shows in one picture.
#pragma once

#include <string>
#include <vector>

#include "refhost/toolkit/render.h"

namespace keypose_host {

struct SheetFrame {
    refhost::Bitmap const* image;
    std::string label;
};

// Thumbnails thumbWidth pixels wide (the height keeps the frames' proportions), `columns` a row,
// with a margin and a label under each; frames of other sizes are scaled to the first's.
refhost::Bitmap ContactSheet(std::vector<SheetFrame> const& frames, int columns, int thumbWidth);

// Which of `count` frames a sheet of at most `most` shows: evenly spread, first and last
// included.
std::vector<std::size_t> SheetSelection(std::size_t count, std::size_t most);

} // namespace keypose_host
