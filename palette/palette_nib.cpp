#include "palette/palette_nib.h"

#include "host/cocoa/cocoa.h"
#include "palette/palette_controller.h"
#include "palette/palette_sync.h"
#include "palette/palette_views.h"
#include "palette/timeline_edits.h"
#include "palette/transport_images.h"
#include "palette/tween_button.h"

namespace {

using Action = void (KeyposeSequencerPaletteController::*)(NSObject*);

constexpr float kWidth = 620;
constexpr float kHeight = 300;
constexpr float kButtonRow = kHeight - 30;
constexpr float kSliderRow = kHeight - 56;
constexpr float kNameColumnWidth = 130;
constexpr float kSplitHeight = kSliderRow - 4;
// The timeline's horizontal scroll bar is as high as the strip the name column leaves
// unpainted below its rows (one row and the 4 pixels the names are lifted by while the
// timeline scrolls), so names and rows line up whether or not the timeline scrolls.
constexpr float kTimelineScrollerThickness = 18;
// Controls along the top keep their distance from the top edge as the panel resizes.
constexpr NSAutoresizingMaskOptions kStaysAtTop = NSViewMinYMargin;

struct Builder {
    KeyposeSequencerPaletteController& owner;
    NSView* content;

    template <typename Control>
    Control* Connect(Control* control, Action action) {
        control->setTargetAction(&owner, action);
        return control;
    }

    // A transport button drawn by its glyph; its title, never drawn, names it for whoever
    // looks a control up by title (scripts, assistive tools).
    TweenButton* ImageButton(float x, TransportGlyph glyph, long tag, char const* title,
                             Action action) {
        auto* button =
            content->addSubview(std::make_unique<TweenButton>(NSMakeRect(x, kButtonRow, 30, 24)));
        button->setButtonType(NSButtonType::momentaryChange);
        button->setAutoresizingMask(kStaysAtTop);
        button->setImage(TransportImage(glyph, false));
        button->setAlternateImage(TransportImage(glyph, true));
        button->setTitle(title);
        if (tag >= 0) {
            button->setTag(tag);
        }
        return Connect(button, action);
    }

    NSButton* TitledButton(float x, float width, char const* title, Action action) {
        auto* button =
            content->addSubview(std::make_unique<NSButton>(NSMakeRect(x, kButtonRow, width, 24)));
        button->setTitle(title);
        button->setAutoresizingMask(kStaysAtTop);
        return Connect(button, action);
    }
};

void AddButtonRow(Builder& b) {
    using C = KeyposeSequencerPaletteController;
    b.ImageButton(6, TransportGlyph::toStart, -1, "Start", &C::ToStart);
    b.ImageButton(38, TransportGlyph::playBackward, kPlayBackwardButtonTag, "Backward",
                  &C::PlayBackward);
    b.ImageButton(70, TransportGlyph::stop, kStopButtonTag, "Stop", &C::Stop);
    b.ImageButton(102, TransportGlyph::playForward, kPlayForwardButtonTag, "Forward",
                  &C::PlayForward);
    b.ImageButton(134, TransportGlyph::toEnd, -1, "End", &C::ToEnd);
    b.ImageButton(172, TransportGlyph::previousTween, -1, "Previous", &C::BackToTween);
    b.ImageButton(204, TransportGlyph::nextTween, -1, "Next", &C::ForwardToTween);
    b.TitledButton(242, 56, "Object", &C::AddObject);
    b.TitledButton(300, 56, "Camera", &C::AddCamera);
    b.TitledButton(358, 60, "Ambient", &C::AddAmbient);
    b.TitledButton(420, 40, "Sun", &C::AddSun);
    b.TitledButton(466, 24, "-", &C::ZoomOut);
    b.TitledButton(492, 24, "+", &C::ZoomIn);

    auto* step = b.content->addSubview(
        std::make_unique<NSTextField>(NSMakeRect(522, kButtonRow + 1, 36, 22)));
    step->setTag(kStepFieldTag);
    step->setAutoresizingMask(kStaysAtTop);
    step->setStringValue("1");
    b.Connect(step, &C::ChangeTweenAddMovement);

    auto* direction = b.content->addSubview(
        std::make_unique<NSSegmentedControl>(NSMakeRect(562, kButtonRow, 54, 24)));
    direction->setSegmentCount(3);
    direction->setAutoresizingMask(kStaysAtTop);
    direction->setLabel("1", 0); // play once and stop
    direction->setLabel("∞", 1); // loop
    direction->setLabel("↔", 2); // back and forth
    direction->setSelectedSegment(0);
    b.Connect(direction, &C::AnimationModeChanged);
}

void AddTimeline(Builder& b) {
    using C = KeyposeSequencerPaletteController;
    auto* beside = b.content->addSubview(
        std::make_unique<ObjectName>(NSMakeRect(0, kSliderRow, kNameColumnWidth, 22)));
    beside->setAutoresizingMask(kStaysAtTop);
    auto* slider = b.content->addSubview(std::make_unique<TweenSlider>(
        NSMakeRect(kNameColumnWidth, kSliderRow, kWidth - kNameColumnWidth, 22)));
    slider->setTag(kTimeSliderTag);
    slider->setAutoresizingMask(kStaysAtTop);
    slider->setMinValue(0);
    slider->setMaxValue(1000);
    slider->setContinuous(true);
    b.Connect(slider, &C::CurrentTimeSlider);

    auto* split = b.content->addSubview(
        std::make_unique<TweenSplitView>(NSMakeRect(0, 0, kWidth, kSplitHeight)));
    split->setVertical(true);
    split->setAutoresizingMask(NSViewWidthSizable | NSViewHeightSizable);
    split->addSubview(
        std::make_unique<NameColumnView>(NSMakeRect(0, 0, kNameColumnWidth - 6, kSplitHeight)));
    auto* scroll = split->addSubview(std::make_unique<NSScrollView>(
        NSMakeRect(kNameColumnWidth, 0, kWidth - kNameColumnWidth, kSplitHeight)));
    scroll->setHasHorizontalScroller(true);
    scroll->setHasVerticalScroller(true);
    scroll->setScrollerThickness(kTimelineScrollerThickness);
    // The timeline starts as large as what shows of it and grows upwards from there as it
    // draws, so its ruler shows from the start.
    NSSize const shown = scroll->contentView()->frame().size;
    scroll->setDocumentView(
        std::make_unique<TweenView>(NSMakeRect(0, 0, shown.width, shown.height)));
    split->adjustSubviews();
}

// A label and a field below it in the drawer.
NSTextField* LabelledField(Builder& b, float y, char const* label, int tag, Action action) {
    b.content->addSubview(NSTextField::labelWithString(label, NSMakeRect(8, y, 100, 18)));
    auto* field =
        b.content->addSubview(std::make_unique<NSTextField>(NSMakeRect(112, y - 2, 70, 22)));
    field->setTag(tag);
    return b.Connect(field, action);
}

std::unique_ptr<NSDrawer> MakeDrawer(KeyposeSequencerPaletteController& owner) {
    using C = KeyposeSequencerPaletteController;
    auto drawer = std::make_unique<NSDrawer>(NSMakeSize(190, 200), NSRectEdge::maxX);
    NSView* content = drawer->setContentView(std::make_unique<NSView>(NSMakeRect(0, 0, 190, 200)));
    Builder b{owner, content};
    LabelledField(b, 170, "Start (s)", kMinTimeFieldTag, &C::MinTimeChanged)->setFloatValue(0);
    LabelledField(b, 144, "Current (s)", kCurTimeFieldTag, &C::CurTimeChanged)->setFloatValue(0);
    LabelledField(b, 118, "End (s)", kMaxTimeFieldTag, &C::MaxTimeChanged)->setFloatValue(10);
    content->addSubview(NSTextField::labelWithString("Speed", NSMakeRect(8, 86, 100, 18)));
    auto* speed = content->addSubview(std::make_unique<NSSlider>(NSMakeRect(8, 62, 174, 20)));
    speed->setTag(kSpeedSliderTag);
    speed->setMinValue(-100);
    speed->setMaxValue(100);
    speed->setDoubleValue(0);
    speed->setContinuous(true);
    b.Connect(speed, &C::SpeedSliderChanged);
    auto field = [&](float x, int tag, Action action, float value) {
        auto* f = content->addSubview(std::make_unique<NSTextField>(NSMakeRect(x, 34, 54, 22)));
        f->setTag(tag);
        f->setFloatValue(value);
        b.Connect(f, action);
    };
    field(8, kSpeedMinFieldTag, &C::SpeedMinChanged, 0.25f);
    field(68, kSpeedFieldTag, &C::SpeedChanged, 1.0f);
    field(128, kSpeedMaxFieldTag, &C::SpeedMaxChanged, 4.0f);
    auto* snap = content->addSubview(std::make_unique<NSButton>(NSMakeRect(8, 6, 174, 22)));
    snap->setTitle("Snap to step");
    snap->setButtonType(NSButtonType::toggle);
    snap->setState(gSnapToStep ? NSControlStateValueOn : NSControlStateValueOff);
    snap->setTag(kSnapToggleTag);
    b.Connect(snap, &C::SnapChanged);
    return drawer;
}

} // namespace

std::unique_ptr<NSPanel> LoadKeyposeSequencerPalette(KeyposeSequencerPaletteController& owner) {
    auto panel =
        std::make_unique<NSPanel>(NSMakeRect(80, 120, kWidth, kHeight),
                                  NSWindowStyleMaskTitled | NSWindowStyleMaskClosable |
                                      NSWindowStyleMaskResizable | NSWindowStyleMaskUtilityWindow);
    panel->setTitle("Keypose Sequencer");
    Builder b{owner, panel->contentView()};
    AddButtonRow(b);
    AddTimeline(b);
    // The drawer's button opens and closes it; the controller's own action does nothing more.
    auto* drawerButton =
        b.TitledButton(0, 24, "»", &KeyposeSequencerPaletteController::OpenCloseDrawer);
    drawerButton->setFrame(NSMakeRect(kNameColumnWidth - 28, kSliderRow, 24, 22));
    owner.paletteDrawer = MakeDrawer(owner);
    NSDrawer* drawer = owner.paletteDrawer.get();
    drawer->setParentWindow(panel.get());
    drawerButton->setAction([drawer, &owner](NSObject* sender) {
        drawer->toggle(sender);
        owner.OpenCloseDrawer(sender);
    });
    return panel;
}
