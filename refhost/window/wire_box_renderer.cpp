#include <cmath>
#include <cstdlib>

#include "host/framework.h"
#include "refhost/framework/host_state.h"
#include "refhost/session/posing.h"
#include "refhost/window/view_renderer.h"
#include "refhost/window/view_scene.h"

namespace refhost::window {

namespace {

constexpr uint32_t kBackground = 0x292B33;
constexpr uint32_t kUnselected = 0xC8C8C8;
constexpr uint32_t kFloor = 0x3C3F4A;

uint32_t Packed(TQ3ColorRGB const& c) {
    auto channel = [](float v) {
        return static_cast<uint32_t>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
    };
    return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

void Plot(Bitmap& bitmap, int x, int y, uint32_t colour) {
    if (x >= 0 && y >= 0 && x < bitmap.width() && y < bitmap.height()) {
        bitmap.pixels()[static_cast<std::size_t>(y) * bitmap.width() + x] = colour;
    }
}

// A line two pixels wide, so that it shows at any size.
void Line(Bitmap& bitmap, Pixel a, Pixel b, uint32_t colour) {
    float const steps = std::fmax(std::fabs(b.x - a.x), std::fabs(b.y - a.y));
    if (steps > static_cast<float>(4 * (bitmap.width() + bitmap.height()))) {
        return;
    }
    for (int i = 0; i <= static_cast<int>(steps); ++i) {
        float const f = steps > 0 ? static_cast<float>(i) / steps : 0;
        int const x = static_cast<int>(a.x + (b.x - a.x) * f);
        int const y = static_cast<int>(a.y + (b.y - a.y) * f);
        Plot(bitmap, x, y, colour);
        Plot(bitmap, x + 1, y, colour);
        Plot(bitmap, x, y + 1, colour);
    }
}

void WireBox(Bitmap& bitmap, CBoundingBox const& box, ViewProjection const& projection,
             uint32_t colour) {
    Pixel corners[8];
    for (int corner = 0; corner < 8; ++corner) {
        TQ3Point3D const p{(corner & 1) ? box.max.x : box.min.x,
                           (corner & 2) ? box.max.y : box.min.y,
                           (corner & 4) ? box.max.z : box.min.z};
        std::optional<Pixel> const at = PixelOf(projection, p, bitmap.width(), bitmap.height());
        if (!at) {
            return;
        }
        corners[corner] = *at;
    }
    for (int a = 0; a < 8; ++a) {
        for (int bit : {1, 2, 4}) {
            if (!(a & bit)) {
                Line(bitmap, corners[a], corners[a | bit], colour);
            }
        }
    }
}

// A grid on the plane y = 0 around the origin, so that camera moves show.
void Floor(Bitmap& bitmap, ViewProjection const& projection) {
    for (int i = -5; i <= 5; ++i) {
        auto const f = static_cast<float>(i);
        std::optional<Pixel> a = PixelOf(projection, {f, 0, -5}, bitmap.width(), bitmap.height());
        std::optional<Pixel> b = PixelOf(projection, {f, 0, 5}, bitmap.width(), bitmap.height());
        if (a && b) {
            Line(bitmap, *a, *b, kFloor);
        }
        a = PixelOf(projection, {-5, 0, f}, bitmap.width(), bitmap.height());
        b = PixelOf(projection, {5, 0, f}, bitmap.width(), bitmap.height());
        if (a && b) {
            Line(bitmap, *a, *b, kFloor);
        }
    }
}

class WireBoxRenderer : public ViewRenderer {
public:
    Bitmap Render(OpaqueTQ3Object*, int width, int height) override {
        Bitmap bitmap(width, height, NSZeroPoint);
        std::fill(bitmap.pixels().begin(), bitmap.pixels().end(), kBackground);
        Document const* document = HostState::Instance().Front();
        if (!document) {
            return bitmap;
        }
        std::optional<ViewProjection> const projection = CurrentProjection(*document);
        if (!projection) {
            return bitmap;
        }
        Floor(bitmap, *projection);
        uint32_t const selection = Packed(HostState::Instance().selectionColour);
        for (SceneMember const& member : SceneMembers(*document)) {
            if (!member.bounds.isEmpty) {
                WireBox(bitmap, member.bounds, *projection,
                        member.selected ? selection : kUnselected);
            }
        }
        return bitmap;
    }
};

} // namespace

std::unique_ptr<ViewRenderer> MakeWireBoxRenderer() {
    return std::make_unique<WireBoxRenderer>();
}

} // namespace refhost::window
