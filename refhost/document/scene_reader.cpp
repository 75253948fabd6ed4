#include "refhost/document/scene_reader.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

#include "host/memory.h"
#include "host/scene.h"
#include "refhost/document/base64.h"
#include "refhost/document/scene_kinds.h"
#include "refhost/text/shown_text.h"

namespace refhost::document {

using namespace refhost::scene;

namespace {

// Holds a new object's first reference until the table takes it.
struct Made {
    OpaqueTQ3Object* object;
    explicit Made(OpaqueTQ3Object* o) : object(o) {}
    Made(Made const&) = delete;
    Made& operator=(Made const&) = delete;
    ~Made() {
        if (object) {
            scene::Release(object);
        }
    }
    OpaqueTQ3Object* Release() { return std::exchange(object, nullptr); }
};

template <typename T>
T* Fresh(Made& made) {
    return static_cast<T*>(made.object);
}

FourCharCode KindCode(JsonNode const& node, std::initializer_list<FourCharCode> allowed) {
    std::string const text = node.String();
    std::optional<FourCharCode> code = FourCharCodeFromText(text);
    for (FourCharCode ok : allowed) {
        if (code && *code == ok) {
            return ok;
        }
    }
    node.Fail("unknown kind \"" + ShownText(text) + "\"");
}

std::vector<float> Floats(JsonNode const& node) {
    std::vector<float> values(node.Size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = node.At(i).Float();
    }
    return values;
}

std::vector<std::array<float, 4>> ControlPoints(JsonNode const& node) {
    std::vector<std::array<float, 4>> points(node.Size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        JsonNode const point = node.At(i);
        point.Size(4);
        for (std::size_t k = 0; k < 4; ++k) {
            points[i][k] = point.At(k).Float();
        }
    }
    return points;
}

// A mesh's normals: one a point, each of finite numbers (a normal has no use for the
// stand-ins of the numbers JSON lacks).
std::vector<TQ3Vector3D> Normals(JsonNode const& node, std::size_t points) {
    std::vector<TQ3Vector3D> normals(node.Size(points));
    for (std::size_t i = 0; i < normals.size(); ++i) {
        JsonNode const normal = node.At(i);
        TQ3Vector3D const n = normal.Vector3D();
        float const parts[3] = {n.x, n.y, n.z};
        for (std::size_t k = 0; k < 3; ++k) {
            if (!std::isfinite(parts[k])) {
                normal.At(k).Fail("a normal needs finite numbers");
            }
        }
        normals[i] = n;
    }
    return normals;
}

uint32_t Count(JsonNode const& node) {
    return static_cast<uint32_t>(node.Integer(0, UINT32_MAX));
}

} // namespace

SceneReader::~SceneReader() {
    for (auto& [id, object] : fById) {
        scene::Release(object);
    }
}

OpaqueTQ3Object* SceneReader::Lookup(JsonNode const& id) const {
    int64_t const value = id.Integer(1, INT64_MAX);
    auto found = fById.find(value);
    if (found == fById.end()) {
        id.Fail("no object " + std::to_string(value) + " comes before this one");
    }
    return found->second;
}

template <typename T>
OpaqueTQ3Object* SceneReader::OptionalObject(JsonNode const& entry, char const* key,
                                             char const* what) const {
    std::optional<JsonNode> id = entry.Optional(key);
    return id ? Object<T>(*id, what) : nullptr;
}

void SceneReader::ReadTable(JsonNode const& table) {
    std::size_t const count = table.Size();
    for (std::size_t i = 0; i < count; ++i) {
        JsonNode const entry = table.At(i);
        JsonNode const idNode = entry["id"];
        int64_t const id = idNode.Integer(1, INT64_MAX);
        if (fById.count(id)) {
            idNode.Fail("id " + std::to_string(id) + " is used twice");
        }
        Made made(Make(entry));
        if (!As<AttributeSet>(made.object)) {
            if (OpaqueTQ3Object* set =
                    OptionalObject<AttributeSet>(entry, "set", "an attribute set")) {
                Assign(made.object->set, set);
            }
        }
        fById[id] = made.Release();
    }
}

OpaqueTQ3Object* SceneReader::Make(JsonNode const& entry) {
    JsonNode const kindNode = entry["kind"];
    std::string const kind = kindNode.String();
    if (kind == "group") {
        return MakeGroup(entry);
    }
    if (kind == "transform") {
        return new Transform(entry["matrix"].Matrix4x4());
    }
    if (kind == "box" || kind == "triangle" || kind == "triMesh" || kind == "nurbCurve" ||
        kind == "nurbPatch") {
        return MakeGeometry(entry, kind);
    }
    if (kind == "light") {
        return MakeLight(entry);
    }
    if (kind == "camera") {
        return MakeCamera(entry);
    }
    if (kind == "texture") {
        uint32_t const width = Count(entry["width"]);
        uint32_t const height = Count(entry["height"]);
        JsonNode const pixels = entry["pixels"];
        std::optional<std::vector<uint8_t>> rgba = DecodeBase64(pixels.String());
        if (!rgba) {
            pixels.Fail("not base64");
        }
        if (rgba->size() != uint64_t{width} * height * 4) {
            pixels.Fail("expected " + std::to_string(uint64_t{width} * height * 4) + " bytes");
        }
        return new Texture(width, height, std::move(*rgba));
    }
    if (kind == "textureShader") {
        // Everything is read before the object is made, so a refusal leaves nothing behind.
        OpaqueTQ3Object* texture = OptionalObject<Texture>(entry, "texture", "a texture");
        CMatrix3x3 const uvTransform = entry["uvTransform"].Matrix3x3();
        auto* shader = new TextureShader(texture);
        shader->uvTransform = uvTransform;
        return shader;
    }
    if (kind == "attributeSet") {
        return MakeSet(entry);
    }
    if (kind == "drawContext") {
        JsonNode const pane = entry["pane"];
        pane.Size(2);
        TQ3Area const area{pane.At(0).Point2D(), pane.At(1).Point2D()};
        auto* context = new DrawContext;
        context->pane = area;
        return context;
    }
    if (kind == "view") {
        return MakeView(entry);
    }
    kindNode.Fail("unknown object kind \"" + ShownText(kind) + "\"");
}

OpaqueTQ3Object* SceneReader::MakeGroup(JsonNode const& entry) {
    JsonNode const kindNode = entry["groupKind"];
    std::optional<GroupKind> kind = GroupKindNamed(kindNode.String());
    if (!kind) {
        kindNode.Fail("unknown group kind \"" + ShownText(kindNode.String()) + "\"");
    }
    Made made(new Group(*kind));
    Group* group = Fresh<Group>(made);
    if (group->IsDisplayGroup()) {
        group->state = Count(entry["state"]);
    }
    JsonNode const members = entry["members"];
    CGroupObject wrapper(group);
    for (std::size_t i = 0; i < members.Size(); ++i) {
        JsonNode const id = members.At(i);
        wrapper.AddObject(CSharedObject(Lookup(id)));
    }
    return made.Release();
}

OpaqueTQ3Object* SceneReader::MakeGeometry(JsonNode const& entry, std::string const& kind) {
    if (kind == "box") {
        Made made(new Box);
        Box* box = Fresh<Box>(made);
        box->origin = entry["origin"].Point3D();
        box->orientation = entry["orientation"].Vector3D();
        box->majorAxis = entry["majorAxis"].Vector3D();
        box->minorAxis = entry["minorAxis"].Vector3D();
        JsonNode const faces = entry["faceSets"];
        faces.Size(6);
        for (std::size_t i = 0; i < 6; ++i) {
            JsonNode const face = faces.At(i);
            if (!face.IsNull()) {
                Assign(box->faceSets[i], Object<AttributeSet>(face, "an attribute set"));
            }
        }
        return made.Release();
    }
    if (kind == "triangle") {
        Made made(new Triangle);
        Triangle* triangle = Fresh<Triangle>(made);
        JsonNode const vertices = entry["vertices"];
        vertices.Size(3);
        for (std::size_t i = 0; i < 3; ++i) {
            JsonNode const vertex = vertices.At(i);
            triangle->vertices[i].point = vertex["point"].Point3D();
            if (OpaqueTQ3Object* set =
                    OptionalObject<AttributeSet>(vertex, "set", "an attribute set")) {
                Assign(triangle->vertices[i].set, set);
            }
        }
        return made.Release();
    }
    if (kind == "triMesh") {
        Made made(new TriMesh);
        TriMesh* mesh = Fresh<TriMesh>(made);
        JsonNode const points = entry["points"];
        for (std::size_t i = 0; i < points.Size(); ++i) {
            mesh->points.push_back(points.At(i).Point3D());
        }
        JsonNode const triangles = entry["triangles"];
        for (std::size_t i = 0; i < triangles.Size(); ++i) {
            JsonNode const t = triangles.At(i);
            t.Size(3);
            std::array<uint32_t, 3> corners{};
            for (std::size_t k = 0; k < 3; ++k) {
                corners[k] = static_cast<uint32_t>(
                    t.At(k).Integer(0, static_cast<int64_t>(mesh->points.size()) - 1));
            }
            mesh->triangles.push_back(corners);
        }
        JsonNode const uvs = entry["uvs"];
        if (uvs.Size() != 0) {
            uvs.Size(mesh->points.size());
        }
        for (std::size_t i = 0; i < uvs.Size(); ++i) {
            mesh->uvs.push_back(uvs.At(i).Param2D());
        }
        if (std::optional<JsonNode> const normals = entry.Optional("normals")) {
            mesh->normals = Normals(*normals, mesh->points.size());
        }
        JsonNode const faces = entry["faceSets"];
        if (faces.Size() != 0) {
            faces.Size(mesh->triangles.size());
        }
        for (std::size_t i = 0; i < faces.Size(); ++i) {
            JsonNode const face = faces.At(i);
            OpaqueTQ3Object* set =
                face.IsNull() ? nullptr : Object<AttributeSet>(face, "an attribute set");
            if (set) {
                Retain(set);
            }
            mesh->faceSets.push_back(set);
        }
        return made.Release();
    }
    if (kind == "nurbCurve") {
        Made made(new NURBCurve);
        NURBCurve* curve = Fresh<NURBCurve>(made);
        curve->order = Count(entry["order"]);
        curve->controlPoints = ControlPoints(entry["controlPoints"]);
        curve->knots = Floats(entry["knots"]);
        return made.Release();
    }
    Made made(new NURBPatch);
    NURBPatch* patch = Fresh<NURBPatch>(made);
    patch->uOrder = Count(entry["uOrder"]);
    patch->vOrder = Count(entry["vOrder"]);
    patch->rows = Count(entry["rows"]);
    patch->columns = Count(entry["columns"]);
    JsonNode const points = entry["controlPoints"];
    patch->controlPoints = ControlPoints(points);
    if (patch->controlPoints.size() != uint64_t{patch->rows} * patch->columns) {
        points.Fail("expected rows x columns control points");
    }
    patch->uKnots = Floats(entry["uKnots"]);
    patch->vKnots = Floats(entry["vKnots"]);
    return made.Release();
}

OpaqueTQ3Object* SceneReader::MakeLight(JsonNode const& entry) {
    FourCharCode const kind =
        KindCode(entry["lightKind"], {"ambn"_4cc, "drct"_4cc, "pntl"_4cc, "spot"_4cc});
    Made made(new Light(kind));
    Light* light = Fresh<Light>(made);
    light->common.isOn = entry["isOn"].Bool() ? kQ3True : kQ3False;
    light->common.brightness = entry["brightness"].Float();
    light->common.color = entry["colour"].Colour();
    light->castsShadows = entry["castsShadows"].Bool() ? kQ3True : kQ3False;
    light->direction = entry["direction"].Vector3D();
    light->location = entry["location"].Point3D();
    light->attenuation = static_cast<TQ3AttenuationType>(entry["attenuation"].Integer(0, 2));
    light->hotAngle = entry["hotAngle"].Float();
    light->outerAngle = entry["outerAngle"].Float();
    light->fallOff = static_cast<TQ3FallOffType>(entry["fallOff"].Integer(0, 3));
    return made.Release();
}

OpaqueTQ3Object* SceneReader::MakeCamera(JsonNode const& entry) {
    FourCharCode const kind = KindCode(entry["cameraKind"], {"vana"_4cc, "vwpl"_4cc, "orth"_4cc});
    Made made(new Camera(kind));
    Camera* camera = Fresh<Camera>(made);
    TQ3CameraData& data = camera->data;
    data.placement.cameraLocation = entry["location"].Point3D();
    data.placement.pointOfInterest = entry["pointOfInterest"].Point3D();
    data.placement.upVector = entry["upVector"].Vector3D();
    data.range.hither = entry["hither"].Float();
    data.range.yon = entry["yon"].Float();
    data.viewPort.origin = entry["viewPortOrigin"].Point2D();
    TQ3Point2D const size = entry["viewPortSize"].Point2D();
    data.viewPort.width = size.x;
    data.viewPort.height = size.y;
    camera->fieldOfView = entry["fieldOfView"].Float();
    camera->aspectRatio = entry["aspectRatio"].Float();
    JsonNode const ortho = entry["orthographic"];
    ortho.Size(4);
    camera->left = ortho.At(0).Float();
    camera->top = ortho.At(1).Float();
    camera->right = ortho.At(2).Float();
    camera->bottom = ortho.At(3).Float();
    JsonNode const plane = entry["viewPlane"];
    plane.Size(5);
    camera->viewPlane = plane.At(0).Float();
    camera->halfWidth = plane.At(1).Float();
    camera->halfHeight = plane.At(2).Float();
    camera->centreX = plane.At(3).Float();
    camera->centreY = plane.At(4).Float();
    return made.Release();
}

OpaqueTQ3Object* SceneReader::MakeSet(JsonNode const& entry) {
    Made made(new AttributeSet);
    AttributeSet* set = Fresh<AttributeSet>(made);
    if (auto v = entry.Optional("diffuse")) {
        set->diffuse = v->Colour();
    }
    if (auto v = entry.Optional("specular")) {
        set->specular = v->Colour();
    }
    if (auto v = entry.Optional("transparency")) {
        set->transparency = v->Colour();
    }
    if (auto v = entry.Optional("ambientCoefficient")) {
        set->ambientCoefficient = v->Float();
    }
    if (auto v = entry.Optional("specularControl")) {
        set->specularControl = v->Float();
    }
    if (auto v = entry.Optional("surfaceUV")) {
        set->surfaceUV = v->Param2D();
    }
    if (auto v = entry.Optional("csgID")) {
        set->csgID = static_cast<int32_t>(v->Integer(INT32_MIN, INT32_MAX));
    }
    if (auto v = entry.Optional("name")) {
        set->name = v->String();
    }
    if (OpaqueTQ3Object* shader =
            OptionalObject<TextureShader>(entry, "shader", "a texture shader")) {
        Assign(set->shader, shader);
    }
    if (auto custom = entry.Optional("custom")) {
        for (std::size_t i = 0; i < custom->Size(); ++i) {
            JsonNode const block = custom->At(i);
            JsonNode const typeNode = block["type"];
            std::optional<FourCharCode> type = FourCharCodeFromText(typeNode.String());
            if (!type) {
                typeNode.Fail("expected a four-character type");
            }
            if (set->custom.count(*type)) {
                typeNode.Fail("the type " + typeNode.String() + " is held twice");
            }
            auto const size = static_cast<int32_t>(block["size"].Integer(0, INT32_MAX));
            JsonNode const bytesNode = block["bytes"];
            std::optional<std::vector<uint8_t>> bytes = DecodeBase64(bytesNode.String());
            if (!bytes) {
                bytesNode.Fail("not base64");
            }
            if (bytes->size() != static_cast<std::size_t>(size)) {
                bytesNode.Fail("holds " + std::to_string(bytes->size()) + " bytes, but size is " +
                               std::to_string(size));
            }
            THandlePair pair{size, NewHandle(static_cast<Size>(bytes->size()))};
            if (!pair.data) {
                bytesNode.Fail("no memory for a block of " + std::to_string(bytes->size()) +
                               " bytes");
            }
            if (!bytes->empty()) {
                std::memcpy(*pair.data, bytes->data(), bytes->size());
            }
            set->custom[*type] = pair; // the set owns the block from here on
        }
    }
    return made.Release();
}

OpaqueTQ3Object* SceneReader::MakeView(JsonNode const& entry) {
    Made made(new View);
    View* view = Fresh<View>(made);
    Assign(view->camera, Object<Camera>(entry["camera"], "a camera"));
    Group* lights = Object<Group>(entry["lights"], "a light group");
    if (lights->kind != GroupKind::kLight) {
        entry["lights"].Fail("expected the id of a light group");
    }
    Assign(view->lights, lights);
    Assign(view->drawContext, Object<DrawContext>(entry["drawContext"], "a draw context"));
    return made.Release();
}

} // namespace refhost::document
