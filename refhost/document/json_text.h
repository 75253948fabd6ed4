// The text of a document file: objects one field a line, indented by tabs, and arrays of
// plain values (coordinates, matrices) on one line, so that a file reads like its scene.
#pragma once

#include <string>

#include "refhost/document/json_node.h"

namespace refhost::document {

// Throws Json::exception for text that is not UTF-8.
std::string JsonText(Json const& value);

} // namespace refhost::document
