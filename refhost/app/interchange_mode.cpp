// The export and import modes: a document as glTF, a glTF model as a document.
#include <chrono>
#include <iostream>

#include "refhost/app/modes.h"
#include "refhost/gltf/gltf_export.h"
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

} // namespace keypose_host
