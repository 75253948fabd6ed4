#include "refhost/window/view_markers.h"

#include <cmath>

#include "host/scene.h"
#include "refhost/session/posing.h"

namespace refhost::window {

namespace {

// Where the light held by a group lies in the scene: its location through the group's first
// transform (row vectors, as the scene's matrices are). Nothing for a group without a point
// or spot light.
std::optional<TQ3Point3D> LightPlace(OpaqueTQ3Object* member) try {
    CGroupObject group(member);
    auto* at = group.GetFirstObjectOfType("lght"_4cc);
    if (!at) {
        return std::nullopt;
    }
    C3DObject const light = group.GetObjectAt(at);
    TQ3Point3D p{};
    if (light.GetLeafType() == "pntl"_4cc) {
        TQ3PointLightData data{};
        CPointLightObject(light).GetLightData(&data);
        p = data.location;
    } else if (light.GetLeafType() == "spot"_4cc) {
        TQ3SpotLightData data{};
        CSpotLightObject(light).GetLightData(&data);
        p = data.location;
    } else {
        return std::nullopt;
    }
    if (auto* placed = group.GetFirstObjectOfType("xfrm"_4cc)) {
        CMatrix4x4 const m = CTransformObject(group, placed).GetMatrix();
        p = TQ3Point3D{
            p.x * m.value[0][0] + p.y * m.value[1][0] + p.z * m.value[2][0] + m.value[3][0],
            p.x * m.value[0][1] + p.y * m.value[1][1] + p.z * m.value[2][1] + m.value[3][1],
            p.x * m.value[0][2] + p.y * m.value[1][2] + p.z * m.value[2][2] + m.value[3][2]};
    }
    return p;
} catch (CSceneException const&) {
    return std::nullopt; // a member that is no group, or an unreadable light: no marker
}

void Plot(Bitmap& picture, int x, int y, uint32_t colour) {
    if (x >= 0 && y >= 0 && x < picture.width() && y < picture.height()) {
        picture.pixels()[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width()) +
                         static_cast<std::size_t>(x)] = colour;
    }
}

uint32_t Packed(TQ3ColorRGB const& c) {
    auto channel = [](float v) {
        return static_cast<uint32_t>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255));
    };
    return channel(c.r) << 16 | channel(c.g) << 8 | channel(c.b);
}

void DrawSun(Bitmap& picture, int cx, int cy, uint32_t colour) {
    constexpr int kRadius = 4;
    for (int dy = -kRadius; dy <= kRadius; ++dy) {
        for (int dx = -kRadius; dx <= kRadius; ++dx) {
            int const d2 = dx * dx + dy * dy;
            if (d2 <= kRadius * kRadius && d2 >= (kRadius - 1) * (kRadius - 1) - 1) {
                Plot(picture, cx + dx, cy + dy, colour);
            }
        }
    }
    for (int r = kRadius + 2; r <= kRadius + 4; ++r) {
        Plot(picture, cx + r, cy, colour);
        Plot(picture, cx - r, cy, colour);
        Plot(picture, cx, cy + r, colour);
        Plot(picture, cx, cy - r, colour);
    }
    Plot(picture, cx, cy, colour);
}

void DrawCross(Bitmap& picture, int cx, int cy, uint32_t colour) {
    for (int r = -4; r <= 4; ++r) {
        Plot(picture, cx + r, cy, colour);
        Plot(picture, cx, cy + r, colour);
    }
}

} // namespace

std::vector<Marker> ViewMarkers(Document const& document, ViewProjection const& projection,
                                TQ3Point3D const& pointOfInterest, int width, int height) {
    std::vector<Marker> markers;
    for (SceneMember const& member : SceneMembers(document)) {
        if (std::optional<TQ3Point3D> const place = LightPlace(member.object)) {
            if (std::optional<Pixel> const at = PixelOf(projection, *place, width, height)) {
                markers.push_back(
                    {MarkerKind::light, member.object, member.selected, at->x, at->y, at->depth});
            }
        }
    }
    if (std::optional<Pixel> const at = PixelOf(projection, pointOfInterest, width, height)) {
        markers.push_back({MarkerKind::pointOfInterest, nullptr, false, at->x, at->y, at->depth});
    }
    return markers;
}

std::optional<Marker> LightMarkerAt(std::vector<Marker> const& markers, float x, float y) {
    std::optional<Marker> found;
    for (Marker const& marker : markers) {
        if (marker.kind == MarkerKind::light &&
            std::hypot(marker.x - x, marker.y - y) <= kMarkerReach &&
            (!found || marker.depth < found->depth)) {
            found = marker;
        }
    }
    return found;
}

void DrawMarkers(Bitmap& picture, std::vector<Marker> const& markers,
                 TQ3ColorRGB const& selection) {
    for (Marker const& marker : markers) {
        int const x = static_cast<int>(std::floor(marker.x));
        int const y = static_cast<int>(std::floor(marker.y));
        if (marker.kind == MarkerKind::light) {
            DrawSun(picture, x, y, marker.selected ? Packed(selection) : 0xFFE040u);
        } else {
            DrawCross(picture, x, y, 0xA0A0A0u);
        }
    }
}

} // namespace refhost::window
