// The reference host's state behind the plug-in framework: its open documents (the last
// one brought to the front is the front document), the registered plug-ins, the palette
// menu, the undo steps and the redraw requests. One host runs per process.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/qd3d_types.h"
#include "refhost/document/document.h"
#include "refhost/framework/undo_history.h"

class NSPanel;
struct PLFileSpec {
    std::string path;
};

namespace refhost {

struct Registration {
    std::string name;
    int32_t version;
    bool operator==(Registration const&) const = default;
};

struct PaletteMenuEntry {
    std::string name;
    NSPanel* panel;
    // The plug-in that listed the panel.
    PLFileSpec const* plugIn = nullptr;
};

class HostState {
public:
    static HostState& Instance();

    // Documents. The host owns them; the front one is what the plug-ins see.
    Document& Open(std::unique_ptr<Document> document);
    void Close(Document& document);
    void BringToFront(Document& document);
    Document* Front() const { return fDocuments.empty() ? nullptr : fDocuments.back().get(); }
    std::size_t DocumentCount() const { return fDocuments.size(); }

    // Undo. A step is the front document as it was before a change, as text: makeSnapshot
    // turns a document into it and restoreSnapshot puts it back; the host program sets them
    // (they need the document files). Without them PL_DoUndo only counts its steps. The
    // steps are kept as what changed between them (TextHistory), within undoLimit bytes,
    // the oldest dropped first.
    std::function<std::string(Document const&)> makeSnapshot;
    std::function<void(Document&, std::string const&)> restoreSnapshot;
    static constexpr std::size_t kDefaultUndoLimit = std::size_t{256} << 20;
    std::size_t undoLimit = kDefaultUndoLimit;
    int undoCount = 0;
    // Keeps the front document as it is now as an undo step, before the host or a plug-in
    // changes it (PL_DoUndo calls it); what was undone can no longer be redone.
    void PushUndoStep();
    // Takes the last undo step back into the front document; false when there is none.
    bool Undo();
    // Puts back what the last Undo took back; false when there is nothing to redo.
    bool Redo();
    std::size_t UndoDepth() const { return fUndo.Depth(); }
    std::size_t RedoDepth() const { return fRedo.Depth(); }
    // The bytes the undo and redo steps take.
    std::size_t HistoryBytes() const { return fUndo.Bytes() + fRedo.Bytes(); }

    std::vector<Registration> registrations;
    std::vector<PaletteMenuEntry> paletteMenu;
    // The plug-in the host is running now (null outside its calls).
    PLFileSpec const* currentPlugIn = nullptr;
    // What the plug-ins asked for since the host last looked.
    int documentRedraws = 0;
    int windowRedraws = 0;
    int csgRecaches = 0;
    TQ3ColorRGB selectionColour{1.0f, 0.6f, 0.0f};
    // The interface version the host offers; 0 makes every plug-in refuse to load.
    int32_t paramRecVersion = 0x10002;

    // Forgets everything: documents, registrations, menu, requests (for tests).
    void Reset();

private:
    std::vector<std::unique_ptr<Document>> fDocuments;
    TextHistory fUndo;
    TextHistory fRedo;
};

} // namespace refhost
