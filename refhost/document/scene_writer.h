// The writing half of document files: the scene's objects as a table in which every object
// comes after everything it refers to.
#pragma once

#include <cstdint>
#include <map>

#include "refhost/document/json_node.h"
#include "refhost/scene/objects.h"

namespace refhost::document {

class SceneWriter {
public:
    // The object's id in the table, writing it (and what it refers to) the first time.
    // Throws DocumentError for an object no document can hold.
    int64_t Id(OpaqueTQ3Object* object);
    Json const& Table() const { return fTable; }

private:
    Json Body(OpaqueTQ3Object* object);
    Json OptionalId(OpaqueTQ3Object* object);
    Json GroupBody(scene::Group& group);
    Json GeometryBody(scene::Geometry& geometry);
    Json SetBody(scene::AttributeSet& set);

    std::map<OpaqueTQ3Object const*, int64_t> fIds;
    Json fTable = Json::array();
};

} // namespace refhost::document
