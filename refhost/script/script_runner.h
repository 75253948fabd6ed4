// Runs a checked script in a host session, command by command, as a user would act. A command
// that cannot be done (an object that is not there, a control the palette lacks, a file that
// cannot be opened) stops the script with ScriptError naming the script and the line; what the
// commands before it did stays.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <vector>

#include "refhost/script/script.h"
#include "refhost/session/host_session.h"
#include "refhost/toolkit/render.h"

namespace refhost {

class ScriptRunner {
public:
    // Paths in the script are relative to `base` (the script's folder); `out` hears what the
    // script reports (echo, saved files, pictures).
    ScriptRunner(HostSession& session, std::filesystem::path base, std::ostream& out,
                 std::string source);

    // Draws the front document's current view at a size; without one, `render` is refused.
    using ViewRenderer = std::function<Bitmap(int width, int height)>;
    void SetViewRenderer(ViewRenderer renderer) { fRenderView = std::move(renderer); }

    void Run(std::vector<ScriptCommand> const& commands);
    void Run(ScriptCommand const& command);

private:
    std::filesystem::path Resolve(std::string const& path) const;
    void Pose(ScriptCommand const& command);
    void Press(std::string const& control);
    // The point of the timeline at a row ("ruler" or a number) and a time in seconds.
    NSPoint TimelinePoint(std::string const& row, double seconds) const;
    void Timeline(ScriptCommand const& command);
    void PalettePicture(std::string const& path);
    void ViewPicture(std::string const& path, std::string const& size);

    HostSession& fSession;
    std::filesystem::path fBase;
    std::ostream& fOut;
    std::string fSource;
    ViewRenderer fRenderView;
};

// Reads, checks and runs the script file in the session; throws ScriptError.
void RunScriptFile(HostSession& session, std::filesystem::path const& path, std::ostream& out,
                   ScriptRunner::ViewRenderer renderer = {});

} // namespace refhost
