#include "refhost/app/frame_renderer.h"

#include "refhost/window/heads_up.h"

#include <cstdio>
#include <cstdlib>

#include "refhost/toolkit/render.h"

namespace keypose_host {

namespace {

constexpr char const* kTimeKey = "Time";
constexpr char const* kRateKey = "Frame rate";

std::string Exact(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::optional<double> NumberAt(PngText const& text, char const* key) {
    auto const found = text.find(key);
    if (found == text.end()) {
        return std::nullopt;
    }
    char* end = nullptr;
    double const value = std::strtod(found->second.c_str(), &end);
    return end != found->second.c_str() && *end == '\0' ? std::optional(value) : std::nullopt;
}

} // namespace

std::string FrameFile(std::filesystem::path const& folder, char const* stem, std::size_t index) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%04zu.png", stem, index);
    return (folder / name).string();
}

std::string SecondsLabel(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

PngText FrameText(double seconds, double fps) {
    return {{kTimeKey, Exact(seconds)}, {kRateKey, Exact(fps)}};
}

std::optional<double> FrameTime(PngText const& text) {
    return NumberAt(text, kTimeKey);
}

std::optional<double> FrameRate(PngText const& text) {
    return NumberAt(text, kRateKey);
}

FrameRenderer::FrameRenderer(refhost::HostSession& session,
                             refhost::view3d::SceneRenderer& renderer, FramePlan const& plan,
                             FrameTarget target, FrameWriter& writer)
    : fSession(session), fRenderer(renderer), fPlan(plan), fTarget(std::move(target)),
      fWriter(writer), fSheet(plan.count, kSheetFrames, kSheetColumns, kSheetThumbWidth,
                              fTarget.width, fTarget.height),
      fPalette(0, 0, {}) {}

void FrameRenderer::Advance(std::size_t index) {
    fSession.SetTime(fPlan.TimeOf(index));
}

void FrameRenderer::AdvanceDrawingPalette(std::size_t index) {
    Advance(index);
    if (fTarget.palette) {
        refhost::RenderWindowInto(fSession.Palette(), fPalette);
    }
}

void FrameRenderer::Draw(std::size_t index) {
    double const seconds = fPlan.TimeOf(index);
    fSession.SetTime(seconds);
    fRenderer.SetAids(&fAids.Update(fSession.Front(), fTarget.aids));
    refhost::Bitmap view = fRenderer.Render(nullptr, fTarget.width, fTarget.height);
    fRenderer.SetAids(nullptr);
    if (fTarget.aids.hud) {
        refhost::window::DrawHeadsUp(
            view, refhost::window::HeadsUpText(fSession.Front().clock, fPlan.fps));
    }
    fSheet.Add(index, view, SecondsLabel(seconds));
    fWriter.Write(FrameFile(fTarget.folder, "view", index), std::move(view),
                  FrameText(seconds, fPlan.fps));
    if (fTarget.palette) {
        refhost::RenderWindowInto(fSession.Palette(), fPalette);
        fWriter.Write(FrameFile(fTarget.folder, "palette", index), fPalette);
    }
}

} // namespace keypose_host
