// keypose-host: opens a document, loads the KeyposeSequencer module and runs it the way the
// host application does: every frame the clock moves on and the plug-in hears of it.
//
//   keypose-host [options] DOCUMENT
//     --plugin PATH       the plug-in module (default: the one built beside this program)
//     --demo              record the selection at 0 s, turn and move it, record it at 5 s
//                         from the palette's Object button, then play from the start
//     --play SECONDS      play forward for this long (30 frames a second)
//     --palette-png PATH  save a picture of the palette (with its drawer open)
//     --save PATH         save the document when done
//     --log               print every message sent to the plug-in and its result
//     --help              print this usage and stop
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/plugin_host/host_loop.h"
#include "refhost/plugin_host/plugin_module.h"
#include "refhost/toolkit/render.h"

namespace {

using refhost::HostState;

struct Options {
    std::string document;
    std::string plugIn = KEYPOSE_DEFAULT_MODULE;
    bool demo = false;
    double playSeconds = 0;
    std::string palettePng;
    std::string savePath;
    bool log = false;
};

constexpr char kUsage[] = "usage: keypose-host [--plugin PATH] [--demo] [--play SECONDS]"
                          " [--palette-png PATH] [--save PATH] [--log] [--help] DOCUMENT\n";
// A day of frames is more than any session plays.
constexpr double kMostSecondsToPlay = 24 * 60 * 60;

[[noreturn]] void Usage(std::string const& why) {
    std::cerr << "keypose-host: " << why << "\n" << kUsage;
    std::exit(2);
}

// The seconds of --play: a whole decimal number from 0 to a day, nothing else.
double PlaySeconds(std::string const& text) {
    double seconds = 0;
    char const* end = text.data() + text.size();
    auto const [stop, error] = std::from_chars(text.data(), end, seconds);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(seconds) ||
        seconds < 0 || seconds > kMostSecondsToPlay) {
        Usage("--play needs a number of seconds from 0 to " +
              std::to_string(static_cast<int>(kMostSecondsToPlay)) + ", not \"" + text + "\"");
    }
    return seconds;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    std::vector<std::string> const args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) {
                Usage(args[i] + " needs a value");
            }
            return args[++i];
        };
        if (args[i] == "--help" || args[i] == "-h") {
            std::cout << kUsage;
            std::exit(0);
        } else if (args[i] == "--plugin") {
            options.plugIn = value();
        } else if (args[i] == "--demo") {
            options.demo = true;
        } else if (args[i] == "--play") {
            options.playSeconds = PlaySeconds(value());
        } else if (args[i] == "--palette-png") {
            options.palettePng = value();
        } else if (args[i] == "--save") {
            options.savePath = value();
        } else if (args[i] == "--log") {
            options.log = true;
        } else if (!args[i].empty() && args[i][0] == '-') {
            Usage("unknown option " + args[i]);
        } else if (options.document.empty()) {
            options.document = args[i];
        } else {
            Usage("one document at a time");
        }
    }
    if (options.document.empty()) {
        Usage("no document given");
    }
    return options;
}

NSButton* ButtonTitled(NSView* root, std::string const& title) {
    for (NSView* view : root->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == title) {
            return button;
        }
    }
    return nullptr;
}

// A click in the middle of a palette control, as the window backend delivers it.
void Click(NSView* view) {
    if (!view || !view->window()) {
        return;
    }
    NSRect const frame = view->convertRectToView(view->bounds(), nullptr);
    for (NSEventType type : {NSEventType::leftMouseDown, NSEventType::leftMouseUp}) {
        NSApp()->postEvent(NSEvent::mouseEventWithType(type, {NSMidX(frame), NSMidY(frame)}, 0,
                                                       view->window()->windowNumber()),
                           false);
    }
    NSApp()->processPendingEvents();
}

// The first selected group, the one the demo animates.
std::optional<CGroupObject> FirstSelected(refhost::Document const& document) {
    CGroupObject selected(document.SelectedGroup());
    OpaqueTQ3GroupPosition* first = selected.GetFirstObject();
    if (!first || !CSharedObject(selected, first).IsAGroup()) {
        return std::nullopt;
    }
    return CGroupObject(selected, first);
}

std::string Placement(refhost::Document const& document) {
    std::optional<CGroupObject> group = FirstSelected(document);
    if (!group) {
        return "-";
    }
    OpaqueTQ3GroupPosition* at = group->GetFirstObjectOfType("xfrm"_4cc);
    if (!at) {
        return "no transform";
    }
    CMatrix4x4 const m = CTransformObject(*group, at).GetMatrix();
    char text[96];
    std::snprintf(text, sizeof text, "x %.3f  y %.3f  z %.3f  turned %.1f degrees", m.value[3][0],
                  m.value[3][1], m.value[3][2],
                  std::atan2(m.value[0][2], m.value[0][0]) * -180.0 / M_PI);
    return text;
}

void Demo(refhost::Document& document, refhost::HostLoop& loop, NSPanel& palette) {
    std::optional<CGroupObject> group = FirstSelected(document);
    if (!group || !group->GetFirstObjectOfType("xfrm"_4cc)) {
        throw std::runtime_error("the demo needs a selected group with a transform");
    }
    NSView* content = palette.contentView();
    PL_SetCurTime(PL_GetMinTime());
    Click(ButtonTitled(content, "Object"));
    std::cout << "recorded at 0 s:   " << Placement(document) << "\n";
    CMatrix4x4 turn(1.0);
    float const c = std::cos(static_cast<float>(M_PI / 2)),
                s = std::sin(static_cast<float>(M_PI / 2));
    turn.value[0][0] = c;
    turn.value[0][2] = -s;
    turn.value[2][0] = s;
    turn.value[2][2] = c;
    turn.value[3][0] = 2;
    CTransformObject(*group, group->GetFirstObjectOfType("xfrm"_4cc)).SetData(turn);
    PL_SetCurTime(5 * static_cast<int32_t>(PL_GetTimeUnitsPerSecond()));
    Click(ButtonTitled(content, "Object"));
    std::cout << "recorded at 5 s:   " << Placement(document) << "\n";
    loop.Frame(1.0 / 30);
    PL_SetCurTime(PL_GetMinTime());
    loop.Frame(1.0 / 30);
}

void Play(refhost::Document& document, refhost::HostLoop& loop, NSPanel& palette, double seconds) {
    Click(palette.contentView()->viewWithTag(1005));
    int const frames = static_cast<int>(std::lround(seconds * 30));
    for (int frame = 1; frame <= frames; ++frame) {
        loop.Frame(1.0 / 30);
        if (frame % 30 == 0) {
            std::printf("%5.2f s  %s\n", PL_GetCurTime() / double(PL_GetTimeUnitsPerSecond()),
                        Placement(document).c_str());
        }
    }
    Click(palette.contentView()->viewWithTag(1004));
}

int Run(Options const& options) {
    int result = 0;
    InitCustomAttributeGlobals();
    refhost::UseDocumentTextForUndo();
    HostState& host = HostState::Instance();
    refhost::Document& document = host.Open(refhost::OpenDocument(options.document));
    std::cout << "opened " << options.document << "\n";
    {
        refhost::PlugInModule module(options.plugIn);
        refhost::HostLoop loop(module);
        loop.DocumentOpened();
        loop.Frame(1.0 / 30);
        if (host.paletteMenu.empty()) {
            throw std::runtime_error("the plug-in showed no palette");
        }
        NSPanel& palette = *host.paletteMenu.front().panel;
        std::cout << "loaded " << options.plugIn << ", palette \"" << host.paletteMenu.front().name
                  << "\"\n";
        if (options.demo) {
            Demo(document, loop, palette);
        }
        if (options.playSeconds > 0) {
            Play(document, loop, palette, options.playSeconds);
        }
        if (!options.palettePng.empty()) {
            for (NSDrawer* drawer : palette.drawers()) {
                drawer->open();
            }
            // A picture that cannot be written is reported, and the session goes on to save.
            if (refhost::RenderWindow(palette).writePng(options.palettePng)) {
                std::cout << "palette picture: " << options.palettePng << "\n";
            } else {
                std::cerr << "keypose-host: " << options.palettePng
                          << ": the palette picture cannot be written\n";
                result = 1;
            }
        }
        if (options.log) {
            for (refhost::MessageLogEntry const& entry : module.Log()) {
                std::printf("message %2u  data 0x%06x -> result %d, data 0x%x\n", entry.message,
                            entry.dataIn, entry.result, entry.dataOut);
            }
        }
        std::cout << module.Log().size() << " messages, " << loop.animateEvents
                  << " animate events\n";
    }
    if (!options.savePath.empty()) {
        refhost::SaveDocument(document, options.savePath);
        std::cout << "saved " << options.savePath << "\n";
    }
    return result;
}

} // namespace

int main(int argc, char** argv) {
    Options const options = ParseOptions(argc, argv);
    int result = 1;
    try {
        result = Run(options);
    } catch (std::exception const& error) {
        std::cerr << "keypose-host: " << error.what() << "\n";
    }
    // The documents go while the memory blocks they hold can still be given back: the
    // host's state would otherwise outlive the block registry.
    HostState::Instance().Reset();
    return result;
}
