// Document files: a document's scene and clock as JSON text. Every object of the scene is
// written once, in an object table, before anything that refers to it; an object used in
// two places (a shared attribute set, a texture) stays shared when the file is opened.
// Custom attribute blocks (the plug-ins' data, tween lists among them) and texture pixels
// are kept as their exact bytes, in base64. Opening a file and saving it again gives the
// same text.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "refhost/document/document.h"

namespace refhost {

// A file that cannot be read as a document, or a document that cannot be written. The
// message names the file (when there is one) and the place in it, as a JSON pointer.
class DocumentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The document as the text of its file.
std::string DocumentText(Document const& document);
// A new document from the text of a file; throws DocumentError, leaving nothing behind.
std::unique_ptr<Document> DocumentFromText(std::string_view text);

// Writes the document to path as a careful editor does (file_replacement.h): the file is
// replaced whole or not at all, keeps its permissions, is on the disk when this returns,
// and a link is written through. Then the document is no longer edited and has this path.
// Throws DocumentError, also for a clock whose current time lies outside its range (a file
// that could not be opened again is not written).
void SaveDocument(Document& document, std::string const& path);
// Reads the document at path (which it then has as its path); throws DocumentError.
std::unique_ptr<Document> OpenDocument(std::string const& path);

// The host's undo steps as document text: PL_DoUndo keeps the front document's text and
// HostState::Undo puts it back.
void UseDocumentTextForUndo();

} // namespace refhost
