#include "refhost/gltf/script_interchange.h"

#include "refhost/gltf/gltf_export.h"
#include "refhost/gltf/gltf_import.h"

namespace refhost::gltf {

ScriptRunner::Interchange ScriptInterchange() {
    ScriptRunner::Interchange interchange;
    interchange.exportTo = [](HostSession& session, std::string const& path) {
        ExportGltf(session, path);
    };
    interchange.importFrom = [](std::string const& path, std::ostream& warnings) {
        std::vector<std::string> said;
        std::unique_ptr<Document> document = ImportGltf(path, said);
        for (std::string const& line : said) {
            warnings << "warning: " << line << "\n";
        }
        return document;
    };
    return interchange;
}

} // namespace refhost::gltf
