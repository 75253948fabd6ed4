// A full redraw of the palette, as the host shows it after every tick, with 10, 100 and 1,000
// timeline rows of 100 tween points each, beside the same palette without rows. Only the
// rows and glyphs that show cost drawing, so the redraw should hardly grow with the rows that
// are scrolled out of view. Reported per redraw and per visible glyph.
#include <benchmark/benchmark.h>

#include <memory>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/scene.h"
#include "palette/palette_lookup.h"
#include "palette/set_up_dialog.h"
#include "refhost/document/document.h"
#include "refhost/framework/host_state.h"
#include "refhost/scene/build.h"
#include "refhost/toolkit/render.h"
#include "tween/cache.h"
#include "tween/recache.h"
#include "tween/row_order.h"
#include "tween/timeline_geometry.h"

namespace {

constexpr int kPointsPerRow = 100;
constexpr int32_t kSecond = 600;

// A front document with a view, `rows` animated groups of 100 points over 10 s, and the
// palette; everything goes when the scene goes out of scope.
class TimelineScene {
public:
    explicit TimelineScene(int rows) {
        InitCustomAttributeGlobals();
        auto& host = refhost::HostState::Instance();
        refhost::Document& document = host.Open(std::make_unique<refhost::Document>());
        CViewAngleAspectCameraObject camera(TQ3ViewAngleAspectCameraData{{}, 1, 1});
        CLightGroupObject lights;
        OpaqueTQ3Object* view =
            refhost::scene::NewView(camera.GetObject(), lights.GetObject(), {{0, 0}, {640, 480}});
        document.AddView(view);
        C3DObject::Dispose(view);
        CGroupObject others(document.OtherGroup());
        for (int row = 0; row < rows; ++row) {
            CDisplayGroupObject group;
            group.SetSet(CSetObject(nullptr, true));
            ObjectTweenRecord record;
            CTweenHandleRecord list(record, kObjectRecordSize);
            list.Remove(0);
            for (int i = 0; i < kPointsPerRow; ++i) {
                record.time = i * kSecond / 10;
                record.selected = (i + row) % 7 == 0;
                list.Append(record);
            }
            CSetObject(group).AddType(GetCustomAttributeType(eTweenAttribute), &list);
            others.AddObject(group);
        }
        PL_SetMinTime(0);
        PL_SetMaxTime(10 * kSecond);
        PL_SetCurTime(3 * kSecond);
        SetUpDialog();
        RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems,
                       gAnimateTextureItems);
        refhost::RenderWindow(*gPalette);
    }
    ~TimelineScene() {
        PL_DisposeWindow(&gPalette);
        DisposeOfLists(gTimeLineCache);
        DisposeOfList(gAnimateColourItems);
        DisposeOfList(gAnimateLightItems);
        DisposeOfList(gAnimateTextureItems);
        refhost::HostState::Instance().Reset();
    }
    TimelineScene(TimelineScene const&) = delete;
    TimelineScene& operator=(TimelineScene const&) = delete;

    // The glyphs that lie in the part of the timeline that shows.
    static int VisibleGlyphs() {
        NSView* timeline = PaletteViewWithTag(2000);
        NSRect const visible = timeline->visibleRect();
        TimelineScale const scale = TimelineScale::Current();
        int count = 0;
        for (uint32_t row = 0; row < gTimeLineCache.Count(); ++row) {
            NSRect const r = TimelineRowRect(timeline->frame(), row, scale.RowHeight());
            if (NSMaxY(r) <= NSMinY(visible) || NSMinY(r) >= NSMaxY(visible)) {
                continue;
            }
            for (uint32_t i = 0; i < gTimeLineCache[row]->Count(); ++i) {
                float const x = TweenGlyphX(gTimeLineCache[row]->Record(i).time, 0, NSMinX(r),
                                            scale.PixelsPerUnit());
                count += x >= NSMinX(visible) && x <= NSMaxX(visible) ? 1 : 0;
            }
        }
        return count;
    }
};

void PaletteRedraw(benchmark::State& state) {
    TimelineScene const scene(static_cast<int>(state.range(0)));
    int const glyphs = TimelineScene::VisibleGlyphs();
    refhost::Bitmap image(0, 0, {});
    for (auto _ : state) {
        refhost::RenderWindowInto(*gPalette, image);
        benchmark::DoNotOptimize(image.at(200, 100));
    }
    state.counters["visible_glyphs"] = glyphs;
    state.counters["per_visible_glyph"] =
        benchmark::Counter(static_cast<double>(glyphs) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(PaletteRedraw)->Arg(0)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
