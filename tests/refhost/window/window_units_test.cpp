// The window's parts without a display: the camera's projection and its moves, pixels of a
// toolkit window's picture on the screen, the inspector's colours, posing with the mouse in
// the 3D view of a real document, and undo and redo of recordings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/session/host_session.h"
#include "refhost/session/posing.h"
#include "refhost/window/inspector.h"
#include "refhost/window/posing_gestures.h"
#include "refhost/window/sdl_input.h"
#include "refhost/window/toolkit_window.h"
#include "refhost/window/view_markers.h"
#include "refhost/window/view_projection.h"
#include "refhost/window/view_scene.h"
#include "refhost/window/window_title.h"

namespace {

using namespace refhost::window;

TQ3CameraPlacement const kFront{{0, 0, 5}, {0, 0, 0}, {0, 1, 0}};
float const kRightAngle = static_cast<float>(M_PI / 2);

TEST(ViewProjectionTest, PixelsDepthsAndMovesOfWorkedPoints) {
    // A 90 degree field of view: at distance 5 the image spans 10 units each way.
    std::optional<ViewProjection> const square = ProjectionOf(kFront, kRightAngle, 1);
    ASSERT_TRUE(square);
    std::optional<Pixel> const centre = PixelOf(*square, {0, 0, 0}, 100, 100);
    ASSERT_TRUE(centre);
    EXPECT_FLOAT_EQ(centre->x, 50);
    EXPECT_FLOAT_EQ(centre->y, 50);
    EXPECT_FLOAT_EQ(centre->depth, 5);
    EXPECT_FLOAT_EQ(PixelOf(*square, {1, 0, 0}, 100, 100)->x, 60);
    EXPECT_FLOAT_EQ(PixelOf(*square, {0, 1, 0}, 100, 100)->y, 40) << "up is toward the top";
    EXPECT_FALSE(PixelOf(*square, {0, 0, 6}, 100, 100)) << "behind the camera";
    EXPECT_FALSE(PixelOf(*square, {0, 0, 5}, 100, 100)) << "at the camera";

    // Twice as wide as high: the field of view spans the height, the width sees twice as far.
    std::optional<ViewProjection> const wide = ProjectionOf(kFront, kRightAngle, 2);
    EXPECT_FLOAT_EQ(PixelOf(*wide, {1, 0, 0}, 100, 100)->x, 55);
    EXPECT_FLOAT_EQ(PixelOf(*wide, {0, 1, 0}, 100, 100)->y, 40);

    // Ten pixels of 100 at depth 5 are one unit; down the screen is down the scene.
    CVector3D const move = ViewPlaneMove(*square, 5, 10, 10, 100, 100);
    EXPECT_FLOAT_EQ(move.x, 1);
    EXPECT_FLOAT_EQ(move.y, -1);
    EXPECT_FLOAT_EQ(move.z, 0);

    EXPECT_FALSE(ProjectionOf({{1, 2, 3}, {1, 2, 3}, {0, 1, 0}}, 1, 1)) << "no line of sight";
    EXPECT_FALSE(ProjectionOf({{0, 5, 0}, {0, 0, 0}, {0, 1, 0}}, 1, 1)) << "up along the sight";
}

TEST(ViewProjectionTest, LetterboxKeepsTheCamerasAspectCentred) {
    auto same = [](ImageRect const& r, ImageRect const& expected) {
        return r.x == expected.x && r.y == expected.y && r.width == expected.width &&
               r.height == expected.height;
    };
    float const fourThirds = 4.0f / 3;
    EXPECT_TRUE(same(Letterbox(640, 480, fourThirds), {0, 0, 640, 480}));
    EXPECT_TRUE(same(Letterbox(900, 650, fourThirds), {16, 0, 867, 650})) << "bars at the sides";
    EXPECT_TRUE(same(Letterbox(400, 700, fourThirds), {0, 200, 400, 300})) << "above and below";
    EXPECT_TRUE(same(Letterbox(300, 300, 0.5f), {75, 0, 150, 300})) << "a tall camera";
    EXPECT_TRUE(same(Letterbox(0, 0, fourThirds), {0, 0, 1, 1})) << "never empty";
    EXPECT_TRUE(same(Letterbox(2000, 1, fourThirds), {999, 0, 1, 1}));
    EXPECT_TRUE(same(Letterbox(320, 200, 0), {0, 0, 320, 200})) << "no camera: the window";
}

TEST(ViewProjectionTest, OrbitPanAndDollyKeepWhatTheyShould) {
    TQ3CameraPlacement const turned = Orbit(kFront, kRightAngle, 0);
    EXPECT_NEAR(turned.cameraLocation.x, -5, 1e-5) << "the scene turns with the mouse";
    EXPECT_NEAR(turned.cameraLocation.z, 0, 1e-5);
    EXPECT_EQ(turned.pointOfInterest.z, 0);

    TQ3CameraPlacement const raised = Orbit(kFront, 0, 0.5f);
    float const distance =
        std::hypot(raised.cameraLocation.x, raised.cameraLocation.y, raised.cameraLocation.z);
    EXPECT_NEAR(distance, 5, 1e-5);
    EXPECT_NEAR(raised.cameraLocation.y, 5 * std::sin(0.5f), 1e-5);
    TQ3CameraPlacement const overTheTop = Orbit(kFront, 0, kRightAngle);
    EXPECT_NEAR(overTheTop.cameraLocation.z, 5, 1e-5) << "never onto the up vector";

    TQ3CameraPlacement const panned = Pan(kFront, CVector3D(1, 2, 0));
    EXPECT_EQ(panned.cameraLocation.x, 1);
    EXPECT_EQ(panned.pointOfInterest.y, 2);

    EXPECT_FLOAT_EQ(Dolly(kFront, 0.5f).cameraLocation.z, 2.5f);
    EXPECT_FLOAT_EQ(Dolly(kFront, 0).cameraLocation.z, 0.001f) << "never onto the point";
}

TEST(ToolkitWindowTest, PixelsOfThePictureOnTheScreen) {
    // A picture 50 pixels high with its bottom left corner at (100, 200) of the screen.
    NSPoint const topLeft = ScreenPointOfPixel(NSMakePoint(100, 200), 50, 0, 0);
    EXPECT_FLOAT_EQ(topLeft.x, 100.5f);
    EXPECT_FLOAT_EQ(topLeft.y, 249.5f);
    NSPoint const bottom = ScreenPointOfPixel(NSMakePoint(100, 200), 50, 9, 49);
    EXPECT_FLOAT_EQ(bottom.x, 109.5f);
    EXPECT_FLOAT_EQ(bottom.y, 200.5f);
}

TEST(ToolkitWindowTest, AWindowWidenedByItsDrawerIsKeptOnTheDisplay) {
    SDL_Rect const display{0, 0, 1400, 1000};
    SDL_Point p = KeptOnScreen({650, 0, 810, 280}, display);
    EXPECT_EQ(p.x, 590) << "moved left just enough";
    EXPECT_EQ(p.y, 0);
    p = KeptOnScreen({100, 900, 300, 200}, display);
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 800) << "moved up";
    p = KeptOnScreen({100, 10, 1600, 200}, display);
    EXPECT_EQ(p.x, 0) << "wider than the display: its left edge shows";
}

TEST(SdlInputTest, LettersWithControlOrCommandAreTheirCharacters) {
    EXPECT_EQ(CommandKeyCharacters(SDLK_c, KMOD_LCTRL), "c");
    EXPECT_EQ(CommandKeyCharacters(SDLK_v, KMOD_RGUI), "v");
    EXPECT_EQ(CommandKeyCharacters(SDLK_c, KMOD_NONE), "") << "plain letters come as text";
    EXPECT_EQ(CommandKeyCharacters(SDLK_RETURN, KMOD_LCTRL), "");
    EXPECT_EQ(CommandKeyCharacters(SDLK_F1, KMOD_LCTRL), "");
}

TEST(InspectorTest, ARefusedValueIsPutBackAndSaidWhy) {
    bool accept = false;
    std::vector<TQ3ColorRGB> coloured;
    Inspector::Actions actions;
    actions.colourSelection = [&](TQ3ColorRGB const& colour) {
        coloured.push_back(colour);
        return accept;
    };
    {
        Inspector inspector(NSMakeRect(0, -1000, 340, 220), {}, actions);
        inspector.Show(TQ3ColorRGB{1, 0.5f, 0}, std::nullopt, std::nullopt);
        NSTextField& field = inspector.ColourField();
        EXPECT_EQ(field.stringValue(), "1 0.5 0");
        field.setStringValue("2 0 0");
        field.sendAction();
        EXPECT_EQ(field.stringValue(), "1 0.5 0") << "a colour out of range is put back";
        EXPECT_EQ(inspector.Status(), "a colour is three numbers from 0 to 1");
        EXPECT_TRUE(coloured.empty());
        field.setStringValue("0 0 1");
        field.sendAction();
        EXPECT_EQ(field.stringValue(), "1 0.5 0") << "a change the document refuses is put back";
        ASSERT_EQ(coloured.size(), 1u);
        accept = true;
        field.setStringValue("0 1 0");
        field.sendAction();
        EXPECT_EQ(field.stringValue(), "0 1 0") << "an accepted value stays";
    }
    NSApp()->discardEvents();
}

TEST(WindowTitleTest, TheDocumentsNameMarkedWhileEdited) {
    EXPECT_EQ(WindowTitle("/tmp/x/box.json", false, "keypose-host"), "box.json - keypose-host");
    EXPECT_EQ(WindowTitle("box.json", true, "Inspector"), "*box.json - Inspector");
    EXPECT_EQ(WindowTitle("", true, "keypose-host"), "*untitled - keypose-host");
}

TEST(InspectorTest, ColoursAreThreeNumbersFromZeroToOne) {
    std::optional<TQ3ColorRGB> const spaced = ParseColour("1 0.5 0");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->r, 1);
    EXPECT_EQ(spaced->g, 0.5f);
    EXPECT_EQ(spaced->b, 0);
    EXPECT_TRUE(ParseColour(" 0.25, 0.5 ,1 "));
    EXPECT_FALSE(ParseColour("1 2 0"));
    EXPECT_FALSE(ParseColour("1 0.5"));
    EXPECT_FALSE(ParseColour("1 0.5 0 4"));
    EXPECT_FALSE(ParseColour("red"));
}

class WindowPosingTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCustomAttributeGlobals();
        fDocument = refhost::OpenDocument(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json");
        fGestures.SetSize(640, 480);
    }
    bool CrateSelected() const {
        return CGroupObject(fDocument->SelectedGroup()).CountObjects() == 1;
    }
    TQ3Matrix4x4 CrateMatrix() const {
        for (OpaqueTQ3Object* which : {fDocument->SelectedGroup(), fDocument->OtherGroup()}) {
            CGroupObject group(which);
            if (auto* at = group.GetFirstObject()) {
                CGroupObject crate(group, at);
                return CTransformObject(crate, crate.GetFirstObjectOfType("xfrm"_4cc)).GetMatrix();
            }
        }
        return {};
    }

    std::unique_ptr<refhost::Document> fDocument;
    PosingGestures fGestures;
};

TEST_F(WindowPosingTest, ClicksSelectAndDragsMoveTheCrateOrTheCamera) {
    ASSERT_TRUE(CrateSelected());
    // The camera looks at the crate's centre from (2.5, 2, 3): the middle of the view.
    Changes changes = fGestures.Press(*fDocument, MouseButton::left, 320, 240, {});
    EXPECT_FALSE(changes.selection) << "a selected object keeps the selection";
    EXPECT_EQ(fGestures.Dragging(), DragKind::move);
    changes = fGestures.Drag(*fDocument, 380, 240);
    EXPECT_TRUE(changes.scene);
    fGestures.Release(*fDocument);
    // 60 pixels at the crate's distance (4.39) move it 0.464 along the screen's right,
    // (0.768, 0, -0.640) in the scene.
    TQ3Matrix4x4 const moved = CrateMatrix();
    EXPECT_NEAR(moved.value[3][0], 0.3563, 1e-3);
    EXPECT_NEAR(moved.value[3][1], 0, 1e-5);
    EXPECT_NEAR(moved.value[3][2], -0.2969, 1e-3);

    // A drag on empty space orbits and keeps the selection; a click there deselects, even
    // with a jitter of a pixel or two.
    changes = fGestures.Press(*fDocument, MouseButton::left, 10, 10, {});
    EXPECT_FALSE(changes.selection);
    EXPECT_EQ(fGestures.Dragging(), DragKind::orbit);
    TQ3CameraPlacement const before = refhost::window::CameraPlacement(*fDocument);
    EXPECT_TRUE(fGestures.Drag(*fDocument, 60, 10).camera);
    EXPECT_NE(refhost::window::CameraPlacement(*fDocument).cameraLocation.x,
              before.cameraLocation.x);
    EXPECT_TRUE(fGestures.Drag(*fDocument, 11, 11).camera) << "back near where it began";
    EXPECT_FALSE(fGestures.Release(*fDocument).selection);
    EXPECT_TRUE(CrateSelected()) << "orbiting keeps the selection";
    fGestures.Press(*fDocument, MouseButton::left, 10, 10, {});
    fGestures.Drag(*fDocument, 12, 11);
    EXPECT_TRUE(fGestures.Release(*fDocument).selection);
    EXPECT_FALSE(CrateSelected()) << "a click on empty space deselects";

    // The crate moved 0.36 to the right and the camera turned: it is no longer at the middle,
    // so find it where the picture has it.
    Modifiers const shift{true, false, false};
    float x = 0;
    for (float probe = 0; probe < 640 && x == 0; probe += 4) {
        fGestures.Press(*fDocument, MouseButton::left, probe, 240, shift);
        fGestures.Release(*fDocument);
        if (CrateSelected()) {
            x = probe;
        }
    }
    ASSERT_GT(x, 0) << "shift-click selects the crate";
    EXPECT_TRUE(fGestures.Press(*fDocument, MouseButton::left, x, 240, shift).selection);
    EXPECT_FALSE(CrateSelected()) << "a second shift-click takes it out";
    EXPECT_FALSE(fGestures.Nudge(*fDocument, 1, 0, false).scene) << "nothing to nudge";
}

// Lights have no surface to click: their markers are drawn and picked instead, and a light
// picked is posed like any object.
TEST(ViewMarkersTest, LightsShowAsMarkersThatSelectAndMoveTheirGroups) {
    InitCustomAttributeGlobals();
    std::unique_ptr<refhost::Document> document =
        refhost::OpenDocument(std::string(KEYPOSE_EXAMPLES_DIR) + "/lights_and_cameras.json");
    std::optional<ViewProjection> const projection = CurrentProjection(*document);
    ASSERT_TRUE(projection);
    TQ3Point3D const interest = refhost::window::CameraPlacement(*document).pointOfInterest;
    std::vector<Marker> const markers = ViewMarkers(*document, *projection, interest, 640, 480);
    ASSERT_EQ(markers.size(), 3u) << "the lamp, the spot and the point of interest";
    auto lamp = std::find_if(markers.begin(), markers.end(), [](Marker const& m) {
        return m.kind == MarkerKind::light && !m.selected && m.depth > 0 &&
               CSetObject(CShapeObject(m.member)).GetNameAttribute().ToString() == "Lamp";
    });
    ASSERT_NE(lamp, markers.end());
    // The lamp is at (0, 3, 0); the camera looks at the origin, the middle of the picture.
    std::optional<Pixel> const expected = PixelOf(*projection, {0, 3, 0}, 640, 480);
    EXPECT_NEAR(lamp->x, expected->x, 1e-3);
    EXPECT_NEAR(lamp->y, expected->y, 1e-3);
    EXPECT_EQ(markers.back().kind, MarkerKind::pointOfInterest);
    EXPECT_NEAR(markers.back().x, 320, 1e-3);
    EXPECT_NEAR(markers.back().y, 240, 1e-3);
    EXPECT_FALSE(LightMarkerAt(markers, lamp->x + kMarkerReach + 1, lamp->y));

    refhost::Bitmap picture(640, 480, NSZeroPoint);
    DrawMarkers(picture, markers, {1, 0, 0});
    int const x = static_cast<int>(lamp->x), y = static_cast<int>(lamp->y);
    EXPECT_EQ(picture.pixels()[static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)],
              0xFFE040u)
        << "the lamp's marker is drawn where it is picked";

    PosingGestures gestures;
    gestures.SetSize(640, 480);
    Changes const pressed = gestures.Press(*document, MouseButton::left, lamp->x + 3, lamp->y, {});
    EXPECT_TRUE(pressed.selection);
    EXPECT_EQ(gestures.Dragging(), DragKind::move);
    EXPECT_TRUE(gestures.Drag(*document, lamp->x + 43, lamp->y).scene);
    gestures.Release(*document);
    std::vector<Marker> const after = ViewMarkers(*document, *projection, interest, 640, 480);
    auto moved = std::find_if(after.begin(), after.end(),
                              [&](Marker const& m) { return m.member == lamp->member; });
    ASSERT_NE(moved, after.end());
    EXPECT_TRUE(moved->selected);
    EXPECT_NEAR(moved->x, lamp->x + 40, 0.5) << "the light moved with the mouse";
}

TEST(WindowUndoTest, EachPoseGestureIsOneStepAndUndoRestoresTheBytes) {
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        session.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json");
        PosingGestures gestures;
        gestures.SetSize(640, 480);
        int edits = 0;
        gestures.OnEdit([&] {
            ++edits;
            PL_DoUndo(1, 1, 0, 0);
        });
        refhost::Document& document = session.Front();
        // Orbiting, panning and dollying are no steps.
        gestures.Press(document, MouseButton::left, 10, 10, {});
        gestures.Drag(document, 40, 20);
        gestures.Release(document);
        gestures.Press(document, MouseButton::right, 100, 100, {});
        gestures.Drag(document, 120, 90);
        gestures.Release(document);
        gestures.Wheel(document, 2);
        EXPECT_EQ(edits, 0);
        std::vector<std::string> states{refhost::DocumentText(document)};

        // The crate stays at the point of interest, the middle of the view.
        gestures.Press(document, MouseButton::left, 320, 240, {});
        for (float x = 330; x <= 380; x += 10) {
            gestures.Drag(document, x, 240);
        }
        gestures.Release(document);
        states.push_back(refhost::DocumentText(document));
        gestures.Press(document, MouseButton::left, 320, 240, {false, true, false}); // turn
        gestures.Drag(document, 330, 250);
        gestures.Drag(document, 340, 255);
        gestures.Release(document);
        states.push_back(refhost::DocumentText(document));
        gestures.Press(document, MouseButton::left, 320, 240, {false, false, true}); // scale
        gestures.Drag(document, 320, 230);
        gestures.Release(document);
        states.push_back(refhost::DocumentText(document));
        gestures.Nudge(document, 1, 0, false);
        gestures.Nudge(document, 1, 0, false, true); // the key held: the same step
        states.push_back(refhost::DocumentText(document));
        gestures.Nudge(document, 0, 1, true);
        states.push_back(refhost::DocumentText(document));
        EXPECT_EQ(edits, 5);
        for (std::size_t i = 1; i < states.size(); ++i) {
            EXPECT_NE(states[i], states[i - 1]) << "gesture " << i << " changed nothing";
        }

        for (std::size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_TRUE(session.Undo());
            EXPECT_EQ(refhost::DocumentText(session.Front()), states[i - 1]) << "undo " << i;
        }
        EXPECT_FALSE(session.Undo()) << "camera moves are no steps";
        for (std::size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(session.Redo());
            EXPECT_EQ(refhost::DocumentText(session.Front()), states[i]) << "redo " << i;
        }
    }
    NSApp()->discardEvents();
    refhost::HostState::Instance().Reset();
}

// Every way of changing the clock shows in the palette: the slider and the drawer's three time
// fields follow a script's range and time, a jump back to the first time shown (the start),
// and typing into a field is not overwritten by frames while the clock stands still.
TEST(PaletteFieldsTest, EveryChangeOfTheClockShowsAndTypedValuesHold) {
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        session.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json");
        NSPanel& palette = session.Palette();
        ASSERT_FALSE(palette.drawers().empty());
        NSDrawer* drawer = palette.drawers().back();
        drawer->open();
        auto field = [&](long tag) {
            return dynamic_cast<NSTextField*>(drawer->contentView()->viewWithTag(tag));
        };
        NSTextField* start = field(10002);
        NSTextField* current = field(10003);
        NSTextField* end = field(10004);
        auto* slider = dynamic_cast<NSSlider*>(palette.contentView()->viewWithTag(1000));
        ASSERT_TRUE(start && current && end && slider);
        auto sliderAt = [&] {
            return (slider->doubleValue() - slider->minValue()) /
                   (slider->maxValue() - slider->minValue());
        };

        session.SetRange(0, 6);
        EXPECT_EQ(end->stringValue(), "6") << "a script's range shows";
        session.SetTime(3);
        EXPECT_EQ(current->stringValue(), "3");
        EXPECT_NEAR(sliderAt(), 0.5, 1e-3);
        session.SetRange(1, 5);
        EXPECT_EQ(start->stringValue(), "1");
        EXPECT_EQ(end->stringValue(), "5");
        EXPECT_NEAR(sliderAt(), 0.5, 1e-3) << "3 s in the middle of 1 to 5";
        // As the window's Home key does it: the host sets the time and the frames follow.
        session.SetTime(1);
        EXPECT_EQ(current->stringValue(), "1");
        EXPECT_NEAR(sliderAt(), 0, 1e-3);
        session.SetRange(0, 6);
        session.SetTime(0); // the time the palette first saw
        EXPECT_EQ(current->stringValue(), "0");
        EXPECT_NEAR(sliderAt(), 0, 1e-3) << "back at the start, the slider too";
        session.SetTime(4);

        // Typed slowly, a key a second while the loop runs its frames (and the plug-in its
        // idle events).
        auto typeSlowly = [&](NSTextField* into, std::vector<std::string> const& keys) {
            session.Click(into);
            for (std::string const& key : keys) {
                session.Type(into, key);
                for (int frame = 0; frame < 40; ++frame) {
                    session.Frame();
                }
            }
        };
        typeSlowly(current, {"2", ".", "5", "\r"});
        EXPECT_EQ(PL_GetCurTime(), 1500) << "2.5 s typed";
        EXPECT_EQ(current->stringValue(), "2.5");
        typeSlowly(end, {"8", "\r"});
        EXPECT_EQ(PL_GetMaxTime(), 4800);
        typeSlowly(start, {"0", ".", "5", "\r"});
        EXPECT_EQ(PL_GetMinTime(), 300);
        EXPECT_EQ(start->stringValue(), "0.5");
        EXPECT_NEAR(sliderAt(), (2.5 - 0.5) / (8 - 0.5), 1e-3);
    }
    NSApp()->discardEvents();
    refhost::HostState::Instance().Reset();
}

TEST(WindowUndoTest, UndoAfterTwoRecordingsLeavesOneThenNoneAndRedoPutsBack) {
    auto recordings = [](refhost::Document const& document) {
        CGroupObject selected(document.SelectedGroup());
        CSetObject crate{CShapeObject(selected.GetObjectAt(selected.GetFirstObject()))};
        if (!crate.Contains(GetCustomAttributeType(eTweenAttribute))) {
            return 0;
        }
        THandlePair block{};
        crate.GetData(GetCustomAttributeType(eTweenAttribute), &block);
        int32_t size = 0;
        std::memcpy(&size, *block.data, sizeof size);
        return size > 0 ? static_cast<int>((block.size - 8) / size) : 0;
    };
    {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        session.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json");
        NSView* content = session.Palette().contentView();
        NSButton* object = nullptr;
        for (NSView* view : content->subviews()) {
            if (auto* button = dynamic_cast<NSButton*>(view);
                button && button->title() == "Object") {
                object = button;
            }
        }
        ASSERT_NE(object, nullptr);
        session.Click(object);
        refhost::MoveSelection(session.Front(), CVector3D(1, 0, 0));
        session.Click(object);
        EXPECT_EQ(recordings(session.Front()), 2);
        EXPECT_TRUE(session.Undo());
        EXPECT_EQ(recordings(session.Front()), 1);
        EXPECT_TRUE(session.Undo());
        EXPECT_EQ(recordings(session.Front()), 0);
        EXPECT_FALSE(session.Undo());
        EXPECT_TRUE(session.Redo());
        EXPECT_EQ(recordings(session.Front()), 1);
        session.Click(object);
        EXPECT_FALSE(session.Redo()) << "a new recording clears what could be redone";
    }
    NSApp()->discardEvents();
    refhost::HostState::Instance().Reset();
}

} // namespace
