// Headless drawing of windows and views: the view tree paints itself through the toolkit
// into a bitmap that can be inspected pixel by pixel or saved as PNG.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/cocoa/geometry.h"

class NSView;
class NSWindow;

namespace refhost {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(Rgb const&) const = default;
};

// Pixels of 8-bit RGB. The bitmap's own coordinates have the origin at the bottom left and y
// upwards, like the windows it shows; `origin` is where that corner lies on the screen.
class Bitmap {
public:
    Bitmap(int width, int height, NSPoint origin);

    int width() const { return fWidth; }
    int height() const { return fHeight; }
    NSPoint origin() const { return fOrigin; }
    void setOrigin(NSPoint origin) { fOrigin = origin; }
    // The pixel whose bottom left corner is at (x, y); black outside the bitmap.
    Rgb at(int x, int y) const;
    // The pixel under a point of the screen.
    Rgb atScreen(NSPoint point) const;
    // The pixel under a point of a window's coordinates.
    Rgb atWindow(NSWindow const& window, NSPoint point) const;
    // False when the file cannot be written, errno then saying why.
    bool writePng(std::string const& path) const;
    // A PNG file as pixels (alpha dropped); nothing when it cannot be read.
    static std::optional<Bitmap> readPng(std::string const& path);

    // For the renderer: rows from the top, 0x00RRGGBB.
    std::vector<uint32_t>& pixels() { return fPixels; }

private:
    int fWidth;
    int fHeight;
    NSPoint fOrigin;
    std::vector<uint32_t> fPixels;
};

// The window as it shows on the screen, with its open drawers beside it. Every view drawn is
// marked as displayed.
Bitmap RenderWindow(NSWindow& window);
// The same into a bitmap that is reused when it has the size already, as a window redrawn
// frame after frame wants.
void RenderWindowInto(NSWindow& window, Bitmap& bitmap);
// The view and its subviews alone, the bitmap the size of the view's frame.
Bitmap RenderView(NSView& view);

} // namespace refhost
