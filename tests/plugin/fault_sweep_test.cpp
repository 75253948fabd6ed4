// A scripted session (open, record object, camera, ambient and sun tween points, select,
// drag, mirror, delete, play, save) run again and again with one failure injected: the nth
// memory block request, for every n up to the session's total, then the kth operation of the
// scene library, for every k. Each run ends at the step where its failure struck and saves:
// the document must be as that step leaves it when nothing fails, or as it was before the
// step (playing changes only placements, so there the stored lists are compared). Once the
// plug-in is unloaded and the document closed, every memory block and scene object the run
// made must be gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "authoring/tween_editing.h"
#include "examples/example_scenes.h"
#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/plugin_messages.h"
#include "host/scene.h"
#include "palette/set_up_dialog.h"
#include "playback/animation.h"
#include "plugin/dispatcher.h"
#include "plugin/plugin_state.h"
#include "refhost/document/base64.h"
#include "refhost/document/json_node.h"
#include "refhost/document/scene_writer.h"
#include "refhost/framework/host_state.h"
#include "refhost/memory/memory_control.h"
#include "refhost/scene/objects.h"
#include "tests/plugin/module_driving.h"
#include "tween/cache.h"
#include "tween/recache.h"
#include "tween/row_order.h"

extern "C" int32_t DoPlugInMessage(uint32_t message, PlugInParamRec* params, int32_t* result);

namespace {

using refhost::HostState;

struct Step {
    char const* name;
    std::function<void()> run;
    bool onlyPlacements = false; // the step may change placements, never stored lists
    // The step takes snapshots, whose values a failed read leaves out with their flags at 0
    // (records are then compared by their times and selection only).
    bool snapshots = false;
};

int32_t Send(uint32_t message, uint32_t data = 0) {
    PlugInParamRec params{};
    params.data = data;
    params.version = HostState::Instance().paramRecVersion;
    int32_t result = 0;
    return DoPlugInMessage(message, &params, &result);
}

void Tick(int32_t time) {
    PL_SetCurTime(time);
    Send(kPlugInEvent, kEventIdle);
    Send(kPlugInEvent, kEventAnimate);
}

void ClickButton(char const* title) {
    if (gPalette) {
        Click(ButtonTitled(gPalette->contentView(), title));
    }
}

// A click on a recording button of the palette at the time, and the pass that follows.
Step RecordStep(char const* name, char const* button, int32_t time) {
    return {name,
            [button, time] {
                PL_SetCurTime(time);
                ClickButton(button);
                Tick(PL_GetCurTime());
            },
            false, true};
}

std::vector<Step> Steps() {
    return {
        {"load",
         [] {
             Send(kPlugInLoad);
             Send(kPlugInVersion);
             Send(kPlugInSubscribe);
         }},
        RecordStep("record the pillar at 0 s", "Object", 0),
        RecordStep("record the camera at 0 s", "Camera", 0),
        RecordStep("record the ambient light at 0 s", "Ambient", 0),
        RecordStep("record the sun at 0 s", "Sun", 0),
        RecordStep("record the pillar at 3 s", "Object", 1800),
        RecordStep("record the camera at 3 s", "Camera", 1800),
        RecordStep("record the ambient light at 3 s", "Ambient", 1800),
        RecordStep("record the sun at 3 s", "Sun", 1800),
        {"select the points at 0 s",
         [] {
             for (uint32_t row = 0; row < gTimeLineCache.Count(); ++row) {
                 CCache& cache = *gTimeLineCache[row];
                 for (uint32_t i = 0; i < cache.Count(); ++i) {
                     cache.Record(i).selected = cache.Record(i).time == 0;
                 }
             }
         }},
        {"drag them by 1 s",
         [] {
             NSPoint p{100 + 16, 10};
             MoveSelectedTweens(gTimeLineCache, p, NSPoint{100, 10});
             WriteBackAllRows(gTimeLineCache);
         }},
        {"mirror", [] { ReverseSelectedTweens(); }},
        {"delete",
         [] {
             DeleteSelectedTweens();
             gRecache = true;
             Tick(PL_GetCurTime());
         }},
        {"play",
         [] {
             for (int32_t time : {0, 900, 1800, 3000}) {
                 Tick(time);
             }
         },
         true},
        {"unload", [] { Send(kPlugInUnload); }},
    };
}

using refhost::document::Json;

// The document's objects as its file holds them (the clock is left out: the host's time
// moves on at every recording, whether the plug-in could record or not).
Json ObjectTable(refhost::Document const& document) {
    refhost::document::SceneWriter writer;
    writer.Id(document.SelectedGroup());
    writer.Id(document.OtherGroup());
    for (OpaqueTQ3Object* view : document.Views()) {
        writer.Id(view);
    }
    return writer.Table();
}

// A tween list without its sorting index (a row key that every rebuild of the rows
// renumbers; a failed rebuild leaves it to the next) and, with timesOnly, with nothing of its
// records but their times and selection flags.
void Normalise(Json& block, bool timesOnly) {
    std::optional<std::vector<uint8_t>> bytes =
        refhost::document::DecodeBase64(block["bytes"].get<std::string>());
    if (block["type"] != "KP15" || !bytes || bytes->size() < 8) {
        return;
    }
    std::fill(bytes->begin() + 4, bytes->begin() + 8, 0);
    uint32_t recordSize = 0;
    std::memcpy(&recordSize, bytes->data(), 4);
    for (std::size_t at = 8; timesOnly && recordSize > 5 && at < bytes->size(); at += recordSize) {
        std::size_t const from = std::min(at + 5, bytes->size());
        std::size_t const to = std::min(at + recordSize, bytes->size());
        std::fill(bytes->begin() + static_cast<std::ptrdiff_t>(from),
                  bytes->begin() + static_cast<std::ptrdiff_t>(to), 0);
    }
    block["bytes"] = refhost::document::EncodeBase64(bytes->data(), bytes->size());
}

// The scene apart from its stored lists, and each object's stored lists.
struct Parts {
    Json rest;
    std::vector<Json> lists;
};

Parts PartsOf(Json table, bool timesOnly) {
    Parts parts;
    for (Json& object : table) {
        Json lists = Json::array();
        if (object.contains("custom")) {
            lists = object["custom"];
            object.erase("custom");
            for (Json& block : lists) {
                Normalise(block, timesOnly);
            }
        }
        parts.lists.push_back(std::move(lists));
    }
    parts.rest = std::move(table);
    return parts;
}

// A step's changes reach each object's list by itself: every list must be as the step left
// it or as it was, and so must the rest of the scene.
bool EachPartAsOneOf(Parts const& g, Parts const& b, Parts const& a) {
    if ((g.rest != b.rest && g.rest != a.rest) || g.lists.size() != b.lists.size() ||
        g.lists.size() != a.lists.size()) {
        return false;
    }
    for (std::size_t i = 0; i < g.lists.size(); ++i) {
        if (g.lists[i] != b.lists[i] && g.lists[i] != a.lists[i]) {
            return false;
        }
    }
    return true;
}

// The front document: the example with every light and camera, its pillar selected.
std::unique_ptr<refhost::Document> SessionDocument() {
    std::unique_ptr<refhost::Document> document = examples::LightsAndCameras();
    CGroupObject others(document->OtherGroup());
    auto* third = others.NextPosition(others.NextPosition(others.GetFirstObject()));
    CGroupObject pillar(others, third);
    others.RemoveObject(third);
    CGroupObject(document->SelectedGroup()).AddObject(pillar);
    return document;
}

// What the plug-in's code keeps between sessions: its lists' blocks, grown once here so that
// they are not counted, and the lists emptied as unloading the code would.
void ReleasePlugInState() {
    DisposeOfLists(gTimeLineCache);
    DisposeOfList(gAnimateColourItems);
    DisposeOfList(gAnimateLightItems);
    DisposeOfList(gAnimateTextureItems);
    gMapLastUpdate.clear();
    NSApp()->discardEvents();
}

struct SessionRun {
    std::vector<Json> tables;   // the document's objects before the first step and after each
    std::size_t failedStep = 0; // the step the failure struck in; steps.size() for none
};

class FaultSweepTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCustomAttributeGlobals();
        for (auto* list : {&gAnimateColourItems, &gAnimateLightItems, &gAnimateTextureItems}) {
            for (int i = 0; i < 8; ++i) {
                list->Append(nullptr);
            }
            list->SetCount(0);
        }
        for (int i = 0; i < 8; ++i) {
            gTimeLineCache.Append(nullptr);
        }
        gTimeLineCache.SetCount(0);
    }
    void TearDown() override {
        refhost::memory::ClearFailures();
        refhost::scene::FailNthSceneCallFromNow(0);
        ReleasePlugInState();
        HostState::Instance().Reset();
    }

    // One session; struck() tells after each step whether the injected failure happened.
    // The run without failures keeps the document after every step, the others only the
    // document they end with.
    SessionRun Session(std::function<void()> const& arm, std::function<bool()> const& struck,
                       bool everyStep = false) {
        ResetDispatcherStatics();
        gRecache = true;
        refhost::Document& document = HostState::Instance().Open(SessionDocument());
        std::vector<Step> const steps = Steps();
        SessionRun run;
        run.failedStep = steps.size();
        if (everyStep) {
            run.tables.push_back(ObjectTable(document));
        }
        arm();
        for (std::size_t s = 0; s < steps.size(); ++s) {
            steps[s].run();
            if (struck()) {
                run.failedStep = s;
                refhost::memory::ClearFailures();
                refhost::scene::FailNthSceneCallFromNow(0);
                run.tables.push_back(ObjectTable(document));
                if (s + 1 < steps.size()) {
                    Send(kPlugInUnload);
                }
                break;
            }
            if (everyStep) {
                run.tables.push_back(ObjectTable(document));
            }
        }
        ReleasePlugInState();
        HostState::Instance().Reset();
        return run;
    }

    // Checks one run against the run without failures.
    void Check(SessionRun const& run, SessionRun const& reference, std::string const& what) {
        std::vector<Step> const steps = Steps();
        std::size_t const s = run.failedStep;
        ASSERT_LT(s, steps.size()) << what << ": the failure never struck";
        bool const timesOnly = steps[s].snapshots;
        Parts const got = PartsOf(run.tables.back(), timesOnly);
        Parts const& before = ReferenceParts(reference, s, timesOnly);
        if (steps[s].onlyPlacements) {
            EXPECT_TRUE(got.lists == before.lists) << what << " in " << steps[s].name;
        } else {
            EXPECT_TRUE(EachPartAsOneOf(got, before, ReferenceParts(reference, s + 1, timesOnly)))
                << what << " in " << steps[s].name
                << " left a document neither complete nor as it was";
        }
        EXPECT_EQ(refhost::memory::CurrentUsage(), fBlocks) << what << ": blocks leaked";
        EXPECT_EQ(refhost::scene::LiveObjectCount(), fObjects) << what << ": objects leaked";
    }

    // The parts of the reference's document after step - 1, made once.
    Parts const& ReferenceParts(SessionRun const& reference, std::size_t index, bool timesOnly) {
        auto const key = std::make_pair(index, timesOnly);
        auto found = fReferenceParts.find(key);
        if (found == fReferenceParts.end()) {
            found = fReferenceParts.emplace(key, PartsOf(reference.tables[index], timesOnly)).first;
        }
        return found->second;
    }

    refhost::memory::Usage fBlocks;
    std::size_t fObjects = 0;
    std::map<std::pair<std::size_t, bool>, Parts> fReferenceParts;
};

} // namespace

TEST_F(FaultSweepTest, EveryFailingRequestAndSceneCallLeavesADocumentWholeAndNothingBehind) {
    fBlocks = refhost::memory::CurrentUsage();
    fObjects = refhost::scene::LiveObjectCount();
    std::size_t requests = 0;
    std::size_t calls = 0;
    SessionRun const reference = Session(
        [&] {
            requests = refhost::memory::RequestCount();
            calls = refhost::scene::SceneCallCount();
        },
        [] { return false; }, true);
    requests = refhost::memory::RequestCount() - requests;
    calls = refhost::scene::SceneCallCount() - calls;
    ASSERT_EQ(refhost::memory::CurrentUsage(), fBlocks);
    std::vector<Json> const recorded = PartsOf(reference.tables.back(), false).lists;
    ASSERT_EQ(std::count_if(recorded.begin(), recorded.end(),
                            [](Json const& lists) { return !lists.empty(); }),
              4)
        << "the session recorded the pillar, the camera and both lights";

    for (unsigned n = 1; n <= requests; ++n) {
        std::size_t start = 0;
        SessionRun const run = Session(
            [&] {
                start = refhost::memory::RequestCount();
                refhost::memory::FailNthRequestFromNow(n);
            },
            [&] { return refhost::memory::RequestCount() - start >= n; });
        Check(run, reference, "memory request " + std::to_string(n));
        if (HasFailure()) {
            return;
        }
    }
    for (unsigned k = 1; k <= calls; ++k) {
        std::size_t start = 0;
        SessionRun const run = Session(
            [&] {
                start = refhost::scene::SceneCallCount();
                refhost::scene::FailNthSceneCallFromNow(static_cast<unsigned>(k));
            },
            [&] { return refhost::scene::SceneCallCount() - start >= k; });
        Check(run, reference, "scene call " + std::to_string(k));
        if (HasFailure()) {
            return;
        }
    }
    RecordProperty("memory_requests", static_cast<int>(requests));
    RecordProperty("scene_calls", static_cast<int>(calls));
    std::printf("fault sweep: %zu memory requests and %zu scene calls, each failed in turn\n",
                requests, calls);
}
