// A drawer: a pane that slides out of one edge of its parent window. It is a window of its
// own (with its own number, so events reach it directly) shown beside the parent while open.
#pragma once

#include <memory>

#include "host/cocoa/ns_window.h"

enum class NSRectEdge { minX, minY, maxX, maxY };

using NSDrawerState = int;
inline constexpr NSDrawerState NSDrawerClosedState = 0;
inline constexpr NSDrawerState NSDrawerOpeningState = 1;
inline constexpr NSDrawerState NSDrawerOpenState = 2;
inline constexpr NSDrawerState NSDrawerClosingState = 3;

class NSDrawer : public NSResponder {
public:
    NSDrawer(NSSize contentSize, NSRectEdge preferredEdge);
    ~NSDrawer() override;

    NSWindow* parentWindow() const { return fParent; }
    void setParentWindow(NSWindow* parent);
    NSView* contentView() const { return fWindow->contentView(); }
    template <class V>
    V* setContentView(std::unique_ptr<V> view) {
        V* raw = view.get();
        fWindow->setContentView(std::unique_ptr<NSView>(std::move(view)));
        return raw;
    }
    NSSize contentSize() const { return fContentSize; }
    NSRectEdge edge() const { return fEdge; }
    // The drawer's own window, placed against the parent's edge.
    NSWindow* drawerWindow() const { return fWindow.get(); }

    NSDrawerState state() const { return fState; }
    // Drawers open and close at once; there is no sliding.
    void open();
    void close();
    void toggle(NSObject* sender);

private:
    void place();

    NSSize fContentSize;
    NSRectEdge fEdge;
    NSWindow* fParent = nullptr;
    std::unique_ptr<NSWindow> fWindow;
    NSDrawerState fState = NSDrawerClosedState;
};
