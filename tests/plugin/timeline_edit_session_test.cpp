// Editing tween points in the real module's timeline, through the palette's events: the scene
// follows every edit at once, and each edit is one step the host undoes and redoes, putting
// back the document's bytes exactly.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/script/script_runner.h"
#include "refhost/session/host_session.h"
#include "refhost/session/posing.h"

namespace {

using refhost::HostState;

class TimelineEditSessionTest : public ::testing::Test {
protected:
    void TearDown() override {
        NSApp()->discardEvents();
        HostState::Instance().Reset();
    }
    // Runs script lines in the session; what they printed.
    std::string Do(std::string const& text) {
        std::ostringstream out;
        refhost::ScriptRunner runner(fSession, std::filesystem::path(KEYPOSE_EXAMPLES_DIR), out,
                                     "test");
        runner.Run(refhost::ParseScript(text, "test"));
        return out.str();
    }
    // The x of the crate's translation as `show` prints it.
    double ShownX() {
        std::string const line = Do("show Crate");
        std::size_t const at = line.find("translation ");
        EXPECT_NE(at, std::string::npos) << line;
        return std::stod(line.substr(at + 12));
    }
    // The x of the crate's centre in the scene.
    double CrateX() const {
        for (refhost::SceneMember const& member : refhost::SceneMembers(fSession.Front())) {
            if (member.selected) {
                return (member.bounds.min.x + member.bounds.max.x) / 2;
            }
        }
        ADD_FAILURE() << "the crate is not selected";
        return 0;
    }
    std::string Text() const { return refhost::DocumentText(fSession.Front()); }
    std::size_t UndoSteps() const { return HostState::Instance().UndoDepth(); }

    // The crate recorded at 0 s and, moved 2 along x, at 2 s; the time is then 1 s.
    double RecordTwoPoints() {
        Do(R"(open textured_box.json
              range 0 10
              select Crate
              time 0)");
        double const start = CrateX();
        Do(R"(press Object
              time 2
              move 2 0 0
              press Object
              time 1)");
        return start;
    }

    refhost::HostSession fSession{KEYPOSE_MODULE_PATH};
};

} // namespace

TEST_F(TimelineEditSessionTest, TheSceneFollowsADragAtOnce) {
    double const start = RecordTwoPoints();
    EXPECT_NEAR(CrateX(), start + 1, 1e-4) << "half way at 1 s";
    Do("drag 0 2 0 4");
    EXPECT_NEAR(CrateX(), start + 0.5, 1e-4) << "a quarter of the way once the point is at 4 s";
    Do("key R"); // nothing selected but the dragged point: a mirror of one time changes nothing
    EXPECT_NEAR(CrateX(), start + 0.5, 1e-4);
    Do(R"(click 0 0 shift
          key R)");
    EXPECT_NEAR(CrateX(), start + 2 - 0.5, 1e-4) << "mirrored: from the moved pose back";
    Do(R"(click 0 4 shift
          key delete)");
    EXPECT_NEAR(CrateX(), start, 1e-4) << "only the point at 4 s, the unmoved pose, is left";
}

TEST_F(TimelineEditSessionTest, EachEditIsOneUndoStepThatPutsBackTheBytes) {
    RecordTwoPoints();
    struct Edit {
        char const* select; // a click changes the selection; no undo step is kept for it
        char const* edit;
        char const* what;
    };
    for (Edit const& edit :
         {Edit{"click 0 2", "drag 0 2 0 5", "a drag"}, Edit{"click 0 0", "key E", "an ease"},
          Edit{"click 0 0", "key H", "a hold"}, Edit{"click 0 5 shift", "key R", "a mirror"},
          Edit{"click 0 0", "key delete", "a delete"}}) {
        Do(edit.select);
        std::string const before = Text();
        double const poseBefore = CrateX();
        std::size_t const steps = UndoSteps();
        Do(edit.edit);
        std::string const after = Text();
        double const poseAfter = CrateX();
        EXPECT_EQ(UndoSteps(), steps + 1) << edit.what;
        EXPECT_NE(after, before) << edit.what;
        EXPECT_TRUE(fSession.Undo());
        EXPECT_EQ(Text(), before) << edit.what << " undone";
        EXPECT_NEAR(CrateX(), poseBefore, 1e-4) << edit.what << " undone";
        EXPECT_TRUE(fSession.Redo());
        EXPECT_EQ(Text(), after) << edit.what << " redone";
        EXPECT_NEAR(CrateX(), poseAfter, 1e-4) << edit.what << " redone";
    }
}

TEST_F(TimelineEditSessionTest, ScriptsScrubEaseHoldCopyPasteAndRedoWhatTheyShow) {
    double const start = RecordTwoPoints();
    EXPECT_EQ(Do("show Crate"),
              "Crate: translation 1.0000 0.0000 0.0000 rotation 1.0000 0.0000 0.0000 0.0000 "
              "scale 1.0000 1.0000 1.0000 diffuse 1.0000 1.0000 1.0000\n");
    ASSERT_EQ(start, 0);
    Do(R"(drag 0 2 0 4
          click 0 0
          ease in)");
    EXPECT_DOUBLE_EQ(ShownX(), 0.125) << "a quarter of the time, eased in: 2 * 1/16";
    Do("ease out");
    EXPECT_DOUBLE_EQ(ShownX(), 0.875) << "2 * 7/16";
    Do("ease inout");
    EXPECT_DOUBLE_EQ(ShownX(), 0.3125) << "2 * 5/32";
    Do("ease hold");
    EXPECT_DOUBLE_EQ(ShownX(), 0);
    Do("scrub 3.8");
    EXPECT_DOUBLE_EQ(ShownX(), 2) << "snapped to the step: 4 s, the next point";
    Do(R"(snap off
          scrub 3.75)");
    EXPECT_DOUBLE_EQ(ShownX(), 0) << "held until 4 s";
    Do("ease linear");
    EXPECT_DOUBLE_EQ(ShownX(), 1.875) << "linear: 15/16 of the way";
    Do("undo");
    EXPECT_DOUBLE_EQ(ShownX(), 0) << "the hold is back";
    Do("redo");
    EXPECT_DOUBLE_EQ(ShownX(), 1.875);
    // The selected point (0 s, at x 0) copied and pasted at 5 s: after 4 s the crate goes back.
    Do(R"(copy
          scrub 5
          paste
          scrub 4.5)");
    EXPECT_DOUBLE_EQ(ShownX(), 1) << "half way back from the point at 4 s to the pasted one";
    Do("zoom fit");
}

TEST_F(TimelineEditSessionTest, ACopyIsPastedOnlyIntoTheDocumentItCameFrom) {
    RecordTwoPoints();
    Do(R"(click 0 0
          copy)");
    std::size_t const steps = UndoSteps();
    Do(R"(open textured_box.json
          select Crate
          time 0
          press Object
          time 3)");
    std::string const before = Text();
    Do("paste");
    EXPECT_EQ(Text(), before) << "the other document's rows are not the copy's";
    EXPECT_EQ(UndoSteps(), steps + 1) << "only the recording is a step";
}
