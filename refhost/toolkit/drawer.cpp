#include "host/cocoa/ns_drawer.h"

#include "host/cocoa/ns_notification_center.h"

NSDrawer::NSDrawer(NSSize contentSize, NSRectEdge preferredEdge)
    : fContentSize(contentSize), fEdge(preferredEdge),
      fWindow(std::make_unique<NSWindow>(NSRect{NSZeroPoint, contentSize}, 0)) {}

NSDrawer::~NSDrawer() {
    setParentWindow(nullptr);
}

void NSDrawer::setParentWindow(NSWindow* parent) {
    if (fParent != nullptr) {
        fParent->detachDrawer(this);
    }
    fParent = parent;
    if (fParent != nullptr) {
        fParent->attachDrawer(this);
    } else {
        fState = NSDrawerClosedState;
        fWindow->orderOut(this);
    }
}

void NSDrawer::place() {
    NSRect const p = fParent->frame();
    NSSize const s = fContentSize;
    NSRect frame;
    switch (fEdge) {
    case NSRectEdge::maxX:
        frame = NSMakeRect(NSMaxX(p), NSMaxY(p) - s.height, s.width, s.height);
        break;
    case NSRectEdge::minX:
        frame = NSMakeRect(NSMinX(p) - s.width, NSMaxY(p) - s.height, s.width, s.height);
        break;
    case NSRectEdge::maxY:
        frame = NSMakeRect(NSMinX(p), NSMaxY(p), s.width, s.height);
        break;
    case NSRectEdge::minY:
        frame = NSMakeRect(NSMinX(p), NSMinY(p) - s.height, s.width, s.height);
        break;
    }
    fWindow->setFrame(frame);
}

void NSDrawer::open() {
    // A drawer has nothing to slide out of without its window.
    if (fParent == nullptr) {
        return;
    }
    if (fState != NSDrawerOpenState) {
        NSNotificationCenter::defaultCenter()->postNotificationName(NSDrawerWillOpenNotification,
                                                                    this);
    }
    place();
    fState = NSDrawerOpenState;
    fWindow->orderFront(this);
}

void NSDrawer::close() {
    fState = NSDrawerClosedState;
    fWindow->orderOut(this);
}

void NSDrawer::toggle(NSObject*) {
    if (fState == NSDrawerOpenState || fState == NSDrawerOpeningState) {
        close();
    } else {
        open();
    }
}
