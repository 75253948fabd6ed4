// A running host as its program uses it: the plug-in module loaded, the front document open,
// the frame loop that tells the plug-in what happened, and the plug-in's palette. The user's
// gestures reach the palette as real events through the view toolkit, the way a window
// delivers them; scripts, the command line and the window all work through this.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/cocoa/cocoa.h"
#include "refhost/document/document.h"
#include "refhost/plugin_host/host_loop.h"
#include "refhost/plugin_host/plugin_module.h"

namespace refhost {

class HostSession {
public:
    // The frame rate of playback.
    static constexpr double kFramesPerSecond = 30;

    // Loads the plug-in at plugInPath; throws PlugInError, or std::runtime_error when it shows
    // no palette. The host's undo steps keep document text.
    explicit HostSession(std::string const& plugInPath);
    // Unloads the plug-in, then closes the documents.
    ~HostSession();
    HostSession(HostSession const&) = delete;
    HostSession& operator=(HostSession const&) = delete;

    // Opens the document at path in place of the one open (which is closed once the plug-in
    // has moved to the new one); throws DocumentError.
    Document& Open(std::string const& path);
    // Opens a new, empty document instead.
    Document& Adopt(std::unique_ptr<Document> document);
    // Saves the front document (to its own path when path is empty); throws DocumentError.
    void Save(std::string const& path = {});
    Document& Front() const;
    bool HasDocument() const;

    PlugInModule& Module() { return *fModule; }
    HostLoop& Loop() { return *fLoop; }
    NSPanel& Palette() const;

    // One frame of playback time (the loop ticks the plug-in).
    void Frame(double seconds = 1.0 / kFramesPerSecond);
    // Sets the current time, in seconds, and lets the plug-in animate the scene to it. A time
    // outside the range (or not finite, or beyond the clock's units) is refused with
    // std::runtime_error saying why, and nothing changes.
    void SetTime(double seconds);
    // Sets the playback range, in seconds; the current time moves inside it when it lies
    // outside, as the palette's fields do. A start after the end, or times the clock's units
    // cannot hold, are refused with std::runtime_error and nothing changes.
    void SetRange(double start, double end);
    // Plays forward for the given wall-clock seconds (0 to kLongestPlay), from the palette's
    // transport buttons; frame by frame, in constant memory. Other lengths are refused with
    // std::runtime_error.
    void Play(double seconds);
    static constexpr double kLongestPlay = 86400;
    // The scene changed under the plug-in (posing, editing): it hears of it and animates.
    void SceneEdited();
    // Takes back the last undo step; false when there was none. The plug-in hears that the
    // document was put back whole.
    bool Undo();
    // Puts back what the last Undo took back; false when there was nothing to redo.
    bool Redo();

    // A click in the middle of a view of the palette (or its drawer).
    void Click(NSView* view, NSEventModifierFlags flags = 0);
    // Mouse events at points of a view: down at the first, a drag at each following one, up at
    // the last; a single point is a click.
    void Gesture(NSView* view, std::vector<NSPoint> const& points, NSEventModifierFlags flags);
    // A key typed while the view has the keyboard, with the modifier keys held.
    void Type(NSView* view, std::string const& characters, NSEventModifierFlags flags = 0);

private:
    void Replaced();

    std::unique_ptr<PlugInModule> fModule;
    std::unique_ptr<HostLoop> fLoop;
};

} // namespace refhost
