#include "refhost/document/json_node.h"

#include <cmath>
#include <limits>

#include "refhost/document/document_file.h"

namespace refhost::document {

void JsonNode::Fail(std::string const& why) const {
    throw DocumentError((fPointer.empty() ? std::string("/") : fPointer) + ": " + why);
}

void JsonNode::Require(bool ok, char const* what) const {
    if (!ok) {
        Fail(std::string("expected ") + what);
    }
}

JsonNode JsonNode::operator[](std::string_view key) const {
    std::optional<JsonNode> field = Optional(key);
    if (!field) {
        Fail("missing field \"" + std::string(key) + "\"");
    }
    return *field;
}

std::optional<JsonNode> JsonNode::Optional(std::string_view key) const {
    Require(fValue.is_object(), "an object");
    auto found = fValue.find(key);
    if (found == fValue.end() || found->is_null()) {
        return std::nullopt;
    }
    return JsonNode(*found, fPointer + "/" + std::string(key));
}

JsonNode JsonNode::At(std::size_t index) const {
    Require(fValue.is_array(), "an array");
    if (index >= fValue.size()) {
        Fail("missing element " + std::to_string(index));
    }
    return JsonNode(fValue[index], fPointer + "/" + std::to_string(index));
}

std::size_t JsonNode::Size(std::optional<std::size_t> expected) const {
    Require(fValue.is_array(), "an array");
    if (expected && fValue.size() != *expected) {
        Fail("expected " + std::to_string(*expected) + " elements, found " +
             std::to_string(fValue.size()));
    }
    return fValue.size();
}

bool JsonNode::Bool() const {
    Require(fValue.is_boolean(), "true or false");
    return fValue.get<bool>();
}

int64_t JsonNode::Integer(int64_t minimum, int64_t maximum) const {
    Require(fValue.is_number_integer(), "a whole number");
    if (fValue.is_number_unsigned() && fValue.get<uint64_t>() > uint64_t(INT64_MAX)) {
        Fail("number out of range");
    }
    int64_t const value = fValue.get<int64_t>();
    if (value < minimum || value > maximum) {
        Fail("number " + std::to_string(value) + " out of range " + std::to_string(minimum) + ".." +
             std::to_string(maximum));
    }
    return value;
}

float JsonNode::Float() const {
    if (fValue.is_string()) {
        std::string const text = fValue.get<std::string>();
        if (text == "nan") {
            return std::numeric_limits<float>::quiet_NaN();
        }
        if (text == "inf" || text == "-inf") {
            float const infinity = std::numeric_limits<float>::infinity();
            return text == "inf" ? infinity : -infinity;
        }
    }
    Require(fValue.is_number(), "a number");
    float const value = fValue.get<float>();
    if (!std::isfinite(value)) {
        Fail("number too large for single precision");
    }
    return value;
}

std::string JsonNode::String() const {
    Require(fValue.is_string(), "a string");
    return fValue.get<std::string>();
}

TQ3Point2D JsonNode::Point2D() const {
    Size(2);
    return {At(0).Float(), At(1).Float()};
}

TQ3Point3D JsonNode::Point3D() const {
    Size(3);
    return {At(0).Float(), At(1).Float(), At(2).Float()};
}

TQ3Vector3D JsonNode::Vector3D() const {
    TQ3Point3D const p = Point3D();
    return {p.x, p.y, p.z};
}

TQ3ColorRGB JsonNode::Colour() const {
    TQ3Point3D const p = Point3D();
    return {p.x, p.y, p.z};
}

TQ3Param2D JsonNode::Param2D() const {
    TQ3Point2D const p = Point2D();
    return {p.x, p.y};
}

CMatrix4x4 JsonNode::Matrix4x4() const {
    Size(16);
    CMatrix4x4 m;
    for (std::size_t i = 0; i < 16; ++i) {
        m.value[i / 4][i % 4] = At(i).Float();
    }
    return m;
}

CMatrix3x3 JsonNode::Matrix3x3() const {
    Size(9);
    CMatrix3x3 m;
    for (std::size_t i = 0; i < 9; ++i) {
        m.value[i / 3][i % 3] = At(i).Float();
    }
    return m;
}

Json FloatJson(float value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value > 0 ? "inf" : "-inf";
    }
    return value;
}

Json Point2DJson(TQ3Point2D const& p) {
    return Json::array({FloatJson(p.x), FloatJson(p.y)});
}

Json Point3DJson(TQ3Point3D const& p) {
    return Json::array({FloatJson(p.x), FloatJson(p.y), FloatJson(p.z)});
}

Json Vector3DJson(TQ3Vector3D const& v) {
    return Json::array({FloatJson(v.x), FloatJson(v.y), FloatJson(v.z)});
}

Json ColourJson(TQ3ColorRGB const& c) {
    return Json::array({FloatJson(c.r), FloatJson(c.g), FloatJson(c.b)});
}

Json Param2DJson(TQ3Param2D const& p) {
    return Json::array({FloatJson(p.u), FloatJson(p.v)});
}

Json Matrix4x4Json(TQ3Matrix4x4 const& m) {
    Json values = Json::array();
    for (auto const& row : m.value) {
        for (float v : row) {
            values.push_back(FloatJson(v));
        }
    }
    return values;
}

Json Matrix3x3Json(TQ3Matrix3x3 const& m) {
    Json values = Json::array();
    for (auto const& row : m.value) {
        for (float v : row) {
            values.push_back(FloatJson(v));
        }
    }
    return values;
}

} // namespace refhost::document
