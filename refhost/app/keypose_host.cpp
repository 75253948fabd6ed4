// keypose-host: opens a document, loads the KeyposeSequencer module and runs it the way the
// host application does: every frame the clock moves on and the plug-in hears of it.
//
//   keypose-host DOCUMENT              open the document in windows, to work on by hand
//   keypose-host [options] DOCUMENT    open, optionally record the demo, play, picture, save
//   keypose-host run SCRIPT            run a script of user actions
//
// `keypose-host --help` and `keypose-host run --help` say more.
#include <CLI/CLI.hpp>

#include <cmath>
#include <iostream>

#include "refhost/app/modes.h"
#include "refhost/document/document_file.h"
#include "refhost/plugin_host/plugin_module.h"
#include "refhost/script/script.h"

namespace {

using namespace keypose_host;

// The program's boundary: a failure is reported with its file and reason, and the status
// says so.
template <typename Mode>
int Guarded(Mode const& mode) {
    try {
        return mode();
    } catch (std::exception const& error) {
        std::cerr << "keypose-host: " << error.what() << "\n";
        return 1;
    }
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
    app.add_option("--play", document.playSeconds, "play forward for this many seconds")
        ->check(kSeconds);
    app.add_option("--palette-png", document.palettePng,
                   "save a picture of the palette (its drawer open)");
    app.add_option("--save", document.savePath, "save the document when done");
    app.add_flag("--log", document.log, "print every message sent to the plug-in");

    ScriptOptions script;
    CLI::App* run = app.add_subcommand("run", "run a script of user actions");
    run->add_option("script", script.script, "the script")->required()->check(CLI::ExistingFile);

    CLI11_PARSE(app, argc, argv);
    document.plugIn = plugIn;
    script.plugIn = plugIn;
    if (run->parsed()) {
        return Guarded([&] { return RunScript(script); });
    }
    if (document.document.empty()) {
        std::cerr << "keypose-host: no document given\n" << app.help();
        return 2;
    }
    bool const headless = document.demo || document.playSeconds > 0 ||
                          !document.palettePng.empty() || !document.savePath.empty();
    if (!headless) {
        return Guarded([&] { return RunWindowMode({document.document, plugIn}); });
    }
    return Guarded([&] { return RunDocument(document); });
}
