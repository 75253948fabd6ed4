#include <gtest/gtest.h>

#include <vector>

#include "host/cocoa/ns_notification_center.h"
#include "host/cocoa/ns_scroll_view.h"
#include "host/cocoa/ns_view.h"
#include "host/cocoa/ns_window.h"
#include "tests/refhost/toolkit/event_helpers.h"

namespace {

using toolkit_test::Click;

// Remembers the mouse calls it gets, in its own coordinates.
class RecordingView : public NSView {
public:
    using NSView::NSView;
    struct Call {
        char kind;
        NSPoint at;
    };
    std::vector<Call> calls;
    bool firstMouse = true;
    void mouseDown(NSEvent* e) override { calls.push_back({'d', local(e)}); }
    void mouseDragged(NSEvent* e) override {
        calls.push_back({'m', local(e)});
        autoscroll(e);
    }
    void mouseUp(NSEvent* e) override { calls.push_back({'u', local(e)}); }
    bool acceptsFirstMouse(NSEvent*) override { return firstMouse; }

private:
    NSPoint local(NSEvent* e) const { return convertPoint(e->locationInWindow(), nullptr); }
};

TEST(ViewTree, FindsViewsByTagDepthFirst) {
    NSView root(NSMakeRect(0, 0, 100, 100));
    auto* a = root.addSubview(std::make_unique<NSView>(NSMakeRect(0, 0, 50, 50)));
    auto* b = a->addSubview(std::make_unique<NSView>(NSMakeRect(0, 0, 10, 10)));
    b->setTag(7);
    auto* c = root.addSubview(std::make_unique<NSView>(NSMakeRect(50, 0, 50, 50)));
    c->setTag(7);
    EXPECT_EQ(root.viewWithTag(7), b);
    EXPECT_EQ(root.viewWithTag(8), nullptr);
    EXPECT_EQ(c->superview(), &root);
}

TEST(ViewTree, ConvertsPointsWithYUpwardsAndScrolling) {
    NSWindow window(NSMakeRect(0, 0, 200, 200), 0);
    auto* outer =
        window.contentView()->addSubview(std::make_unique<NSView>(NSMakeRect(20, 30, 100, 100)));
    auto* inner = outer->addSubview(std::make_unique<NSView>(NSMakeRect(5, 10, 50, 50)));
    EXPECT_EQ(inner->convertPoint(NSMakePoint(25, 40), nullptr), NSMakePoint(0, 0));
    outer->setBoundsOrigin(NSMakePoint(0, 10));
    EXPECT_EQ(inner->convertPoint(NSMakePoint(25, 40), nullptr), NSMakePoint(0, 10));
    EXPECT_EQ(inner->convertPointToView(NSMakePoint(0, 10), nullptr), NSMakePoint(25, 40));
}

TEST(Events, MouseDownGoesToTopmostViewUnderTheMouse) {
    NSWindow window(NSMakeRect(0, 0, 200, 200), 0);
    window.makeKeyAndOrderFront(nullptr);
    auto* below = window.contentView()->addSubview(
        std::make_unique<RecordingView>(NSMakeRect(0, 0, 100, 100)));
    auto* above = window.contentView()->addSubview(
        std::make_unique<RecordingView>(NSMakeRect(50, 50, 100, 100)));
    Click(window, NSMakePoint(60, 60));
    EXPECT_TRUE(below->calls.empty());
    ASSERT_EQ(above->calls.size(), 2u);
    EXPECT_EQ(above->calls[0].at, NSMakePoint(10, 10));
    Click(window, NSMakePoint(10, 10));
    EXPECT_EQ(below->calls.size(), 2u);
    Click(window, NSMakePoint(180, 20));
    EXPECT_EQ(below->calls.size() + above->calls.size(), 4u);
}

TEST(Events, DragsAndUpGoToTheViewThatGotTheDown) {
    NSWindow window(NSMakeRect(0, 0, 200, 200), 0);
    window.makeKeyAndOrderFront(nullptr);
    auto* left = window.contentView()->addSubview(
        std::make_unique<RecordingView>(NSMakeRect(0, 0, 100, 200)));
    auto* right = window.contentView()->addSubview(
        std::make_unique<RecordingView>(NSMakeRect(100, 0, 100, 200)));
    Click(window, NSMakePoint(10, 10), {NSMakePoint(150, 20), NSMakePoint(190, 30)});
    EXPECT_TRUE(right->calls.empty());
    ASSERT_EQ(left->calls.size(), 4u);
    EXPECT_EQ(left->calls[2].kind, 'm');
    EXPECT_EQ(left->calls[2].at, NSMakePoint(190, 30));
    EXPECT_EQ(left->calls[3].kind, 'u');
}

TEST(Events, ClickIntoBackgroundWindowReachesOnlyViewsThatAcceptFirstMouse) {
    NSWindow window(NSMakeRect(0, 0, 100, 100), 0);
    NSWindow other(NSMakeRect(200, 0, 100, 100), 0);
    other.makeKeyAndOrderFront(nullptr);
    auto* view = window.contentView()->addSubview(
        std::make_unique<RecordingView>(NSMakeRect(0, 0, 100, 100)));
    view->firstMouse = false;
    Click(window, NSMakePoint(10, 10));
    EXPECT_TRUE(view->calls.empty());
    EXPECT_TRUE(window.isKeyWindow());
    Click(window, NSMakePoint(10, 10));
    EXPECT_EQ(view->calls.size(), 2u);
}

TEST(Scrolling, ClipViewPostsBoundsChangesAndAutoscrolls) {
    NSWindow window(NSMakeRect(0, 0, 300, 300), 0);
    window.makeKeyAndOrderFront(nullptr);
    auto* scroll = window.contentView()->addSubview(
        std::make_unique<NSScrollView>(NSMakeRect(0, 0, 100, 100)));
    auto* doc =
        scroll->setDocumentView(std::make_unique<RecordingView>(NSMakeRect(0, 0, 400, 400)));
    NSClipView* clip = scroll->contentView();
    clip->setPostsBoundsChangedNotifications(true);
    std::vector<NSPoint> seen;
    NSObject observer;
    NSNotificationCenter::defaultCenter()->addObserver(
        &observer,
        [&](NSNotification* n) {
            EXPECT_EQ(n->object(), clip);
            seen.push_back(clip->bounds().origin);
        },
        NSViewBoundsDidChangeNotification, clip);
    clip->scrollToPoint(NSMakePoint(30, 40));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], NSMakePoint(30, 40));
    // Scrolling is held where the document still fills the clip view.
    clip->scrollToPoint(NSMakePoint(1000, -5));
    EXPECT_EQ(clip->bounds().origin, NSMakePoint(300, 0));
    clip->scrollToPoint(NSMakePoint(0, 0));
    seen.clear();
    // Dragging 20 pixels past the right edge scrolls 20 pixels.
    Click(window, NSMakePoint(50, 50), {NSMakePoint(120, 50)});
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(clip->bounds().origin, NSMakePoint(20, 0));
    EXPECT_EQ(doc->calls.size(), 3u);
    NSNotificationCenter::defaultCenter()->removeObserver(&observer);
    clip->scrollToPoint(NSMakePoint(10, 10));
    EXPECT_EQ(seen.size(), 1u);
}

TEST(Scrolling, ObserverBySelectorOnlyHearsItsObject) {
    struct Listener : NSObject {
        int heard = 0;
        void hear(NSNotification*) { ++heard; }
    } listener;
    NSView a;
    NSView b;
    auto* centre = NSNotificationCenter::defaultCenter();
    centre->addObserver(&listener, &Listener::hear, NSViewFrameDidChangeNotification, &a);
    a.setPostsFrameChangedNotifications(true);
    b.setPostsFrameChangedNotifications(true);
    a.setFrame(NSMakeRect(0, 0, 5, 5));
    b.setFrame(NSMakeRect(0, 0, 5, 5));
    EXPECT_EQ(listener.heard, 1);
    centre->removeObserver(&listener);
}

} // namespace
