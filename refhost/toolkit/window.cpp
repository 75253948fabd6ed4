#include "host/cocoa/ns_window.h"

#include <algorithm>

#include "host/cocoa/ns_application.h"
#include "host/cocoa/ns_drawer.h"
#include "host/cocoa/ns_view.h"

bool NSWindowDelegate::windowShouldClose(NSObject*) {
    return true;
}

NSWindow::NSWindow(NSRect contentRect, NSWindowStyleMask style)
    : fNumber(NSApp()->takeWindowNumber()), fFrame(contentRect), fStyle(style) {
    NSApp()->windowCreated(this);
    setContentView(std::make_unique<NSView>(
        NSMakeRect(0, 0, contentRect.size.width, contentRect.size.height)));
}

NSWindow::~NSWindow() {
    for (NSDrawer* drawer : std::vector<NSDrawer*>(fDrawers)) {
        drawer->setParentWindow(nullptr);
    }
    fFirstResponder = nullptr;
    fMouseDownView = nullptr;
    if (fContent != nullptr) {
        fContent->setWindowOfTree(nullptr);
    }
    fContent.reset();
    NSApp()->windowDestroyed(this);
}

void NSWindow::setFrame(NSRect const& frame) {
    fFrame = frame;
    if (fContent != nullptr) {
        fContent->setFrame(NSMakeRect(0, 0, frame.size.width, frame.size.height));
    }
    for (NSDrawer* drawer : fDrawers) {
        if (drawer->state() == NSDrawerOpenState) {
            drawer->open();
        }
    }
}

void NSWindow::setContentView(std::unique_ptr<NSView> view) {
    if (fContent != nullptr) {
        viewWillLeave(fContent.get());
        fContent->setWindowOfTree(nullptr);
    }
    fContent = std::move(view);
    if (fContent != nullptr) {
        fContent->setFrame(NSMakeRect(0, 0, fFrame.size.width, fFrame.size.height));
        fContent->setNextResponder(this);
        fContent->setWindowOfTree(this);
    }
}

bool NSWindow::isKeyWindow() const {
    return NSApp()->keyWindow() == this;
}

void NSWindow::makeKeyAndOrderFront(NSObject* sender) {
    orderFront(sender);
    makeKeyWindow();
}

void NSWindow::orderFront(NSObject*) {
    fVisible = true;
}

void NSWindow::orderOut(NSObject*) {
    fVisible = false;
    if (isKeyWindow()) {
        NSApp()->setKeyWindow(nullptr);
    }
}

void NSWindow::makeKeyWindow() {
    NSApp()->setKeyWindow(this);
}

void NSWindow::performClose(NSObject* sender) {
    if (fDelegate == nullptr || fDelegate->windowShouldClose(sender)) {
        close();
    }
}

void NSWindow::close() {
    for (NSDrawer* drawer : fDrawers) {
        drawer->close();
    }
    orderOut(this);
}

bool NSWindow::makeFirstResponder(NSResponder* responder) {
    if (responder == fFirstResponder) {
        return true;
    }
    if (fFirstResponder != nullptr && !fFirstResponder->resignFirstResponder()) {
        return false;
    }
    fFirstResponder = nullptr;
    if (responder != nullptr && !responder->becomeFirstResponder()) {
        return false;
    }
    fFirstResponder = responder;
    return true;
}

bool NSWindow::viewsNeedDisplay() const {
    if (fContent == nullptr) {
        return false;
    }
    std::vector<NSView*> stack{fContent.get()};
    while (!stack.empty()) {
        NSView* view = stack.back();
        stack.pop_back();
        if (view->needsDisplay()) {
            return true;
        }
        for (NSView* sub : view->subviews()) {
            stack.push_back(sub);
        }
    }
    return false;
}

void NSWindow::sendEvent(NSEvent* event) {
    switch (event->type()) {
    case NSEventType::leftMouseDown: {
        fMouseDownView = nullptr;
        NSView* hit = fContent == nullptr ? nullptr : fContent->hitTest(event->locationInWindow());
        bool const wasKey = isKeyWindow();
        if (!wasKey) {
            makeKeyAndOrderFront(this);
        }
        if (hit == nullptr || (!wasKey && !hit->acceptsFirstMouse(event))) {
            return;
        }
        if (hit->acceptsFirstResponder()) {
            makeFirstResponder(hit);
        }
        fMouseDownView = hit;
        hit->mouseDown(event);
        break;
    }
    case NSEventType::leftMouseDragged:
        if (fMouseDownView != nullptr) {
            fMouseDownView->mouseDragged(event);
        }
        break;
    case NSEventType::leftMouseUp:
        if (NSView* view = fMouseDownView) {
            fMouseDownView = nullptr;
            view->mouseUp(event);
        }
        break;
    case NSEventType::keyDown:
        if (fFirstResponder != nullptr) {
            fFirstResponder->keyDown(event);
        }
        break;
    case NSEventType::keyUp:
        if (fFirstResponder != nullptr) {
            fFirstResponder->keyUp(event);
        }
        break;
    case NSEventType::scrollWheel:
        if (fContent != nullptr) {
            if (NSView* hit = fContent->hitTest(event->locationInWindow())) {
                hit->scrollWheel(event);
            }
        }
        break;
    case NSEventType::mouseMoved:
        break;
    }
}

std::optional<NSEvent> NSWindow::nextEventMatchingMask(NSEventMask mask) {
    NSApplication* application = NSApp();
    while (true) {
        if (auto event = application->nextEventMatchingMask(mask)) {
            return event;
        }
        if (!application->waitForEvents || !application->waitForEvents()) {
            return std::nullopt;
        }
    }
}

void NSWindow::viewWillLeave(NSView* view) {
    if (fMouseDownView != nullptr && fMouseDownView->isDescendantOf(view)) {
        fMouseDownView = nullptr;
    }
    if (auto* responder = dynamic_cast<NSView*>(fFirstResponder);
        responder != nullptr && responder->isDescendantOf(view)) {
        fFirstResponder = nullptr;
    }
}

void NSWindow::attachDrawer(NSDrawer* drawer) {
    if (std::find(fDrawers.begin(), fDrawers.end(), drawer) == fDrawers.end()) {
        fDrawers.push_back(drawer);
    }
}

void NSWindow::detachDrawer(NSDrawer* drawer) {
    std::erase(fDrawers, drawer);
}
