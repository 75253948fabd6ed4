#include "authoring/add_tween_points.h"
#include "palette/tween_button.h"
#include "tests/plugin/dispatcher_fixture.h"

namespace {

// A camera tween point, so that a list is not empty and the time has something to animate.
void GiveTheCameraATweenPoint() {
    AddCameraTweenPoint(0);
    RecacheObjects(gTimeLineCache, gAnimateColourItems, gAnimateLightItems, gAnimateTextureItems);
    gRecache = false;
}

} // namespace

TEST_F(DispatcherTest, EveryMessageOfTheTableGetsItsAnswer) {
    EXPECT_EQ(DoPlugInMessage(kPlugInEvent, nullptr, &resultWord), kPlugInNotHandled);
    EXPECT_EQ(Send(42), kPlugInNotHandled);
    for (uint32_t message : {12u, 15u, 18u, 23u}) {
        EXPECT_EQ(Send(message), kPlugInHandled) << message;
    }
    for (uint32_t message = 3; message <= 40; ++message) {
        if (message != 12 && message != 15 && message != 18 && message != 21 && message != 22 &&
            message != 23) {
            EXPECT_EQ(Send(message), kPlugInNotHandled) << message;
        }
    }
    EXPECT_EQ(Send(kPlugInSubscribe), kPlugInHandled);
    EXPECT_EQ(params.subCode, 8);
    EXPECT_EQ(params.data, 0x124A0Bu);

    params = {};
    params.version = 0x10001;
    params.data = 77;
    EXPECT_EQ(DoPlugInMessage(kPlugInVersion, &params, nullptr), kPlugInHandled);
    EXPECT_EQ(params.version, 0x10001);
    EXPECT_EQ(params.data, 0u);
    params.version = 0x10002;
    EXPECT_EQ(DoPlugInMessage(kPlugInVersion, &params, nullptr), kPlugInHandled);
    EXPECT_EQ(params.version, 0x40000);
    EXPECT_EQ(params.data, 260u);
}

TEST_F(DispatcherTest, LoadingBuildsThePaletteAndRegistersUnloadingUndoesIt) {
    auto& host = refhost::HostState::Instance();
    host.paramRecVersion = 0;
    EXPECT_EQ(Load(), kPlugInNotHandled);
    EXPECT_EQ(resultWord, -1) << "nothing done";
    EXPECT_TRUE(host.registrations.empty());

    host.paramRecVersion = 0x10002;
    EXPECT_EQ(Load(), kPlugInHandled);
    EXPECT_EQ(resultWord, 0);
    ASSERT_EQ(host.registrations.size(), 1u);
    EXPECT_EQ(host.registrations[0].name, "Quillfern:KeyposeSequencer");
    EXPECT_EQ(host.registrations[0].version, 4096);
    ASSERT_NE(gPalette, nullptr);
    EXPECT_EQ(host.paletteMenu.size(), 1u);
    EXPECT_TRUE(PaletteControl<TweenButton>(1004)->IsImageSwitched());

    EXPECT_EQ(Send(kPlugInUnload), kPlugInHandled);
    EXPECT_EQ(gPalette, nullptr);
    EXPECT_TRUE(host.registrations.empty());
    EXPECT_TRUE(host.paletteMenu.empty());
}

TEST_F(DispatcherTest, TheTimeDisplayFollowsTheClockAfterTheFirstEvent) {
    ASSERT_EQ(Load(), kPlugInHandled);
    DrawerControl<NSTextField>(10003)->setStringValue("99");
    gKeyposeSequencerPaletteController->paletteDrawer->open();
    PL_SetCurTime(600);
    Event(0x40); // an event of no branch: the first one only notes the time
    EXPECT_EQ(DrawerSeconds(10003), 1.0f) << "the view change of the first event wrote it";
    DrawerControl<NSTextField>(10003)->setStringValue("99");
    Event(0x40);
    EXPECT_EQ(DrawerSeconds(10003), 99.0f) << "the time has not moved since the first event";
    PL_SetCurTime(1200);
    Event(0x40);
    EXPECT_EQ(DrawerSeconds(10003), 2.0f);
    EXPECT_EQ(PaletteControl<NSSlider>(1000)->doubleValue(), 200) << "1200 of 6000 on 0..1000";
}

TEST_F(DispatcherTest, AViewChangeRewritesTheDrawersTimesAndRebuilds) {
    ASSERT_EQ(Load(), kPlugInHandled);
    Event(0x40);
    for (long tag : {10002L, 10003L, 10004L}) {
        DrawerControl<NSTextField>(tag)->setStringValue("42");
    }
    OpaqueTQ3Object* view = document->Views()[0];
    document->AddView(view); // a second view with the same times
    document->SetCurrentViewIndex(1);
    // The same view twice is one view to the plug-in; a new document's view is another.
    refhost::Document& other = refhost::HostState::Instance().Open(examples::TexturedBox());
    other.clock = document->clock;
    gRecache = false;
    Event(0x40);
    EXPECT_EQ(DrawerSeconds(10002), 0.0f);
    EXPECT_EQ(DrawerSeconds(10003), 0.0f);
    EXPECT_EQ(DrawerSeconds(10004), 10.0f);
    EXPECT_EQ(PL_GetMaxTime(), 6000) << "the detour leaves the times as they were";
    EXPECT_FALSE(gRecache) << "the default branch rebuilt at once";
    EXPECT_EQ(gCachedDocument, PL_GetFrontDocument());
}

TEST_F(DispatcherTest, AnimateAndIdleEventsAnswerOncePerTime) {
    ASSERT_EQ(Load(), kPlugInHandled);
    EXPECT_EQ(Event(kEventAnimate | kEventIdle), kPlugInNotHandled) << "only animates";
    EXPECT_FALSE(gRecache) << "the animation pass rebuilt";

    EXPECT_EQ(Event(kEventIdle), kPlugInNotHandled) << "nothing to animate";
    EXPECT_EQ(params.data, kEventIdle) << "field left as it was";
    GiveTheCameraATweenPoint();
    PL_SetCurTime(300);
    EXPECT_EQ(Event(kEventIdle), kPlugInAnimate);
    EXPECT_EQ(params.data, 0u);
    EXPECT_EQ(Event(kEventIdle), kPlugInNotHandled) << "the same time again";
}

TEST_F(DispatcherTest, TheDefaultBranchAsksForAnAnimationWhenTheTimeMoved) {
    ASSERT_EQ(Load(), kPlugInHandled);
    EXPECT_EQ(Event(0), kPlugInHandled) << "nothing to animate";
    EXPECT_EQ(params.data, 2u);
    GiveTheCameraATweenPoint();
    EXPECT_EQ(Event(0), kPlugInHandled);
    EXPECT_EQ(params.data, 2u) << "always 2";
    PL_SetMaxTime(7000);
    EXPECT_EQ(Event(0), kPlugInAnimate) << "a new maximum forces an answer";
    PL_SetCurTime(100);
    EXPECT_EQ(Event(kEventMouse, kInputHeld), kPlugInHandled) << "not while the mouse is held";
    PL_SetCurTime(200);
    EXPECT_EQ(Event(kEventMouse, kInputWentUp), kPlugInAnimate);
    EXPECT_EQ(Event(kEventMouse, kInputWentUp), kPlugInHandled) << "once per time";
}

TEST_F(DispatcherTest, RebuildEventsAndTheirFlags) {
    ASSERT_EQ(Load(), kPlugInHandled);
    Event(0);
    EXPECT_FALSE(gRecache);
    EXPECT_EQ(Event(kEventSceneEdited), kPlugInHandled);
    EXPECT_TRUE(gRecache);
    EXPECT_EQ(Event(kEventDocumentOpened), kPlugInHandled);
    EXPECT_FALSE(gRecache);
    EXPECT_EQ(Event(kEventSelectionChanged), kPlugInHandled);
    EXPECT_TRUE(gRecache);

    gPalette->orderOut(nullptr);
    EXPECT_EQ(Event(kEventPaletteActivated), kPlugInHandled);
    EXPECT_TRUE(gRecache) << "a hidden palette changes nothing";
    gPalette->orderFront(nullptr);
    gCachedDocument = nullptr;
    EXPECT_EQ(Event(kEventPaletteActivated), kPlugInHandled);
    EXPECT_FALSE(gRecache) << "another document: rebuilt at once";
    EXPECT_EQ(gCachedDocument, PL_GetFrontDocument());
    EXPECT_EQ(Event(kEventPaletteActivated), kPlugInHandled);
    EXPECT_TRUE(gRecache) << "the same document: left to the next pass";
}

TEST_F(DispatcherTest, DocumentNoticesRebuildAndRedraw) {
    ASSERT_EQ(Load(), kPlugInHandled);
    auto& host = refhost::HostState::Instance();
    int const redraws = host.documentRedraws;
    EXPECT_EQ(Notice(1), kPlugInNotHandled);
    EXPECT_EQ(host.documentRedraws, redraws);
    EXPECT_FALSE(document->edited);
    EXPECT_EQ(Notice(0), kPlugInNotHandled);
    EXPECT_EQ(host.documentRedraws, redraws + 1);
    EXPECT_TRUE(document->edited);
    EXPECT_EQ(gCachedDocument, PL_GetFrontDocument());
    gRecache = false;
    EXPECT_EQ(Notice(3), kPlugInNotHandled);
    EXPECT_TRUE(gRecache);
    EXPECT_EQ(host.windowRedraws, 1);
    params = {};
    EXPECT_EQ(DoPlugInMessage(kPlugInDocumentNotice, &params, nullptr), kPlugInNotHandled)
        << "no notice at all";
}

// A view freed with its document can come back at the same address with the next document
// opened. The opened document's view starts without a previous pass, so its first pass turns
// no effect by the closed view's time.
TEST_F(DispatcherTest, AnOpenedDocumentsViewHasNoPreviousPass) {
    ASSERT_EQ(Load(), kPlugInHandled);
    char* view = reinterpret_cast<char*>(PL_GetTheView());
    gMapLastUpdate[view] = 12345; // the last pass of a closed view at this address
    PL_SetCurTime(300);
    Event(kEventDocumentOpened);
    EXPECT_EQ(gMapLastUpdate.count(view), 0u) << "the closed view's pass is forgotten";
    Event(kEventAnimate);
    ASSERT_EQ(gMapLastUpdate.count(view), 1u);
    EXPECT_EQ(gMapLastUpdate[view], 300);
}
