// Writes the example documents into the folder given (examples/ by default).
#include <iostream>

#include "examples/example_scenes.h"
#include "host/scene/attribute_set.h"
#include "refhost/document/document_file.h"

int main(int argc, char** argv) {
    std::string const folder = argc > 1 ? argv[1] : "examples";
    InitCustomAttributeGlobals();
    try {
        for (examples::Example const& example : examples::AllExamples()) {
            std::unique_ptr<refhost::Document> document = example.make();
            std::string const path = folder + "/" + example.fileName;
            refhost::SaveDocument(*document, path);
            std::cout << "wrote " << path << "\n";
        }
    } catch (std::exception const& error) {
        std::cerr << "make_examples: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
