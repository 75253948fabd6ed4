#include <gtest/gtest.h>

#include "host/cocoa/ns_button.h"
#include "host/cocoa/ns_graphics.h"
#include "host/cocoa/ns_segmented_control.h"
#include "host/cocoa/ns_slider.h"
#include "host/cocoa/ns_text_field.h"
#include "host/cocoa/ns_window.h"
#include "refhost/toolkit/render.h"
#include "tests/refhost/toolkit/event_helpers.h"

namespace {

using toolkit_test::Click;
using toolkit_test::Type;

struct Fixture : ::testing::Test {
    NSWindow window{NSMakeRect(0, 0, 300, 200), 0};
    int actions = 0;
    NSObject* lastSender = nullptr;
    void SetUp() override { window.makeKeyAndOrderFront(nullptr); }
    NSControl::Action counter() {
        return [this](NSObject* sender) {
            ++actions;
            lastSender = sender;
        };
    }
};

using Button = Fixture;
using Slider = Fixture;
using TextField = Fixture;

TEST_F(Button, ReleaseInsideSendsTheAction) {
    auto* button =
        window.contentView()->addSubview(std::make_unique<NSButton>(NSMakeRect(10, 10, 60, 24)));
    button->setAction(counter());
    Click(window, NSMakePoint(20, 20), {NSMakePoint(200, 150), NSMakePoint(30, 20)});
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(lastSender, button);
    EXPECT_FALSE(button->isHighlighted());
}

TEST_F(Button, ReleaseOutsideSendsNothing) {
    auto* button =
        window.contentView()->addSubview(std::make_unique<NSButton>(NSMakeRect(10, 10, 60, 24)));
    button->setAction(counter());
    Click(window, NSMakePoint(20, 20), {NSMakePoint(200, 150)});
    EXPECT_EQ(actions, 0);
    EXPECT_FALSE(button->isHighlighted());
}

TEST_F(Button, DragOutAndReleaseOutsideSendsNothing) {
    auto* button =
        window.contentView()->addSubview(std::make_unique<NSButton>(NSMakeRect(10, 10, 60, 24)));
    button->setAction(counter());
    toolkit_test::Post(window, NSEventType::leftMouseDown, NSMakePoint(20, 20));
    toolkit_test::Post(window, NSEventType::leftMouseDragged, NSMakePoint(250, 20));
    toolkit_test::Post(window, NSEventType::leftMouseUp, NSMakePoint(250, 20));
    NSApp()->processPendingEvents();
    EXPECT_EQ(actions, 0);
}

TEST_F(Slider, FollowsTheMouseWithinItsRange) {
    auto* slider =
        window.contentView()->addSubview(std::make_unique<NSSlider>(NSMakeRect(0, 0, 112, 20)));
    slider->setMinValue(-100);
    slider->setMaxValue(100);
    slider->setAction(counter());
    // Travel is the width less the knob: 100 pixels from x = 6 to x = 106.
    Click(window, NSMakePoint(56, 10));
    EXPECT_NEAR(slider->doubleValue(), 0, 1e-9);
    Click(window, NSMakePoint(56, 10), {NSMakePoint(81, 10)});
    EXPECT_NEAR(slider->doubleValue(), 50, 1e-9);
    Click(window, NSMakePoint(56, 10), {NSMakePoint(-40, 10)});
    EXPECT_EQ(slider->doubleValue(), -100);
    EXPECT_GE(actions, 3);
    slider->setFloatValue(250);
    EXPECT_EQ(slider->floatValue(), 100);
}

TEST_F(TextField, TypingReplacesTheTextAndReturnSendsTheAction) {
    auto* field = window.contentView()->addSubview(
        std::make_unique<NSTextField>(NSMakeRect(10, 100, 80, 22)));
    field->setStringValue("1");
    field->setAction(counter());
    Click(window, NSMakePoint(20, 110));
    EXPECT_EQ(window.firstResponder(), field);
    Type(window, "2");
    Type(window, ".");
    Type(window, "7");
    Type(window, "\x7f");
    Type(window, "5");
    EXPECT_EQ(actions, 0);
    Type(window, "\r");
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(field->stringValue(), "2.5");
    EXPECT_FLOAT_EQ(field->floatValue(), 2.5f);
}

TEST_F(TextField, TabMovesOnAndCommits) {
    auto* a = window.contentView()->addSubview(
        std::make_unique<NSTextField>(NSMakeRect(10, 100, 80, 22)));
    auto* b = window.contentView()->addSubview(
        std::make_unique<NSTextField>(NSMakeRect(100, 100, 80, 22)));
    a->setNextKeyView(b);
    a->setAction(counter());
    Click(window, NSMakePoint(20, 110));
    Type(window, "8");
    Type(window, "\t");
    EXPECT_EQ(window.firstResponder(), b);
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(a->intValue(), 8);
    a->setFloatValue(0.25f);
    EXPECT_EQ(a->stringValue(), "0.25");
}

TEST_F(Fixture, SegmentedControlSelectsTheClickedSegment) {
    auto* control = window.contentView()->addSubview(
        std::make_unique<NSSegmentedControl>(NSMakeRect(0, 0, 90, 20)));
    control->setSegmentCount(3);
    control->setAction(counter());
    Click(window, NSMakePoint(75, 10));
    EXPECT_EQ(control->selectedSegment(), 2);
    EXPECT_EQ(actions, 1);
}

TEST_F(Fixture, RendersFillsWhereTheirFramesAre) {
    struct Filled : NSView {
        using NSView::NSView;
        void drawRect(NSRect const& r) override {
            NSColor::redColor().setFill();
            NSRectFill(r);
        }
    };
    window.contentView()->addSubview(std::make_unique<Filled>(NSMakeRect(10, 20, 30, 40)));
    refhost::Bitmap bitmap = refhost::RenderWindow(window);
    EXPECT_EQ(bitmap.atWindow(window, NSMakePoint(10.5f, 20.5f)), (refhost::Rgb{255, 0, 0}));
    EXPECT_EQ(bitmap.atWindow(window, NSMakePoint(39.5f, 59.5f)), (refhost::Rgb{255, 0, 0}));
    EXPECT_NE(bitmap.atWindow(window, NSMakePoint(40.5f, 20.5f)), (refhost::Rgb{255, 0, 0}));
    EXPECT_NE(bitmap.atWindow(window, NSMakePoint(10.5f, 60.5f)), (refhost::Rgb{255, 0, 0}));
    EXPECT_FALSE(window.viewsNeedDisplay());
}

} // namespace
