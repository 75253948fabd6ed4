// The real keypose-host in windows on a virtual display, driven by xdotool: the palette's
// drawer fields, zoom keys and wheel, the lights' markers in the 3D view, and the timeline's
// editing by hand (scrub, drag and undo, ease, copy and paste).
#include "tests/refhost/window/xvfb_fixture.h"

using namespace keypose_test;

// The palette in the window: the drawer opens within the display and its three time fields
// take typed values; -, + and control with the wheel zoom the timeline, shift with the wheel
// scrolls it across.
TEST_F(WindowXvfbTest, DrawerFieldsZoomKeysAndTheWheel) {
    refhost::HostSession layout(KEYPOSE_MODULE_PATH);
    layout.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json");
    NSPanel& panel = layout.Palette();
    NSView* content = panel.contentView();
    NSView* timeline = content->viewWithTag(kTimelineViewTag);
    ASSERT_NE(timeline, nullptr);
    std::unique_ptr<Child> host = StartHost();
    ASSERT_GE(fPalette.x, 0) << "the palette's window did not show";

    Click(OnDisplay(Titled(content, "\u00bb"), NSMakePoint(12, 11)));
    std::this_thread::sleep_for(500ms);
    std::string const geometry =
        keypose_host::ProgramOutput({"xdotool", "search", "--onlyvisible", "--name",
                                     "^" + Title("Keypose Sequencer") + "$", "getwindowgeometry",
                                     "--shell"})
            .value_or("");
    int x = -1, width = 0;
    std::istringstream lines(geometry);
    for (std::string line; std::getline(lines, line);) {
        std::sscanf(line.c_str(), "X=%d", &x);
        std::sscanf(line.c_str(), "WIDTH=%d", &width);
    }
    Screenshot("drawer_1_open");
    EXPECT_GE(x, 0);
    EXPECT_LE(x + width, 1400) << "the palette with its drawer lies within the display";
    EXPECT_GT(width, static_cast<int>(panel.frame().size.width)) << "the drawer opened";

    // Where the fields are, from the same palette with its drawer open.
    panel.drawers().back()->open();
    fPalette = WindowAt(Title("Keypose Sequencer"));
    NSView* drawer = panel.drawers().back()->contentView();
    auto field = [&](long tag) {
        NSView* view = drawer->viewWithTag(tag);
        return OnPicture(panel, view, NSMakePoint(20, view->bounds().size.height / 2));
    };
    for (auto [tag, text] :
         {std::pair{10004L, "8"}, std::pair{10002L, "1"}, std::pair{10003L, "2.5"}}) {
        Click(field(tag)); // selects what the field holds
        Type(field(tag), text);
        Keys(field(tag), "Return");
    }
    Screenshot("drawer_2_typed");
    Keys(InView(320, 240), "ctrl+s");
    std::unique_ptr<refhost::Document> saved = refhost::OpenDocument(Document());
    EXPECT_EQ(saved->clock.minimum, 600) << "Start (s) took 1";
    EXPECT_EQ(saved->clock.current, 1500) << "Current (s) took 2.5";
    EXPECT_EQ(saved->clock.maximum, 4800) << "End (s) took 8";

    // Zoom: the timeline's picture changes and comes back.
    auto const rows = OnDisplay(timeline, TimelinePoint(timeline, 3, 1.0));
    Click(rows);
    int const left = OnDisplay(timeline, NSMakePoint(0, 0)).first - static_cast<int>(fPalette.x);
    int const top = 50;
    auto shot = [&](std::string const& name) { return Screenshot("zoom_" + name); };
    refhost::Bitmap const before = shot("1_before");
    Keys(rows, "minus");
    refhost::Bitmap const out = shot("2_minus");
    EXPECT_GT(PaletteDifference(before, out, left, top, 300, 200), 50) << "- zooms out";
    Keys(rows, "plus");
    EXPECT_EQ(PaletteDifference(before, shot("3_plus"), left, top, 300, 200), 0)
        << "+ zooms back in";
    ASSERT_TRUE(Xdotool(
        MoveTo(rows) + std::vector<std::string>{"keydown", "ctrl", "click", "4", "keyup", "ctrl"}));
    std::this_thread::sleep_for(400ms);
    refhost::Bitmap const wheeled = shot("4_control_wheel");
    EXPECT_GT(PaletteDifference(before, wheeled, left, top, 300, 200), 50)
        << "control and the wheel zoom";
    Keys(rows, "plus plus plus");
    refhost::Bitmap const zoomed = shot("5_zoomed_in");
    ASSERT_TRUE(Xdotool(MoveTo(rows) + std::vector<std::string>{"keydown", "shift", "click", "5",
                                                                "click", "5", "keyup", "shift"}));
    std::this_thread::sleep_for(400ms);
    EXPECT_GT(PaletteDifference(zoomed, shot("6_scrolled"), left, top, 300, 200), 50)
        << "shift and the wheel scroll the timeline across";
    Keys(InView(320, 240), "ctrl+q");
    if (!host->Exited(2000ms)) {
        Keys(InView(320, 240), "Tab Return"); // don't save
    }
    EXPECT_TRUE(host->Exited(5000ms));
}

// The point and spot lights of a scene show as markers in the 3D view; a click on one selects
// the light's group, as a click on an object does.
TEST_F(WindowXvfbTest, LightMarkersShowAndSelectTheirLights) {
    fs::copy_file(std::string(KEYPOSE_EXAMPLES_DIR) + "/lights_and_cameras.json", Document(),
                  fs::copy_options::overwrite_existing);
    InitCustomAttributeGlobals();
    std::unique_ptr<refhost::Document> scene = refhost::OpenDocument(Document());
    std::optional<refhost::window::ViewProjection> const projection =
        refhost::window::CurrentProjection(*scene);
    ASSERT_TRUE(projection);
    std::optional<refhost::window::Pixel> const lamp =
        refhost::window::PixelOf(*projection, {0, 3, 0}, 640, 480);
    ASSERT_TRUE(lamp);

    std::unique_ptr<Child> host = StartHost();
    ASSERT_GE(fView.x, 0) << "the 3D view's window did not show";
    int const x = static_cast<int>(lamp->x), y = static_cast<int>(lamp->y);
    refhost::Bitmap const shown = Screenshot("markers_1_lights");
    refhost::Rgb const centre =
        OnScreen(shown, static_cast<int>(fView.x) + x, static_cast<int>(fView.y) + y);
    EXPECT_TRUE(centre.red == 0xFF && centre.green == 0xE0 && centre.blue == 0x40)
        << "the lamp's marker: " << int(centre.red) << " " << int(centre.green) << " "
        << int(centre.blue);
    Click(InView(x + 2, y));
    Screenshot("markers_2_lamp_selected");
    Keys(InView(x + 2, y), "ctrl+s");
    EXPECT_EQ(SelectedNames(Document()), std::vector<std::string>{"Lamp"});
    Keys(InView(x + 2, y), "ctrl+q");
    EXPECT_TRUE(host->Exited(5000ms));
}

// The timeline's editing by hand: scrubbing in the ruler, dragging a tween point and taking
// the drag back with control-Z, easing a point with E, copying it with control-C and pasting
// it at the scrubbed time with control-V. Each state is saved and read back.
TEST_F(WindowXvfbTest, ScrubDragUndoEaseCopyAndPasteInTheTimeline) {
    NSView* const timeline = PaletteLayout()->viewWithTag(kTimelineViewTag);
    ASSERT_TRUE(timeline && timeline->window());
    NSView* const content = timeline->window()->contentView();
    std::unique_ptr<Child> host = StartHost();
    ASSERT_TRUE(host->Started());
    ASSERT_GE(fView.x, 0) << "the 3D view's window did not show";
    ASSERT_GE(fPalette.x, 0) << "the palette's window did not show";
    std::pair<int, int> const crate = InView(320, 240);
    auto const object = OnDisplay(Titled(content, "Object"), NSMakePoint(28, 12));
    auto glyph = [&](double seconds) {
        return OnDisplay(timeline, TimelinePoint(timeline, 0, seconds));
    };
    auto ruler = [&](double seconds) {
        return OnDisplay(timeline, NSMakePoint(6 + static_cast<float>(seconds) * 16,
                                               NSMaxY(timeline->frame()) - 7));
    };
    auto saved = [&] {
        Keys(crate, "ctrl+s");
        return CrateRecords(Document());
    };
    auto times = [](std::vector<ObjectTweenRecord> const& records) {
        std::vector<int32_t> t;
        for (auto const& r : records) {
            t.push_back(r.time);
        }
        return t;
    };

    Click(crate);
    Click(object); // 0 s
    Keys(crate, "End");
    Drag(crate, {crate.first + 60, crate.second}, 6);
    Click(object); // 10 s
    ASSERT_EQ(times(saved()), (std::vector<int32_t>{0, 6000}));

    // Scrub: press in the ruler at 3 s and drag to 5 s; the time follows to a whole second.
    Drag(ruler(3), ruler(5.2), 4);
    Screenshot("timeline_1_scrubbed");
    Keys(crate, "ctrl+s");
    EXPECT_EQ(refhost::OpenDocument(Document())->clock.current, 5 * 600) << "scrubbed to 5 s";

    // A drag of the point at 10 s to 7 s, taken back whole with one control-Z.
    Drag(glyph(10), glyph(7), 3);
    EXPECT_EQ(times(saved()), (std::vector<int32_t>{0, 7 * 600}));
    Screenshot("timeline_2_dragged");
    Keys(crate, "ctrl+z");
    EXPECT_EQ(times(saved()), (std::vector<int32_t>{0, 6000})) << "undo of the drag";
    Screenshot("timeline_3_drag_undone");

    // E eases the point at 0 s in.
    Click(glyph(0));
    Keys(glyph(0), "e");
    std::vector<ObjectTweenRecord> const eased = saved();
    ASSERT_EQ(eased.size(), 2u);
    EXPECT_EQ(eased[0].ease, 1) << "ease in";
    EXPECT_TRUE(eased[0].selected);
    Screenshot("timeline_4_eased");

    // Copied, the time scrubbed to 4 s, and pasted there.
    Keys(glyph(0), "ctrl+c");
    Drag(ruler(3.2), ruler(4), 2);
    Keys(glyph(0), "ctrl+v");
    std::vector<ObjectTweenRecord> const pasted = saved();
    EXPECT_EQ(times(pasted), (std::vector<int32_t>{0, 4 * 600, 6000}));
    ASSERT_EQ(pasted.size(), 3u);
    EXPECT_EQ(pasted[1].ease, 1) << "the copy keeps its ease";
    EXPECT_TRUE(pasted[1].selected && !pasted[0].selected) << "the pasted point is the selection";
    Screenshot("timeline_5_pasted");
    Keys(crate, "ctrl+q");
    EXPECT_TRUE(host->Exited(5000ms)) << "quit did not end the program";
}
