// The frames of a render, drawn one after the other from an open session: the time set as a
// window's clock would set it, the 3D view and the palette drawn, their PNG files queued on a
// FrameWriter, and the frames the contact sheet shows scaled into it. Nothing of a frame is
// kept once it is written.
#pragma once

#include <filesystem>
#include <string>

#include "refhost/app/contact_sheet.h"
#include "refhost/app/frame_writer.h"
#include "refhost/app/render_plan.h"
#include "refhost/session/host_session.h"
#include "refhost/view3d/scene_renderer.h"
#include "refhost/window/motion_aids.h"

namespace keypose_host {

struct FrameTarget {
    std::filesystem::path folder;
    int width = 640;
    int height = 480;
    // Whether palette_NNNN.png is written beside each view_NNNN.png.
    bool palette = true;
    // The aids drawn over the 3D view.
    refhost::view3d::AidSwitches aids;
};

// The name of frame `index` of a render: STEM_NNNN.png in folder.
std::string FrameFile(std::filesystem::path const& folder, char const* stem, std::size_t index);
// A frame's time as its label says it.
std::string SecondsLabel(double seconds);

// The text entries of a view frame's PNG: its time and the render's frame rate.
PngText FrameText(double seconds, double fps);
// Those entries read back; nothing when a file does not have them.
std::optional<double> FrameTime(PngText const& text);
std::optional<double> FrameRate(PngText const& text);

class FrameRenderer {
public:
    // Borrows the session (a document open) and the renderer (its context current whenever
    // this draws); both outlive this. The sheet covers the plan's whole range.
    FrameRenderer(refhost::HostSession& session, refhost::view3d::SceneRenderer& renderer,
                  FramePlan const& plan, FrameTarget target, FrameWriter& writer);

    // Moves the clock to frame `index` of the plan without drawing: a part of a render plays
    // the frames before it this way, so that it sees what the whole render would.
    void Advance(std::size_t index);
    // The same, and the palette drawn but not written: the frame just before a part, since
    // the palette's first drawing differs from the ones after it.
    void AdvanceDrawingPalette(std::size_t index);
    // Moves the clock to frame `index`, draws it and queues its files. Throws what the
    // renderer or the writer throws.
    void Draw(std::size_t index);

    SheetBuilder const& Sheet() const { return fSheet; }

private:
    refhost::HostSession& fSession;
    refhost::view3d::SceneRenderer& fRenderer;
    FramePlan fPlan;
    FrameTarget fTarget;
    FrameWriter& fWriter;
    SheetBuilder fSheet;
    refhost::Bitmap fPalette;
    refhost::window::MotionAids fAids;
};

// The contact sheet's layout for a render.
inline constexpr std::size_t kSheetFrames = 12;
inline constexpr int kSheetColumns = 4;
inline constexpr int kSheetThumbWidth = 240;

} // namespace keypose_host
