#include <string>
#include <vector>

#include "tests/refhost/toolkit/toolkit_fixture.h"

namespace {

// A view that notes the events it gets, at which points in its own coordinates.
class Recorder : public NSView {
public:
    using NSView::NSView;
    void mouseDown(NSEvent* event) override { Note("down", event); }
    void mouseDragged(NSEvent* event) override { Note("drag", event); }
    void mouseUp(NSEvent* event) override { Note("up", event); }
    void Note(char const* what, NSEvent* event) {
        NSPoint const p = convertPoint(event->locationInWindow(), nullptr);
        log.push_back(std::string(what) + " " + std::to_string(int(p.x)) + "," +
                      std::to_string(int(p.y)));
    }
    std::vector<std::string> log;
};

} // namespace

TEST_F(ToolkitTest, TheDeepestViewTakesTheDownAndKeepsTheDragAndUp) {
    auto* outer = Add(std::make_unique<Recorder>(NSMakeRect(10, 10, 200, 150)));
    auto* inner = outer->addSubview(std::make_unique<Recorder>(NSMakeRect(20, 30, 50, 40)));
    inner->setTag(7);
    EXPECT_EQ(window->contentView()->viewWithTag(7), inner);
    EXPECT_EQ(window->contentView()->hitTest(NSMakePoint(35, 45)), inner);
    EXPECT_EQ(window->contentView()->hitTest(NSMakePoint(15, 15)), outer);

    Click(NSMakePoint(35, 45), NSMakePoint(250, 190)); // the drag and up leave the view
    EXPECT_EQ(inner->log, (std::vector<std::string>{"down 5,5", "drag 220,150", "up 220,150"}));
    EXPECT_TRUE(outer->log.empty());
}

TEST_F(ToolkitTest, AButtonActsOnlyWhenReleasedInside) {
    auto* button = Add(std::make_unique<NSButton>(NSMakeRect(10, 10, 80, 24)));
    int clicks = 0;
    button->setAction([&](NSObject* sender) {
        EXPECT_EQ(sender, button);
        ++clicks;
    });
    Click(NSMakePoint(20, 20));
    EXPECT_EQ(clicks, 1);
    Click(NSMakePoint(20, 20), NSMakePoint(200, 20));
    EXPECT_EQ(clicks, 1) << "released outside";
    EXPECT_FALSE(button->isHighlighted());
    button->setEnabled(false);
    Click(NSMakePoint(20, 20));
    EXPECT_EQ(clicks, 1) << "disabled";
}

TEST_F(ToolkitTest, ASliderFollowsTheMouseWithinItsRange) {
    auto* slider = Add(std::make_unique<NSSlider>(NSMakeRect(10, 10, 212, 20)));
    slider->setMinValue(-100);
    slider->setMaxValue(100);
    slider->setDoubleValue(500);
    EXPECT_EQ(slider->doubleValue(), 100) << "held at the end";
    std::vector<double> sent;
    slider->setContinuous(true);
    slider->setAction([&](NSObject*) { sent.push_back(slider->doubleValue()); });
    Post(NSEventType::leftMouseDown, NSMakePoint(116, 20));
    Post(NSEventType::leftMouseDragged, NSMakePoint(400, 20));
    Post(NSEventType::leftMouseUp, NSMakePoint(400, 20));
    NSApp()->processPendingEvents();
    ASSERT_FALSE(sent.empty());
    EXPECT_NEAR(sent.front(), 0, 1) << "the middle";
    EXPECT_EQ(slider->doubleValue(), 100);
    slider->setFloatValue(25.5f);
    EXPECT_EQ(slider->floatValue(), 25.5f);
}

TEST_F(ToolkitTest, ATextFieldTakesTypingAndSendsItsActionOnReturn) {
    auto* field = Add(std::make_unique<NSTextField>(NSMakeRect(10, 10, 100, 22)));
    field->setFloatValue(2.5f);
    EXPECT_EQ(field->stringValue(), "2.5");
    std::string sent;
    field->setAction([&](NSObject*) { sent = field->stringValue(); });
    Click(NSMakePoint(20, 20));
    EXPECT_EQ(window->firstResponder(), field);
    Type("1");
    Type("2");
    Type(std::string(1, char(NSBackspaceCharacter)));
    Type("5");
    EXPECT_EQ(sent, "") << "no action before return";
    Type("\r");
    NSApp()->processPendingEvents();
    EXPECT_EQ(sent, "15");
    EXPECT_EQ(field->floatValue(), 15.0f);
}

TEST_F(ToolkitTest, ScrollingPostsBoundsChangesToTheObservers) {
    auto* scroll = Add(std::make_unique<NSScrollView>(NSMakeRect(0, 0, 200, 100)));
    scroll->setDocumentView(std::make_unique<NSView>(NSMakeRect(0, 0, 1000, 100)));
    NSClipView* clip = scroll->contentView();
    clip->setPostsBoundsChangedNotifications(true);
    NSObject observer;
    std::vector<float> seen;
    NSNotificationCenter::defaultCenter()->addObserver(
        &observer,
        [&](NSNotification* n) {
            seen.push_back(static_cast<NSView*>(n->object())->bounds().origin.x);
        },
        NSViewBoundsDidChangeNotification, clip);
    clip->scrollToPoint(NSMakePoint(300, 0));
    clip->scrollToPoint(NSMakePoint(5000, 0));
    NSNotificationCenter::defaultCenter()->removeObserver(&observer);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], 300);
    EXPECT_EQ(seen[1], 1000 - clip->frame().size.width) << "kept where the document fills it";
    clip->scrollToPoint(NSMakePoint(0, 0));
    EXPECT_EQ(seen.size(), 2u) << "removed observers hear nothing";
}
