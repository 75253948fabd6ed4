// What keypose-host does, one function a mode. Each returns the program's exit status and
// reports failures on the error stream with the file and the reason.
#pragma once

#include <optional>
#include <string>

namespace keypose_host {

struct DocumentOptions {
    std::string document;
    std::string plugIn;
    bool demo = false;
    double playSeconds = 0;
    std::string palettePng;
    std::string savePath;
    bool log = false;
};

// Opens the document with the plug-in, optionally records the demo, plays, pictures the
// palette and saves. A picture that cannot be written does not stop the save.
int RunDocument(DocumentOptions const& options);

struct ScriptOptions {
    std::string script;
    std::string plugIn;
};

// Runs a script of user actions (refhost/script/script.h).
int RunScript(ScriptOptions const& options);

struct RenderOptions {
    std::string document;
    std::string plugIn;
    std::string out;
    std::optional<double> from;
    std::optional<double> to;
    double fps = 10;
    int width = 640;
    int height = 480;
    std::string video;
};

// Plays the document frame by frame through the plug-in and writes the frames of the 3D view
// and of the palette, a contact sheet and (with ffmpeg) a video.
int RunRender(RenderOptions const& options);

struct WindowOptions {
    std::string document;
    std::string plugIn;
};

// Opens the document in windows (refhost/window/window_app.h) until the user quits.
int RunWindowMode(WindowOptions const& options);

struct ExportOptions {
    std::string document;
    std::string plugIn;
    std::string out; // .glb or .gltf
    double fps = 30;
};

// Exports the document as glTF, played through the plug-in (refhost/gltf/gltf_export.h).
int RunExport(ExportOptions const& options);

struct ImportOptions {
    std::string model; // .glb or .gltf
    std::string out;   // the document to write
};

// Makes a document of a glTF model (refhost/gltf/gltf_import.h); what is skipped is said on
// the error stream, one line each.
int RunImport(ImportOptions const& options);

} // namespace keypose_host
