// The reading half of document files: the object table, read in order, each object
// referring only to objects before it.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "refhost/document/json_node.h"
#include "refhost/scene/objects.h"

namespace refhost::document {

class SceneReader {
public:
    SceneReader() = default;
    SceneReader(SceneReader const&) = delete;
    SceneReader& operator=(SceneReader const&) = delete;
    // Releases the reader's reference to every object it made.
    ~SceneReader();

    // Reads every entry of the table; throws DocumentError naming the entry's field.
    void ReadTable(JsonNode const& table);
    // The object an id names (borrowed: the reader keeps it alive); fails unless it is of
    // the kind T.
    template <typename T>
    T* Object(JsonNode const& id, char const* what) const {
        T* object = scene::As<T>(Lookup(id));
        if (!object) {
            id.Fail(std::string("expected the id of ") + what);
        }
        return object;
    }

private:
    OpaqueTQ3Object* Lookup(JsonNode const& id) const;
    // A reference the object's field may hold, or null for an absent field.
    template <typename T>
    OpaqueTQ3Object* OptionalObject(JsonNode const& entry, char const* key, char const* what) const;
    OpaqueTQ3Object* Make(JsonNode const& entry);
    OpaqueTQ3Object* MakeGroup(JsonNode const& entry);
    OpaqueTQ3Object* MakeGeometry(JsonNode const& entry, std::string const& kind);
    OpaqueTQ3Object* MakeLight(JsonNode const& entry);
    OpaqueTQ3Object* MakeCamera(JsonNode const& entry);
    OpaqueTQ3Object* MakeSet(JsonNode const& entry);
    OpaqueTQ3Object* MakeView(JsonNode const& entry);

    std::map<int64_t, OpaqueTQ3Object*> fById;
};

} // namespace refhost::document
