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

// A sheet made as the frames come: each chosen frame is scaled into its place when it is
// added, so only the sheet is held, never the frames.
class SheetBuilder {
public:
    // A sheet for `count` frames of frameWidth x frameHeight, showing at most `most` of them
    // (SheetSelection), `columns` a row, thumbnails thumbWidth pixels wide (the height keeps
    // the frames' proportions), with a margin and a label under each.
    SheetBuilder(std::size_t count, std::size_t most, int columns, int thumbWidth, int frameWidth,
                 int frameHeight);

    // Whether frame `index` (0 to count - 1) is one the sheet shows.
    bool Wants(std::size_t index) const;
    // Puts frame `index` into its place, scaled to the thumbnail (a frame of another size
    // too); a frame the sheet does not show is ignored.
    void Add(std::size_t index, refhost::Bitmap const& image, std::string const& label);

    // The sheet so far (places of frames not added yet stay empty); 1 x 1 for no frames.
    refhost::Bitmap const& Sheet() const { return fSheet; }
    // The frames the sheet shows, in order.
    std::vector<std::size_t> const& Shown() const { return fShown; }

private:
    std::vector<std::size_t> fShown;
    int fColumns;
    int fThumbWidth;
    int fThumbHeight;
    refhost::Bitmap fSheet;
};

// All the frames on one sheet, thumbWidth pixels wide, `columns` a row; frames of other sizes
// are scaled to the first's.
refhost::Bitmap ContactSheet(std::vector<SheetFrame> const& frames, int columns, int thumbWidth);

// Which of `count` frames a sheet of at most `most` shows: evenly spread, first and last
// included.
std::vector<std::size_t> SheetSelection(std::size_t count, std::size_t most);

} // namespace keypose_host
