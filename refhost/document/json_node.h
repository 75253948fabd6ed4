// Reading a document's JSON with the place of every value at hand: a JsonNode is a value
// and its JSON pointer, and every failure to find or convert a value throws a
// DocumentError that names that pointer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// GCC 12 reports uninitialised members inside the library's iterators, falsely.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <nlohmann/json.hpp>
#pragma GCC diagnostic pop

#include "host/matrix3x3.h"
#include "host/matrix4x4.h"
#include "host/qd3d_types.h"

namespace refhost::document {

// Keys keep the order they were written in, and numbers with a fraction are single
// precision, so that each float is written in its shortest form and read back exactly.
using Json = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool,
                                  std::int64_t, std::uint64_t, float>;

class JsonNode {
public:
    JsonNode(Json const& value, std::string pointer)
        : fValue(value), fPointer(std::move(pointer)) {}

    // A field of an object; a missing field fails.
    JsonNode operator[](std::string_view key) const;
    // A field that may be absent (or null).
    std::optional<JsonNode> Optional(std::string_view key) const;
    // An element of an array.
    JsonNode At(std::size_t index) const;
    // The number of elements; fails unless the value is an array (of exactly `expected`
    // elements, when given).
    std::size_t Size(std::optional<std::size_t> expected = std::nullopt) const;

    bool IsNull() const { return fValue.is_null(); }
    bool Bool() const;
    // A number within the limits, with no fraction.
    int64_t Integer(int64_t minimum, int64_t maximum) const;
    // A number, or one of the strings "nan", "inf" and "-inf" that stand for the values
    // JSON has no number for.
    float Float() const;
    std::string String() const;

    TQ3Point2D Point2D() const;
    TQ3Point3D Point3D() const;
    TQ3Vector3D Vector3D() const;
    TQ3ColorRGB Colour() const;
    TQ3Param2D Param2D() const;
    CMatrix4x4 Matrix4x4() const;
    CMatrix3x3 Matrix3x3() const;

    std::string const& Pointer() const { return fPointer; }
    [[noreturn]] void Fail(std::string const& why) const;

private:
    void Require(bool ok, char const* what) const;

    Json const& fValue;
    std::string fPointer;
};

// The writing side of the same conventions.
Json FloatJson(float value);
Json Point2DJson(TQ3Point2D const& p);
Json Point3DJson(TQ3Point3D const& p);
Json Vector3DJson(TQ3Vector3D const& v);
Json ColourJson(TQ3ColorRGB const& c);
Json Param2DJson(TQ3Param2D const& p);
Json Matrix4x4Json(TQ3Matrix4x4 const& m);
Json Matrix3x3Json(TQ3Matrix3x3 const& m);

} // namespace refhost::document
