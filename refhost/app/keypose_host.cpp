// keypose-host: opens a document, loads the KeyposeSequencer module and runs it the way the
// host application does: every frame the clock moves on and the plug-in hears of it.
//
//   keypose-host DOCUMENT              open the document in windows, to work on by hand
//   keypose-host [options] DOCUMENT    open, optionally record the demo, play, picture, save
//   keypose-host run SCRIPT            run a script of user actions
//   keypose-host render DOCUMENT --out DIR [--from S] [--to S] [--fps N] [--size WxH]
//                                      [--video FILE]   frames of the 3D view and the palette
//
// `keypose-host --help` and `keypose-host run --help` say more.
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <iostream>

#include "refhost/app/modes.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/plugin_host/plugin_module.h"
#include "refhost/script/script.h"

namespace {

using namespace keypose_host;

// The program's boundary: a failure is reported with its file and reason, and the status
// says so.
// The host's documents go before the program ends, while the memory blocks they hold can
// still be given back.
template <typename Mode>
int Guarded(Mode const& mode) {
    int status = 1;
    try {
        status = mode();
    } catch (std::exception const& error) {
        std::cerr << "keypose-host: " << error.what() << "\n";
    }
    refhost::HostState::Instance().Reset();
    return status;
}

// A number of seconds, 0 or more.
CLI::Validator const kSeconds(
    [](std::string& text) -> std::string {
        try {
            std::size_t used = 0;
            double const value = std::stod(text, &used);
            if (used == text.size() && value >= 0 && std::isfinite(value)) {
                return {};
            }
        } catch (std::exception const&) {
        }
        return "'" + text + "' is not a number of seconds (0 or more)";
    },
    "SECONDS");

// A length of play: 0 to a day.
CLI::Validator const kPlaySeconds(
    [](std::string& text) -> std::string {
        try {
            std::size_t used = 0;
            double const value = std::stod(text, &used);
            if (used == text.size() && value >= 0 && value <= 86400) {
                return {};
            }
        } catch (std::exception const&) {
        }
        return "'" + refhost::ShownWord(text) + "' is not a number of seconds from 0 to 86400";
    },
    "SECONDS");

CLI::Validator const kFilePath(
    [](std::string& text) -> std::string {
        return text.empty() ? "an empty name is no file" : std::string();
    },
    "PATH");

// A picture size, WIDTHxHEIGHT, each 1 to 8192 pixels.
bool ParseSize(std::string const& text, int& width, int& height) {
    char x = 0;
    char rest = 0;
    return std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) == 3 &&
           (x == 'x' || x == 'X') && width >= 1 && height >= 1 && width <= 8192 && height <= 8192;
}

CLI::Validator const kSize(
    [](std::string& text) -> std::string {
        int width = 0;
        int height = 0;
        return ParseSize(text, width, height)
                   ? std::string()
                   : "'" + text + "' is not a size WIDTHxHEIGHT of 1 to 8192 pixels";
    },
    "WxH");

CLI::Validator const kFrameRate(
    [](std::string& text) -> std::string {
        try {
            std::size_t used = 0;
            double const value = std::stod(text, &used);
            if (used == text.size() && value > 0 && value <= 240) {
                return {};
            }
        } catch (std::exception const&) {
        }
        return "'" + text + "' is not a frame rate (more than 0, at most 240)";
    },
    "FPS");

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Runs the KeyposeSequencer plug-in in the reference host."};
    app.require_subcommand(0, 1);
    std::string plugIn = KEYPOSE_DEFAULT_MODULE;
    app.add_option("--plugin", plugIn, "the plug-in module")->check(CLI::ExistingFile);

    DocumentOptions document;
    app.add_option("document", document.document, "the document to open")->check(CLI::ExistingFile);
    app.add_flag("--demo", document.demo,
                 "record the selection at 0 s, turn and move it, record it at 5 s, from the "
                 "palette's Object button");
    CLI::Option* play =
        app.add_option("--play", document.playSeconds, "play forward for this many seconds")
            ->check(kPlaySeconds);
    app.add_option("--palette-png", document.palettePng,
                   "save a picture of the palette (its drawer open)");
    app.add_option("--save", document.savePath, "save the document when done")->check(kFilePath);
    app.add_flag("--log", document.log, "print every message sent to the plug-in");

    ScriptOptions script;
    CLI::App* run = app.add_subcommand("run", "run a script of user actions");
    run->add_option("script", script.script, "the script")->required()->check(CLI::ExistingFile);

    RenderOptions render;
    std::string size = "640x480";
    CLI::App* draw = app.add_subcommand(
        "render",
        "play a document frame by frame and write its frames, a contact sheet and a video");
    draw->add_option("document", render.document, "the document")
        ->required()
        ->check(CLI::ExistingFile);
    draw->add_option("--out", render.out, "the folder for the frames")->required();
    draw->add_option("--from", render.from, "the first frame's time (the range's start)")
        ->check(kSeconds);
    draw->add_option("--to", render.to, "the last frame's time (the range's end)")->check(kSeconds);
    draw->add_option("--fps", render.fps, "frames a second (10)")->check(kFrameRate);
    draw->add_option("--size", size, "the 3D view's size (640x480)")->check(kSize);
    draw->add_option("--video", render.video, "also a video (needs ffmpeg)");

    try {
        app.parse(argc, argv);
    } catch (CLI::ParseError const& error) {
        // Help asked for is no error; anything else the command line got wrong is a usage
        // error, status 2, said with the option and the reason.
        return app.exit(error) == 0 ? 0 : 2;
    }
    document.plugIn = plugIn;
    script.plugIn = plugIn;
    if (run->parsed()) {
        return Guarded([&] { return RunScript(script); });
    }
    if (draw->parsed()) {
        render.plugIn = plugIn;
        ParseSize(size, render.width, render.height);
        return Guarded([&] { return RunRender(render); });
    }
    if (document.document.empty()) {
        std::cerr << "keypose-host: no document given\n" << app.help();
        return 2;
    }
    // Any option of document mode, --play 0 and --save "" included, chooses it over the
    // windows (where an empty --save is then refused).
    bool const headless = document.demo || play->count() > 0 || !document.palettePng.empty() ||
                          !document.savePath.empty() || app.count("--save") > 0;
    if (!headless) {
        return Guarded([&] { return RunWindowMode({document.document, plugIn}); });
    }
    return Guarded([&] { return RunDocument(document); });
}
