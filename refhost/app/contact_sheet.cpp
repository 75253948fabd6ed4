#include "refhost/app/contact_sheet.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

namespace keypose_host {

namespace {

constexpr int kMargin = 8;
constexpr int kLabelHeight = 16;

// The bitmap as a Cairo surface over its own pixels (rows from the top, RGB24).
cairo_surface_t* SurfaceOf(refhost::Bitmap const& bitmap) {
    auto& pixels = const_cast<refhost::Bitmap&>(bitmap).pixels();
    return cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels.data()),
                                               CAIRO_FORMAT_RGB24, bitmap.width(), bitmap.height(),
                                               bitmap.width() * 4);
}

} // namespace

std::vector<std::size_t> SheetSelection(std::size_t count, std::size_t most) {
    std::vector<std::size_t> chosen;
    if (count == 0 || most == 0) {
        return chosen;
    }
    if (count <= most) {
        for (std::size_t i = 0; i < count; ++i) {
            chosen.push_back(i);
        }
        return chosen;
    }
    for (std::size_t k = 0; k < most; ++k) {
        chosen.push_back(most == 1 ? 0 : k * (count - 1) / (most - 1));
    }
    return chosen;
}

refhost::Bitmap ContactSheet(std::vector<SheetFrame> const& frames, int columns, int thumbWidth) {
    if (frames.empty() || columns <= 0 || thumbWidth <= 0) {
        return refhost::Bitmap(1, 1, {});
    }
    refhost::Bitmap const& first = *frames.front().image;
    double const scale = static_cast<double>(thumbWidth) / std::max(1, first.width());
    int const thumbHeight = std::max(1, static_cast<int>(std::lround(first.height() * scale)));
    int const rows = (static_cast<int>(frames.size()) + columns - 1) / columns;
    int const cellWidth = thumbWidth + kMargin;
    int const cellHeight = thumbHeight + kLabelHeight + kMargin;
    refhost::Bitmap sheet(kMargin + columns * cellWidth, kMargin + rows * cellHeight, {});
    cairo_surface_t* target = SurfaceOf(sheet);
    cairo_t* cr = cairo_create(target);
    cairo_set_source_rgb(cr, 0.15, 0.15, 0.17);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 11);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        int const x = kMargin + static_cast<int>(i) % columns * cellWidth;
        int const y = kMargin + static_cast<int>(i) / columns * cellHeight;
        refhost::Bitmap const& image = *frames[i].image;
        cairo_surface_t* source = SurfaceOf(image);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, static_cast<double>(thumbWidth) / image.width(),
                    static_cast<double>(thumbHeight) / image.height());
        cairo_set_source_surface(cr, source, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(source);
        cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
        cairo_move_to(cr, x, y + thumbHeight + 12);
        cairo_show_text(cr, frames[i].label.c_str());
    }
    cairo_destroy(cr);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
    return sheet;
}

} // namespace keypose_host
