// Windows and panels. A window holds one content view filling it, a number that names it
// among the process's windows, the view that takes key events (the first responder) and
// the drawers attached to it. It delivers the events addressed to it: a mouse-down goes to
// the deepest view under the mouse, the following drags and the up to that same view,
// keys to the first responder.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/cocoa/geometry.h"
#include "host/cocoa/ns_event.h"
#include "host/cocoa/ns_responder.h"

class NSView;
class NSDrawer;
class NSWindow;

class NSWindowDelegate {
public:
    virtual ~NSWindowDelegate() = default;
    // Asked before the user's close takes effect; false keeps the window open.
    virtual bool windowShouldClose(NSObject* sender);
};

using NSWindowStyleMask = unsigned;
inline constexpr NSWindowStyleMask NSWindowStyleMaskTitled = 1u << 0;
inline constexpr NSWindowStyleMask NSWindowStyleMaskClosable = 1u << 1;
inline constexpr NSWindowStyleMask NSWindowStyleMaskResizable = 1u << 3;
inline constexpr NSWindowStyleMask NSWindowStyleMaskUtilityWindow = 1u << 4;

class NSWindow : public NSResponder {
public:
    // The rectangle is the content's on the screen; the content view is an empty view of
    // its size.
    NSWindow(NSRect contentRect, NSWindowStyleMask style);
    ~NSWindow() override;

    long windowNumber() const { return fNumber; }
    NSRect frame() const { return fFrame; }
    void setFrame(NSRect const& frame);
    NSWindowStyleMask styleMask() const { return fStyle; }
    std::string const& title() const { return fTitle; }
    void setTitle(std::string title) { fTitle = std::move(title); }

    NSView* contentView() const { return fContent.get(); }
    void setContentView(std::unique_ptr<NSView> view);
    template <class V>
    V* setContentView(std::unique_ptr<V> view) {
        V* raw = view.get();
        setContentView(std::unique_ptr<NSView>(std::move(view)));
        return raw;
    }

    NSWindowDelegate* delegate() const { return fDelegate; }
    void setDelegate(NSWindowDelegate* delegate) { fDelegate = delegate; }

    bool isVisible() const { return fVisible; }
    bool isKeyWindow() const;
    void makeKeyAndOrderFront(NSObject* sender);
    void orderFront(NSObject* sender);
    void orderOut(NSObject* sender);
    void makeKeyWindow();
    // Closes the window unless its delegate refuses.
    void performClose(NSObject* sender);
    void close();

    NSResponder* firstResponder() const { return fFirstResponder; }
    // Hands the keyboard to the responder (null: the window itself); false when the old
    // one would not let go or the new one would not take it.
    bool makeFirstResponder(NSResponder* responder);
    // The view that took the last mouse-down, while the mouse is held.
    NSView* mouseDownView() const { return fMouseDownView; }

    std::vector<NSDrawer*> const& drawers() const { return fDrawers; }

    // Whether any view of the window waits to be drawn.
    bool viewsNeedDisplay() const;

    // Delivers an event addressed to this window.
    virtual void sendEvent(NSEvent* event);
    // Takes the first queued event of the kinds in the mask from the application, for
    // controls that follow the mouse themselves; none when the queue has no such event.
    std::optional<NSEvent> nextEventMatchingMask(NSEventMask mask);

    // For views and drawers.
    void viewWillLeave(NSView* view);
    void attachDrawer(NSDrawer* drawer);
    void detachDrawer(NSDrawer* drawer);

private:
    long fNumber;
    NSRect fFrame;
    NSWindowStyleMask fStyle;
    std::string fTitle;
    std::unique_ptr<NSView> fContent;
    NSWindowDelegate* fDelegate = nullptr;
    bool fVisible = false;
    NSResponder* fFirstResponder = nullptr;
    NSView* fMouseDownView = nullptr;
    std::vector<NSDrawer*> fDrawers;
};

// A window that floats over documents, such as a tool palette.
class NSPanel : public NSWindow {
public:
    NSPanel(NSRect contentRect, NSWindowStyleMask style) : NSWindow(contentRect, style) {}

    bool isFloatingPanel() const { return fFloating; }
    void setFloatingPanel(bool floating) { fFloating = floating; }
    bool becomesKeyOnlyIfNeeded() const { return fKeyOnlyIfNeeded; }
    void setBecomesKeyOnlyIfNeeded(bool flag) { fKeyOnlyIfNeeded = flag; }

private:
    bool fFloating = true;
    bool fKeyOnlyIfNeeded = false;
};
