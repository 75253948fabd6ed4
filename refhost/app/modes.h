// What keypose-host does, one function a mode. Each returns the program's exit status and
// reports failures on the error stream with the file and the reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "refhost/app/render_plan.h"
#include "refhost/view3d/scene_renderer.h"
#include "refhost/view3d/view_aids.h"

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
    // Whether the palette's frames are written too.
    bool palette = true;
    // Only these frames of the range (numbered from its first), for a render in parts.
    std::optional<FrameSpan> frames;
    // Print the number of frames of the range and render nothing.
    bool countOnly = false;
    // The animator's aids drawn over the scene (none by default: renders stay clean).
    refhost::view3d::AidSwitches aids;
    // Samples a pixel of the 3D view is drawn with.
    int samples = refhost::view3d::kDefaultSamples;
};

// Plays the document frame by frame through the plug-in and writes the frames of the 3D view
// and of the palette, a contact sheet and (with ffmpeg) a video. A part (`frames`) writes
// its frames alone, named as the whole render names them; the sheet and the video of the
// parts are made by RunSheet. The options are checked, and ffmpeg looked for, before
// anything is written.
int RunRender(RenderOptions const& options);

struct SheetOptions {
    std::string folder;
    std::string video;
    // The video's frame rate; the one the frames were rendered at when not given.
    std::optional<double> fps;
};

// The contact sheet (and, when asked, the video) of a folder of rendered frames
// (view_NNNN.png), wherever and in however many parts they were rendered. Refuses a folder
// without frames or with some missing between its first and last.
int RunSheet(SheetOptions const& options);

struct NewOptions {
    std::string out;
    std::vector<std::string> boxes;
    bool replace = false;
};

// Writes a new document (refhost/document/new_document.h) with the named boxes to out; an
// existing file is kept unless replace is set.
int RunNew(NewOptions const& options);

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
