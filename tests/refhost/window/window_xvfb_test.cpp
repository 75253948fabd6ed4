// The real keypose-host in windows on a virtual display, driven by xdotool as a user drives
// it: select the crate in the 3D view, record, move the time, drag the crate, record again,
// drag a tween point in the timeline, mirror two points with R, save; then undo three times
// and redo once, saving under new names. The saved documents hold what was done. Screenshots
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
#include "refhost/app/child_process.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/session/host_session.h"
#include "refhost/toolkit/render.h"
#include "refhost/window/view_scene.h"
#include "tween/timeline_layout.h"
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

// xdotool with its commands as words, no shell between: whether it succeeded.
bool Xdotool(std::vector<std::string> words) {
    words.insert(words.begin(), "xdotool");
    return keypose_host::RunProgram(words) == 0;
}

std::vector<std::string> MoveTo(std::pair<int, int> at) {
    return {"mousemove", std::to_string(at.first), std::to_string(at.second)};
}

std::vector<std::string> operator+(std::vector<std::string> a, std::vector<std::string> const& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
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

NSButton* Titled(NSView* root, std::string const& title) {
    for (NSView* view : root->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == title) {
            return button;
        }
    }
    return nullptr;
}

class WindowXvfbTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(fFolder);
        fs::create_directories(fFolder);
        fs::create_directories(fArtefacts);
        fs::copy_file(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json", Document());
        std::string why;
        if (!StartDisplay(why)) {
            GTEST_SKIP() << "no virtual display: " << why;
        }
        ASSERT_TRUE(keypose_host::FindProgram("xdotool"))
            << "xdotool is needed (scripts/packages.txt)";
    }
    void TearDown() override {
        fLayout.reset();
        std::error_code ignored;
        fs::remove_all(fFolder, ignored);
        NSApp()->discardEvents();
        refhost::HostState::Instance().Reset();
    }
    std::string Document() const { return (fFolder / "box.json").string(); }
    // The title of one of the program's windows on the document, edited or not (a pattern).
    static std::string Title(std::string const& window) { return "\\*?box\\.json - " + window; }
    // Whether a window of exactly this title shows.
    bool Shows(std::string const& title) {
        return !keypose_host::ProgramOutput(
                    {"xdotool", "search", "--onlyvisible", "--name", "^" + title + "$"})
                    .value_or("")
                    .empty();
    }

    // A free display number with Xvfb on it; false when Xvfb cannot start.
    bool StartDisplay(std::string& why) {
        // Test programs running side by side start their search at numbers of their own, so
        // that two seldom race for the same free number.
        int const first = 91 + static_cast<int>(getpid() % 200);
        for (int number = first; number < first + 30; ++number) {
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
                    // The display answers, and it is this Xvfb's: one that lost the number to
                    // another test program's server exits.
                    setenv("DISPLAY", display.c_str(), 1);
                    bool answers = false;
                    for (int probe = 0; probe < 20 && !answers; ++probe) {
                        answers = keypose_host::RunProgram({"xdotool", "getdisplaygeometry"}) == 0;
                        if (!answers) {
                            std::this_thread::sleep_for(100ms);
                        }
                    }
                    if (answers && !fXvfb->Exited(200ms)) {
                        return true;
                    }
                    break;
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
            std::string const text =
                keypose_host::ProgramOutput({"xdotool", "search", "--onlyvisible", "--name",
                                             "^" + name + "$", "getwindowgeometry", "--shell"})
                    .value_or("");
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

    // The same for a view of the panel or of its open drawer: the window shows the picture of
    // both, whose top left corner lies at the window's.
    std::pair<int, int> OnPicture(NSWindow& panel, NSView* view, NSPoint local) {
        NSRect picture = panel.frame();
        for (NSDrawer* drawer : panel.drawers()) {
            if (drawer->state() == NSDrawerOpenState) {
                picture = NSUnionRect(picture, drawer->drawerWindow()->frame());
            }
        }
        NSPoint const w = view->convertPointToView(local, nullptr);
        NSPoint const origin = view->window()->frame().origin;
        return {static_cast<int>(fPalette.x) +
                    static_cast<int>(std::floor(w.x + origin.x - picture.origin.x)),
                static_cast<int>(fPalette.y) + static_cast<int>(NSMaxY(picture)) - 1 -
                    static_cast<int>(std::floor(w.y + origin.y))};
    }
    // How many pixels differ between two screenshots in a rectangle of the palette's window.
    int PaletteDifference(refhost::Bitmap const& a, refhost::Bitmap const& b, int left, int top,
                          int width, int height) const {
        int differing = 0;
        for (int y = top; y < top + height; ++y) {
            for (int x = left; x < left + width; ++x) {
                int const sx = static_cast<int>(fPalette.x) + x;
                int const sy = static_cast<int>(fPalette.y) + y;
                refhost::Rgb const p = a.at(sx, a.height() - 1 - sy);
                refhost::Rgb const q = b.at(sx, b.height() - 1 - sy);
                differing += p.red != q.red || p.green != q.green || p.blue != q.blue;
            }
        }
        return differing;
    }

    void Click(std::pair<int, int> at, std::string const& modifiers = {}) {
        std::vector<std::string> const hold = modifiers.empty()
                                                  ? std::vector<std::string>{}
                                                  : std::vector<std::string>{"keydown", modifiers};
        std::vector<std::string> const release = modifiers.empty()
                                                     ? std::vector<std::string>{}
                                                     : std::vector<std::string>{"keyup", modifiers};
        ASSERT_TRUE(Xdotool(MoveTo(at) + hold + std::vector<std::string>{"click", "1"} + release));
        std::this_thread::sleep_for(300ms);
    }
    void Drag(std::pair<int, int> from, std::pair<int, int> to, int steps) {
        std::vector<std::string> command =
            MoveTo(from) + std::vector<std::string>{"mousedown", "1"};
        for (int step = 1; step <= steps; ++step) {
            command = command + std::vector<std::string>{"sleep", "0.05"} +
                      MoveTo({from.first + (to.first - from.first) * step / steps,
                              from.second + (to.second - from.second) * step / steps});
        }
        command = command + std::vector<std::string>{"sleep", "0.05", "mouseup", "1"};
        ASSERT_TRUE(Xdotool(command));
        std::this_thread::sleep_for(300ms);
    }
    // Keys typed with the pointer over the point (the display gives the keyboard to the
    // window under the pointer).
    void Keys(std::pair<int, int> over, std::string const& keys) {
        std::vector<std::string> command =
            MoveTo(over) + std::vector<std::string>{"key", "--delay", "60"};
        std::istringstream names(keys);
        for (std::string name; names >> name;) {
            command.push_back(name);
        }
        ASSERT_TRUE(Xdotool(command));
        std::this_thread::sleep_for(400ms);
    }
    void Type(std::pair<int, int> over, std::string const& text) {
        ASSERT_TRUE(
            Xdotool(MoveTo(over) + std::vector<std::string>{"type", "--delay", "30", text}));
        std::this_thread::sleep_for(300ms);
    }
    // The display as it shows now, kept among the artefacts.
    refhost::Bitmap Screenshot(std::string const& name) {
        std::string const path = (fArtefacts / (name + ".png")).string();
        keypose_host::RunProgram({"import", "-window", "root", path});
        std::optional<refhost::Bitmap> picture = refhost::Bitmap::readPng(path);
        return picture ? std::move(*picture) : refhost::Bitmap(0, 0, NSZeroPoint);
    }
    void Resize(std::string const& name, int width, int height) {
        ASSERT_TRUE(Xdotool({"search", "--onlyvisible", "--name", "^" + name + "$", "windowsize",
                             std::to_string(width), std::to_string(height)}));
        std::this_thread::sleep_for(800ms);
    }
    std::string FileText(std::string const& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Starts the program on the document and finds its windows.
    std::unique_ptr<Child> StartHost() {
        // Under the sanitizers the program is checked for memory errors but not for leaks:
        // SDL's D-Bus connection keeps blocks for the life of the process that the fast
        // unwinder cannot trace to D-Bus (it has no frame pointers), and the exact one makes
        // the program too slow to follow the mouse. The session's own code is leak-checked in
        // this test program.
        if (char const* asan = std::getenv("ASAN_OPTIONS");
            asan && *asan && !std::strstr(asan, "detect_leaks=0")) {
            setenv("ASAN_OPTIONS", (std::string(asan) + ":detect_leaks=0").c_str(), 1);
        }
        auto host =
            std::make_unique<Child>(std::vector<std::string>{KEYPOSE_HOST_PATH, Document()});
        fView = WindowAt(Title("keypose-host"));
        fPalette = WindowAt(Title("Keypose Sequencer"));
        fInspector = WindowAt(Title("Inspector"));
        // The 3D view takes the keyboard once its windows show; keys sent before would go
        // nowhere (a slow build, under the sanitizers, shows the gap).
        for (int attempt = 0; attempt < 50; ++attempt) {
            std::string const focused =
                keypose_host::ProgramOutput({"xdotool", "getwindowfocus", "getwindowname"})
                    .value_or("");
            if (focused.find("keypose-host") != std::string::npos) {
                break;
            }
            std::this_thread::sleep_for(100ms);
        }
        std::this_thread::sleep_for(500ms);
        return host;
    }
    // The palette's layout (its content view), from the same module with the crate's row in
    // it, to find where its controls and the timeline's points show.
    NSView* PaletteLayout() {
        fLayout = std::make_unique<refhost::HostSession>(KEYPOSE_MODULE_PATH);
        fLayout->Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/textured_box.json");
        NSView* content = fLayout->Palette().contentView();
        fLayout->Click(Titled(content, "Object"));
        return content;
    }
    std::pair<int, int> InView(int x, int y) const {
        return {static_cast<int>(fView.x) + x, static_cast<int>(fView.y) + y};
    }

    fs::path fFolder =
        fs::path(::testing::TempDir()) / ("keypose_window_xvfb_" + std::to_string(getpid()));
    fs::path fArtefacts = fs::path(KEYPOSE_ARTEFACTS_DIR);
    std::unique_ptr<Child> fXvfb;
    std::unique_ptr<refhost::HostSession> fLayout;
    NSPoint fView{};
    NSPoint fPalette{};
    NSPoint fInspector{};
};

// A pixel of a screenshot, (x, y) from the display's top left.
refhost::Rgb OnScreen(refhost::Bitmap const& shot, int x, int y) {
    return shot.at(x, shot.height() - 1 - y);
}

bool Black(refhost::Rgb const& pixel) {
    return pixel.red < 8 && pixel.green < 8 && pixel.blue < 8;
}

// The names of the objects a saved document has selected.
std::vector<std::string> SelectedNames(std::string const& path) {
    std::unique_ptr<refhost::Document> document = refhost::OpenDocument(path);
    std::vector<std::string> names;
    CGroupObject group(document->SelectedGroup());
    for (auto* at = group.GetFirstObject(); at; at = group.NextPosition(at)) {
        names.push_back(
            CSetObject{CShapeObject(group.GetObjectAt(at))}.GetNameAttribute().ToString());
    }
    return names;
}

// The timeline's layout as the palette draws it (tween/timeline_layout.h), at the first zoom
// of 16 pixels a second; rows lie under the ruler.
NSPoint TimelinePoint(NSView* timeline, int row, double seconds) {
    NSRect const frame = timeline->frame();
    return NSMakePoint(kStartOffset + static_cast<float>(seconds) * 16,
                       NSMaxY(frame) - static_cast<float>((row + 2) * kDefaultTextHeight) + 3);
}

} // namespace

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
