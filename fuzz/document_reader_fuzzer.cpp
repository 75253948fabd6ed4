// The document reader on any text: it either refuses with a DocumentError, leaving nothing
// behind, or reads a document that saves as text that reads back to the same text.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/scene.h"
#include "refhost/document/document_file.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, std::size_t size) {
    InitCustomAttributeGlobals();
    std::string_view const text(reinterpret_cast<char const*>(data), size);
    std::string saved;
    try {
        saved = refhost::DocumentText(*refhost::DocumentFromText(text));
    } catch (refhost::DocumentError const&) {
        return 0;
    }
    if (refhost::DocumentText(*refhost::DocumentFromText(saved)) != saved) {
        std::abort(); // a saved document must come back as it was saved
    }
    return 0;
}
