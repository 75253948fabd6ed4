// The palette loaded as message 0 loads it, over a front document with a view.
#pragma once

#include "host/cocoa/cocoa.h"
#include "palette/palette_controller.h"
#include "palette/palette_lookup.h"
#include "palette/palette_sync.h"
#include "palette/set_up_dialog.h"
#include "refhost/framework/host_state.h"
#include "tests/tween/document_fixture.h"

class PaletteTest : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        PL_SetMaxTime(6000);
        ASSERT_TRUE(SetUpDialog());
    }
    void TearDown() override {
        PL_DisposeWindow(&gPalette);
        NSApp()->discardEvents();
        DocumentTest::TearDown();
    }
    static KeyposeSequencerPaletteController& Controller() {
        return *gKeyposeSequencerPaletteController;
    }
    static NSTextField* DrawerField(long tag) { return DrawerControl<NSTextField>(tag); }
};
