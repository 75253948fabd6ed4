#include <gtest/gtest.h>

#include <memory>

#include "refhost/framework/host_state.h"
#include "refhost/plugin_host/host_loop.h"
#include "refhost/plugin_host/plugin_module.h"

using refhost::Document;
using refhost::HostState;
using refhost::PlugInModule;

namespace {

class PlugInModuleTest : public ::testing::Test {
protected:
    void SetUp() override { HostState::Instance().Reset(); }
    void TearDown() override { HostState::Instance().Reset(); }
};

} // namespace

TEST_F(PlugInModuleTest, LoadsNegotiatesSubscribesAndUnloads) {
    {
        PlugInModule module(PROBE_PLUGIN_PATH);
        EXPECT_EQ(module.InterfaceVersion(), 0x40000);
        EXPECT_EQ(module.SubscribedEvents(), kEventAnimate | kEventIdle);
        EXPECT_EQ(module.IdleInterval(), 2);
        ASSERT_EQ(HostState::Instance().registrations.size(), 1u);
        EXPECT_EQ(HostState::Instance().registrations[0].name, "Probe");
        EXPECT_FALSE(module.SendEvent(kEventSceneEdited)) << "not subscribed: not sent";
        ASSERT_EQ(module.Log().size(), 3u);
        EXPECT_EQ(module.Log()[0].message, kPlugInLoad);
        EXPECT_EQ(module.Log()[2].message, kPlugInSubscribe);
        EXPECT_EQ(HostState::Instance().currentPlugIn, nullptr) << "only during its calls";
    }
    EXPECT_TRUE(HostState::Instance().registrations.empty()) << "unloaded";
}

TEST_F(PlugInModuleTest, RefusalsAndMissingFilesAreClearErrors) {
    EXPECT_THROW(PlugInModule("/nonexistent/Plugin.so"), refhost::PlugInError);
    HostState::Instance().paramRecVersion = 0;
    try {
        PlugInModule refused(PROBE_PLUGIN_PATH);
        FAIL() << "the probe refuses interface version 0";
    } catch (refhost::PlugInError const& error) {
        EXPECT_NE(std::string(error.what()).find("refused to load"), std::string::npos);
    }
}

TEST_F(PlugInModuleTest, TheHostLoopAnimatesWhenTimeMovesAndWhenAsked) {
    Document& document = HostState::Instance().Open(std::make_unique<Document>());
    document.clock = {600, 0, 0, 1200, 1.0f};
    PlugInModule module(PROBE_PLUGIN_PATH);
    refhost::HostLoop loop(module);

    loop.Frame(0.1); // the first frame with a document animates
    EXPECT_EQ(loop.animateEvents, 1);
    loop.Frame(0.1); // paused, same time: an idle event every second frame
    loop.Frame(0.1); // idle at a new time for the probe: it asks, the host animates
    EXPECT_EQ(loop.animateEvents, 2);
    EXPECT_EQ(module.SendNotice(kNoticeFrontDocumentChanged), kPlugInHandled);

    document.playback = {false, true, 1, 0};
    for (int frame = 0; frame < 30; ++frame) {
        loop.Frame(0.1);
    }
    EXPECT_EQ(document.clock.current, 1200) << "played to the end and stopped";
    EXPECT_TRUE(document.playback.paused);
    // One animation per frame that moved the time, and one more that the probe asks for
    // when it first idles at the end time.
    EXPECT_EQ(loop.animateEvents, 2 + 20 + 1);
}
