#include <algorithm>
#include <cmath>

#include "authoring/tween_clipboard.h"
#include "authoring/tween_editing.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "interp/easing.h"
#include "palette/palette_lookup.h"
#include "palette/palette_sync.h"
#include "palette/palette_views.h"
#include "palette/slider_mapping.h"
#include "palette/time_setters.h"
#include "palette/timeline_drawing.h"
#include "palette/timeline_edits.h"
#include "playback/animation.h"
#include "playback/host_time.h"
#include "plugin/plugin_state.h"
#include "tween/cache.h"
#include "tween/recache.h"
#include "tween/timeline_geometry.h"

namespace {

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
    auto* clip = dynamic_cast<NSClipView*>(parent);
    if (!clip) {
        return;
    }
    // The view is not flipped, so it grows upwards; scrolling by as much keeps the ruler and
    // the rows the user was looking at where they were, and new rows appear at the bottom.
    // A narrower view (after zooming out) pulls the scroll back within its width.
    NSRect const shown = clip->bounds();
    CGFloat const widest = std::max<CGFloat>(0, size.width - shown.size.width);
    CGFloat const highest = std::max<CGFloat>(0, size.height - shown.size.height);
    NSPoint const origin = NSMakePoint(std::clamp<CGFloat>(shown.origin.x, 0, widest),
                                       std::clamp<CGFloat>(shown.origin.y + grown, 0, highest));
    if (origin != shown.origin) {
        clip->scrollToPoint(origin);
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
    Guarded([] { MakePendingRebuild(); });
    NSPoint const p = convertPoint(event->locationInWindow(), nullptr);
    gLastLocalMouse = p;
    gCLickedOnATween = false;
    gCLickedOnMin = false;
    gCLickedOnMax = false;
    fGesture = Gesture{};
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
        if (gCLickedOnMin || gCLickedOnMax) {
            fGesture.anchor = gCLickedOnMin ? PL_GetMinTime() : PL_GetMaxTime();
        } else {
            fGesture.scrubbing = true;
            Guarded([&] { ScrubTo(p, Snapping(event)); });
        }
    } else {
        bool const shift = (event->modifierFlags() & NSEventModifierFlagShift) != 0;
        Guarded([&] {
            gCLickedOnATween = DoSelectObjectTween(gTimeLineCache, p, F, shift, false);
            int32_t time = 0;
            if (gCLickedOnATween && TweenTimeUnder(gTimeLineCache, p, F, &time)) {
                fGesture.anchor = time;
            }
        });
    }
    setNeedsDisplay(true);
}

bool TweenView::Snapping(NSEvent* event) const {
    return gSnapToStep && (event->modifierFlags() & NSEventModifierFlagOption) == 0 &&
           TimelineStepUnits() > 0;
}

void TweenView::ScrubTo(NSPoint p, bool snap) {
    TimelineScale const scale = TimelineScale::Current();
    double const seconds = (p.x - frame().origin.x - kStartOffset) / scale.pixelsPerSecond;
    int32_t time = TruncateToInt32(std::round(seconds * scale.unitsPerSecond));
    if (snap) {
        time = SnapTime(time, TimelineStepUnits());
    }
    time = std::clamp(time, PL_GetMinTime(), std::max(PL_GetMinTime(), PL_GetMaxTime()));
    SetCurTime(time, true);
    SetTimeSliderFromClock();
    AnimateAfterEdit();
}

void TweenView::MoveSelection(NSPoint& p, bool snap) {
    float const unitsPerPixel = TimeUnitsPerSecond() / gScaleFactor;
    fGesture.travel += unitsPerPixel * (p.x - gLastLocalMouse.x);
    if (snap) {
        int32_t const target =
            SnapTime(TruncateToInt32(fGesture.anchor + fGesture.travel), TimelineStepUnits());
        fGesture.applied += MoveSelectedTweensBy(
            gTimeLineCache, TruncateToInt32(static_cast<double>(int64_t{target} - fGesture.anchor -
                                                                fGesture.applied)));
    } else {
        NSPoint const before = p;
        MoveSelectedTweens(gTimeLineCache, p, gLastLocalMouse);
        // A clamp pulled p back: the travel counts only what was applied.
        fGesture.travel -= unitsPerPixel * (before.x - p.x);
        fGesture.applied = TruncateToInt32(fGesture.travel);
    }
    fGesture.moved = true;
}

void TweenView::DragTab(NSPoint p, bool minimum, bool snap) {
    float const unitsPerPixel = TimeUnitsPerSecond() / gScaleFactor;
    float const travel = unitsPerPixel * (p.x - gLastLocalMouse.x);
    fGesture.travel += travel;
    int32_t const from = minimum ? PL_GetMinTime() : PL_GetMaxTime();
    int32_t time =
        snap ? SnapTime(TruncateToInt32(fGesture.anchor + fGesture.travel), TimelineStepUnits())
             : TruncateToInt32(static_cast<float>(from) + travel);
    if (time < 0) {
        time = 0;
    }
    if (minimum) {
        SetMinTime(time, true);
    } else {
        SetMaxTime(time, true);
    }
    NSView* content = window() ? window()->contentView() : nullptr;
    if (auto* slider =
            content ? dynamic_cast<TweenSlider*>(content->viewWithTag(kTimeSliderTag)) : nullptr) {
        slider->recalculateFrame();
        slider->setFloatValue(SliderValueForTime(slider->minValue(), slider->maxValue(),
                                                 PL_GetCurTime(), PL_GetMinTime(),
                                                 PL_GetMaxTime()));
        slider->setNeedsDisplay(true);
    }
    gLastLocalMouse = p;
    // The range can carry the current time with it.
    Guarded([] { AnimateAfterEdit(); });
    setNeedsDisplay(true);
}

void TweenView::mouseDragged(NSEvent* event) {
    Guarded([] { MakePendingRebuild(); });
    NSPoint p = convertPoint(event->locationInWindow(), nullptr);
    autoscroll(event);
    bool const snap = Snapping(event);
    if (gCLickedOnATween) {
        Guarded([&] { MoveSelection(p, snap); });
        gLastLocalMouse = p;
        setNeedsDisplay(true);
    } else if (gCLickedOnMin || gCLickedOnMax) {
        DragTab(p, gCLickedOnMin, snap);
    } else if (fGesture.scrubbing) {
        Guarded([&] { ScrubTo(p, snap); });
        setNeedsDisplay(true);
    } else {
        gDoingMarqueeSelection = true;
        gMarquee = MarqueeRect(gLastLocalMouse, p);
        setNeedsDisplay(true);
    }
}

void TweenView::mouseUp(NSEvent*) {
    // A change on the host's side during the gesture wins: the rows are made from the stored
    // lists again and the gesture's moves are dropped rather than written over them.
    bool const stale = gRecache;
    Guarded([] { MakePendingRebuild(); });
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
    bool const edited = fGesture.moved && !stale;
    if (edited) {
        BeginTimelineEdit();
    }
    Guarded([] { WriteBackAllRows(gTimeLineCache); });
    if (edited) {
        Guarded([] { EndTimelineEdit(); });
    }
    fGesture = Gesture{};
}

void TweenView::keyDown(NSEvent* event) {
    Guarded([] { MakePendingRebuild(); });
    std::string const& characters = event->characters();
    char const key = characters.empty() ? '\0' : characters.front();
    bool const command =
        (event->modifierFlags() & (NSEventModifierFlagControl | NSEventModifierFlagCommand)) != 0;
    bool handled = false;
    if (IsOneCharacter(characters)) {
        handled = command ? Clipboard(key) : Edit(key) || Zoom(key) || Nudge(characters, event);
    }
    if (!handled) {
        NSView::keyDown(event);
    }
}

bool TweenView::Clipboard(char key) {
    // With control held a terminal-style keyboard may send the control character itself.
    bool const copies = key == 'c' || key == 'C' || key == '\x03';
    bool const pastes = key == 'v' || key == 'V' || key == '\x16';
    if (copies) {
        Guarded([] { CopySelectedTweens(gTimeLineCache); });
    } else if (pastes && CanPasteTweens()) {
        BeginTimelineEdit();
        Guarded([] { PasteTweens(gTimeLineCache, PL_GetCurTime()); });
        RebuildTimelineRows(this);
        Guarded([] { EndTimelineEdit(); });
    }
    return copies || pastes;
}

bool TweenView::Nudge(std::string const& characters, NSEvent* event) {
    // The arrow keys' characters, as UTF-8.
    static std::string const left = "\xEF\x9C\x82";
    static std::string const right = "\xEF\x9C\x83";
    static_assert(NSLeftArrowFunctionKey == 0xF702 && NSRightArrowFunctionKey == 0xF703);
    if ((characters != left && characters != right) || !AnyTweenSelected(gTimeLineCache)) {
        return characters == left || characters == right;
    }
    int32_t const step = Snapping(event) ? TimelineStepUnits() : 1;
    BeginTimelineEdit();
    Guarded([&] {
        MoveSelectedTweensBy(gTimeLineCache, characters == left ? -step : step);
        WriteBackAllRows(gTimeLineCache);
    });
    Guarded([] { EndTimelineEdit(); });
    return true;
}

bool TweenView::Zoom(char key) {
    if (key == '-' || key == '+' || key == '=') {
        // As the zoom buttons do: halves or doubles the pixels a second.
        SetZoom(key == '-' ? gScaleFactor * 0.5f : gScaleFactor * 2.0f);
        return true;
    }
    if (key != 'F' && key != 'f') {
        return false;
    }
    Guarded([this] { ZoomToFit(); });
    return true;
}

void TweenView::ZoomToFit() {
    bool const onlySelected = AnyTweenSelected(gTimeLineCache);
    int64_t first = INT64_MAX;
    int64_t last = INT64_MIN;
    for (uint32_t row = 0; row < gTimeLineCache.Count(); ++row) {
        for (uint32_t i = 0; i < gTimeLineCache[row]->Count(); ++i) {
            BaseTweenRecord const& record = gTimeLineCache[row]->Record(i);
            if (record.selected || !onlySelected) {
                first = std::min<int64_t>(first, record.time);
                last = std::max<int64_t>(last, record.time);
            }
        }
    }
    auto* clip = dynamic_cast<NSClipView*>(superview());
    if (first > last || !clip) {
        return;
    }
    // Half a glyph and a little air either side of the outermost points.
    constexpr float kMargin = 12;
    float const width = NSWidth(clip->bounds()) - 2 * kMargin;
    auto const seconds = static_cast<float>(last - first) / TimeUnitsPerSecond();
    float scale = seconds > 0 && width > 0 ? width / seconds : gScaleFactor;
    SetZoom(scale);
    float const left = TimeX(static_cast<int32_t>(first), 0, 0, TimelineScale::Current());
    ScrollTimelineTo(left - kMargin);
}

void TweenView::scrollWheel(NSEvent* event) {
    bool const command =
        (event->modifierFlags() & (NSEventModifierFlagControl | NSEventModifierFlagCommand)) != 0;
    if (!command) {
        NSView::scrollWheel(event); // the scroll view scrolls
        return;
    }
    auto* clip = dynamic_cast<NSClipView*>(superview());
    if (!clip) {
        return;
    }
    // Every 20 pixels of travel up doubles the zoom, down halves it; the time under the
    // mouse stays under the mouse.
    NSPoint const p = convertPoint(event->locationInWindow(), nullptr);
    TimelineScale const before = TimelineScale::Current();
    double const seconds = (p.x - kStartOffset) / before.pixelsPerSecond;
    float const onScreen = p.x - clip->bounds().origin.x;
    SetZoom(gScaleFactor * std::exp2(static_cast<float>(event->deltaY()) / 20.0f));
    ScrollTimelineTo(static_cast<float>(seconds * gScaleFactor) + kStartOffset - onScreen);
}

void TweenView::SetZoom(float pixelsPerSecond) {
    gScaleFactor = std::clamp(pixelsPerSecond, kLeastZoom, kMostZoom);
    FitFrameToContent();
    MarkPaletteViewsForRedisplay({kTimeSliderTag, kTimeLineTag});
    if (auto* slider = PaletteControl<TweenSlider>(kTimeSliderTag)) {
        slider->recalculateFrame();
    }
}

void TweenView::ScrollTimelineTo(float x) {
    auto* clip = dynamic_cast<NSClipView*>(superview());
    if (!clip) {
        return;
    }
    NSRect const shown = clip->bounds();
    float const widest = std::max(0.0f, NSWidth(frame()) - NSWidth(shown));
    clip->scrollToPoint(NSMakePoint(std::clamp(x, 0.0f, widest), shown.origin.y));
}

bool TweenView::Edit(char key) {
    bool const deletes = key == static_cast<char>(NSDeleteCharacter);
    bool const reverses = key == 'R' || key == 'r';
    bool const eases = key == 'E' || key == 'e';
    bool const holds = key == 'H' || key == 'h';
    if (!(deletes || reverses || eases || holds)) {
        return false;
    }
    bool const changes =
        reverses ? SelectionSpansTime(gTimeLineCache) : AnyTweenSelected(gTimeLineCache);
    if (!changes) {
        return true;
    }
    BeginTimelineEdit();
    Guarded([&] {
        if (deletes) {
            DeleteSelectedTweens();
        } else if (reverses) {
            ReverseSelectedTweens();
        } else {
            SetSelectedEase(gTimeLineCache,
                            holds ? uint8_t{eEaseHold} : NextEaseOfSelection(gTimeLineCache));
            WriteBackAllRows(gTimeLineCache);
        }
    });
    if (deletes || reverses) {
        RebuildTimelineRows(this);
    }
    Guarded([] { EndTimelineEdit(); });
    return true;
}

void RebuildTimelineRows(NSView* inWindowOf) {
    Guarded([] {
        RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems,
                       gAnimateTextureItems);
    });
    NSView* content =
        inWindowOf && inWindowOf->window() ? inWindowOf->window()->contentView() : nullptr;
    for (long tag : {kTimeLineTag, kNameColumnTag}) {
        if (NSView* view = content ? content->viewWithTag(tag) : nullptr) {
            view->setNeedsDisplay(true);
        }
    }
}
