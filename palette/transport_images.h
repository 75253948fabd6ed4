// The images of the palette's buttons, drawn in code: a glyph in the control text colour,
// and for the pressed (alternate) image the same glyph, white, on the selection colour.
#pragma once

#include <memory>

class NSImage;

enum class TransportGlyph {
    playBackward,
    stop,
    playForward,
    toStart,
    toEnd,
    previousTween,
    nextTween,
};

std::shared_ptr<NSImage> TransportImage(TransportGlyph glyph, bool pressed);
