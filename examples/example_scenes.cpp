#include "examples/example_scenes.h"

#include <cmath>

#include "host/scene.h"
#include "refhost/document/new_document.h"
#include "refhost/scene/build.h"

namespace examples {

using refhost::Document;
using refhost::StandardLights;
namespace scene = refhost::scene;

namespace {

// A wrapper taking over the reference a factory hands out.
template <typename Wrapper = CShapeObject>
Wrapper Adopt(OpaqueTQ3Object* object) {
    Wrapper wrapper(object);
    C3DObject::Dispose(object);
    return wrapper;
}

CSetObject NamedSet(char const* name) {
    CSetObject set(nullptr, true);
    set.SetNameAttribute(name);
    return set;
}

CMatrix4x4 Moved(float x, float y, float z) {
    CMatrix4x4 m(1.0);
    m.value[3][0] = x;
    m.value[3][1] = y;
    m.value[3][2] = z;
    return m;
}

TQ3CameraData Looking(TQ3Point3D from, TQ3Point3D at) {
    TQ3CameraData data{};
    data.placement = {from, at, {0, 1, 0}};
    data.range = {0.5f, 200};
    data.viewPort = {{-1, 1}, 2, 2};
    return data;
}

TQ3Area const kPane{{0, 0}, {640, 480}};

void AddView(Document& document, CCameraObject const& camera, CLightGroupObject const& lights) {
    OpaqueTQ3Object* view = scene::NewView(camera.GetObject(), lights.GetObject(), kPane);
    document.AddView(view);
    C3DObject::Dispose(view);
}

CTextureShaderObject Checker(uint32_t size) {
    std::vector<uint8_t> rgba;
    for (uint32_t y = 0; y < size; ++y) {
        for (uint32_t x = 0; x < size; ++x) {
            bool const dark = ((x / 4) + (y / 4)) % 2 == 0;
            uint8_t const v = dark ? 40 : 230;
            rgba.insert(rgba.end(), {v, static_cast<uint8_t>(dark ? 90 : 200), v, 255});
        }
    }
    auto texture = Adopt<C3DObject>(scene::NewTexture(size, size, std::move(rgba)));
    return Adopt<CTextureShaderObject>(scene::NewTextureShader(texture.GetObject()));
}

CShapeObject UnitBox() {
    return Adopt(scene::NewBox({-0.5f, -0.5f, -0.5f}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}));
}

// A display group named and placed, holding the shapes.
CDisplayGroupObject Placed(char const* name, CMatrix4x4 const& placement,
                           std::initializer_list<CShapeObject> shapes) {
    CDisplayGroupObject group;
    group.SetSet(NamedSet(name));
    group.AddObject(CTransformObject(placement));
    for (CShapeObject const& shape : shapes) {
        group.AddObject(shape);
    }
    return group;
}

std::unique_ptr<Document> NewDocument(int32_t maximum) {
    auto document = std::make_unique<Document>();
    document->clock = refhost::ClockSettings{600, 0, 0, maximum, 1.0f};
    return document;
}

} // namespace

std::unique_ptr<Document> TexturedBox() {
    auto document = NewDocument(6000);
    CTextureShaderObject shader = Checker(16);
    shader.SetUVTransform(RotateMat({0.5f, 0.5f}, static_cast<float>(M_PI / 8)) * ScaleMat(2, 2));
    CShapeObject box = UnitBox();
    CSetObject set = NamedSet("Textured box");
    set.AddTextureShader(shader);
    set.AddDiffuseColor({1, 1, 1});
    box.SetSet(set);
    // Selected, so that the record button has something to record at once.
    CGroupObject(document->SelectedGroup()).AddObject(Placed("Crate", CMatrix4x4(1.0), {box}));

    CViewAngleAspectCameraObject camera(
        TQ3ViewAngleAspectCameraData{Looking({2.5f, 2, 3}, {0, 0, 0}), 0.8f, 640.0f / 480.0f});
    camera.SetSet(NamedSet("Camera"));
    AddView(*document, camera, StandardLights());
    return document;
}

std::unique_ptr<Document> PaintedCrate() {
    auto document = NewDocument(6000);
    CShapeObject box = UnitBox();
    CSetObject set = NamedSet("Painted box");
    set.AddDiffuseColor({0.8f, 0.55f, 0.3f});
    set.AddSpecularColor({0.3f, 0.3f, 0.3f});
    set.AddSpecularControl(20);
    box.SetSet(set);
    CGroupObject(document->SelectedGroup()).AddObject(Placed("Crate", CMatrix4x4(1.0), {box}));
    CShapeObject slab = Adopt(scene::NewBox({-3, -0.6f, -3}, {0, 0.1f, 0}, {0, 0, 6}, {6, 0, 0}));
    CSetObject grey = NamedSet("Floor");
    grey.AddDiffuseColor({0.55f, 0.55f, 0.6f});
    slab.SetSet(grey);
    CGroupObject(document->OtherGroup()).AddObject(Placed("Floor", CMatrix4x4(1.0), {slab}));

    CViewAngleAspectCameraObject camera(TQ3ViewAngleAspectCameraData{
        Looking({3, 2.5f, 4.5f}, {0.5f, 0, 0}), 0.9f, 640.0f / 480.0f});
    camera.SetSet(NamedSet("Camera"));
    AddView(*document, camera, StandardLights());
    return document;
}

std::unique_ptr<Document> ColouredShapes() {
    auto document = NewDocument(9000);
    CShapeObject box = UnitBox();
    auto* raw = scene::As<scene::Box>(box.GetObject());
    TQ3ColorRGB const faces[6] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {0, 1, 1}, {1, 0, 1}};
    for (std::size_t i = 0; i < 6; ++i) {
        CSetObject face(nullptr, true);
        face.AddDiffuseColor(faces[i]);
        raw->faceSets[i] = face.GetReference();
    }
    box.SetSet(NamedSet("Dice"));

    CShapeObject triangle = Adopt(scene::NewTriangle({{{0, 0, 0}, {1, 0, 0}, {0.5f, 1, 0}}}));
    auto* corners = scene::As<scene::Triangle>(triangle.GetObject());
    for (std::size_t i = 0; i < 3; ++i) {
        CSetObject corner(nullptr, true);
        corner.AddDiffuseColor(faces[i]);
        corners->vertices[i].set = corner.GetReference();
    }
    CSetObject shiny = NamedSet("Shiny triangle");
    shiny.AddSpecularColor({1, 1, 1});
    shiny.AddSpecularControl(20);
    triangle.SetSet(shiny);

    CShapeObject mesh =
        Adopt(scene::NewTriMesh({{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}},
                                {{0, 1, 2}, {0, 2, 3}}, {{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    CSetObject floor = NamedSet("Floor");
    floor.AddDiffuseColor({0.6f, 0.6f, 0.65f});
    floor.AddAmbientCoefficient(0.8f);
    floor.AddTransparencyColor({0.9f, 0.9f, 0.9f});
    floor.AddTextureShader(Checker(8));
    mesh.SetSet(floor);

    CShapeObject curve = Adopt(
        scene::NewNURBCurve(3, {{0, 0, 0, 1}, {1, 2, 0, 1}, {2, 0, 0, 1}}, {0, 0, 0, 1, 1, 1}));
    curve.SetSet(NamedSet("Arc"));
    CShapeObject patch = Adopt(
        scene::NewNURBPatch(2, 2, 2, 2, {{0, 0, 0, 1}, {1, 0, 0, 1}, {0, 1, 0.5f, 1}, {1, 1, 0, 1}},
                            {0, 0, 1, 1}, {0, 0, 1, 1}));
    patch.SetSet(NamedSet("Sail"));

    CGroupObject(document->SelectedGroup()).AddObject(Placed("Dice", Moved(-2, 0.5f, 0), {box}));
    CGroupObject others(document->OtherGroup());
    others.AddObject(Placed("Triangle", Moved(0, 0, 0), {triangle}));
    others.AddObject(Placed("Floor", Moved(-3, -0.5f, -3) * CMatrix4x4(6.0), {mesh}));
    others.AddObject(Placed("Curves", Moved(1.5f, 0, 0), {curve, patch}));

    CViewAngleAspectCameraObject camera(
        TQ3ViewAngleAspectCameraData{Looking({0, 3, 8}, {0, 0, 0}), 0.9f, 640.0f / 480.0f});
    AddView(*document, camera, StandardLights());
    return document;
}

std::unique_ptr<Document> LightsAndCameras() {
    auto document = NewDocument(12000);
    CLightGroupObject lights = StandardLights();
    CPointLightObject lamp(TQ3PointLightData{
        {kQ3True, 0.8f, {1, 0.8f, 0.6f}}, kQ3True, kQ3AttenuationTypeInverseDistance, {0, 3, 0}});
    lamp.SetSet(NamedSet("Lamp"));
    CSpotLightObject spot(TQ3SpotLightData{{kQ3True, 1, {0.7f, 0.8f, 1}},
                                           kQ3False,
                                           kQ3AttenuationTypeNone,
                                           {3, 4, 3},
                                           {-0.5f, -0.7f, -0.5f},
                                           0.3f,
                                           0.5f,
                                           kQ3FallOffTypeCosine});
    spot.SetSet(NamedSet("Spot"));
    CGroupObject others(document->OtherGroup());
    others.AddObject(Placed("Lamp", Moved(0, 0, 0), {lamp}));
    others.AddObject(Placed("Spot", Moved(0, 0, 0), {spot}));
    others.AddObject(Placed("Pillar", Moved(0, 0.5f, 0), {UnitBox()}));

    CViewAngleAspectCameraObject perspective(
        TQ3ViewAngleAspectCameraData{Looking({4, 3, 6}, {0, 0, 0}), 0.8f, 640.0f / 480.0f});
    perspective.SetSet(NamedSet("Perspective"));
    CViewPlaneCameraObject plane(
        TQ3ViewPlaneCameraData{Looking({0, 2, 9}, {0, 0, 0}), 9, 4, 3, 0, 0});
    plane.SetSet(NamedSet("View plane"));
    COrthographicCameraObject ortho(
        TQ3OrthographicCameraData{Looking({0, 10, 0.01f}, {0, 0, 0}), -4, 3, 4, -3});
    ortho.SetSet(NamedSet("Top"));
    AddView(*document, perspective, lights);
    AddView(*document, plane, lights);
    AddView(*document, ortho, lights);
    return document;
}

std::vector<Example> const& AllExamples() {
    static std::vector<Example> const examples{{"textured_box.json", TexturedBox},
                                               {"painted_crate.json", PaintedCrate},
                                               {"coloured_shapes.json", ColouredShapes},
                                               {"lights_and_cameras.json", LightsAndCameras}};
    return examples;
}

} // namespace examples
