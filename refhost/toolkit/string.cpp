#include "host/cocoa/ns_string.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

#include "host/cocoa/ns_control.h"
#include "refhost/toolkit/canvas.h"

NSString* NSString::stringWithUTF8String(std::string_view text) {
    // Interned for the life of the process: callers keep these pointers without owning them.
    static std::map<std::string, std::unique_ptr<NSString>, std::less<>> strings;
    auto found = strings.find(text);
    if (found == strings.end()) {
        std::string key(text);
        found = strings.emplace(key, std::make_unique<NSString>(key)).first;
    }
    return found->second.get();
}

float NSString::floatValue() const {
    return static_cast<float>(NSParseLeadingNumber(fText));
}
double NSString::doubleValue() const {
    return NSParseLeadingNumber(fText);
}
int NSString::intValue() const {
    return static_cast<int>(NSParseLeadingNumber(fText));
}
void NSString::drawAtPoint(NSPoint point) const {
    NSDrawText(fText, point);
}
NSSize NSString::size() const {
    return NSTextSize(fText);
}

double NSParseLeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    if (i < text.size() && text[i] == '+') {
        ++i;
    }
    double value = 0;
    auto const result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (result.ec != std::errc()) {
        return 0;
    }
    return value;
}

std::string NSFormatFloat(float value) {
    char buffer[64];
    auto const result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void NSDrawText(std::string_view text, NSPoint point) {
    auto* canvas = refhost::toolkit::CurrentCanvas();
    if (canvas == nullptr || text.empty()) {
        return;
    }
    cairo_t* cr = canvas->cairo();
    std::string const copy(text);
    cairo_save(cr);
    cairo_translate(cr, point.x, point.y);
    // Glyphs are designed for y downwards; in a view whose y grows upwards they must be
    // turned back or they would stand on their heads.
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    if (matrix.yy < 0) {
        cairo_scale(cr, 1, -1);
    }
    refhost::toolkit::SelectLabelFont(cr);
    refhost::toolkit::SetSourceColour(cr, canvas->paint().fill);
    cairo_move_to(cr, 0, 0);
    cairo_show_text(cr, copy.c_str());
    cairo_new_path(cr);
    cairo_restore(cr);
}

namespace {

// A context to measure text in, made once: the toolkit runs on one thread, and making a
// surface and choosing the font for every measure costs more than the measure.
cairo_t* MeasuringContext() {
    static cairo_t* const context = [] {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
        cairo_t* cr = cairo_create(surface);
        cairo_surface_destroy(surface);
        refhost::toolkit::SelectLabelFont(cr);
        return cr;
    }();
    return context;
}

} // namespace

NSSize NSTextSize(std::string_view text) {
    cairo_t* cr = MeasuringContext();
    std::string const copy(text);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, copy.c_str(), &extents);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    return NSMakeSize(static_cast<CGFloat>(extents.x_advance),
                      static_cast<CGFloat>(font.ascent + font.descent));
}

CGFloat NSTextDescent() {
    cairo_font_extents_t font;
    cairo_font_extents(MeasuringContext(), &font);
    return static_cast<CGFloat>(font.descent);
}
