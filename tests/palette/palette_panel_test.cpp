#include <unistd.h>

#include <gtest/gtest.h>

#include "palette/palette_views.h"
#include "palette/tween_button.h"
#include "refhost/toolkit/render.h"
#include "tests/palette/palette_fixture.h"

namespace {

using PalettePanelTest = PaletteTest;

TweenButton* Transport(long tag) {
    return PaletteControl<TweenButton>(tag);
}

void ClickOn(NSView* view) {
    NSRect const frame = view->convertRectToView(view->bounds(), nullptr);
    NSPoint const middle{NSMidX(frame), NSMidY(frame)};
    long const window = view->window()->windowNumber();
    for (NSEventType type : {NSEventType::leftMouseDown, NSEventType::leftMouseUp}) {
        NSApp()->postEvent(NSEvent::mouseEventWithType(type, middle, 0, window), false);
    }
    NSApp()->processPendingEvents();
}

} // namespace

TEST_F(PalettePanelTest, ThePaletteHasEveryControlAndIsListedInTheMenu) {
    ASSERT_NE(gPalette, nullptr);
    EXPECT_TRUE(gPalette->isVisible());
    for (long tag : {999L, 1000L, 1003L, 1004L, 1005L, 1014L, 2000L, 2002L, 2006L}) {
        EXPECT_NE(PaletteViewWithTag(tag), nullptr) << "panel tag " << tag;
    }
    for (long tag : {10002L, 10003L, 10004L, 10011L, 10012L, 10013L, 10014L}) {
        EXPECT_NE(DrawerViewWithTag(tag), nullptr) << "drawer tag " << tag;
    }
    EXPECT_NE(dynamic_cast<TweenSlider*>(PaletteViewWithTag(1000)), nullptr);
    EXPECT_NE(dynamic_cast<NSScrollView*>(PaletteViewWithTag(2000)->enclosingScrollView()),
              nullptr);
    auto const& menu = refhost::HostState::Instance().paletteMenu;
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(menu[0].panel, gPalette);
    EXPECT_TRUE(Transport(1004)->IsImageSwitched()) << "stop shows as pressed";
    EXPECT_FALSE(Transport(1003)->IsImageSwitched() || Transport(1005)->IsImageSwitched());
    EXPECT_FALSE(DrawerIsOpen());
}

TEST_F(PalettePanelTest, TheTransportButtonsShowOneActiveButton) {
    auto* forward = Transport(1005);
    auto const normal = forward->image();
    ClickOn(forward);
    EXPECT_TRUE(forward->IsImageSwitched());
    EXPECT_NE(forward->image(), normal) << "the alternate image shows";
    EXPECT_FALSE(Transport(1004)->IsImageSwitched());
    EXPECT_EQ(PL_GetPaused(), 0) << "the action went out";
    EXPECT_EQ(PL_GetForwards(), 1);

    ClickOn(Transport(1004));
    EXPECT_TRUE(Transport(1004)->IsImageSwitched()) << "stop ends lit";
    EXPECT_FALSE(forward->IsImageSwitched());
    EXPECT_EQ(forward->image(), normal);
    EXPECT_EQ(PL_GetPaused(), 1);

    ShowTransportState(false, false);
    EXPECT_TRUE(Transport(1003)->IsImageSwitched());
    EXPECT_FALSE(Transport(1004)->IsImageSwitched());
}

TEST_F(PalettePanelTest, ThePaletteRendersWithItsControlsWhereTheirFramesAre) {
    Controller().paletteDrawer->open();
    refhost::Bitmap const image = refhost::RenderWindow(*gPalette);
    std::string const path =
        ::testing::TempDir() + "keypose_palette_" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(image.writePng(path));
    // The stop button's image is the selection colour while it shows as pressed; the play
    // button beside it shows its glyph on the window background.
    NSRect const stop = Transport(1004)->frame();
    refhost::Rgb const pressed = image.atWindow(*gPalette, {NSMinX(stop) + 5, NSMinY(stop) + 5});
    refhost::Rgb const background = image.atWindow(*gPalette, {NSMinX(stop) + 2, NSMaxY(stop) + 3});
    EXPECT_NE(pressed, background);
    EXPECT_GT(pressed.blue, pressed.red) << "the pressed look is the selection colour";
    EXPECT_GT(image.width(), static_cast<int>(gPalette->frame().size.width))
        << "the open drawer shows beside the panel";
}
