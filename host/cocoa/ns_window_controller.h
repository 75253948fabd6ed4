// The object that owns a window and answers for it: its delegate and the target of its
// controls' actions.
#pragma once

#include <memory>

#include "host/cocoa/ns_window.h"

class NSWindowController : public NSResponder, public NSWindowDelegate {
public:
    NSWindowController() = default;
    ~NSWindowController() override;

    NSWindow* window() const { return fWindow.get(); }
    // Takes the window over and becomes its delegate.
    void setWindow(std::unique_ptr<NSWindow> window);
    void showWindow(NSObject* sender);
    // Closes and destroys the window.
    void releaseWindow();

private:
    std::unique_ptr<NSWindow> fWindow;
};
