// Names and encodings shared by the two halves of document files.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/four_char_code.h"
#include "host/scene/attribute_set.h"
#include "refhost/document/json_node.h"
#include "refhost/scene/objects.h"

namespace refhost::document {

char const* GroupKindName(scene::GroupKind kind);
std::optional<scene::GroupKind> GroupKindNamed(std::string_view name);

// A code written as its four characters; anything else is not one.
std::optional<FourCharCode> FourCharCodeFromText(std::string_view text);

Json FloatsJson(std::vector<float> const& values);
Json ControlPointsJson(std::vector<std::array<float, 4>> const& points);
// The bytes of a custom block that a file keeps: the first `size` of them when the block is
// larger (a block that failed to shrink), the whole block when `size` says more than it
// holds or is negative; so every saved block reads back with its size. None without a block.
std::size_t BlockBytesKept(THandlePair const& pair);
// Those bytes in base64.
std::string BlockBase64(THandlePair const& pair);

} // namespace refhost::document
