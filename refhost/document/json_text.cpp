#include "refhost/document/json_text.h"

#include <algorithm>

namespace refhost::document {

namespace {

bool IsFlat(Json const& array) {
    return std::none_of(array.begin(), array.end(),
                        [](Json const& element) { return element.is_structured(); });
}

void Write(Json const& value, int depth, std::string& out) {
    std::string const indent(static_cast<std::size_t>(depth + 1), '\t');
    std::string const closing(static_cast<std::size_t>(depth), '\t');
    if (value.is_object() && !value.empty()) {
        out += "{\n";
        std::size_t i = 0;
        for (auto const& [key, field] : value.items()) {
            out += indent + Json(key).dump() + ": ";
            Write(field, depth + 1, out);
            out += ++i < value.size() ? ",\n" : "\n";
        }
        out += closing + "}";
    } else if (value.is_array() && !value.empty() && !IsFlat(value)) {
        out += "[\n";
        for (std::size_t i = 0; i < value.size(); ++i) {
            out += indent;
            Write(value[i], depth + 1, out);
            out += i + 1 < value.size() ? ",\n" : "\n";
        }
        out += closing + "]";
    } else if (value.is_array()) {
        out += "[";
        for (std::size_t i = 0; i < value.size(); ++i) {
            out += (i ? ", " : "") + value[i].dump();
        }
        out += "]";
    } else {
        out += value.dump();
    }
}

} // namespace

std::string JsonText(Json const& value) {
    std::string out;
    Write(value, 0, out);
    return out + "\n";
}

} // namespace refhost::document
