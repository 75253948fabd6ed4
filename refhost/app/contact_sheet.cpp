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

int ThumbHeight(int thumbWidth, int frameWidth, int frameHeight) {
    double const scale = static_cast<double>(thumbWidth) / std::max(1, frameWidth);
    return std::max(1, static_cast<int>(std::lround(frameHeight * scale)));
}

refhost::Bitmap EmptySheet(std::size_t shown, int columns, int thumbWidth, int thumbHeight) {
    if (shown == 0 || columns <= 0 || thumbWidth <= 0) {
        return refhost::Bitmap(1, 1, {});
    }
    int const rows = (static_cast<int>(shown) + columns - 1) / columns;
    refhost::Bitmap sheet(kMargin + columns * (thumbWidth + kMargin),
                          kMargin + rows * (thumbHeight + kLabelHeight + kMargin), {});
    std::fill(sheet.pixels().begin(), sheet.pixels().end(), 0x26262B);
    return sheet;
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

SheetBuilder::SheetBuilder(std::size_t count, std::size_t most, int columns, int thumbWidth,
                           int frameWidth, int frameHeight)
    : fShown(SheetSelection(count, most)), fColumns(columns), fThumbWidth(thumbWidth),
      fThumbHeight(ThumbHeight(thumbWidth, frameWidth, frameHeight)),
      fSheet(EmptySheet(fShown.size(), columns, thumbWidth, fThumbHeight)) {}

bool SheetBuilder::Wants(std::size_t index) const {
    return std::binary_search(fShown.begin(), fShown.end(), index);
}

void SheetBuilder::Add(std::size_t index, refhost::Bitmap const& image, std::string const& label) {
    auto const place = std::lower_bound(fShown.begin(), fShown.end(), index);
    if (place == fShown.end() || *place != index || fColumns <= 0 || fThumbWidth <= 0) {
        return;
    }
    int const cell = static_cast<int>(place - fShown.begin());
    int const x = kMargin + cell % fColumns * (fThumbWidth + kMargin);
    int const y = kMargin + cell / fColumns * (fThumbHeight + kLabelHeight + kMargin);
    cairo_surface_t* target = SurfaceOf(fSheet);
    cairo_t* cr = cairo_create(target);
    cairo_surface_t* source = SurfaceOf(image);
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, static_cast<double>(fThumbWidth) / image.width(),
                static_cast<double>(fThumbHeight) / image.height());
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(source);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, 11);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    cairo_move_to(cr, x, y + fThumbHeight + 12);
    cairo_show_text(cr, label.c_str());
    cairo_destroy(cr);
    cairo_surface_flush(target);
    cairo_surface_destroy(target);
}

refhost::Bitmap ContactSheet(std::vector<SheetFrame> const& frames, int columns, int thumbWidth) {
    if (frames.empty()) {
        return refhost::Bitmap(1, 1, {});
    }
    refhost::Bitmap const& first = *frames.front().image;
    SheetBuilder builder(frames.size(), frames.size(), columns, thumbWidth, first.width(),
                         first.height());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        builder.Add(i, *frames[i].image, frames[i].label);
    }
    return builder.Sheet();
}

} // namespace keypose_host
