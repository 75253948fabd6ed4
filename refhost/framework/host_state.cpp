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

bool HostState::Undo() {
    Document* front = Front();
    if (!front || undoSteps.empty() || !restoreSnapshot) {
        return false;
    }
    if (makeSnapshot) {
        redoSteps.push_back(makeSnapshot(*front));
    }
    restoreSnapshot(*front, undoSteps.back());
    undoSteps.pop_back();
    return true;
}

bool HostState::Redo() {
    Document* front = Front();
    if (!front || redoSteps.empty() || !restoreSnapshot || !makeSnapshot) {
        return false;
    }
    undoSteps.push_back(makeSnapshot(*front));
    restoreSnapshot(*front, redoSteps.back());
    redoSteps.pop_back();
    return true;
}

void HostState::Reset() {
    fDocuments.clear();
    undoSteps.clear();
    redoSteps.clear();
    undoCount = 0;
    registrations.clear();
    paletteMenu.clear();
    currentPlugIn = nullptr;
    documentRedraws = windowRedraws = csgRecaches = 0;
    paramRecVersion = 0x10002;
}

} // namespace refhost
