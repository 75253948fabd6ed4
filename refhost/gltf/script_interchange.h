// The glTF export and import that scripts reach with `export PATH` and `import PATH`.
#pragma once

#include "refhost/script/script_runner.h"

namespace refhost::gltf {

// Export at the default frame rate; import says what it skipped on the script's stream, one
// "warning:" line each.
ScriptRunner::Interchange ScriptInterchange();

} // namespace refhost::gltf
