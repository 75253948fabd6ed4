// The render mode: plays a document through the plug-in, frame by frame as a window shows it,
// and writes each frame of the 3D view and of the palette as PNG, a contact sheet of the 3D
// frames and, when ffmpeg is there, a video. Frames are written on worker threads while the
// next are drawn, and none is kept once written.
#include <filesystem>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "host/framework.h"
#include "refhost/app/frame_renderer.h"
#include "refhost/app/modes.h"
#include "refhost/app/progress.h"
#include "refhost/app/video.h"
#include "refhost/session/host_session.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"

namespace keypose_host {

namespace {

std::string Seconds(double value) {
    std::ostringstream text;
    text << value << " s";
    return text.str();
}

// The frames the options ask for, the range defaulting to the open document's. The clock
// keeps to the document's range, so times outside it are refused.
FramePlan PlanOf(RenderOptions const& options) {
    double const units = PL_GetTimeUnitsPerSecond();
    double const lowest = PL_GetMinTime() / units;
    double const highest = PL_GetMaxTime() / units;
    double const from = options.from.value_or(lowest);
    double const to = options.to.value_or(highest);
    try {
        FramePlan plan = PlanFrames(from, to, options.fps, options.frames);
        if (from < lowest || to > highest) {
            throw std::invalid_argument("the render's times " + Seconds(from) + " to " +
                                        Seconds(to) + " lie outside the document's range " +
                                        Seconds(lowest) + " to " + Seconds(highest));
        }
        return plan;
    } catch (std::invalid_argument const& error) {
        throw std::runtime_error(options.document + ": " + error.what());
    }
}

std::string SheetPath(std::filesystem::path const& folder) {
    return (folder / "contact_sheet.png").string();
}

// Frames of a part, before it: played without drawing the 3D view.
void PlayUpTo(FrameRenderer& frames, FramePlan const& plan) {
    for (std::size_t i = 0; i < plan.drawn.first; ++i) {
        if (i + 1 == plan.drawn.first) {
            frames.AdvanceDrawingPalette(i);
        } else {
            frames.Advance(i);
        }
    }
}

} // namespace

int RunRender(RenderOptions const& options) {
    if (!options.video.empty()) {
        if (options.frames) {
            throw std::runtime_error("--video makes the video of a whole render; the video of "
                                     "parts is made by: keypose-host sheet FOLDER --video FILE");
        }
        RequireFfmpeg();
    }
    refhost::HostSession session(options.plugIn);
    session.Open(options.document);
    FramePlan const plan = PlanOf(options);
    if (options.countOnly) {
        std::cout << plan.count << "\n";
        return 0;
    }
    std::filesystem::path const folder(options.out);
    std::filesystem::create_directories(folder);

    auto context = refhost::view3d::GlContext::Headless();
    refhost::view3d::SceneRenderer renderer(options.samples);
    FrameWriter writer(FrameWriter::DefaultWorkers(), 2 * FrameWriter::DefaultWorkers() + 2);
    FrameRenderer frames(session, renderer, plan,
                         {folder, options.width, options.height, options.palette, options.aids},
                         writer);
    PlayUpTo(frames, plan);
    std::size_t const drawn = plan.drawn.last - plan.drawn.first + 1;
    {
        ProgressBar progress("rendering", drawn);
        for (std::size_t i = plan.drawn.first; i <= plan.drawn.last; ++i) {
            frames.Draw(i);
            progress.Update(i - plan.drawn.first + 1);
        }
        writer.Finish();
    }
    double const first = plan.TimeOf(plan.drawn.first);
    double const last = plan.TimeOf(plan.drawn.last);
    std::cout << drawn << " frames (" << SecondsLabel(first) << " to " << SecondsLabel(last)
              << ") in " << options.out << ": view_NNNN.png (the 3D view)"
              << (options.palette ? " and palette_NNNN.png" : "") << "\n";
    if (!plan.Whole()) {
        std::cout << "frames " << plan.drawn.first << "-" << plan.drawn.last << " of 0-"
                  << plan.count - 1
                  << "; once every part is in one folder: keypose-host sheet FOLDER\n";
        return 0;
    }
    WritePng(SheetPath(folder), frames.Sheet().Sheet());
    std::cout << "contact sheet: " << SheetPath(folder) << "\n";
    if (!options.video.empty()) {
        WriteVideo(options.out, 0, plan.fps, options.video);
        std::cout << "video: " << options.video << "\n";
    }
    return 0;
}

} // namespace keypose_host
