#include "refhost/framework/host_state.h"

#include <algorithm>

namespace refhost {

HostState& HostState::Instance() {
    static HostState host;
    return host;
}

Document& HostState::Open(std::unique_ptr<Document> document) {
    fDocuments.push_back(std::move(document));
    return *fDocuments.back();
}

void HostState::Close(Document& document) {
    std::erase_if(fDocuments, [&](auto const& d) { return d.get() == &document; });
}

void HostState::BringToFront(Document& document) {
    auto found = std::find_if(fDocuments.begin(), fDocuments.end(),
                              [&](auto const& d) { return d.get() == &document; });
    if (found != fDocuments.end()) {
        std::rotate(found, found + 1, fDocuments.end());
    }
}

void HostState::PushUndoStep() {
    ++undoCount;
    Document* front = Front();
    if (!front || !makeSnapshot) {
        return;
    }
    fUndo.Push(makeSnapshot(*front));
    fRedo.Clear();
    fUndo.Limit(undoLimit);
}

bool HostState::Undo() {
    Document* front = Front();
    if (!front || fUndo.Empty() || !restoreSnapshot || !makeSnapshot) {
        return false;
    }
    fRedo.Push(makeSnapshot(*front));
    restoreSnapshot(*front, fUndo.Pop());
    fRedo.Limit(undoLimit);
    return true;
}

bool HostState::Redo() {
    Document* front = Front();
    if (!front || fRedo.Empty() || !restoreSnapshot || !makeSnapshot) {
        return false;
    }
    fUndo.Push(makeSnapshot(*front));
    restoreSnapshot(*front, fRedo.Pop());
    fUndo.Limit(undoLimit);
    return true;
}

void HostState::Reset() {
    fDocuments.clear();
    fUndo.Clear();
    fRedo.Clear();
    undoCount = 0;
    undoLimit = kDefaultUndoLimit;
    registrations.clear();
    paletteMenu.clear();
    currentPlugIn = nullptr;
    documentRedraws = windowRedraws = csgRecaches = 0;
    paramRecVersion = 0x10002;
}

} // namespace refhost
