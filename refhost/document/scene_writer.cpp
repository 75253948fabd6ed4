#include "refhost/document/scene_writer.h"

#include "host/four_char_code.h"
#include "refhost/document/base64.h"
#include "refhost/document/document_file.h"
#include "refhost/document/scene_kinds.h"

namespace refhost::document {

using namespace refhost::scene;

int64_t SceneWriter::Id(OpaqueTQ3Object* object) {
    if (auto found = fIds.find(object); found != fIds.end()) {
        return found->second;
    }
    Json body = Body(object);
    int64_t const id = static_cast<int64_t>(fTable.size()) + 1;
    fIds[object] = id;
    Json entry = Json::object();
    entry["id"] = id;
    for (auto& [key, value] : body.items()) {
        entry[key] = value;
    }
    fTable.push_back(std::move(entry));
    return id;
}

Json SceneWriter::OptionalId(OpaqueTQ3Object* object) {
    return object ? Json(Id(object)) : Json(nullptr);
}

Json SceneWriter::Body(OpaqueTQ3Object* object) {
    Json body = Json::object();
    if (auto* set = As<AttributeSet>(object)) {
        Json fields = SetBody(*set);
        body["kind"] = "attributeSet";
        for (auto& [key, value] : fields.items()) {
            body[key] = value;
        }
        return body;
    }
    Json const set = OptionalId(object->set);
    if (auto* group = As<Group>(object)) {
        body = GroupBody(*group);
    } else if (auto* transform = As<Transform>(object)) {
        body["kind"] = "transform";
        body["matrix"] = Matrix4x4Json(transform->matrix);
    } else if (auto* geometry = As<Geometry>(object)) {
        body = GeometryBody(*geometry);
    } else if (auto* light = As<Light>(object)) {
        body["kind"] = "light";
        body["lightKind"] = FourCharCodeText(light->Kind());
        body["isOn"] = light->common.isOn != kQ3False;
        body["brightness"] = FloatJson(light->common.brightness);
        body["colour"] = ColourJson(light->common.color);
        body["castsShadows"] = light->castsShadows != kQ3False;
        body["direction"] = Vector3DJson(light->direction);
        body["location"] = Point3DJson(light->location);
        body["attenuation"] = static_cast<int64_t>(light->attenuation);
        body["hotAngle"] = FloatJson(light->hotAngle);
        body["outerAngle"] = FloatJson(light->outerAngle);
        body["fallOff"] = static_cast<int64_t>(light->fallOff);
    } else if (auto* camera = As<Camera>(object)) {
        TQ3CameraData const& data = camera->data;
        body["kind"] = "camera";
        body["cameraKind"] = FourCharCodeText(camera->Kind());
        body["location"] = Point3DJson(data.placement.cameraLocation);
        body["pointOfInterest"] = Point3DJson(data.placement.pointOfInterest);
        body["upVector"] = Vector3DJson(data.placement.upVector);
        body["hither"] = FloatJson(data.range.hither);
        body["yon"] = FloatJson(data.range.yon);
        body["viewPortOrigin"] = Point2DJson(data.viewPort.origin);
        body["viewPortSize"] =
            Json::array({FloatJson(data.viewPort.width), FloatJson(data.viewPort.height)});
        body["fieldOfView"] = FloatJson(camera->fieldOfView);
        body["aspectRatio"] = FloatJson(camera->aspectRatio);
        body["orthographic"] = Json::array({FloatJson(camera->left), FloatJson(camera->top),
                                            FloatJson(camera->right), FloatJson(camera->bottom)});
        body["viewPlane"] = Json::array({FloatJson(camera->viewPlane), FloatJson(camera->halfWidth),
                                         FloatJson(camera->halfHeight), FloatJson(camera->centreX),
                                         FloatJson(camera->centreY)});
    } else if (auto* texture = As<Texture>(object)) {
        body["kind"] = "texture";
        body["width"] = texture->width;
        body["height"] = texture->height;
        body["pixels"] = EncodeBase64(texture->rgba.data(), texture->rgba.size());
    } else if (auto* shader = As<TextureShader>(object)) {
        body["kind"] = "textureShader";
        body["uvTransform"] = Matrix3x3Json(shader->uvTransform);
        body["texture"] = OptionalId(shader->texture);
    } else if (auto* context = As<DrawContext>(object)) {
        body["kind"] = "drawContext";
        body["pane"] =
            Json::array({Point2DJson(context->pane.min), Point2DJson(context->pane.max)});
    } else if (auto* view = As<View>(object)) {
        body["kind"] = "view";
        body["camera"] = OptionalId(view->camera);
        body["lights"] = OptionalId(view->lights);
        body["drawContext"] = OptionalId(view->drawContext);
    } else {
        throw DocumentError("an object of type " + FourCharCodeText(object->chain.Leaf()) +
                            " cannot be saved");
    }
    if (!set.is_null()) {
        body["set"] = set;
    }
    return body;
}

Json SceneWriter::GroupBody(Group& group) {
    Json body = Json::object();
    body["kind"] = "group";
    body["groupKind"] = GroupKindName(group.kind);
    if (group.IsDisplayGroup()) {
        body["state"] = group.state;
    }
    Json members = Json::array();
    for (OpaqueTQ3GroupPosition* p = group.first; p; p = p->next) {
        members.push_back(Id(p->object));
    }
    body["members"] = std::move(members);
    return body;
}

Json SceneWriter::GeometryBody(Geometry& geometry) {
    Json body = Json::object();
    if (auto* box = As<Box>(&geometry)) {
        body["kind"] = "box";
        body["origin"] = Point3DJson(box->origin);
        body["orientation"] = Vector3DJson(box->orientation);
        body["majorAxis"] = Vector3DJson(box->majorAxis);
        body["minorAxis"] = Vector3DJson(box->minorAxis);
        Json faces = Json::array();
        for (OpaqueTQ3Object* face : box->faceSets) {
            faces.push_back(OptionalId(face));
        }
        body["faceSets"] = std::move(faces);
    } else if (auto* triangle = As<Triangle>(&geometry)) {
        body["kind"] = "triangle";
        Json vertices = Json::array();
        for (Vertex const& vertex : triangle->vertices) {
            vertices.push_back(
                {{"point", Point3DJson(vertex.point)}, {"set", OptionalId(vertex.set)}});
        }
        body["vertices"] = std::move(vertices);
    } else if (auto* mesh = As<TriMesh>(&geometry)) {
        body["kind"] = "triMesh";
        Json points = Json::array(), triangles = Json::array(), uvs = Json::array(),
             faces = Json::array();
        for (TQ3Point3D const& p : mesh->points) {
            points.push_back(Point3DJson(p));
        }
        for (auto const& t : mesh->triangles) {
            triangles.push_back(Json::array({t[0], t[1], t[2]}));
        }
        for (TQ3Param2D const& uv : mesh->uvs) {
            uvs.push_back(Param2DJson(uv));
        }
        for (OpaqueTQ3Object* face : mesh->faceSets) {
            faces.push_back(OptionalId(face));
        }
        body["points"] = std::move(points);
        body["triangles"] = std::move(triangles);
        body["uvs"] = std::move(uvs);
        if (!mesh->normals.empty()) { // absent, not empty, so meshes without stay as they were
            Json normals = Json::array();
            for (TQ3Vector3D const& n : mesh->normals) {
                normals.push_back(Vector3DJson(n));
            }
            body["normals"] = std::move(normals);
        }
        body["faceSets"] = std::move(faces);
    } else if (auto* curve = As<NURBCurve>(&geometry)) {
        body["kind"] = "nurbCurve";
        body["order"] = curve->order;
        body["controlPoints"] = ControlPointsJson(curve->controlPoints);
        body["knots"] = FloatsJson(curve->knots);
    } else if (auto* patch = As<NURBPatch>(&geometry)) {
        body["kind"] = "nurbPatch";
        body["uOrder"] = patch->uOrder;
        body["vOrder"] = patch->vOrder;
        body["rows"] = patch->rows;
        body["columns"] = patch->columns;
        body["controlPoints"] = ControlPointsJson(patch->controlPoints);
        body["uKnots"] = FloatsJson(patch->uKnots);
        body["vKnots"] = FloatsJson(patch->vKnots);
    } else {
        throw DocumentError("a geometry of type " + FourCharCodeText(geometry.chain.Leaf()) +
                            " cannot be saved");
    }
    return body;
}

Json SceneWriter::SetBody(AttributeSet& set) {
    Json body = Json::object();
    if (set.diffuse) {
        body["diffuse"] = ColourJson(*set.diffuse);
    }
    if (set.specular) {
        body["specular"] = ColourJson(*set.specular);
    }
    if (set.transparency) {
        body["transparency"] = ColourJson(*set.transparency);
    }
    if (set.ambientCoefficient) {
        body["ambientCoefficient"] = FloatJson(*set.ambientCoefficient);
    }
    if (set.specularControl) {
        body["specularControl"] = FloatJson(*set.specularControl);
    }
    if (set.surfaceUV) {
        body["surfaceUV"] = Param2DJson(*set.surfaceUV);
    }
    if (set.csgID) {
        body["csgID"] = *set.csgID;
    }
    if (set.name) {
        body["name"] = *set.name;
    }
    if (set.shader) {
        body["shader"] = Id(set.shader);
    }
    if (!set.custom.empty()) {
        Json custom = Json::array();
        for (auto const& [type, pair] : set.custom) {
            Json block = Json::object();
            block["type"] = FourCharCodeText(type);
            std::string const bytes = BlockBase64(pair);
            block["size"] = static_cast<int64_t>(BlockBytesKept(pair));
            block["bytes"] = bytes;
            custom.push_back(std::move(block));
        }
        body["custom"] = std::move(custom);
    }
    return body;
}

} // namespace refhost::document
