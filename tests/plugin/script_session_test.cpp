// Whole sessions as a user works, written as scripts: the real module records object, camera,
// ambient and sun tween points from the palette's buttons, the timeline edits them, and the
// saved document holds them when it is opened again.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/gltf/script_interchange.h"
#include "refhost/script/script_runner.h"
#include "refhost/session/host_session.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"
#include "tests/support/scratch_folder.h"
#include "tween/tween_records.h"

namespace {

using refhost::HostState;

// The records of a stored tween list as the document keeps them: an 8-byte header whose
// first word is the record size, then the records.
std::vector<char const*> StoredRecords(CSetObject const& set) {
    std::vector<char const*> records;
    if (!set.Contains(GetCustomAttributeType(eTweenAttribute))) {
        return records;
    }
    THandlePair block{};
    set.GetData(GetCustomAttributeType(eTweenAttribute), &block);
    char const* bytes = *block.data;
    int32_t recordSize = 0;
    std::memcpy(&recordSize, bytes, sizeof recordSize);
    for (int32_t at = 8; recordSize > 0 && at + recordSize <= block.size; at += recordSize) {
        records.push_back(bytes + at);
    }
    return records;
}

// The times of a stored tween list, in seconds.
std::vector<double> Seconds(CSetObject const& set, double unitsPerSecond) {
    std::vector<double> times;
    for (char const* record : StoredRecords(set)) {
        times.push_back(reinterpret_cast<BaseTweenRecord const*>(record)->time / unitsPerSecond);
    }
    return times;
}

class ScriptSessionTest : public ::testing::Test {
protected:
    void TearDown() override {
        NSApp()->discardEvents();
        HostState::Instance().Reset();
        std::filesystem::remove_all(fFolder);
    }
    // Writes the script into a folder of its own and runs it; what it printed.
    std::string Run(std::string const& text) {
        std::filesystem::create_directories(fFolder);
        std::ofstream(fFolder / "take.ks") << text;
        std::ostringstream out;
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        refhost::RunScriptFile(session, fFolder / "take.ks", out);
        return out.str();
    }
    static std::string Example(char const* name) {
        return std::string(KEYPOSE_EXAMPLES_DIR) + "/" + name;
    }

    std::filesystem::path fFolder = keypose_test::ScratchFolder("keypose_script_session");
};

} // namespace

TEST_F(ScriptSessionTest, RecordEditSaveAndFindEverythingAgain) {
    std::string const out = Run("open " + Example("textured_box.json") + R"(
        range 0 10
        select Crate
        time 0
        press Object          # the crate at 0 s; the step moves on to 1 s
        press Camera          # 1 s
        press Ambient         # 2 s
        press Sun             # 3 s
        time 4
        move 2 0 0
        turn y 90
        press Object          # the crate at 4 s
        camera 0 5 10  0 0 0
        time 6
        press Camera          # 6 s; the step moves on to 7 s
        light sun brightness 0.4
        press Sun             # 7 s
        # The timeline's rows: camera, ambient light, sun light, crate.
        drag 3 4  3 5         # the crate's second point, a second later
        click 0 6             # the camera's point at 6 s ...
        key delete            # ... goes
        click 2 3             # the sun's first point and,
        click 2 7 shift       # with shift, its second
        key R                 # swap places in time: they mirror about their middle
        save animated.json
    )");
    EXPECT_NE(out.find("saved"), std::string::npos);

    std::unique_ptr<refhost::Document> reopened =
        refhost::OpenDocument((fFolder / "animated.json").string());
    double const u = reopened->clock.unitsPerSecond;
    CGroupObject selected(reopened->SelectedGroup());
    CGroupObject crate(selected, selected.GetFirstObject());
    EXPECT_EQ(Seconds(CSetObject(crate), u), (std::vector<double>{0, 5}));
    CViewObject view(reopened->CurrentView());
    EXPECT_EQ(Seconds(CSetObject(CCameraObject(view)), u), (std::vector<double>{1}));
    CLightGroupObject lights(view);
    std::vector<std::vector<double>> lightTimes;
    for (auto* at = lights.GetFirstObject(); at; at = lights.NextPosition(at)) {
        lightTimes.push_back(Seconds(CSetObject(CShapeObject(lights.GetObjectAt(at))), u));
    }
    EXPECT_EQ(lightTimes, (std::vector<std::vector<double>>{{2}, {3, 7}}))
        << "ambient at 2 s; the sun's two points mirrored (times swap, records too)";

    // Mirroring swapped the records: the sun's point at 3 s now holds the brightness recorded
    // at 7 s.
    CShapeObject sun(lights.GetObjectAt(lights.NextPosition(lights.GetFirstObject())));
    std::vector<char const*> const sunRecords = StoredRecords(CSetObject(sun));
    ASSERT_EQ(sunRecords.size(), 2u);
    auto brightness = [](char const* record) {
        TQ3LightData light{};
        std::memcpy(&light, reinterpret_cast<LightTweenRecord const*>(record)->lightData,
                    sizeof light);
        return light.brightness;
    };
    EXPECT_FLOAT_EQ(brightness(sunRecords[0]), 0.4f);
    EXPECT_FLOAT_EQ(brightness(sunRecords[1]), 0.9f);

    // The crate's second point holds the pose it was recorded with: 2 along x.
    std::vector<char const*> const records = StoredRecords(CSetObject(crate));
    ASSERT_EQ(records.size(), 2u);
    auto const* second = reinterpret_cast<ObjectTweenRecord const*>(records[1]);
    EXPECT_NEAR(second->matrix.value[3][0], 2, 1e-5);
}

// Each recording and each edit (here the move between them) is a step.
TEST_F(ScriptSessionTest, UndoTakesRecordingsBackOneByOne) {
    std::string const saved = (fFolder / "undone.json").string();
    Run("open " + Example("textured_box.json") + R"(
        select Crate
        time 0
        press Object
        move 1 0 0
        press Object
        undo
        save once.json
        undo
        undo
        save none.json
        redo
        redo
        save redone.json
    )");
    auto timesIn = [&](char const* file) {
        auto document = refhost::OpenDocument((fFolder / file).string());
        CGroupObject selected(document->SelectedGroup());
        return Seconds(CSetObject(CGroupObject(selected, selected.GetFirstObject())),
                       document->clock.unitsPerSecond);
    };
    EXPECT_EQ(timesIn("once.json"), (std::vector<double>{0}));
    EXPECT_EQ(timesIn("none.json"), (std::vector<double>{}));
    EXPECT_EQ(timesIn("redone.json"), (std::vector<double>{0})) << "the move is back, unrecorded";
    try {
        Run("new fresh.json Crate Crate\n");
        FAIL() << "two boxes of one name were made";
    } catch (refhost::ScriptError const& error) {
        EXPECT_NE(std::string(error.what()).find("take.ks:1: new: two boxes are called 'Crate'"),
                  std::string::npos)
            << error.what();
    }
}

TEST_F(ScriptSessionTest, ABadLineStopsTheScriptBeforeAnythingRuns) {
    try {
        Run("open " + Example("textured_box.json") + "\nsave early.json\nmove 1 2\n");
        FAIL() << "the bad line was accepted";
    } catch (refhost::ScriptError const& error) {
        EXPECT_NE(std::string(error.what()).find("take.ks:3: move: usage: move X Y Z"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(std::filesystem::exists(fFolder / "early.json")) << "nothing ran";
    try {
        Run("open " + Example("textured_box.json") + "\nselect Barrel\n");
        FAIL() << "an unknown object was selected";
    } catch (refhost::ScriptError const& error) {
        EXPECT_NE(std::string(error.what()).find("take.ks:2: select: no object is named 'Barrel'"),
                  std::string::npos)
            << error.what();
    }
}

// The clock keeps its start <= current <= end whatever a script asks, so every saved document
// opens again: a time outside the range is refused with the range, and a range moves the
// current time inside it.
TEST_F(ScriptSessionTest, TimesAndRangesKeepTheClockInOrder) {
    std::string const open = "open " + Example("textured_box.json") + "\nrange 0 10\n";
    auto refusal = [&](std::string const& lines) {
        try {
            Run(open + lines);
        } catch (refhost::ScriptError const& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_NE(refusal("time 20\nsave late.json")
                  .find("take.ks:3: time: 20 s is outside the range 0 s to 10 s"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(fFolder / "late.json"));
    EXPECT_NE(refusal("play -5").find("take.ks:3: play: word 1: '-5' is out of range"),
              std::string::npos);

    Run(open + "time 8\nrange 2 5\nsave narrowed.json\nrange 0 1e-6\nsave tiny.json");
    auto narrowed = refhost::OpenDocument((fFolder / "narrowed.json").string());
    double const perSecond = narrowed->clock.unitsPerSecond;
    EXPECT_EQ(narrowed->clock.minimum, 2 * perSecond);
    EXPECT_EQ(narrowed->clock.current, 5 * perSecond) << "the time moved in with the end";
    EXPECT_EQ(narrowed->clock.maximum, 5 * perSecond);
    auto tiny = refhost::OpenDocument((fFolder / "tiny.json").string());
    EXPECT_EQ(tiny->clock.maximum, 0);
    EXPECT_EQ(tiny->clock.current, 0);
}

// The transport buttons that carry no tag answer to their titles: each lands where setting
// the time by hand lands.
TEST_F(ScriptSessionTest, TheTransportButtonsAnswerToTheirTitles) {
    std::string const out = Run("open " + Example("crate_moves.json") +
                                "\ntime 1\npress Next\nshow Crate\ntime 3\nshow Crate\n"
                                "press End\nshow Crate\ntime 6\nshow Crate\n"
                                "press Previous\nshow Crate\ntime 3\nshow Crate\n"
                                "press Start\nshow Crate\ntime 0\nshow Crate\n");
    std::vector<std::string> shown;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Crate:", 0) == 0) {
            shown.push_back(line);
        }
    }
    ASSERT_EQ(shown.size(), 8u) << out;
    for (std::size_t i = 0; i < shown.size(); i += 2) {
        EXPECT_EQ(shown[i], shown[i + 1]) << "press " << i / 2;
    }
    EXPECT_NE(shown[0], shown[2]); // 3 s and 6 s are different poses
    EXPECT_NE(shown[2], shown[6]);
}

// A picture that cannot be written says why.
TEST_F(ScriptSessionTest, APictureThatCannotBeWrittenSaysWhy) {
    std::filesystem::create_directories(fFolder / "sub");
    try {
        Run("open " + Example("textured_box.json") + "\npalette sub\n");
        FAIL() << "a folder took a picture";
    } catch (refhost::ScriptError const& error) {
        EXPECT_NE(std::string(error.what()).find("sub: Is a directory"), std::string::npos)
            << error.what();
    }
}

// A long play keeps what it remembers bounded: the module's message log keeps its first
// messages and counts the rest.
TEST_F(ScriptSessionTest, ALongPlayRunsInConstantMemory) {
    std::filesystem::create_directories(fFolder);
    std::ofstream(fFolder / "take.ks")
        << "open " << Example("light_show.json") << "\nrange 0 10\nplay 4000\n";
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    std::ostringstream out;
    refhost::RunScriptFile(session, fFolder / "take.ks", out);
    EXPECT_EQ(session.Module().Log().size(), refhost::PlugInModule::kLogLimit);
    EXPECT_GT(session.Module().MessageCount(), refhost::PlugInModule::kLogLimit);
}

TEST_F(ScriptSessionTest, TheBundledAnimatedExamplesAreWhatTheirScriptsRecord) {
    std::filesystem::path const examples(KEYPOSE_EXAMPLES_DIR);
    std::filesystem::create_directories(fFolder);
    for (auto const& entry : std::filesystem::directory_iterator(examples)) {
        std::filesystem::copy(entry.path(), fFolder / entry.path().filename(),
                              std::filesystem::copy_options::overwrite_existing);
    }
    auto text = [](std::filesystem::path const& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    };
    int scripts = 0;
    for (auto const& entry : std::filesystem::directory_iterator(examples)) {
        if (entry.path().extension() != ".ks") {
            continue;
        }
        ++scripts;
        std::ostringstream out;
        {
            // The 3D view drawn headless, as the program's script mode draws it.
            std::unique_ptr<refhost::view3d::GlContext> context;
            std::unique_ptr<refhost::view3d::SceneRenderer> renderer;
            auto render = [&](int width, int height) {
                if (!renderer) {
                    context = refhost::view3d::GlContext::Headless();
                    renderer = std::make_unique<refhost::view3d::SceneRenderer>();
                }
                return renderer->Render(nullptr, width, height);
            };
            refhost::HostSession session(KEYPOSE_MODULE_PATH);
            // glTF comes from the program's own interchange, as script mode supplies it.
            refhost::RunScriptFile(session, fFolder / entry.path().filename(), out, render,
                                   refhost::gltf::ScriptInterchange());
        }
        HostState::Instance().Reset();
        std::filesystem::path const made =
            fFolder / entry.path().filename().replace_extension(".json");
        std::filesystem::path const bundled =
            examples / entry.path().filename().replace_extension(".json");
        EXPECT_EQ(text(made), text(bundled))
            << bundled << " is not what " << entry.path() << " records; remake the examples";
    }
    EXPECT_GE(scripts, 5);
}
