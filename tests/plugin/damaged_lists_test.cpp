// Documents whose stored tween lists were damaged on disk, opened, played, recorded into and
// saved through the real module: a damaged list gets no row, is never read or written
// outside its block, and is saved back byte for byte; the valid lists beside it play as
// before.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/framework.h"
#include "host/memory.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/plugin_host/host_loop.h"
#include "refhost/plugin_host/plugin_module.h"
#include "tests/plugin/module_driving.h"
#include "tween/tween_records.h"

namespace {

using refhost::HostState;
using Bytes = std::vector<uint8_t>;

enum class Target { kSpotGroup, kLampLight, kCamera, kAmbient, kSun };

struct Damage {
    char const* what;
    Target target;
    Bytes block;
    int32_t size; // the size the pair says
    // A list that can be read takes the point recorded from the palette after its whole
    // records, dropping the partial one: its size then; 0 when it must stay unchanged.
    int32_t sizeWhenRecorded = 0;
};

void Put32(Bytes& bytes, std::size_t at, uint32_t value) {
    std::memcpy(bytes.data() + at, &value, 4);
}

// A list header and count records of recordSize bytes, record i at time 600 i.
Bytes List(uint32_t recordSize, uint32_t sortingIndex, uint32_t count, std::size_t extra = 0) {
    Bytes bytes(8 + std::size_t{count} * recordSize + extra, 0);
    Put32(bytes, 0, recordSize);
    Put32(bytes, 4, sortingIndex);
    for (uint32_t i = 0; i < count; ++i) {
        Put32(bytes, 8 + std::size_t{i} * recordSize, 600 * i);
    }
    return bytes;
}

Damage Whole(char const* what, Target target, Bytes block) {
    auto const size = static_cast<int32_t>(block.size());
    return {what, target, std::move(block), size};
}

std::vector<Damage> Damages() {
    return {
        Whole("record size 0", Target::kSpotGroup, List(0, 5, 0, 144)),
        Whole("record size 1", Target::kLampLight, List(1, 5, 0, 7)),
        Whole("record size 200", Target::kSun, List(200, 3, 2)),
        Whole("144-byte records on the camera", Target::kCamera, List(144, 1, 2)),
        Whole("168-byte records on an object", Target::kSpotGroup, List(168, 5, 2)),
        Whole("168-byte records on the ambient light", Target::kAmbient, List(168, 2, 1)),
        Whole("a block shorter than its header", Target::kSun, Bytes{1, 2, 3, 4}),
        Whole("an empty block", Target::kSpotGroup, Bytes{}),
        Whole("a partial trailing record", Target::kLampLight, List(144, 5, 2, 100)),
        {"a partial record on the camera", Target::kCamera, List(168, 1, 1, 20), 8 + 168 + 20,
         8 + 2 * 168},
        {"a size larger than the block", Target::kSpotGroup, List(144, 5, 1), 8 + 3 * 144},
        {"a size smaller than the header", Target::kAmbient, List(144, 2, 1), 4},
    };
}

// The valid list on the pillar: it moves from x 0 at the first time to x 2 at the second.
Bytes PillarList(int32_t first = 0, int32_t second = 1200) {
    Bytes bytes = List(kObjectRecordSize, 4, 2);
    for (uint32_t i = 0; i < 2; ++i) {
        ObjectTweenRecord record;
        record.time = i == 0 ? first : second;
        record.hasMatrix = 1;
        for (int k = 0; k < 4; ++k) {
            record.matrix.value[k][k] = 1;
        }
        record.matrix.value[3][0] = 2.0f * static_cast<float>(i);
        std::memcpy(bytes.data() + 8 + i * 144, &record, sizeof record);
    }
    return bytes;
}

CGroupObject Member(CGroupObject const& group, int index) {
    auto* position = group.GetFirstObject();
    for (int i = 0; i < index; ++i) {
        position = group.NextPosition(position);
    }
    return CGroupObject(group, position);
}

// The objects of lights_and_cameras.json that carry lists in these tests.
CShapeObject TargetIn(refhost::Document const& document, Target target) {
    CGroupObject others(document.OtherGroup());
    CViewObject view(document.CurrentView());
    switch (target) {
    case Target::kSpotGroup:
        return Member(others, 1);
    case Target::kLampLight: {
        CGroupObject lamp = Member(others, 0);
        return CShapeObject(lamp, lamp.GetFirstObjectOfType("lght"_4cc));
    }
    case Target::kCamera:
        return CCameraObject(view);
    case Target::kAmbient: {
        CLightGroupObject lights(view);
        return CShapeObject(lights, lights.GetFirstObjectOfType("ambn"_4cc));
    }
    case Target::kSun: {
        CLightGroupObject lights(view);
        return CShapeObject(lights, lights.GetFirstObjectOfType("drct"_4cc));
    }
    }
    return CShapeObject();
}

void PutList(CShapeObject const& shape, Bytes const& bytes, int32_t size) {
    Handle block = NewHandle(static_cast<Size>(bytes.size()));
    ASSERT_NE(block, nullptr);
    if (!bytes.empty()) {
        std::memcpy(*block, bytes.data(), bytes.size());
    }
    THandlePair pair{size, block};
    CSetObject(shape).AddType(GetCustomAttributeType(eTweenAttribute), &pair);
}

struct StoredList {
    int32_t size = -1;
    Bytes bytes;
};

StoredList ListOf(CShapeObject const& shape) {
    THandlePair pair{};
    CSetObject(shape).GetData(GetCustomAttributeType(eTweenAttribute), &pair);
    StoredList list{pair.size, Bytes(static_cast<std::size_t>(GetHandleSize(pair.data)))};
    if (!list.bytes.empty()) {
        std::memcpy(list.bytes.data(), *pair.data, list.bytes.size());
    }
    return list;
}

float PillarX(refhost::Document const& document) {
    CGroupObject pillar = Member(CGroupObject(document.OtherGroup()), 2);
    return CTransformObject(pillar, pillar.GetFirstObjectOfType("xfrm"_4cc))
        .GetMatrix()
        .value[3][0];
}

std::unique_ptr<refhost::Document> ExampleWith(Damage const& damage) {
    auto document =
        refhost::OpenDocument(std::string(KEYPOSE_EXAMPLES_DIR) + "/lights_and_cameras.json");
    PutList(Member(CGroupObject(document->OtherGroup()), 2), PillarList(), 8 + 2 * 144);
    PutList(TargetIn(*document, damage.target), damage.block, damage.size);
    return document;
}

// Opens the document in the host, loads the module, plays the valid list at three times,
// records the camera and both view lights from the palette at a fourth, and unloads.
void OpenPlayRecord(refhost::Document& document) {
    HostState& host = HostState::Instance();
    refhost::PlugInModule module(KEYPOSE_MODULE_PATH);
    refhost::HostLoop loop(module);
    loop.DocumentOpened();
    for (int32_t time : {0, 600, 1200}) {
        PL_SetCurTime(time);
        loop.Frame(1.0 / 30);
        EXPECT_FLOAT_EQ(PillarX(document), static_cast<float>(time) / 600.0f) << "at " << time;
    }
    ASSERT_EQ(host.paletteMenu.size(), 1u);
    NSView* content = host.paletteMenu[0].panel->contentView();
    PL_SetCurTime(1800);
    for (char const* title : {"Camera", "Ambient", "Sun"}) {
        Click(ButtonTitled(content, title));
    }
    loop.Frame(1.0 / 30);
}

class DamagedListTest : public ::testing::Test {
protected:
    void SetUp() override { InitCustomAttributeGlobals(); }
    void TearDown() override {
        NSApp()->discardEvents();
        HostState::Instance().Reset();
    }
};

} // namespace

TEST_F(DamagedListTest, EachDamagedListIsSkippedAndSavedBackUnchanged) {
    for (Damage const& damage : Damages()) {
        SCOPED_TRACE(damage.what);
        std::unique_ptr<refhost::Document> made = ExampleWith(damage);
        bool const sizeMatchesBlock = damage.size == static_cast<int32_t>(damage.block.size());
        if (sizeMatchesBlock) {
            // What a file holds: the reader takes the damaged block as it stands.
            made = refhost::DocumentFromText(refhost::DocumentText(*made));
        }
        refhost::Document& document = HostState::Instance().Open(std::move(made));
        OpenPlayRecord(document);

        StoredList const after = ListOf(TargetIn(document, damage.target));
        if (damage.sizeWhenRecorded != 0) {
            EXPECT_EQ(after.size, damage.sizeWhenRecorded);
            EXPECT_EQ(Bytes(after.bytes.begin(), after.bytes.begin() + 8 + 168),
                      Bytes(damage.block.begin(), damage.block.begin() + 8 + 168));
            HostState::Instance().Reset();
            continue;
        }
        EXPECT_EQ(after.size, damage.size);
        EXPECT_EQ(after.bytes, damage.block);
        EXPECT_EQ(ListOf(Member(CGroupObject(document.OtherGroup()), 2)).bytes, PillarList())
            << "the valid list keeps its row number";
        if (sizeMatchesBlock) {
            std::unique_ptr<refhost::Document> saved =
                refhost::DocumentFromText(refhost::DocumentText(document));
            EXPECT_EQ(ListOf(TargetIn(*saved, damage.target)).bytes, damage.block);
        }
        HostState::Instance().Reset();
    }
}

TEST_F(DamagedListTest, ValidListsOfTheCameraAndTheViewLightsTakeTheRecordedPoints) {
    Damage const none =
        Whole("a valid object list on the spot group", Target::kSpotGroup, List(144, 5, 1));
    refhost::Document& document = HostState::Instance().Open(ExampleWith(none));
    OpenPlayRecord(document);
    EXPECT_EQ(ListOf(TargetIn(document, Target::kCamera)).size, 8 + 168);
    EXPECT_EQ(ListOf(TargetIn(document, Target::kAmbient)).size, 8 + 144);
    EXPECT_EQ(ListOf(TargetIn(document, Target::kSun)).size, 8 + 144);
    EXPECT_EQ(ListOf(TargetIn(document, Target::kSpotGroup)).bytes, List(144, 5, 1));
}

TEST_F(DamagedListTest, TimesAtTheEndsOfTheClockPlayWithoutOverflow) {
    auto document =
        refhost::OpenDocument(std::string(KEYPOSE_EXAMPLES_DIR) + "/lights_and_cameras.json");
    PutList(Member(CGroupObject(document->OtherGroup()), 2),
            PillarList(INT32_MIN + 100, INT32_MAX - 100), 8 + 2 * 144);
    document->clock = {600, INT32_MAX - 6000, INT32_MAX, INT32_MAX, 1.0f};
    refhost::Document& opened = HostState::Instance().Open(std::move(document));
    refhost::PlugInModule module(KEYPOSE_MODULE_PATH);
    refhost::HostLoop loop(module);
    loop.DocumentOpened(); // the first look at the clock starts from the latest time
    loop.Frame(1.0 / 30);
    EXPECT_FLOAT_EQ(PillarX(opened), 2) << "after the last point";
    PL_SetCurTime(INT32_MAX - 100);
    loop.Frame(1.0 / 30);
    EXPECT_FLOAT_EQ(PillarX(opened), 2) << "at the last point";

    // The earliest time.
    opened.clock = {600, INT32_MIN, INT32_MIN, INT32_MIN + 6000, 1.0f};
    loop.SceneEdited();
    loop.Frame(1.0 / 30);
    EXPECT_FLOAT_EQ(PillarX(opened), 0) << "before the first point";
    opened.clock = {600, -6000, 0, 6000, 1.0f};
    loop.Frame(1.0 / 30);
    EXPECT_NEAR(PillarX(opened), 1, 1e-6) << "half way across the whole range";
}
