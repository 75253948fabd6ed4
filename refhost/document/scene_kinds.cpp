#include "refhost/document/scene_kinds.h"

#include <algorithm>

#include "host/memory.h"
#include "refhost/document/base64.h"

namespace refhost::document {

using scene::GroupKind;

namespace {

struct NamedKind {
    GroupKind kind;
    char const* name;
};

constexpr NamedKind kGroupKinds[] = {{GroupKind::kPlain, "plain"},
                                     {GroupKind::kDisplay, "display"},
                                     {GroupKind::kOrdered, "orderedDisplay"},
                                     {GroupKind::kList, "listDisplay"},
                                     {GroupKind::kLight, "light"}};

} // namespace

char const* GroupKindName(GroupKind kind) {
    for (NamedKind const& named : kGroupKinds) {
        if (named.kind == kind) {
            return named.name;
        }
    }
    return "plain";
}

std::optional<GroupKind> GroupKindNamed(std::string_view name) {
    for (NamedKind const& named : kGroupKinds) {
        if (name == named.name) {
            return named.kind;
        }
    }
    return std::nullopt;
}

std::optional<FourCharCode> FourCharCodeFromText(std::string_view text) {
    if (text.size() != 4) {
        return std::nullopt;
    }
    return MakeFourCharCode(text[0], text[1], text[2], text[3]);
}

Json FloatsJson(std::vector<float> const& values) {
    Json array = Json::array();
    for (float v : values) {
        array.push_back(FloatJson(v));
    }
    return array;
}

Json ControlPointsJson(std::vector<std::array<float, 4>> const& points) {
    Json array = Json::array();
    for (auto const& p : points) {
        array.push_back(
            Json::array({FloatJson(p[0]), FloatJson(p[1]), FloatJson(p[2]), FloatJson(p[3])}));
    }
    return array;
}

std::size_t BlockBytesKept(THandlePair const& pair) {
    if (!pair.data) {
        return 0;
    }
    auto const block = static_cast<std::size_t>(GetHandleSize(pair.data));
    return pair.size >= 0 ? std::min(block, static_cast<std::size_t>(pair.size)) : block;
}

std::string BlockBase64(THandlePair const& pair) {
    if (!pair.data) {
        return "";
    }
    return EncodeBase64(reinterpret_cast<uint8_t const*>(*pair.data), BlockBytesKept(pair));
}

} // namespace refhost::document
