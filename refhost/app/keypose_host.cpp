// keypose-host: opens a document, loads the KeyposeSequencer module and runs it the way the
// host application does: every frame the clock moves on and the plug-in hears of it.
//
//   keypose-host DOCUMENT              open the document in windows, to work on by hand
//   keypose-host [options] DOCUMENT    open, optionally record the demo, play, picture, save
//   keypose-host run SCRIPT            run a script of user actions
//   keypose-host new OUT.json [--box NAME]...   a new document with a camera, lights, boxes
//   keypose-host render DOCUMENT --out DIR [--from S] [--to S] [--fps N] [--size WxH]
//                [--video FILE] [--no-palette] [--frames A-B]
//                                      frames of the 3D view and the palette
//   keypose-host sheet DIR [--video FILE] the contact sheet and video of a folder of frames
//   keypose-host export DOCUMENT OUT.glb|OUT.gltf [--fps N]   the document as glTF
//   keypose-host import MODEL.glb|MODEL.gltf OUT.json           a glTF model as a document
//
// `keypose-host --help` and `keypose-host run --help` say more.
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>

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

// A validator of a render option's value: the parse function's refusal is the message.
template <typename Parse>
CLI::Validator Checked(Parse parse, char const* name) {
    return CLI::Validator(
        [parse](std::string& text) -> std::string {
            try {
                parse(text);
                return {};
            } catch (std::invalid_argument const& error) {
                return error.what();
            }
        },
        name);
}

CLI::Validator const kSize = Checked(ParseSize, "WxH");
CLI::Validator const kFrameRate = Checked(ParseFrameRate, "FPS");
CLI::Validator const kRenderSeconds = Checked(ParseSeconds, "SECONDS");
CLI::Validator const kFrameSpan = Checked(ParseFrameSpan, "A-B");

// What the render's options ask that cannot be done, whatever the document holds; empty when
// nothing.
std::string RenderUsageError(RenderOptions const& render) {
    if (render.out.empty() && !render.countOnly) {
        return "--out is required";
    }
    if (render.from && render.to && *render.to < *render.from) {
        std::ostringstream refusal;
        refusal << "--from " << *render.from << " lies after --to " << *render.to
                << ": the render would end before it starts";
        return refusal.str();
    }
    return {};
}

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

    NewOptions fresh;
    CLI::App* made = app.add_subcommand(
        "new", "write a new document: a view with its camera, ambient and sun lights, and boxes");
    made->add_option("out", fresh.out, "the document's file")->required();
    made->add_option("--box", fresh.boxes, "a box of this name (the option repeats)");
    made->add_flag("--replace", fresh.replace, "write over an existing file");

    RenderOptions render;
    std::string size = "640x480";
    CLI::App* draw = app.add_subcommand(
        "render",
        "play a document frame by frame and write its frames, a contact sheet and a video");
    draw->add_option("document", render.document, "the document")
        ->required()
        ->check(CLI::ExistingFile);
    draw->add_option("--out", render.out,
                     "the folder for the frames (required but with --frame-count)");
    draw->add_option("--from", render.from, "the first frame's time (the range's start)")
        ->check(kRenderSeconds);
    draw->add_option("--to", render.to, "the last frame's time (the range's end)")
        ->check(kRenderSeconds);
    draw->add_option("--fps", render.fps, "frames a second (10)")->check(kFrameRate);
    draw->add_option("--size", size, "the 3D view's size (640x480)")->check(kSize);
    draw->add_option("--video", render.video, "also a video (needs ffmpeg)");
    bool noPalette = false;
    draw->add_flag("--no-palette", noPalette, "no palette_NNNN.png beside each frame");
    std::string frames;
    draw->add_option("--frames", frames,
                     "only frames A to B of the range (numbered from 0 at its start), named as "
                     "the whole render names them; no contact sheet")
        ->check(kFrameSpan);
    draw->add_flag("--frame-count", render.countOnly,
                   "print the number of frames of the range and render nothing");
    draw->add_flag("--paths", render.aids.paths, "motion paths of the selected objects");
    draw->add_flag("--ghosts", render.aids.ghosts,
                   "the selection faintly at its tween points around each frame's time");
    draw->add_flag("--grid", render.aids.grid, "the ground's grid and the axis triad");
    draw->add_flag("--hud", render.aids.hud, "each frame's time, the range and the frame rate");
    draw->add_option("--samples", render.samples, "samples a pixel, for smooth edges (4)")
        ->check(CLI::Range(1, 64));

    SheetOptions sheet;
    CLI::App* gather = app.add_subcommand(
        "sheet", "the contact sheet and the video of a folder of frames rendered in parts");
    gather->add_option("folder", sheet.folder, "the folder of view_NNNN.png frames")
        ->required()
        ->check(CLI::ExistingDirectory);
    gather->add_option("--video", sheet.video, "also a video (needs ffmpeg)");
    gather->add_option("--fps", sheet.fps, "the video's frames a second (the render's)")
        ->check(kFrameRate);

    ExportOptions exporting;
    CLI::App* exportApp = app.add_subcommand("export", "write the document as glTF 2.0");
    exportApp->add_option("document", exporting.document, "the document")
        ->required()
        ->check(CLI::ExistingFile);
    exportApp->add_option("out", exporting.out, "the glTF file (.glb or .gltf)")->required();
    exportApp->add_option("--fps", exporting.fps, "samples a second of what is sampled (30)")
        ->check(kFrameRate);

    ImportOptions importing;
    CLI::App* importApp = app.add_subcommand("import", "make a document of a glTF 2.0 model");
    importApp->add_option("model", importing.model, "the glTF model (.glb or .gltf)")
        ->required()
        ->check(CLI::ExistingFile);
    importApp->add_option("out", importing.out, "the document to write")->required();

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
    if (made->parsed()) {
        return Guarded([&] { return RunNew(fresh); });
    }
    if (draw->parsed()) {
        render.plugIn = plugIn;
        render.palette = !noPalette;
        FrameSize const frameSize = ParseSize(size);
        render.width = frameSize.width;
        render.height = frameSize.height;
        if (!frames.empty()) {
            render.frames = ParseFrameSpan(frames);
        }
        if (std::string const refusal = RenderUsageError(render); !refusal.empty()) {
            std::cerr << "keypose-host render: " << refusal << "\n";
            return 2;
        }
        return Guarded([&] { return RunRender(render); });
    }
    if (gather->parsed()) {
        return Guarded([&] { return RunSheet(sheet); });
    }
    if (exportApp->parsed()) {
        exporting.plugIn = plugIn;
        return Guarded([&] { return RunExport(exporting); });
    }
    if (importApp->parsed()) {
        return Guarded([&] { return RunImport(importing); });
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
