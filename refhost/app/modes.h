// What keypose-host does, one function a mode. Each returns the program's exit status and
// reports failures on the error stream with the file and the reason.
#pragma once

#include <optional>
#include <string>
#include <vector>

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

} // namespace keypose_host
