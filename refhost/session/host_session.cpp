#include "refhost/session/host_session.h"

#include <cmath>
#include <stdexcept>

#include "host/framework.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"

namespace refhost {

namespace {

// The palette's transport buttons.
constexpr long kPlayForwardTag = 1005;
constexpr long kStopTag = 1004;

NSView* Tagged(NSPanel& palette, long tag) {
    return palette.contentView()->viewWithTag(tag);
}

void PostMouse(NSView* view, NSEventType type, NSPoint local, NSEventModifierFlags flags) {
    NSPoint const inWindow = view->convertPointToView(local, nullptr);
    NSApp()->postEvent(
        NSEvent::mouseEventWithType(type, inWindow, flags, view->window()->windowNumber()), false);
}

} // namespace

HostSession::HostSession(std::string const& plugInPath) {
    InitCustomAttributeGlobals();
    UseDocumentTextForUndo();
    fModule = std::make_unique<PlugInModule>(plugInPath);
    fLoop = std::make_unique<HostLoop>(*fModule);
    if (HostState::Instance().paletteMenu.empty()) {
        throw std::runtime_error(plugInPath + ": the plug-in showed no palette");
    }
}

HostSession::~HostSession() {
    fLoop.reset();
    fModule.reset();
    HostState& host = HostState::Instance();
    while (Document* front = host.Front()) {
        host.Close(*front);
    }
}

Document& HostSession::Open(std::string const& path) {
    return Adopt(OpenDocument(path));
}

Document& HostSession::Adopt(std::unique_ptr<Document> document) {
    HostState& host = HostState::Instance();
    Document* previous = host.Front();
    Document& opened = host.Open(std::move(document));
    // The plug-in moves its rows to the new document before the old one goes, so that nothing
    // of it points into a closed scene.
    fLoop->DocumentOpened();
    fLoop->Frame(0);
    if (previous) {
        host.Close(*previous);
    }
    return opened;
}

void HostSession::Save(std::string const& path) {
    Document& document = Front();
    SaveDocument(document, path.empty() ? document.path : path);
    fLoop->DocumentSaved();
}

Document& HostSession::Front() const {
    Document* front = HostState::Instance().Front();
    if (!front) {
        throw std::runtime_error("no document is open");
    }
    return *front;
}

bool HostSession::HasDocument() const {
    return HostState::Instance().Front() != nullptr;
}

NSPanel& HostSession::Palette() const {
    return *HostState::Instance().paletteMenu.front().panel;
}

void HostSession::Frame(double seconds) {
    fLoop->Frame(seconds);
}

void HostSession::SetTime(double seconds) {
    PL_SetCurTime(static_cast<int32_t>(std::lround(seconds * PL_GetTimeUnitsPerSecond())));
    fLoop->Frame(0);
}

void HostSession::Play(double seconds) {
    Click(Tagged(Palette(), kPlayForwardTag));
    auto const frames = static_cast<int>(std::lround(seconds * kFramesPerSecond));
    for (int i = 0; i < frames; ++i) {
        fLoop->Frame(1.0 / kFramesPerSecond);
    }
    Click(Tagged(Palette(), kStopTag));
}

void HostSession::SceneEdited() {
    fLoop->SceneEdited();
    fLoop->Frame(0);
}

bool HostSession::Undo() {
    bool const undone = HostState::Instance().Undo();
    if (undone) {
        Replaced();
    }
    return undone;
}

bool HostSession::Redo() {
    bool const redone = HostState::Instance().Redo();
    if (redone) {
        Replaced();
    }
    return redone;
}

void HostSession::Replaced() {
    Front().edited = true;
    fLoop->DocumentReplaced();
    fLoop->SceneEdited();
    fLoop->Frame(0);
}

void HostSession::Click(NSView* view, NSEventModifierFlags flags) {
    if (!view || !view->window()) {
        throw std::runtime_error("the control is not in a window");
    }
    NSRect const b = view->bounds();
    Gesture(view, {NSMakePoint(NSMidX(b), NSMidY(b))}, flags);
}

void HostSession::Gesture(NSView* view, std::vector<NSPoint> const& points,
                          NSEventModifierFlags flags) {
    if (points.empty()) {
        return;
    }
    PostMouse(view, NSEventType::leftMouseDown, points.front(), flags);
    for (std::size_t i = 1; i < points.size(); ++i) {
        PostMouse(view, NSEventType::leftMouseDragged, points[i], flags);
    }
    PostMouse(view, NSEventType::leftMouseUp, points.back(), flags);
    NSApp()->processPendingEvents();
}

void HostSession::Type(NSView* view, std::string const& characters) {
    view->window()->makeFirstResponder(view);
    NSApp()->postEvent(NSEvent::keyEventWithType(NSEventType::keyDown, 0,
                                                 view->window()->windowNumber(), characters),
                       false);
    NSApp()->processPendingEvents();
}

} // namespace refhost
