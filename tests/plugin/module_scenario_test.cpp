// The whole round: the host loads the real module with dlopen, opens an example, records
// two tween points from the palette, plays them back, unloads, saves and opens the document
// again.
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/plugin_host/host_loop.h"
#include "refhost/plugin_host/plugin_module.h"
#include "tests/plugin/module_driving.h"

namespace {

using refhost::HostState;

// The crate: the example's one selected group, and the x of its placement.
CGroupObject Crate(refhost::Document const& document) {
    CGroupObject selected(document.SelectedGroup());
    return CGroupObject(selected, selected.GetFirstObject());
}

float CrateX(refhost::Document const& document) {
    CGroupObject crate = Crate(document);
    return CTransformObject(crate, crate.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix().value[3][0];
}

class ModuleScenarioTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCustomAttributeGlobals();
        refhost::UseDocumentTextForUndo();
    }
    void TearDown() override {
        NSApp()->discardEvents();
        HostState::Instance().Reset();
    }
};

} // namespace

TEST_F(ModuleScenarioTest, RecordPlaySaveAndOpenAgain) {
    HostState& host = HostState::Instance();
    refhost::Document& document =
        host.Open(refhost::OpenDocument(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json"));
    std::string const saved =
        ::testing::TempDir() + "keypose_scenario_" + std::to_string(getpid()) + ".json";
    std::vector<refhost::MessageLogEntry> log;
    {
        refhost::PlugInModule module(KEYPOSE_MODULE_PATH);
        EXPECT_EQ(module.InterfaceVersion(), 0x40000);
        EXPECT_EQ(module.SubscribedEvents(), 0x124A0Bu);
        refhost::HostLoop loop(module);
        loop.DocumentOpened();
        loop.Frame(1.0 / 30);

        ASSERT_EQ(host.paletteMenu.size(), 1u);
        NSPanel* palette = host.paletteMenu[0].panel;
        EXPECT_EQ(host.paletteMenu[0].name, "KeyposeSequencer");
        NSView* content = palette->contentView();

        // A tween point at 0, then the crate moved and a second one at 5 seconds.
        Click(ButtonTitled(content, "Object"));
        EXPECT_EQ(PL_GetCurTime(), 600) << "the step moved the time on";
        CGroupObject crate = Crate(document);
        CMatrix4x4 moved(1.0);
        moved.value[3][0] = 3;
        CTransformObject(crate, crate.GetFirstObjectOfType("xfrm"_4cc)).SetData(moved);
        PL_SetCurTime(3000);
        Click(ButtonTitled(content, "Object"));
        EXPECT_EQ(host.UndoDepth(), 2u);
        loop.Frame(1.0 / 30); // the host shows the time the step moved to

        // Play from the start for three seconds of frames.
        PL_SetCurTime(0);
        loop.Frame(1.0 / 30);
        EXPECT_FLOAT_EQ(CrateX(document), 0) << "at the first tween point";
        Click(content->viewWithTag(1005));
        EXPECT_EQ(PL_GetPaused(), 0);
        for (int frame = 0; frame < 90; ++frame) {
            loop.Frame(1.0 / 30);
        }
        EXPECT_EQ(PL_GetCurTime(), 1800);
        EXPECT_NEAR(CrateX(document), 1.8f, 1e-4f) << "three fifths of the way";
        Click(content->viewWithTag(1004));
        EXPECT_EQ(PL_GetPaused(), 1);
        EXPECT_GT(loop.animateEvents, 60);
        log = module.Log();
    }
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0].message, 0u);
    EXPECT_EQ(log[0].result, 0);
    EXPECT_EQ(log[1].message, 2u);
    EXPECT_EQ(log[2].message, 21u);
    for (refhost::MessageLogEntry const& entry : log) {
        if (entry.message == 22u) {
            EXPECT_TRUE(entry.result == 0 || entry.result == -1 || entry.result == -2);
        }
    }
    EXPECT_TRUE(host.registrations.empty()) << "unregistered at unload";
    EXPECT_TRUE(host.paletteMenu.empty());

    refhost::SaveDocument(document, saved);
    std::unique_ptr<refhost::Document> reopened = refhost::OpenDocument(saved);
    CSetObject set(Crate(*reopened));
    ASSERT_TRUE(set.Contains(GetCustomAttributeType(eTweenAttribute)));
    THandlePair list{};
    set.GetData(GetCustomAttributeType(eTweenAttribute), &list);
    EXPECT_EQ(list.size, 8 + 2 * 144) << "both tween points came back";
    std::filesystem::remove(saved);
}
