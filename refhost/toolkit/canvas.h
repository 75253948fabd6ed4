// The Cairo side of the focused graphics context. Drawing code focuses a canvas on a Cairo
// context; the toolkit's drawing functions draw into the innermost focused one. Cairo's own
// state stack carries the clip and the coordinates, and the canvas keeps the toolkit's fill
// and stroke colours beside it, saved and restored with it.
#pragma once

#include <cairo.h>

#include <vector>

#include "host/cocoa/ns_color.h"
#include "host/cocoa/ns_graphics.h"

namespace refhost::toolkit {

struct PaintState {
    NSColor fill = NSColor::blackColor();
    NSColor stroke = NSColor::blackColor();
};

class Canvas {
public:
    explicit Canvas(cairo_t* cairo);
    ~Canvas();
    Canvas(Canvas const&) = delete;
    Canvas& operator=(Canvas const&) = delete;

    cairo_t* cairo() const { return fCairo; }
    PaintState& paint() { return fStates.back(); }
    void save();
    void restore();
    NSGraphicsContext* context() { return &fContext; }

private:
    cairo_t* fCairo;
    std::vector<PaintState> fStates;
    NSGraphicsContext fContext;
};

// The innermost focused canvas, or null.
Canvas* CurrentCanvas();

void SetSourceColour(cairo_t* cairo, NSColor const& colour);
// One device pixel, in the current user coordinates.
double HairlineWidth(cairo_t* cairo);
// The toolkit's label font, selected into the context.
void SelectLabelFont(cairo_t* cairo);

} // namespace refhost::toolkit
