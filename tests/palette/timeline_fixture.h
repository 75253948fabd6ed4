// The palette over a document with animated object groups, and the user's hand: mouse and
// key events posted to the application and delivered by the panel's window, at points
// computed from the timeline's geometry.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/cocoa/cocoa.h"
#include "palette/palette_views.h"
#include "palette/timeline_edits.h"
#include "refhost/toolkit/render.h"
#include "tests/palette/palette_fixture.h"
#include "tween/cache.h"
#include "tween/timeline_geometry.h"

class TimelineTest : public PaletteTest {
protected:
    static constexpr float kRow = 14;

    void SetUp() override {
        // The row list keeps the block it grew to; it grows before the memory is counted.
        for (int i = 0; i < 64; ++i) {
            gTimeLineCache.Append(nullptr);
        }
        gTimeLineCache.SetCount(0);
        PaletteTest::SetUp();
        gScaleFactor = 16.0f;
        PL_SetMinTime(0);
        PL_SetCurTime(0);
        PL_SetMaxTime(6000); // 10 s at 600 units a second
    }
    void TearDown() override {
        gDoingMarqueeSelection = false;
        gScaleFactor = 16.0f;
        gSnapToStep = true;
        PaletteTest::TearDown();
    }

    CDisplayGroupObject Animated(char const* name, std::vector<std::pair<int32_t, bool>> points,
                                 bool selectedInDocument = false) {
        return NamedAnimatedGroup(name, points, selectedInDocument);
    }
    // Rebuilds the rows and lets the palette lay itself out, as a redraw does.
    static void Show() {
        Recache();
        refhost::RenderWindow(*gPalette);
    }

    static TweenView* Timeline() { return PaletteControl<TweenView>(2000); }
    static NameColumnView* Names() { return PaletteControl<NameColumnView>(2002); }
    static TweenSlider* Slider() { return PaletteControl<TweenSlider>(1000); }
    static NSClipView* Clip() { return Timeline()->enclosingScrollView()->contentView(); }

    // Row k of the timeline, and the point of a glyph at a time there that the hit test takes
    // (3 pixels above the row's bottom edge, on the glyph's axis).
    static NSRect Row(uint32_t k) { return TimelineRowRect(Timeline()->frame(), k, kRow); }
    static NSPoint OnGlyph(uint32_t row, float seconds) {
        return NSMakePoint(kStartOffset + seconds * gScaleFactor, NSMinY(Row(row)) + 3);
    }
    static NSPoint InRuler(float x) { return NSMakePoint(x, NSMaxY(Timeline()->frame()) - 5); }

    static void Post(NSView* view, NSEventType type, NSPoint local, NSEventModifierFlags flags) {
        NSPoint const inWindow = view->convertPointToView(local, nullptr);
        NSApp()->postEvent(
            NSEvent::mouseEventWithType(type, inWindow, flags, view->window()->windowNumber()),
            false);
    }
    static void Click(NSView* view, NSPoint local, NSEventModifierFlags flags = 0) {
        Post(view, NSEventType::leftMouseDown, local, flags);
        Post(view, NSEventType::leftMouseUp, local, flags);
        NSApp()->processPendingEvents();
    }
    // Down at the first point, a drag event at each following point, up at the last.
    static void Drag(NSView* view, std::vector<NSPoint> const& path,
                     NSEventModifierFlags flags = 0) {
        Post(view, NSEventType::leftMouseDown, path.front(), flags);
        for (std::size_t i = 1; i < path.size(); ++i) {
            Post(view, NSEventType::leftMouseDragged, path[i], flags);
        }
        Post(view, NSEventType::leftMouseUp, path.back(), flags);
        NSApp()->processPendingEvents();
    }
    static void Key(NSView* view, std::string characters) {
        view->window()->makeFirstResponder(view);
        NSApp()->postEvent(NSEvent::keyEventWithType(NSEventType::keyDown, 0,
                                                     view->window()->windowNumber(),
                                                     std::move(characters)),
                           false);
        NSApp()->processPendingEvents();
    }

    // The selected flags of a row, in time order.
    static std::vector<bool> Flags(uint32_t row) {
        std::vector<bool> flags;
        for (uint32_t i = 0; i < gTimeLineCache[row]->Count(); ++i) {
            flags.push_back(gTimeLineCache[row]->Record(i).selected != 0);
        }
        return flags;
    }
    static std::vector<int32_t> Times(uint32_t row) {
        std::vector<int32_t> times;
        for (uint32_t i = 0; i < gTimeLineCache[row]->Count(); ++i) {
            times.push_back(gTimeLineCache[row]->Record(i).time);
        }
        return times;
    }
    bool IsSelectedInDocument(CShapeObject const& object) const {
        CGroupObject selected = Selected();
        for (auto* at = selected.GetFirstObject(); at; at = selected.NextPosition(at)) {
            if (selected.GetObjectAt(at) == object) {
                return true;
            }
        }
        return false;
    }
};
