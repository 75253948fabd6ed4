#include "refhost/document/new_document.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "refhost/scene/build.h"

namespace refhost {

namespace {

constexpr float kSpacing = 1.5f;

CSetObject NamedSet(std::string const& name) {
    CSetObject set(nullptr, true);
    set.SetNameAttribute(name.c_str());
    return set;
}

// Colours a newcomer tells apart at a glance, used in turn.
TQ3ColorRGB BoxColour(std::size_t index) {
    static constexpr std::array<TQ3ColorRGB, 6> kColours{{{0.8f, 0.55f, 0.3f},
                                                          {0.3f, 0.55f, 0.85f},
                                                          {0.45f, 0.75f, 0.35f},
                                                          {0.85f, 0.35f, 0.4f},
                                                          {0.75f, 0.7f, 0.3f},
                                                          {0.6f, 0.45f, 0.8f}}};
    return kColours[index % kColours.size()];
}

CDisplayGroupObject Box(std::string const& name, float x, TQ3ColorRGB const& colour) {
    OpaqueTQ3Object* made = scene::NewBox({-0.5f, -0.5f, -0.5f}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0});
    CShapeObject box(made);
    C3DObject::Dispose(made);
    CSetObject surface = NamedSet(name + " box");
    surface.AddDiffuseColor(colour);
    box.SetSet(surface);
    CMatrix4x4 placement(1.0);
    placement.value[3][0] = x;
    CDisplayGroupObject group;
    group.SetSet(NamedSet(name));
    group.AddObject(CTransformObject(placement));
    group.AddObject(box);
    return group;
}

} // namespace

CLightGroupObject StandardLights() {
    CLightGroupObject lights;
    CAmbientLightObject ambient(TQ3LightData{kQ3True, 0.3f, {1, 1, 1}});
    ambient.SetSet(NamedSet("Ambient light"));
    lights.AddObject(ambient);
    CDirectionalLightObject sun(
        TQ3DirectionalLightData{{kQ3True, 0.9f, {1, 0.95f, 0.85f}}, kQ3False, {-0.4f, -1, -0.6f}});
    sun.SetSet(NamedSet("Sun"));
    lights.AddObject(sun);
    return lights;
}

std::unique_ptr<Document> NewDocument(std::vector<std::string> const& boxNames) {
    for (std::size_t i = 0; i < boxNames.size(); ++i) {
        if (boxNames[i].empty()) {
            throw std::invalid_argument("a box needs a name");
        }
        if (std::find(boxNames.begin(), boxNames.begin() + static_cast<std::ptrdiff_t>(i),
                      boxNames[i]) != boxNames.begin() + static_cast<std::ptrdiff_t>(i)) {
            throw std::invalid_argument("two boxes are called '" + boxNames[i] + "'");
        }
    }
    auto document = std::make_unique<Document>();
    document->clock = ClockSettings{600, 0, 0, 6000, 1.0f};
    CGroupObject others(document->OtherGroup());
    float const first = -kSpacing * static_cast<float>(boxNames.size() - 1) / 2;
    for (std::size_t i = 0; i < boxNames.size(); ++i) {
        others.AddObject(Box(boxNames[i], first + kSpacing * static_cast<float>(i), BoxColour(i)));
    }

    // Farther back the wider the row of boxes.
    float const distance =
        1.0f + 0.3f * static_cast<float>(std::max<std::size_t>(boxNames.size(), 1) - 1);
    TQ3CameraData data{};
    data.placement = {{2.5f * distance, 2 * distance, 3 * distance}, {0, 0, 0}, {0, 1, 0}};
    data.range = {0.5f, 200};
    data.viewPort = {{-1, 1}, 2, 2};
    CViewAngleAspectCameraObject camera(TQ3ViewAngleAspectCameraData{data, 0.8f, 640.0f / 480.0f});
    camera.SetSet(NamedSet("Camera"));
    CLightGroupObject const lights = StandardLights();
    OpaqueTQ3Object* view =
        scene::NewView(camera.GetObject(), lights.GetObject(), TQ3Area{{0, 0}, {640, 480}});
    document->AddView(view);
    C3DObject::Dispose(view);
    return document;
}

} // namespace refhost
