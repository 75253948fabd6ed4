#include "refhost/window/heads_up.h"

#include <cairo.h>

#include <cstdio>

namespace refhost::window {

std::string HeadsUpText(ClockSettings const& clock, double framesPerSecond) {
    double const units = clock.unitsPerSecond ? clock.unitsPerSecond : 600;
    char line[160];
    std::snprintf(line, sizeof line, "%.2f s  range %.2f to %.2f s  %g fps", clock.current / units,
                  clock.minimum / units, clock.maximum / units, framesPerSecond);
    return line;
}

void DrawHeadsUp(Bitmap& picture, std::string const& text) {
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(picture.pixels().data()), CAIRO_FORMAT_RGB24,
        picture.width(), picture.height(), picture.width() * 4);
    cairo_t* cr = cairo_create(surface);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 12);
    cairo_text_extents_t extents{};
    cairo_text_extents(cr, text.c_str(), &extents);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_rectangle(cr, 4, 4, extents.x_advance + 12, 20);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.92, 0.92, 0.92);
    cairo_move_to(cr, 10, 18);
    cairo_show_text(cr, text.c_str());
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
}

} // namespace refhost::window
