// The application: its windows by number, the key window, the queue of events waiting to be
// delivered and the event being delivered now.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "host/cocoa/ns_event.h"
#include "host/cocoa/ns_responder.h"

class NSWindow;

class NSApplication : public NSResponder {
public:
    static NSApplication* sharedApplication();

    // The event being delivered, or the last one taken from the queue; null before the
    // first.
    NSEvent* currentEvent() { return fHasCurrent ? &fCurrent : nullptr; }
    NSWindow* keyWindow() const { return fKeyWindow; }
    NSWindow* windowWithWindowNumber(long number) const;
    std::vector<NSWindow*> const& windows() const { return fWindows; }

    // Queues an event for delivery, at the end or before every other.
    void postEvent(NSEvent const& event, bool atStart);
    // Takes the first queued event whose type is in the mask and makes it current.
    std::optional<NSEvent> nextEventMatchingMask(NSEventMask mask);
    std::size_t pendingEventCount() const { return fQueue.size(); }
    void discardEvents() { fQueue.clear(); }
    // Makes the event current and hands it to the window its number names; events for no
    // window are dropped.
    void sendEvent(NSEvent* event);
    // Delivers queued events until none is left; returns how many it delivered.
    int processPendingEvents();

    // Set by a host whose user acts live (a window on the screen): called when a modal mouse
    // loop finds no event it waits for, it waits for the user's next events and posts them;
    // it returns false when no more will come. Without it such a loop ends at once.
    std::function<bool()> waitForEvents;

    // For windows.
    void windowCreated(NSWindow* window);
    void windowDestroyed(NSWindow* window);
    void setKeyWindow(NSWindow* window) { fKeyWindow = window; }
    long takeWindowNumber() { return ++fLastNumber; }

private:
    std::vector<NSWindow*> fWindows;
    NSWindow* fKeyWindow = nullptr;
    std::deque<NSEvent> fQueue;
    NSEvent fCurrent;
    bool fHasCurrent = false;
    long fLastNumber = 0;
};

// The shared application.
inline NSApplication* NSApp() {
    return NSApplication::sharedApplication();
}
