// What the 3D view draws of a document now, surface by surface in the order the scene is
// walked: the corners of each geometry's triangles in the world and their colours (lines are
// left out).
#pragma once

#include <array>
#include <vector>

#include "refhost/document/document.h"
#include "refhost/view3d/scene_gather.h"

namespace keypose_test {

struct DrawnSurface {
    std::vector<std::array<float, 3>> corners;
    std::vector<std::array<float, 4>> colours; // diffuse colour, opacity
    bool textured = false;                     // a texture takes the colour's place
    bool cornerColours = false;                // some corner has a colour of its own
};

inline std::vector<DrawnSurface> DrawnSurfaces(refhost::Document const& document) {
    auto* view = refhost::scene::As<refhost::scene::View>(document.CurrentView());
    refhost::view3d::ShapeLibrary shapes;
    refhost::view3d::DrawList const list = refhost::view3d::GatherScene(
        shapes, document.SelectedGroup(), document.OtherGroup(), view ? view->lights : nullptr);
    std::vector<DrawnSurface> drawn;
    for (refhost::view3d::Instance const& instance : list.instances) {
        refhost::view3d::ShapeRange const& range = shapes.Range(instance.shape);
        if (range.lines) {
            continue;
        }
        DrawnSurface surface;
        surface.textured = list.materials[instance.material].surface.texture != nullptr;
        for (uint32_t i = range.first; i < range.first + range.count; ++i) {
            refhost::view3d::ShapeVertex const& v = shapes.Vertices()[i];
            std::array<float, 3> world{};
            for (std::size_t j = 0; j < 3; ++j) {
                auto const& row = instance.data.rows[j];
                world[j] = row[0] * v.position[0] + row[1] * v.position[1] +
                           row[2] * v.position[2] + row[3];
            }
            surface.corners.push_back(world);
            auto const& own = v.own;
            auto const& mine = instance.data.colour;
            surface.cornerColours = surface.cornerColours || own[0] > 0 || own[1] > 0;
            surface.colours.push_back(
                {own[0] > 0 ? v.colour[0] : mine[0], own[0] > 0 ? v.colour[1] : mine[1],
                 own[0] > 0 ? v.colour[2] : mine[2], own[1] > 0 ? v.colour[3] : mine[3]});
        }
        drawn.push_back(surface);
    }
    return drawn;
}

} // namespace keypose_test
