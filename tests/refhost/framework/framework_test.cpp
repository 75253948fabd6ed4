#include <gtest/gtest.h>

#include <memory>

#include "host/framework.h"
#include "refhost/framework/host_state.h"
#include "refhost/framework/playback_clock.h"

using refhost::Document;
using refhost::HostState;

namespace {

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override { HostState::Instance().Reset(); }
    void TearDown() override { HostState::Instance().Reset(); }
    Document& Open() { return HostState::Instance().Open(std::make_unique<Document>()); }
};

} // namespace

TEST_F(FrameworkTest, TheClockBelongsToTheFrontDocument) {
    EXPECT_EQ(PL_GetFrontDocument(), nullptr);
    EXPECT_EQ(PL_GetCurTime(), 0);
    EXPECT_EQ(PL_GetTimeUnitsPerSecond(), 600u);
    PL_SetCurTime(50); // no document: nothing happens
    EXPECT_EQ(PL_GetTheView(), nullptr);
    EXPECT_EQ(PL_GetGroupObject(kPLSelectedObjectsGroup), nullptr);

    Document& first = Open();
    Document& second = Open();
    EXPECT_EQ(PL_GetFrontDocument(), reinterpret_cast<PLDocumentRef>(&second));
    PL_SetMinTime(10);
    PL_SetCurTime(20);
    PL_SetMaxTime(30);
    PL_SetTimeMultiplier(2.5f);
    PL_SetPaused(0);
    PL_SetForwards(0);
    PL_SetAnimationMode(2);
    EXPECT_EQ(second.clock, (refhost::ClockSettings{600, 10, 20, 30, 2.5f}));
    EXPECT_FALSE(second.playback.paused);
    EXPECT_EQ(PL_GetAnimationMode(), 2);
    EXPECT_EQ(first.clock.current, 0);

    HostState::Instance().BringToFront(first);
    EXPECT_EQ(PL_GetCurTime(), 0);
    EXPECT_EQ(PL_GetPaused(), 1);
    EXPECT_EQ(PL_GetGroupObject(kPLSelectedObjectsGroup), first.SelectedGroup());
    EXPECT_EQ(PL_GetGroupObject(kPLOtherObjectsGroup), first.OtherGroup());
    EXPECT_EQ(PL_GetGroupObject(7), nullptr);
    HostState::Instance().Close(first);
    EXPECT_EQ(PL_GetFrontDocument(), reinterpret_cast<PLDocumentRef>(&second));
}

TEST_F(FrameworkTest, RegistrationRequestsAndUndo) {
    unsigned char name[64] = {5, 'A', ':', 'B', 'C', 'D'};
    PL_RegisterPlugin(name, 4096);
    ASSERT_EQ(HostState::Instance().registrations.size(), 1u);
    EXPECT_EQ(HostState::Instance().registrations[0].name, "A:BCD");
    PL_UnregisterPlugin(name, 4096);
    EXPECT_TRUE(HostState::Instance().registrations.empty());

    PLFileSpec plugInFile{"/opt/plug-ins/KeyposeSequencer.so"};
    HostState::Instance().currentPlugIn = &plugInFile;
    EXPECT_EQ(PL_GetMyFileSpec(), &plugInFile);
    Str255 fileName;
    PL_GetFileName(PL_GetMyFileSpec(), fileName);
    EXPECT_EQ(CStr255::FromPascal(fileName).ToString(), "KeyposeSequencer");

    Document& document = Open();
    PL_DataChanged();
    EXPECT_TRUE(document.edited);
    PL_DrawDocumentViews(1);
    PL_DrawDocumentViews(3);
    PL_ForceCSGRecache();
    EXPECT_EQ(HostState::Instance().documentRedraws, 2);
    EXPECT_EQ(HostState::Instance().windowRedraws, 1);
    EXPECT_EQ(HostState::Instance().csgRecaches, 1);
    ASSERT_NE(PL_GetColor(0), nullptr);
    EXPECT_EQ(PL_GetColor(1), nullptr);

    // Undo keeps the document as it was before the change.
    HostState& host = HostState::Instance();
    host.makeSnapshot = [](Document const& d) { return std::to_string(d.clock.current); };
    host.restoreSnapshot = [](Document& d, std::string const& s) {
        d.clock.current = std::stoi(s);
    };
    PL_SetCurTime(100);
    PL_DoUndo(1, 1, 0, 0);
    PL_SetCurTime(250);
    EXPECT_TRUE(host.Undo());
    EXPECT_EQ(PL_GetCurTime(), 100);
    EXPECT_FALSE(host.Undo());
    host.makeSnapshot = nullptr;
    host.restoreSnapshot = nullptr;
}

TEST_F(FrameworkTest, PlayingMovesTheClockAndHandlesTheEnds) {
    Document& d = Open();
    d.clock = {600, 0, 0, 600, 1.0f};
    EXPECT_FALSE(refhost::AdvanceClock(d, 0.1)) << "paused";
    d.playback = {false, true, 1, 0};
    EXPECT_TRUE(refhost::AdvanceClock(d, 0.5));
    EXPECT_EQ(d.clock.current, 300);
    d.clock.speed = 2.0f;
    EXPECT_TRUE(refhost::AdvanceClock(d, 0.5));
    EXPECT_EQ(d.clock.current, 600) << "stops at the end";
    EXPECT_TRUE(d.playback.paused);

    d.playback = {false, true, 2, 1}; // frame by frame, looping
    d.clock.speed = 1.0f;
    d.clock.current = 590;
    EXPECT_TRUE(refhost::AdvanceClock(d, 5.0)) << "a frame is a thirtieth of a second";
    EXPECT_EQ(d.clock.current, 0);

    d.playback = {false, true, 1, 2}; // turning round
    d.clock.current = 500;
    refhost::AdvanceClock(d, 0.25);
    EXPECT_EQ(d.clock.current, 550);
    EXPECT_FALSE(d.playback.forwards);
    refhost::AdvanceClock(d, 1.0);
    EXPECT_EQ(d.clock.current, 50);
    EXPECT_TRUE(d.playback.forwards);
}
