// The real keypose-host in windows on a virtual display, driven by xdotool as a user drives
// it: select the crate in the 3D view, record, move the time, drag the crate, record again,
// drag a tween point in the timeline, mirror two points with R, save; then undo three times
// and redo once, saving under new names. The saved documents hold what was done. Screenshots
// of the display are kept in the build folder (window_test_artefacts/).
#include "tests/refhost/window/xvfb_fixture.h"

using namespace keypose_test;

TEST_F(WindowXvfbTest, PoseRecordEditSaveUndoAndRedoByHand) {

    NSView* content = PaletteLayout();
    NSView* timeline = content->viewWithTag(kTimelineViewTag);
    ASSERT_NE(timeline, nullptr);

    std::unique_ptr<Child> hostProgram = StartHost();
    Child& host = *hostProgram;
    ASSERT_TRUE(host.Started());
    NSPoint const view = fView;
    NSPoint const inspector = fInspector;
    ASSERT_GE(view.x, 0) << "the 3D view's window did not show";
    ASSERT_GE(fPalette.x, 0) << "the palette's window did not show";
    ASSERT_GE(inspector.x, 0) << "the inspector's window did not show";
    Screenshot("1_opened");

    // The camera looks at the crate's centre, the middle of the 640 x 480 view.
    std::pair<int, int> const crate{static_cast<int>(view.x) + 320, static_cast<int>(view.y) + 240};
    std::pair<int, int> const empty{static_cast<int>(view.x) + 30, static_cast<int>(view.y) + 450};
    auto const object = OnDisplay(Titled(content, "Object"), NSMakePoint(28, 12));
    auto glyph = [&](double seconds) {
        return OnDisplay(timeline, TimelinePoint(timeline, 0, seconds));
    };

    Click(empty); // deselects the crate
    Screenshot("2_deselected");
    Click(crate);  // selects it
    Click(object); // records it at 0 s
    Keys(crate, "End");
    Drag(crate, {crate.first + 60, crate.second}, 6); // to the right on the screen
    Click(object);                                    // records it at 10 s
    Screenshot("3_recorded_twice");
    // Four steps of a second each: the timeline moves points by whole time units a step.
    Drag(glyph(10), glyph(6), 4);
    Click(glyph(0), "shift");
    Keys(glyph(3), "r"); // the two points swap places in time
    Screenshot("4_mirrored");
    // The crate's motion path runs on the screen from where it stands to the dragged pose; its
    // ghost and the ground's grid show too. They stay on through the saves, undos and redos
    // below, which keep what they save.
    Keys(crate, "p o g");
    refhost::Bitmap const aids = Screenshot("4b_paths_ghosts_grid");
    auto onPath = [&](int x) {
        for (int dy = -2; dy <= 2; ++dy) {
            refhost::Rgb const c = OnScreen(aids, x, crate.second + dy);
            if (c.blue > 200 && c.green > 150 && c.red < 150) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(onPath(crate.first + 30));
    EXPECT_TRUE(onPath(crate.first + 45));
    EXPECT_FALSE(onPath(crate.first + 90)); // beyond the dragged pose
    Keys(crate, "ctrl+s");

    std::vector<ObjectTweenRecord> saved = CrateRecords(Document());
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].time, 0);
    EXPECT_EQ(saved[1].time, 6 * 600);
    // Mirrored: the pose dragged to the right (60 pixels at the crate's distance of 4.39
    // units, along the screen's right, (0.768, 0, -0.640)) is now the first point's.
    EXPECT_NEAR(saved[0].matrix.value[3][0], 0.356, 0.01);
    EXPECT_NEAR(saved[0].matrix.value[3][1], 0.0, 1e-4);
    EXPECT_NEAR(saved[0].matrix.value[3][2], -0.297, 0.01);
    EXPECT_NEAR(saved[1].matrix.value[3][0], 0.0, 1e-4);
    EXPECT_NEAR(saved[1].matrix.value[3][2], 0.0, 1e-4);

    // Undo takes back the mirror, then the drag of the tween point, then the second
    // recording; redo puts the recording back. Each state is saved under a name typed into
    // the inspector.
    std::pair<int, int> const pathField{static_cast<int>(inspector.x) + 230,
                                        static_cast<int>(inspector.y) + 142};
    auto saveAs = [&](std::string const& name) {
        Click(pathField);
        Type(pathField, (fFolder / name).string());
        Keys(pathField, "Return");
    };
    Keys(crate, "ctrl+z");
    saveAs("undone_once.json");
    Keys(crate, "ctrl+z");
    saveAs("undone_twice.json");
    Keys(crate, "ctrl+z");
    saveAs("undone_thrice.json");
    Keys(crate, "ctrl+y");
    saveAs("redone.json");
    Screenshot("5_undone_and_redone");
    Keys(crate, "ctrl+q");
    EXPECT_TRUE(host.Exited(5000ms)) << "quit did not end the program";
    EXPECT_EQ(host.Status(), 0);

    std::vector<ObjectTweenRecord> const once =
        CrateRecords((fFolder / "undone_once.json").string());
    ASSERT_EQ(once.size(), 2u);
    EXPECT_EQ(once[0].time, 0) << "the mirror taken back";
    EXPECT_NEAR(once[0].matrix.value[3][0], 0.0, 1e-4);
    EXPECT_EQ(once[1].time, 6 * 600);
    EXPECT_NEAR(once[1].matrix.value[3][0], 0.356, 0.01);
    std::vector<ObjectTweenRecord> const twice =
        CrateRecords((fFolder / "undone_twice.json").string());
    ASSERT_EQ(twice.size(), 2u);
    EXPECT_EQ(twice[1].time, 10 * 600) << "the point's drag taken back";
    std::vector<ObjectTweenRecord> const thrice =
        CrateRecords((fFolder / "undone_thrice.json").string());
    ASSERT_EQ(thrice.size(), 1u) << "the second recording taken back";
    EXPECT_EQ(thrice[0].time, 0);
    EXPECT_EQ(CrateRecords((fFolder / "redone.json").string()).size(), 2u);
}

// The windows follow their size: the 3D view keeps the camera's 4:3 picture as large as fits,
// centred between black bars; the palette lays its views out again at one pixel a point, so
// its buttons stay where they were and the timeline grows. Camera moves keep the selection
// and are no undo steps; a nudge is one, and undo gives back the saved bytes.
TEST_F(WindowXvfbTest, ResizedWindowsCameraMovesAndUndoOfANudge) {
    std::unique_ptr<Child> host = StartHost();
    ASSERT_TRUE(host->Started());
    ASSERT_GE(fView.x, 0) << "the 3D view's window did not show";
    ASSERT_GE(fPalette.x, 0) << "the palette's window did not show";

    refhost::Bitmap const before = Screenshot("resize_1_before");
    ASSERT_GT(before.width(), 0) << "no screenshot (ImageMagick's import)";
    auto viewPixel = [&](refhost::Bitmap const& shot, int x, int y) {
        return OnScreen(shot, static_cast<int>(fView.x) + x, static_cast<int>(fView.y) + y);
    };
    // Below the heads-up line in the top left corner.
    refhost::Rgb const background = viewPixel(before, 5, 40);
    ASSERT_FALSE(Black(background))
        << "the scene's background fills the view; at " << fView.x << ", " << fView.y << ": "
        << int(background.red) << " " << int(background.green) << " " << int(background.blue);

    // 900 x 650: the picture is 867 x 650, 16 pixels from the left.
    Resize(Title("keypose-host"), 900, 650);
    refhost::Bitmap const wide = Screenshot("resize_2_view_900x650");
    EXPECT_TRUE(Black(viewPixel(wide, 5, 325))) << "a bar on the left";
    EXPECT_TRUE(Black(viewPixel(wide, 895, 600))) << "a bar on the right";
    // (The palette and the inspector cover the view's top right.)
    for (auto [x, y] :
         {std::pair{25, 40}, std::pair{620, 5}, std::pair{25, 645}, std::pair{875, 645}}) {
        EXPECT_EQ(viewPixel(wide, x, y).green, background.green)
            << "the picture's corner near (" << x << ", " << y << ")";
    }
    // 400 x 700: the picture is 400 x 300, 200 pixels from the top.
    Resize(Title("keypose-host"), 400, 700);
    refhost::Bitmap const tall = Screenshot("resize_3_view_400x700");
    EXPECT_TRUE(Black(viewPixel(tall, 200, 100))) << "a bar above";
    EXPECT_TRUE(Black(viewPixel(tall, 200, 600))) << "a bar below";
    for (auto [x, y] :
         {std::pair{3, 203}, std::pair{396, 203}, std::pair{3, 496}, std::pair{396, 496}}) {
        EXPECT_EQ(viewPixel(tall, x, y).green, background.green)
            << "the picture's corner near (" << x << ", " << y << ")";
    }

    // The palette 100 pixels wider and 150 higher.
    std::string const geometry =
        keypose_host::ProgramOutput({"xdotool", "search", "--onlyvisible", "--name",
                                     "^" + Title("Keypose Sequencer") + "$", "getwindowgeometry"})
            .value_or("");
    std::size_t const at = geometry.find("Geometry:");
    ASSERT_NE(at, std::string::npos) << geometry;
    int width = 0, height = 0;
    std::sscanf(geometry.c_str() + at, "Geometry: %dx%d", &width, &height);
    ASSERT_GT(width, 0) << geometry;
    Resize(Title("Keypose Sequencer"), width + 100, height + 150);
    refhost::Bitmap const bigger = Screenshot("resize_4_palette_bigger");
    auto palettePixel = [&](refhost::Bitmap const& shot, int x, int y) {
        return OnScreen(shot, static_cast<int>(fPalette.x) + x, static_cast<int>(fPalette.y) + y);
    };
    int differing = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            refhost::Rgb const a = palettePixel(before, x, y), b = palettePixel(bigger, x, y);
            differing += a.red != b.red || a.green != b.green || a.blue != b.blue;
        }
    }
    EXPECT_EQ(differing, 0) << "the buttons at the top left are drawn as they were, unstretched";
    refhost::Rgb const corner = palettePixel(bigger, width + 95, height + 145);
    refhost::Rgb const oldCorner = palettePixel(before, width - 5, height - 5);
    EXPECT_EQ(corner.green, oldCorner.green) << "the timeline reaches the new corner";

    // Orbit: a drag on empty space of the view (its picture's top left corner).
    Drag(InView(20, 220), InView(120, 240), 5);
    Keys(InView(200, 350), "ctrl+s");
    std::string const orbited = FileText(Document());
    EXPECT_EQ(SelectedNames(Document()), std::vector<std::string>{"Crate"})
        << "orbiting keeps the selection";
    Keys(InView(200, 350), "Right");
    Keys(InView(200, 350), "ctrl+s");
    EXPECT_TRUE(FileText(Document()) != orbited) << "the nudge moved the crate";
    Keys(InView(200, 350), "ctrl+z ctrl+s");
    EXPECT_TRUE(FileText(Document()) == orbited) << "undo gives back the bytes before the nudge";
    Keys(InView(200, 350), "ctrl+z ctrl+s");
    EXPECT_TRUE(FileText(Document()) == orbited) << "nothing more to undo: the orbit is no step";
    Click(InView(10, 230));
    Keys(InView(200, 350), "ctrl+s");
    EXPECT_TRUE(SelectedNames(Document()).empty()) << "a click on empty space deselects";
    Screenshot("resize_5_deselected");
    Keys(InView(200, 350), "ctrl+q");
    EXPECT_TRUE(host->Exited(5000ms)) << "quit did not end the program";
}

// The windows say what they hold: titles name the document and mark it while edited. Quitting
// an edited document asks in a prompt that takes the keyboard: Escape cancels, Tab moves
// between the buttons, Return presses the focused one (Save at first).
TEST_F(WindowXvfbTest, TitlesAndTheQuitPromptByKeysAlone) {
    std::string const original = FileText(Document());
    {
        std::unique_ptr<Child> host = StartHost();
        ASSERT_GE(fView.x, 0) << "the 3D view's window did not show";
        EXPECT_TRUE(Shows("box\\.json - keypose-host"));
        EXPECT_TRUE(Shows("box\\.json - Inspector"));
        std::pair<int, int> const view = InView(320, 240);
        Keys(view, "Right"); // nudges the crate
        EXPECT_TRUE(Shows("\\*box\\.json - keypose-host")) << "the edit is marked";
        EXPECT_TRUE(Shows("\\*box\\.json - Keypose Sequencer"));

        Keys(view, "ctrl+q");
        EXPECT_TRUE(Shows("Save changes\\? - keypose-host")) << "the prompt shows";
        Screenshot("prompt_1_asked");
        Keys(view, "Escape");
        EXPECT_FALSE(host->Exited(300ms)) << "Escape cancels";
        EXPECT_FALSE(Shows("Save changes\\? - keypose-host"));
        Keys(view, "ctrl+q");
        EXPECT_TRUE(Shows("Save changes\\? - keypose-host")) << "asked again";
        Keys(view, "Tab Tab Return"); // to Cancel
        EXPECT_FALSE(host->Exited(300ms)) << "Tab twice and Return cancel";
        EXPECT_FALSE(Shows("Save changes\\? - keypose-host"));
        Keys(view, "ctrl+q");
        EXPECT_TRUE(Shows("Save changes\\? - keypose-host")) << "asked a third time";
        Keys(view, "Tab");
        Screenshot("prompt_2_dont_save_focused");
        Keys(view, "Return"); // Don't Save
        EXPECT_TRUE(host->Exited(5000ms)) << "Don't Save quits";
    }
    EXPECT_TRUE(FileText(Document()) == original) << "nothing was saved";
    {
        std::unique_ptr<Child> host = StartHost();
        ASSERT_GE(fView.x, 0) << "the 3D view's window did not show";
        Keys(InView(320, 240), "Right ctrl+q");
        Keys(InView(320, 240), "Return");
        EXPECT_TRUE(host->Exited(5000ms)) << "Save quits";
    }
    EXPECT_TRUE(FileText(Document()) != original) << "Return saved the nudge";
}
