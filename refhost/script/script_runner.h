// Runs a checked script in a host session, command by command, as a user would act. A command
// that cannot be done (an object that is not there, a control the palette lacks, a file that
// cannot be opened) stops the script with ScriptError naming the script and the line; what the
// commands before it did stays.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "refhost/script/script.h"
#include "refhost/session/host_session.h"
#include "refhost/toolkit/render.h"
#include "refhost/view3d/view_aids.h"

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
    // The aids the view renderer draws, which `paths` and `ghosts` switch (borrowed; without
    // them those commands are refused).
    void SetAidSwitches(view3d::AidSwitches* switches) { fAids = switches; }

    // glTF interchange, which the program supplies (refhost/gltf/script_interchange.h):
    // writing the front document to a path, and a model at a path as a new document (what
    // it skips said on the stream). Without them `export` and `import` are refused.
    struct Interchange {
        std::function<void(HostSession&, std::string const& path)> exportTo;
        std::function<std::unique_ptr<Document>(std::string const& path, std::ostream& warnings)>
            importFrom;
    };
    void SetInterchange(Interchange interchange) { fInterchange = std::move(interchange); }

    // Runs checked commands (ParseScript's) in order; a command made by hand is checked
    // first. Throws ScriptError naming the script and the line of a command that cannot be
    // done.
    void Run(std::vector<ScriptCommand> const& commands);
    void Run(ScriptCommand const& command);

    // The commands, one member a verb (the table in script_verbs.cpp names them). Each takes
    // its parsed command and throws std::runtime_error when it cannot be done.
    void New(ScriptCommand const& c);
    void Open(ScriptCommand const& c);
    void Save(ScriptCommand const& c);
    void Time(ScriptCommand const& c);
    void Range(ScriptCommand const& c);
    void Select(ScriptCommand const& c);
    void Deselect(ScriptCommand const& c);
    void Move(ScriptCommand const& c);
    void Turn(ScriptCommand const& c);
    void Scale(ScriptCommand const& c);
    void Colour(ScriptCommand const& c);
    void Surface(ScriptCommand const& c);
    void Camera(ScriptCommand const& c);
    void Light(ScriptCommand const& c);
    void Effect(ScriptCommand const& c);
    void Press(ScriptCommand const& c);
    void Click(ScriptCommand const& c);
    void Drag(ScriptCommand const& c);
    void Key(ScriptCommand const& c);
    void Play(ScriptCommand const& c);
    void Undo(ScriptCommand const& c);
    void Redo(ScriptCommand const& c);
    // Presses the ruler away from the range's tabs and drags to the time (snapped to the
    // palette's step while snapping is on).
    void Scrub(ScriptCommand const& c);
    // Control with C or V in the timeline.
    void Copy(ScriptCommand const& c);
    void Paste(ScriptCommand const& c);
    // H for a hold, otherwise E until the selected tween points have the ease.
    void Ease(ScriptCommand const& c);
    // Presses the palette's snap toggle when it is not as asked.
    void Snap(ScriptCommand const& c);
    // F in the timeline.
    void Zoom(ScriptCommand const& c);
    // Prints the named object's placement and diffuse colour (object_state.h).
    void Show(ScriptCommand const& c);
    void Palette(ScriptCommand const& c);
    void Render(ScriptCommand const& c);
    // Motion paths and ghosts of the selection in the pictures `render` draws.
    void Paths(ScriptCommand const& c);
    void Ghosts(ScriptCommand const& c);
    // The ground's grid and the axis triad.
    void Grid(ScriptCommand const& c);
    void Echo(ScriptCommand const& c);
    void Export(ScriptCommand const& c);
    void Import(ScriptCommand const& c);

private:
    std::filesystem::path Resolve(std::string const& path) const;
    // A change of the work is about to be made: the host keeps the document as it is, as an
    // undo step (as the windows do for each edit; selecting and the camera are no steps).
    void Edit();
    // The scene was posed: the document is edited and the plug-in hears of it.
    void Posed();
    // The point of the timeline at a row ("ruler" or a number) and a time in seconds.
    NSPoint TimelinePoint(ScriptCommand const& c, std::size_t rowWord) const;
    NSView* Timeline() const;

    HostSession& fSession;
    std::filesystem::path fBase;
    std::ostream& fOut;
    std::string fSource;
    ViewRenderer fRenderView;
    Interchange fInterchange;
    view3d::AidSwitches* fAids = nullptr;
};

// Reads, checks and runs the script file in the session; throws ScriptError.
void RunScriptFile(HostSession& session, std::filesystem::path const& path, std::ostream& out,
                   ScriptRunner::ViewRenderer renderer = {},
                   ScriptRunner::Interchange interchange = {}, view3d::AidSwitches* aids = nullptr);

} // namespace refhost
