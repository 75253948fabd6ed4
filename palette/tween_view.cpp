#include <cmath>

#include "authoring/tween_editing.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "palette/palette_lookup.h"
#include "palette/palette_views.h"
#include "palette/slider_mapping.h"
#include "palette/time_setters.h"
#include "palette/timeline_drawing.h"
#include "tween/recache.h"
#include "tween/timeline_geometry.h"

namespace {

// How far from a tab, left or right, a click in the ruler strip still grabs it.
constexpr float kTabGrabDistance = 7;

// The toolkit calls the views directly, so this is where the plug-in's failures end: a
// gesture that fails leaves what it had done and the palette goes on.
template <typename Action>
void Guarded(Action const& action) {
    try {
        action();
    } catch (...) {
    }
}

// Exactly one character, counted as characters, not bytes.
bool IsOneCharacter(std::string const& text) {
    int characters = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80) {
            ++characters;
        }
    }
    return characters == 1;
}

} // namespace

void TweenView::FitFrameToContent() {
    NSView* parent = superview();
    NSSize const visible = parent ? parent->frame().size : frame().size;
    NSSize const size = TimelineContentSize(visible, PL_GetMaxTime(), gTimeLineCache.Count(),
                                            TimelineScale::Current());
    NSRect const f = frame();
    if (size == f.size) {
        return;
    }
    CGFloat const grown = size.height - f.size.height;
    setFrame(NSMakeRect(f.origin.x, f.origin.y, size.width, size.height));
    // The view is not flipped, so it grows upwards; scrolling by as much keeps the ruler and
    // the rows the user was looking at where they were, and new rows appear at the bottom.
    if (auto* clip = dynamic_cast<NSClipView*>(parent); clip && grown != 0) {
        NSPoint const origin = clip->bounds().origin;
        clip->scrollToPoint(NSMakePoint(origin.x, origin.y + grown));
    }
}

void TweenView::viewWillDraw() {
    FitFrameToContent();
}

void TweenView::drawRect(NSRect const& dirtyRect) {
    FitFrameToContent();
    DrawTimeLine(frame(), 0, NSIntersectionRect(dirtyRect, visibleRect()));
}

void TweenView::mouseDown(NSEvent* event) {
    NSPoint const p = convertPoint(event->locationInWindow(), nullptr);
    gLastLocalMouse = p;
    gCLickedOnATween = false;
    gCLickedOnMin = false;
    gCLickedOnMax = false;
    NSRect const F = frame();
    if (p.y > NSMaxY(F) - static_cast<float>(gTextHeight)) {
        TimelineScale const scale = TimelineScale::Current();
        float const xmin = TimeX(PL_GetMinTime(), 0, F.origin.x, scale);
        float const xmax = TimeX(PL_GetMaxTime(), 0, F.origin.x, scale);
        // Halfway between the tabs the maximum is the candidate.
        if ((xmin + xmax) * 0.5f > p.x) {
            gCLickedOnMin = std::fabs(p.x - xmin) <= kTabGrabDistance;
        } else {
            gCLickedOnMax = std::fabs(p.x - xmax) <= kTabGrabDistance;
        }
    } else {
        bool const shift = (event->modifierFlags() & NSEventModifierFlagShift) != 0;
        Guarded(
            [&] { gCLickedOnATween = DoSelectObjectTween(gTimeLineCache, p, F, shift, false); });
    }
    setNeedsDisplay(true);
}

void TweenView::DragTab(NSPoint p, bool minimum) {
    float const travel =
        static_cast<float>(PL_GetTimeUnitsPerSecond()) * (p.x - gLastLocalMouse.x) / gScaleFactor;
    int32_t const from = minimum ? PL_GetMinTime() : PL_GetMaxTime();
    int32_t time = TruncateToInt32(static_cast<float>(from) + travel);
    if (time < 0) {
        time = 0;
    }
    if (minimum) {
        SetMinTime(time, true);
    } else {
        SetMaxTime(time, true);
    }
    NSView* content = window() ? window()->contentView() : nullptr;
    if (auto* slider = content ? dynamic_cast<TweenSlider*>(content->viewWithTag(1000)) : nullptr) {
        slider->recalculateFrame();
        slider->setFloatValue(SliderValueForTime(slider->minValue(), slider->maxValue(),
                                                 PL_GetCurTime(), PL_GetMinTime(),
                                                 PL_GetMaxTime()));
        slider->setNeedsDisplay(true);
    }
    gLastLocalMouse = p;
    setNeedsDisplay(true);
}

void TweenView::mouseDragged(NSEvent* event) {
    NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    autoscroll(event);
    if (gCLickedOnATween) {
        Guarded([&] { MoveSelectedTweens(gTimeLineCache, p, gLastLocalMouse); });
        gLastLocalMouse = p;
        setNeedsDisplay(true);
    } else if (gCLickedOnMin || gCLickedOnMax) {
        DragTab(p, gCLickedOnMin);
    } else {
        gDoingMarqueeSelection = true;
        gMarquee = MarqueeRect(gLastLocalMouse, p);
        setNeedsDisplay(true);
    }
}

void TweenView::mouseUp(NSEvent*) {
    if (gDoingMarqueeSelection) {
        NSView* parent = superview();
        NSSize const size =
            TimelineContentSize(parent ? parent->frame().size : frame().size, PL_GetMaxTime(),
                                gTimeLineCache.Count(), TimelineScale::Current());
        Guarded([&] {
            CommitMarqueeSelection(gTimeLineCache, frame(), size.width, size.height, gMarquee);
        });
        setNeedsDisplay(true);
        gDoingMarqueeSelection = false;
    }
    Guarded([] { WriteBackAllRows(gTimeLineCache); });
}

void TweenView::keyDown(NSEvent* event) {
    std::string const& characters = event->characters();
    char const key = characters.empty() ? '\0' : characters.front();
    bool const deletes = key == static_cast<char>(NSDeleteCharacter);
    bool const reverses = key == 'R' || key == 'r';
    if (!IsOneCharacter(characters) || !(deletes || reverses)) {
        NSView::keyDown(event);
        return;
    }
    Guarded([&] {
        if (deletes) {
            DeleteSelectedTweens();
        } else {
            ReverseSelectedTweens();
        }
    });
    RebuildTimelineRows(this);
}

void RebuildTimelineRows(NSView* inWindowOf) {
    Guarded([] {
        RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems,
                       gAnimateTextureItems);
    });
    NSView* content =
        inWindowOf && inWindowOf->window() ? inWindowOf->window()->contentView() : nullptr;
    for (long tag : {2000L, 2002L}) {
        if (NSView* view = content ? content->viewWithTag(tag) : nullptr) {
            view->setNeedsDisplay(true);
        }
    }
}
