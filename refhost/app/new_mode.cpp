// keypose-host new: a new document from nothing, written to its file.
#include <filesystem>
#include <iostream>

#include "refhost/app/modes.h"
#include "refhost/document/document_file.h"
#include "refhost/document/new_document.h"

namespace keypose_host {

int RunNew(NewOptions const& options) {
    if (!options.replace && std::filesystem::exists(options.out)) {
        std::cerr << "keypose-host: " << options.out
                  << " exists; give another path, or --replace to write over it\n";
        return 1;
    }
    std::unique_ptr<refhost::Document> document = refhost::NewDocument(options.boxes);
    refhost::SaveDocument(*document, options.out);
    std::cout << "new document " << options.out << " (";
    if (options.boxes.empty()) {
        std::cout << "no boxes";
    }
    for (std::size_t i = 0; i < options.boxes.size(); ++i) {
        std::cout << (i ? ", " : "boxes ") << options.boxes[i];
    }
    std::cout << ")\n";
    return 0;
}

} // namespace keypose_host
