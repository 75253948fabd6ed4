#include "refhost/session/host_session.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
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

namespace {

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", seconds);
    return text;
}

// The clock's units for a time in seconds; refused when they do not fit its 32 bits.
int32_t Units(double seconds) {
    double const units = std::round(seconds * PL_GetTimeUnitsPerSecond());
    if (!std::isfinite(units) || units < INT32_MIN || units > INT32_MAX) {
        throw std::runtime_error(SecondsText(seconds) + " is beyond what the clock can hold");
    }
    return static_cast<int32_t>(units);
}

} // namespace

void HostSession::SetTime(double seconds) {
    int32_t const time = Units(seconds);
    if (time < PL_GetMinTime() || time > PL_GetMaxTime()) {
        double const perSecond = PL_GetTimeUnitsPerSecond();
        throw std::runtime_error(SecondsText(seconds) + " is outside the range " +
                                 SecondsText(PL_GetMinTime() / perSecond) + " to " +
                                 SecondsText(PL_GetMaxTime() / perSecond) +
                                 " (set the range first)");
    }
    PL_SetCurTime(time);
    fLoop->Frame(0);
}

void HostSession::SetRange(double start, double end) {
    int32_t const low = Units(start);
    int32_t const high = Units(end);
    if (low > high) {
        throw std::runtime_error("the start " + SecondsText(start) + " is after the end " +
                                 SecondsText(end));
    }
    PL_SetMinTime(low);
    PL_SetMaxTime(high);
    PL_SetCurTime(std::clamp(PL_GetCurTime(), low, high));
    fLoop->Frame(0);
    // A range that leaves the time where it was brings no animation pass: an idle event lets
    // the palette show the new range at once.
    fLoop->Input(kEventIdle, 0);
}

void HostSession::Play(double seconds) {
    if (!(seconds >= 0 && seconds <= kLongestPlay)) {
        throw std::runtime_error("cannot play for " + SecondsText(seconds) + ": from 0 to " +
                                 SecondsText(kLongestPlay));
    }
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

void HostSession::Type(NSView* view, std::string const& characters, NSEventModifierFlags flags) {
    view->window()->makeFirstResponder(view);
    NSApp()->postEvent(NSEvent::keyEventWithType(NSEventType::keyDown, flags,
                                                 view->window()->windowNumber(), characters),
                       false);
    NSApp()->processPendingEvents();
}

} // namespace refhost
