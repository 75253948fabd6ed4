// The real keypose-host in windows on a virtual display, as the window tests drive it: a
// fixture that starts Xvfb and the program on an example document, finds its windows and
// clicks, drags and types through xdotool (no shell between), with screenshots kept in the
// build folder (window_test_artefacts/); and helpers that read what a saved document holds.
#pragma once

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

namespace keypose_test {

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
inline bool Xdotool(std::vector<std::string> words) {
    words.insert(words.begin(), "xdotool");
    return keypose_host::RunProgram(words) == 0;
}

inline std::vector<std::string> MoveTo(std::pair<int, int> at) {
    return {"mousemove", std::to_string(at.first), std::to_string(at.second)};
}

inline std::vector<std::string> operator+(std::vector<std::string> a,
                                          std::vector<std::string> const& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The records of the stored tween list of an object's attribute set.
inline std::vector<ObjectTweenRecord> CrateRecords(std::string const& path) {
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

inline NSButton* Titled(NSView* root, std::string const& title) {
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
inline refhost::Rgb OnScreen(refhost::Bitmap const& shot, int x, int y) {
    return shot.at(x, shot.height() - 1 - y);
}

inline bool Black(refhost::Rgb const& pixel) {
    return pixel.red < 8 && pixel.green < 8 && pixel.blue < 8;
}

// The names of the objects a saved document has selected.
inline std::vector<std::string> SelectedNames(std::string const& path) {
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
inline NSPoint TimelinePoint(NSView* timeline, int row, double seconds) {
    NSRect const frame = timeline->frame();
    return NSMakePoint(kStartOffset + static_cast<float>(seconds) * 16,
                       NSMaxY(frame) - static_cast<float>((row + 2) * kDefaultTextHeight) + 3);
}

} // namespace keypose_test
