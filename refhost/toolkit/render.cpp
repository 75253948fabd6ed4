#include "refhost/toolkit/render.h"

#include <cairo.h>

#include <cassert>
#include <cerrno>
#include <cmath>

#include "host/cocoa/ns_color.h"
#include "host/cocoa/ns_drawer.h"
#include "host/cocoa/ns_graphics.h"
#include "host/cocoa/ns_view.h"
#include "host/cocoa/ns_window.h"
#include "refhost/toolkit/canvas.h"

namespace refhost {

Bitmap::Bitmap(int width, int height, NSPoint origin)
    : fWidth(width), fHeight(height), fOrigin(origin),
      fPixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0) {}

Rgb Bitmap::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= fWidth || y >= fHeight) {
        return {};
    }
    uint32_t const p = fPixels[static_cast<std::size_t>(fHeight - 1 - y) * fWidth + x];
    return Rgb{static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
               static_cast<uint8_t>(p)};
}

Rgb Bitmap::atScreen(NSPoint point) const {
    return at(static_cast<int>(std::floor(point.x - fOrigin.x)),
              static_cast<int>(std::floor(point.y - fOrigin.y)));
}

Rgb Bitmap::atWindow(NSWindow const& window, NSPoint point) const {
    return atScreen(
        NSMakePoint(point.x + window.frame().origin.x, point.y + window.frame().origin.y));
}

bool Bitmap::writePng(std::string const& path) const {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, fWidth, fHeight);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    int const stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < fHeight; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
        for (int x = 0; x < fWidth; ++x) {
            line[x] = fPixels[static_cast<std::size_t>(row) * fWidth + x];
        }
    }
    cairo_surface_mark_dirty(surface);
    errno = 0;
    bool const ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    int const reason = errno != 0 ? errno : EIO;
    cairo_surface_destroy(surface);
    errno = ok ? 0 : reason;
    return ok;
}

std::optional<Bitmap> Bitmap::readPng(std::string const& path) {
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(png);
        return std::nullopt;
    }
    int const w = cairo_image_surface_get_width(png);
    int const h = cairo_image_surface_get_height(png);
    // Painting onto white flattens any transparency the way the file would show.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_surface(cr, png, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(png);
    Bitmap bitmap(w, h, NSZeroPoint);
    cairo_surface_flush(surface);
    unsigned char const* data = cairo_image_surface_get_data(surface);
    int const stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < h; ++row) {
        auto const* line =
            reinterpret_cast<uint32_t const*>(data + static_cast<std::ptrdiff_t>(row) * stride);
        for (int x = 0; x < w; ++x) {
            bitmap.pixels()[static_cast<std::size_t>(row) * w + x] = line[x] & 0x00FFFFFFu;
        }
    }
    cairo_surface_destroy(surface);
    return bitmap;
}

namespace {

// Lets every shown view settle its frame before anything draws, parents first.
void PrepareTree(NSView& view) {
    if (view.isHidden()) {
        return;
    }
    view.viewWillDraw();
    for (NSView* sub : view.subviews()) {
        PrepareTree(*sub);
    }
}

// Paints the view and its subviews. On entry the Cairo coordinates are the superview's.
void DrawTree(toolkit::Canvas& canvas, NSView& view) {
    if (view.isHidden()) {
        return;
    }
    cairo_t* cr = canvas.cairo();
    NSRect const f = view.frame();
    NSRect const b = view.bounds();
    canvas.save();
    cairo_translate(cr, f.origin.x, f.origin.y);
    if (view.isFlipped()) {
        cairo_translate(cr, 0, f.size.height);
        cairo_scale(cr, 1, -1);
    }
    cairo_translate(cr, -b.origin.x, -b.origin.y);
    cairo_rectangle(cr, b.origin.x, b.origin.y, b.size.width, b.size.height);
    cairo_clip(cr);
    // Each view starts from the same drawing state, whatever the one before it left.
    canvas.save();
    NSColor::blackColor().set();
    // The whole view repaints: what lies under it was painted afresh just before.
    view.drawRect(b);
    canvas.restore();
    view.markDisplayed();
    for (NSView* sub : view.subviews()) {
        DrawTree(canvas, *sub);
    }
    canvas.restore();
}

// Paints a window's content into the surface, whose bottom left lies at `origin` on the
// screen.
void DrawWindow(cairo_t* cr, NSWindow& window, NSPoint origin, int surfaceHeight) {
    NSRect const f = window.frame();
    cairo_save(cr);
    // Device rows run downwards; the windows' y runs upwards.
    cairo_translate(cr, double{f.origin.x - origin.x},
                    surfaceHeight - double{f.origin.y - origin.y});
    cairo_scale(cr, 1, -1);
    cairo_rectangle(cr, 0, 0, f.size.width, f.size.height);
    cairo_clip(cr);
    toolkit::SetSourceColour(cr, NSColor::windowBackgroundColor());
    cairo_paint(cr);
    if (NSView* content = window.contentView()) {
        PrepareTree(*content);
        toolkit::Canvas canvas(cr);
        DrawTree(canvas, *content);
    }
    cairo_restore(cr);
}

int Pixels(CGFloat length) {
    return std::max(1, static_cast<int>(std::ceil(length)));
}

} // namespace

namespace {

// A Cairo surface over the bitmap's own pixels (rows from the top, 0x00RRGGBB is Cairo's
// RGB24), so drawing needs no second buffer and no copy.
cairo_surface_t* SurfaceOver(Bitmap& bitmap) {
    int const stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, bitmap.width());
    assert(stride == bitmap.width() * 4);
    return cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(bitmap.pixels().data()), CAIRO_FORMAT_RGB24,
        bitmap.width(), bitmap.height(), stride);
}

// The bitmap, of the size given, reusing its pixels when it has that size already.
void Resize(Bitmap& bitmap, int width, int height, NSPoint origin) {
    if (bitmap.width() != width || bitmap.height() != height) {
        bitmap = Bitmap(width, height, origin);
    } else {
        bitmap.setOrigin(origin);
    }
}

} // namespace

void RenderWindowInto(NSWindow& window, Bitmap& bitmap) {
    NSRect area = window.frame();
    std::vector<NSWindow*> shown{&window};
    for (NSDrawer* drawer : window.drawers()) {
        if (drawer->state() == NSDrawerOpenState) {
            area = NSUnionRect(area, drawer->drawerWindow()->frame());
            shown.push_back(drawer->drawerWindow());
        }
    }
    int const h = Pixels(area.size.height);
    Resize(bitmap, Pixels(area.size.width), h, area.origin);
    cairo_surface_t* surface = SurfaceOver(bitmap);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.5, 0.5, 0.5);
    cairo_paint(cr);
    for (NSWindow* each : shown) {
        DrawWindow(cr, *each, area.origin, h);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
}

Bitmap RenderWindow(NSWindow& window) {
    Bitmap bitmap(0, 0, NSZeroPoint);
    RenderWindowInto(window, bitmap);
    return bitmap;
}

Bitmap RenderView(NSView& view) {
    PrepareTree(view);
    NSRect const f = view.frame();
    int const h = Pixels(f.size.height);
    Bitmap bitmap(Pixels(f.size.width), h, f.origin);
    cairo_surface_t* surface = SurfaceOver(bitmap);
    cairo_t* cr = cairo_create(surface);
    toolkit::SetSourceColour(cr, NSColor::windowBackgroundColor());
    cairo_paint(cr);
    cairo_translate(cr, double{-f.origin.x}, h + double{f.origin.y});
    cairo_scale(cr, 1, -1);
    {
        toolkit::Canvas canvas(cr);
        DrawTree(canvas, view);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    return bitmap;
}

} // namespace refhost
