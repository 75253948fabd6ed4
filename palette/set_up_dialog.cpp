#include "palette/set_up_dialog.h"

#include <memory>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "palette/palette_controller.h"
#include "palette/palette_nib.h"
#include "palette/palette_sync.h"
#include "palette/palette_views.h"
#include "palette/tween_button.h"
#include "playback/host_time.h"

NSPanel* gPalette = nullptr;
KeyposeSequencerPaletteController* gKeyposeSequencerPaletteController = nullptr;

namespace {

// The controller lives from load to the module's end; a new load makes a new one.
std::unique_ptr<KeyposeSequencerPaletteController> sController;

template <typename View>
View* Tagged(NSView* root, long tag) {
    return root ? dynamic_cast<View*>(root->viewWithTag(tag)) : nullptr;
}

} // namespace

KeyposeSequencerPaletteController::~KeyposeSequencerPaletteController() {
    NSNotificationCenter::defaultCenter()->removeObserver(this);
}

void KeyposeSequencerPaletteController::DrawerWillOpen(NSNotification*) {
    SetDrawerField(kCurTimeFieldTag, static_cast<float>(PL_GetCurTime()) / TimeUnitsPerSecond());
}

void KeyposeSequencerPaletteController::loadNib() {
    std::unique_ptr<NSPanel> panel = LoadKeyposeSequencerPalette(*this);
    keyposeSequencerPalette = panel.get();
    setWindow(std::move(panel));
    NSView* content = keyposeSequencerPalette->contentView();
    auto* timeline = Tagged<NSView>(content, kTimeLineTag);
    NSView* clip = timeline ? timeline->superview() : nullptr;
    auto* names = Tagged<NameColumnView>(content, kNameColumnTag);
    auto* split = Tagged<NSSplitView>(content, kSplitViewTag);
    auto* slider = Tagged<TweenSlider>(content, kTimeSliderTag);
    if (names) {
        names->curScroll = 0;
    }
    if (paletteDrawer) {
        NSNotificationCenter::defaultCenter()->addObserver(
            this, &KeyposeSequencerPaletteController::DrawerWillOpen, NSDrawerWillOpenNotification,
            paletteDrawer.get());
    }
    if (!clip) {
        return;
    }
    clip->setPostsBoundsChangedNotifications(true);
    NSNotificationCenter* centre = NSNotificationCenter::defaultCenter();
    if (names) {
        centre->addObserver(names, &NameColumnView::synchronizedViewContentBoundsDidChange,
                            NSViewBoundsDidChangeNotification, clip);
    }
    if (slider) {
        centre->addObserver(slider, &TweenSlider::synchronizedViewContentBoundsDidChange,
                            NSViewBoundsDidChangeNotification, clip);
        if (split) {
            centre->addObserver(slider, &TweenSlider::theSplitViewDidResizeSubviews,
                                NSSplitViewDidResizeSubviewsNotification, split);
        }
    }
}

bool SetUpDialog() {
    sController = std::make_unique<KeyposeSequencerPaletteController>();
    gKeyposeSequencerPaletteController = sController.get();
    gKeyposeSequencerPaletteController->loadNib();
    gPalette = gKeyposeSequencerPaletteController->keyposeSequencerPalette;
    if (!gPalette) {
        return false;
    }
    CStr255 name;
    PL_GetFileName(PL_GetMyFileSpec(), name.Pascal());
    PL_AddNSNameToPaletteMenu(PL_LocalizeString(name.MakeNSString()), gPalette);
    for (long tag : {kPlayBackwardButtonTag, kStopButtonTag, kPlayForwardButtonTag}) {
        if (auto* button = Tagged<TweenButton>(gPalette->contentView(), tag)) {
            button->UnSwitchImage();
        }
    }
    if (auto* stop = Tagged<TweenButton>(gPalette->contentView(), kStopButtonTag)) {
        stop->SwitchImage();
    }
    gKeyposeSequencerPaletteController->window()->makeKeyAndOrderFront(
        gKeyposeSequencerPaletteController);
    return true;
}
