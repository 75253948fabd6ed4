#include "refhost/toolkit/canvas.h"

#include <cmath>

namespace refhost::toolkit {
namespace {

std::vector<Canvas*>& FocusStack() {
    static std::vector<Canvas*> stack;
    return stack;
}

} // namespace

Canvas::Canvas(cairo_t* cairo) : fCairo(cairo), fStates(1), fContext(cairo) {
    FocusStack().push_back(this);
}

Canvas::~Canvas() {
    auto& stack = FocusStack();
    std::erase(stack, this);
}

void Canvas::save() {
    cairo_save(fCairo);
    fStates.push_back(fStates.back());
}

void Canvas::restore() {
    // An unbalanced restore must not pop the base state: Cairo would refuse it anyway.
    if (fStates.size() > 1) {
        cairo_restore(fCairo);
        fStates.pop_back();
    }
}

Canvas* CurrentCanvas() {
    auto& stack = FocusStack();
    return stack.empty() ? nullptr : stack.back();
}

void SetSourceColour(cairo_t* cairo, NSColor const& colour) {
    cairo_set_source_rgba(cairo, colour.redComponent(), colour.greenComponent(),
                          colour.blueComponent(), colour.alphaComponent());
}

double HairlineWidth(cairo_t* cairo) {
    double dx = 1;
    double dy = 0;
    cairo_device_to_user_distance(cairo, &dx, &dy);
    return std::hypot(dx, dy);
}

void SelectLabelFont(cairo_t* cairo) {
    cairo_select_font_face(cairo, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cairo, 11);
}

} // namespace refhost::toolkit

NSGraphicsContext* NSGraphicsContext::currentContext() {
    auto* canvas = refhost::toolkit::CurrentCanvas();
    return canvas == nullptr ? nullptr : canvas->context();
}

void NSGraphicsContext::saveGraphicsState() {
    if (auto* canvas = refhost::toolkit::CurrentCanvas()) {
        canvas->save();
    }
}

void NSGraphicsContext::restoreGraphicsState() {
    if (auto* canvas = refhost::toolkit::CurrentCanvas()) {
        canvas->restore();
    }
}
