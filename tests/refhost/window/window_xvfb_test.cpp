// The real keypose-host in windows on a virtual display, driven by xdotool as a user drives
// it: select the crate in the 3D view, record, move the time, drag the crate, record again,
// drag a tween point in the timeline, mirror two points with R, save; then undo twice and
// redo once, saving under new names. The saved documents hold what was done. Screenshots
// of the display are kept in the build folder (window_test_artefacts/).
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "host/cocoa/cocoa.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/session/host_session.h"
#include "tween/tween_records.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A child process, ended when the object goes unless it has ended by itself (SIGTERM, then
// SIGKILL when that is not enough within two seconds).
class Child {
public:
    explicit Child(std::vector<std::string> const& argv) {
        std::vector<char*> args;
        for (auto const& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        if (posix_spawnp(&fPid, args[0], nullptr, nullptr, args.data(), environ) != 0) {
            fPid = 0;
        }
    }
    ~Child() {
        if (fPid > 0 && !Exited(0ms)) {
            kill(fPid, SIGTERM);
            if (!Exited(2000ms)) {
                kill(fPid, SIGKILL);
                waitpid(fPid, nullptr, 0);
            }
        }
    }
    Child(Child const&) = delete;
    Child& operator=(Child const&) = delete;
    bool Started() const { return fPid > 0; }
    // Whether it ended within the time; its status is then kept.
    bool Exited(std::chrono::milliseconds within) {
        if (fExited) {
            return true;
        }
        auto const until = std::chrono::steady_clock::now() + within;
        do {
            if (waitpid(fPid, &fStatus, WNOHANG) == fPid) {
                fExited = true;
                return true;
            }
            std::this_thread::sleep_for(20ms);
        } while (std::chrono::steady_clock::now() < until);
        return false;
    }
    int Status() const { return fStatus; }

private:
    pid_t fPid = 0;
    int fStatus = 0;
    bool fExited = false;
};

std::string Output(std::string const& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe)) {
            text += buffer;
        }
        pclose(pipe);
    }
    return text;
}

bool Shell(std::string const& command) {
    return std::system(command.c_str()) == 0;
}

// The records of the stored tween list of an object's attribute set.
std::vector<ObjectTweenRecord> CrateRecords(std::string const& path) {
    std::unique_ptr<refhost::Document> document = refhost::OpenDocument(path);
    std::vector<ObjectTweenRecord> records;
    for (OpaqueTQ3Object* which : {document->SelectedGroup(), document->OtherGroup()}) {
        CGroupObject group(which);
        for (auto* at = group.GetFirstObject(); at; at = group.NextPosition(at)) {
            CSetObject set{CShapeObject(group.GetObjectAt(at))};
            if (set.GetNameAttribute().ToString() != "Crate" ||
                !set.Contains(GetCustomAttributeType(eTweenAttribute))) {
                continue;
            }
            THandlePair block{};
            set.GetData(GetCustomAttributeType(eTweenAttribute), &block);
            int32_t size = 0;
            std::memcpy(&size, *block.data, sizeof size);
            EXPECT_EQ(size, static_cast<int32_t>(sizeof(ObjectTweenRecord)));
            for (int32_t off = 8; size > 0 && off + size <= block.size; off += size) {
                ObjectTweenRecord record;
                std::memcpy(&record, *block.data + off, sizeof record);
                records.push_back(record);
            }
        }
    }
    return records;
}

class WindowXvfbTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(fFolder);
        fs::create_directories(fFolder);
        fs::create_directories(fArtefacts);
        fs::copy_file(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json", Document());
    }
    void TearDown() override {
        NSApp()->discardEvents();
        refhost::HostState::Instance().Reset();
    }
    std::string Document() const { return (fFolder / "box.json").string(); }

    // A free display number with Xvfb on it; false when Xvfb cannot start.
    bool StartDisplay(std::string& why) {
        for (int number = 91; number < 120; ++number) {
            if (fs::exists("/tmp/.X11-unix/X" + std::to_string(number)) ||
                fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) {
                continue;
            }
            std::string const display = ":" + std::to_string(number);
            fXvfb = std::make_unique<Child>(std::vector<std::string>{
                "Xvfb", display, "-screen", "0", "1400x1000x24", "-nolisten", "tcp"});
            if (!fXvfb->Started()) {
                why = "Xvfb is not installed";
                return false;
            }
            for (int i = 0; i < 100; ++i) {
                if (fs::exists("/tmp/.X11-unix/X" + std::to_string(number))) {
                    setenv("DISPLAY", display.c_str(), 1);
                    return true;
                }
                if (fXvfb->Exited(50ms)) {
                    break;
                }
            }
            fXvfb.reset();
        }
        why = "no display number was free for Xvfb, or it did not start";
        return false;
    }

    // The screen position of a named window (its top left corner); (-1, -1) when it does
    // not show within ten seconds.
    NSPoint WindowAt(std::string const& name) {
        for (int attempt = 0; attempt < 50; ++attempt) {
            std::string const text = Output("xdotool search --onlyvisible --name '^" + name +
                                            "$' getwindowgeometry --shell 2>/dev/null");
            int x = -1, y = -1;
            std::istringstream in(text);
            std::string line;
            while (std::getline(in, line)) {
                std::sscanf(line.c_str(), "X=%d", &x);
                std::sscanf(line.c_str(), "Y=%d", &y);
            }
            if (x >= 0 && y >= 0) {
                return NSMakePoint(static_cast<float>(x), static_cast<float>(y));
            }
            std::this_thread::sleep_for(200ms);
        }
        return NSMakePoint(-1, -1);
    }

    // Where a point of a palette view lies on the display: the palette window shows the
    // panel's picture with its bottom left corner at the window's bottom left.
    std::pair<int, int> OnDisplay(NSView* view, NSPoint local) {
        NSWindow* window = view->window();
        NSPoint const w = view->convertPointToView(local, nullptr);
        int const height = static_cast<int>(std::lround(window->frame().size.height));
        return {static_cast<int>(fPalette.x) + static_cast<int>(std::floor(w.x)),
                static_cast<int>(fPalette.y) + height - 1 - static_cast<int>(std::floor(w.y))};
    }

    void Click(std::pair<int, int> at, std::string const& modifiers = {}) {
        std::string const hold = modifiers.empty() ? "" : " keydown " + modifiers;
        std::string const release = modifiers.empty() ? "" : " keyup " + modifiers;
        ASSERT_TRUE(Shell("xdotool mousemove " + std::to_string(at.first) + " " +
                          std::to_string(at.second) + hold + " click 1" + release));
        std::this_thread::sleep_for(300ms);
    }
    void Drag(std::pair<int, int> from, std::pair<int, int> to, int steps) {
        std::ostringstream command;
        command << "xdotool mousemove " << from.first << " " << from.second << " mousedown 1";
        for (int step = 1; step <= steps; ++step) {
            command << " sleep 0.05 mousemove "
                    << from.first + (to.first - from.first) * step / steps << " "
                    << from.second + (to.second - from.second) * step / steps;
        }
        command << " sleep 0.05 mouseup 1";
        ASSERT_TRUE(Shell(command.str()));
        std::this_thread::sleep_for(300ms);
    }
    // Keys typed with the pointer over the point (the display gives the keyboard to the
    // window under the pointer).
    void Keys(std::pair<int, int> over, std::string const& keys) {
        ASSERT_TRUE(Shell("xdotool mousemove " + std::to_string(over.first) + " " +
                          std::to_string(over.second) + " key --delay 60 " + keys));
        std::this_thread::sleep_for(400ms);
    }
    void Type(std::pair<int, int> over, std::string const& text) {
        ASSERT_TRUE(Shell("xdotool mousemove " + std::to_string(over.first) + " " +
                          std::to_string(over.second) + " type --delay 30 '" + text + "'"));
        std::this_thread::sleep_for(300ms);
    }
    void Screenshot(std::string const& name) {
        Shell("import -window root " + (fArtefacts / (name + ".png")).string());
    }

    fs::path fFolder = fs::path(::testing::TempDir()) / "keypose_window_xvfb";
    fs::path fArtefacts = fs::path(KEYPOSE_ARTEFACTS_DIR);
    std::unique_ptr<Child> fXvfb;
    NSPoint fPalette{};
};

// The timeline's layout as the palette draws it: time 0 lies 6 pixels from its left edge,
// 16 pixels a second at the first zoom, and rows are 14 pixels high under the ruler.
NSPoint TimelinePoint(NSView* timeline, int row, double seconds) {
    NSRect const frame = timeline->frame();
    return NSMakePoint(6 + static_cast<float>(seconds) * 16,
                       NSMaxY(frame) - static_cast<float>(row + 2) * 14 + 3);
}

NSButton* Titled(NSView* root, std::string const& title) {
    for (NSView* view : root->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == title) {
            return button;
        }
    }
    return nullptr;
}

} // namespace

TEST_F(WindowXvfbTest, PoseRecordEditSaveUndoAndRedoByHand) {
    std::string why;
    if (!StartDisplay(why)) {
        GTEST_SKIP() << "no virtual display: " << why;
    }
    ASSERT_TRUE(Shell("command -v xdotool >/dev/null"))
        << "xdotool is needed (scripts/packages.txt)";

    // The palette's layout, from the same module with the crate's row in it.
    refhost::HostSession layout(KEYPOSE_MODULE_PATH);
    layout.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json");
    NSView* content = layout.Palette().contentView();
    layout.Click(Titled(content, "Object"));
    NSView* timeline = content->viewWithTag(2000);
    ASSERT_NE(timeline, nullptr);

    // Under the sanitizers the program is checked for memory errors but not for leaks: SDL's
    // D-Bus connection keeps blocks for the life of the process that the fast unwinder cannot
    // trace to D-Bus (it has no frame pointers), and the exact one makes the program too slow
    // to follow the mouse. The session's own code is leak-checked in this test program.
    if (char const* asan = std::getenv("ASAN_OPTIONS"); asan && *asan) {
        setenv("ASAN_OPTIONS", (std::string(asan) + ":detect_leaks=0").c_str(), 1);
    }
    Child host({KEYPOSE_HOST_PATH, Document()});
    ASSERT_TRUE(host.Started());
    NSPoint const view = WindowAt("keypose-host");
    fPalette = WindowAt("Keypose Sequencer");
    NSPoint const inspector = WindowAt("Inspector");
    ASSERT_GE(view.x, 0) << "the 3D view's window did not show";
    ASSERT_GE(fPalette.x, 0) << "the palette's window did not show";
    ASSERT_GE(inspector.x, 0) << "the inspector's window did not show";
    std::this_thread::sleep_for(500ms);
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

    // Undo takes back the second recording (and the edits after it), then the drag of the
    // crate, then the first recording; redo puts the first back. Each state is saved under a
    // name typed into the inspector.
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
    ASSERT_EQ(once.size(), 1u);
    EXPECT_EQ(once[0].time, 0);
    EXPECT_NEAR(once[0].matrix.value[3][0], 0.0, 1e-4);
    EXPECT_EQ(CrateRecords((fFolder / "undone_twice.json").string()).size(), 1u);
    EXPECT_TRUE(CrateRecords((fFolder / "undone_thrice.json").string()).empty());
    EXPECT_EQ(CrateRecords((fFolder / "redone.json").string()).size(), 1u);
}
