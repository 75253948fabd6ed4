#include "host/cocoa/ns_window_controller.h"

NSWindowController::~NSWindowController() {
    releaseWindow();
}

void NSWindowController::setWindow(std::unique_ptr<NSWindow> window) {
    releaseWindow();
    fWindow = std::move(window);
    if (fWindow != nullptr) {
        fWindow->setDelegate(this);
        fWindow->setNextResponder(this);
    }
}

void NSWindowController::showWindow(NSObject* sender) {
    if (fWindow != nullptr) {
        fWindow->makeKeyAndOrderFront(sender);
    }
}

void NSWindowController::releaseWindow() {
    if (fWindow != nullptr) {
        fWindow->setDelegate(nullptr);
        fWindow.reset();
    }
}
