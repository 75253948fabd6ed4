// The export and import modes: a document as glTF, a glTF model as a document.
#include <chrono>
#include <iostream>

#include "refhost/app/modes.h"
#include "refhost/document/document_file.h"
#include "refhost/gltf/gltf_export.h"
#include "refhost/gltf/gltf_import.h"
#include "refhost/session/host_session.h"

namespace keypose_host {

int RunExport(ExportOptions const& options) {
    refhost::HostSession session(options.plugIn);
    session.Open(options.document);
    auto const begun = std::chrono::steady_clock::now();
    refhost::gltf::ExportSummary const summary =
        refhost::gltf::ExportGltf(session, options.out, {options.fps});
    double const ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begun).count();
    std::cout << options.out << ": " << summary.bytes << " bytes, " << summary.nodes << " nodes, "
              << summary.channels << " animation channels"
              << (summary.sampled ? " (some sampled)" : "") << ", " << ms << " ms\n";
    return 0;
}

int RunImport(ImportOptions const& options) {
    std::vector<std::string> warnings;
    std::unique_ptr<refhost::Document> document =
        refhost::gltf::ImportGltf(options.model, warnings);
    for (std::string const& warning : warnings) {
        std::cerr << "keypose-host: warning: " << warning << "\n";
    }
    refhost::SaveDocument(*document, options.out);
    std::cout << options.out << ": written from " << options.model << "\n";
    return 0;
}

} // namespace keypose_host
