#include <gtest/gtest.h>

#include "host/cocoa/ns_bezier_path.h"
#include "host/cocoa/ns_color.h"
#include "host/cocoa/ns_control.h"
#include "host/cocoa/ns_drawer.h"
#include "host/cocoa/ns_graphics.h"
#include "host/cocoa/ns_notification_center.h"
#include "host/cocoa/ns_split_view.h"
#include "host/cocoa/ns_string.h"
#include "host/cocoa/ns_window.h"
#include "refhost/toolkit/render.h"
#include "tests/refhost/toolkit/event_helpers.h"

namespace {

using refhost::Rgb;

// A view whose drawing is given by a function, to try one drawing operation at a time.
class Painted : public NSView {
public:
    Painted(NSRect frame, std::function<void(NSRect)> paint)
        : NSView(frame), fPaint(std::move(paint)) {}
    void drawRect(NSRect const&) override { fPaint(bounds()); }

private:
    std::function<void(NSRect)> fPaint;
};

Rgb RenderAt(std::function<void(NSRect)> paint, NSPoint at) {
    Painted view(NSMakeRect(0, 0, 40, 40), std::move(paint));
    return refhost::RenderView(view).at(static_cast<int>(at.x), static_cast<int>(at.y));
}

TEST(Colours, BlendMovesEachComponentByTheFraction) {
    NSColor const grey = NSColor::colorWithDeviceRed(0.8667f, 0.8667f, 0.8667f, 1);
    NSColor const mixed = NSColor::whiteColor().blendedColorWithFraction(0.5f, grey);
    EXPECT_FLOAT_EQ(mixed.redComponent(), (1 + 0.8667f) / 2);
    EXPECT_FLOAT_EQ(mixed.alphaComponent(), 1);
    EXPECT_GE(NSColor::controlAlternatingRowBackgroundColors().size(), 2u);
}

TEST(Drawing, TriangleFromRelativeLinesFillsInsideOnly) {
    auto triangle = [](NSRect) {
        NSColor::redColor().setFill();
        NSBezierPath path;
        path.moveToPoint(NSMakePoint(20, 30));
        path.relativeLineToPoint(NSMakePoint(-10, -10));
        path.relativeLineToPoint(NSMakePoint(20, 0));
        path.closePath();
        path.fill();
        NSColor::whiteColor().setFill();
    };
    EXPECT_EQ(RenderAt(triangle, NSMakePoint(20, 22)), (Rgb{255, 0, 0}));
    EXPECT_NE(RenderAt(triangle, NSMakePoint(11, 28)), (Rgb{255, 0, 0}));
    NSBezierPath path;
    path.moveToPoint(NSMakePoint(20, 30));
    path.relativeLineToPoint(NSMakePoint(-10, -10));
    EXPECT_EQ(path.currentPoint(), NSMakePoint(10, 20));
    EXPECT_EQ(path.bounds(), NSMakeRect(10, 20, 10, 10));
}

TEST(Drawing, ThinnestLineCoversOnePixelColumn) {
    auto line = [](NSRect) {
        NSBezierPath::setDefaultLineWidth(0);
        NSColor::blackColor().setStroke();
        NSBezierPath::strokeLineFromPoint(NSMakePoint(10.5f, 0), NSMakePoint(10.5f, 40));
        NSBezierPath::setDefaultLineWidth(1);
    };
    EXPECT_EQ(RenderAt(line, NSMakePoint(10, 20)), (Rgb{0, 0, 0}));
    EXPECT_NE(RenderAt(line, NSMakePoint(11, 20)), (Rgb{0, 0, 0}));
    EXPECT_NE(RenderAt(line, NSMakePoint(9, 20)), (Rgb{0, 0, 0}));
}

TEST(Drawing, ClipAndRestoreBoundFills) {
    auto clipped = [](NSRect r) {
        NSGraphicsContext::saveGraphicsState();
        NSRectClip(NSMakeRect(0, 0, 10, 10));
        NSColor::redColor().setFill();
        NSRectFill(r);
        NSGraphicsContext::restoreGraphicsState();
        // The fill colour came back with the state.
        NSRectFill(NSMakeRect(30, 30, 10, 10));
    };
    EXPECT_EQ(RenderAt(clipped, NSMakePoint(5, 5)), (Rgb{255, 0, 0}));
    EXPECT_NE(RenderAt(clipped, NSMakePoint(15, 15)), (Rgb{255, 0, 0}));
    EXPECT_EQ(RenderAt(clipped, NSMakePoint(35, 35)), (Rgb{0, 0, 0}));
}

TEST(Drawing, FrameRectDrawsOnlyTheEdges) {
    auto framed = [](NSRect) {
        NSColor::blackColor().setFill();
        NSFrameRect(NSMakeRect(10, 10, 20, 20));
    };
    EXPECT_EQ(RenderAt(framed, NSMakePoint(10, 15)), (Rgb{0, 0, 0}));
    EXPECT_EQ(RenderAt(framed, NSMakePoint(29, 15)), (Rgb{0, 0, 0}));
    EXPECT_NE(RenderAt(framed, NSMakePoint(20, 20)), (Rgb{0, 0, 0}));
}

TEST(Drawing, TextAppearsUprightAboveTheBaseline) {
    auto text = [](NSRect) {
        NSColor::blackColor().setFill();
        NSDrawText("MMMM", NSMakePoint(2, 10));
    };
    Painted view(NSMakeRect(0, 0, 40, 40), text);
    refhost::Bitmap bitmap = refhost::RenderView(view);
    int above = 0;
    int below = 0;
    for (int x = 0; x < 40; ++x) {
        for (int y = 0; y < 40; ++y) {
            if (bitmap.at(x, y).red < 128) {
                (y >= 10 ? above : below) += 1;
            }
        }
    }
    EXPECT_GT(above, 20);
    EXPECT_EQ(below, 0);
}

TEST(Strings, NumbersAreReadFromTheStart) {
    EXPECT_DOUBLE_EQ(NSParseLeadingNumber("  2.5 s"), 2.5);
    EXPECT_DOUBLE_EQ(NSParseLeadingNumber("+4"), 4);
    EXPECT_DOUBLE_EQ(NSParseLeadingNumber("abc"), 0);
    EXPECT_EQ(NSString::stringWithUTF8String("x"), NSString::stringWithUTF8String("x"));
    EXPECT_FLOAT_EQ(NSString::stringWithUTF8String("-0.5")->floatValue(), -0.5f);
    EXPECT_EQ(NSFormatFloat(0.1f), "0.1");
}

TEST(Windows, DrawersOpenBesideTheirWindowWithTheirOwnNumber) {
    NSWindow window(NSMakeRect(100, 100, 200, 150), 0);
    NSDrawer drawer(NSMakeSize(80, 150), NSRectEdge::maxX);
    drawer.setParentWindow(&window);
    ASSERT_EQ(window.drawers().size(), 1u);
    EXPECT_EQ(window.drawers().back(), &drawer);
    EXPECT_EQ(drawer.state(), NSDrawerClosedState);
    drawer.toggle(nullptr);
    EXPECT_EQ(drawer.state(), NSDrawerOpenState);
    EXPECT_EQ(drawer.drawerWindow()->frame(), NSMakeRect(300, 100, 80, 150));
    EXPECT_NE(drawer.drawerWindow()->windowNumber(), window.windowNumber());
    EXPECT_EQ(NSApp()->windowWithWindowNumber(window.windowNumber()), &window);
    drawer.toggle(nullptr);
    EXPECT_EQ(drawer.state(), NSDrawerClosedState);
}

TEST(Windows, KeysGoToTheFirstResponderThenUpTheChain) {
    struct Keys : NSView {
        using NSView::NSView;
        std::string seen;
        bool takes = true;
        bool acceptsFirstResponder() override { return takes; }
        void keyDown(NSEvent* e) override {
            seen += e->characters();
            if (e->characters() != "r") {
                NSView::keyDown(e);
            }
        }
    };
    NSWindow window(NSMakeRect(0, 0, 100, 100), 0);
    window.makeKeyAndOrderFront(nullptr);
    auto* outer =
        window.contentView()->addSubview(std::make_unique<Keys>(NSMakeRect(0, 0, 100, 100)));
    outer->takes = false;
    auto* inner = outer->addSubview(std::make_unique<Keys>(NSMakeRect(10, 10, 20, 20)));
    toolkit_test::Click(window, NSMakePoint(15, 15));
    EXPECT_EQ(window.firstResponder(), inner);
    toolkit_test::Type(window, "r");
    toolkit_test::Type(window, "x");
    EXPECT_EQ(inner->seen, "rx");
    EXPECT_EQ(outer->seen, "x");
    EXPECT_EQ(NSApp()->currentEvent()->characters(), "x");
}

TEST(SplitView, DraggingTheDividerResizesAndNotifies) {
    NSWindow window(NSMakeRect(0, 0, 306, 100), 0);
    window.makeKeyAndOrderFront(nullptr);
    auto* split =
        window.contentView()->addSubview(std::make_unique<NSSplitView>(NSMakeRect(0, 0, 306, 100)));
    auto* left = split->addSubview(std::make_unique<NSView>(NSMakeRect(0, 0, 100, 100)));
    auto* right = split->addSubview(std::make_unique<NSView>(NSMakeRect(106, 0, 200, 100)));
    split->adjustSubviews();
    int resized = 0;
    NSObject observer;
    NSNotificationCenter::defaultCenter()->addObserver(
        &observer, [&](NSNotification*) { ++resized; }, NSSplitViewDidResizeSubviewsNotification,
        split);
    toolkit_test::Click(window, NSMakePoint(102, 50), {NSMakePoint(142, 50)});
    EXPECT_EQ(left->frame(), NSMakeRect(0, 0, 140, 100));
    EXPECT_EQ(right->frame(), NSMakeRect(146, 0, 160, 100));
    EXPECT_GT(resized, 0);
    NSNotificationCenter::defaultCenter()->removeObserver(&observer);
}

} // namespace
