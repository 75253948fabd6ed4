// The render mode: plays a document through the plug-in, frame by frame as a window shows it,
// and writes each frame of the 3D view and of the palette as PNG, a contact sheet of the 3D
// frames and, when ffmpeg is there, a video.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>

#include "host/framework.h"
#include "refhost/app/contact_sheet.h"
#include "refhost/app/modes.h"
#include "refhost/app/progress.h"
#include "refhost/session/host_session.h"
#include "refhost/toolkit/render.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"

namespace keypose_host {

namespace {

constexpr std::size_t kSheetFrames = 12;
constexpr int kSheetColumns = 4;
constexpr int kSheetThumbWidth = 240;

std::string Numbered(std::filesystem::path const& folder, char const* stem, std::size_t i) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%04zu.png", stem, i);
    return (folder / name).string();
}

void Write(refhost::Bitmap const& image, std::string const& path) {
    if (!image.writePng(path)) {
        throw std::runtime_error(path + ": cannot be written");
    }
}

std::string SecondsLabel(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

bool HaveFfmpeg() {
    return std::system("command -v ffmpeg >/dev/null 2>&1") == 0;
}

void WriteVideo(std::filesystem::path const& folder, double fps, std::string const& video) {
    std::string const command = "ffmpeg -loglevel error -y -framerate " + std::to_string(fps) +
                                " -i '" + (folder / "view_%04d.png").string() +
                                "' -pix_fmt yuv420p '" + video + "'";
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error(video + ": ffmpeg could not write the video");
    }
    std::cout << "video: " << video << "\n";
}

} // namespace

int RunRender(RenderOptions const& options) {
    refhost::HostSession session(options.plugIn);
    session.Open(options.document);
    std::filesystem::create_directories(options.out);
    double const units = PL_GetTimeUnitsPerSecond();
    double const from = options.from.value_or(PL_GetMinTime() / units);
    double const to = options.to.value_or(PL_GetMaxTime() / units);
    if (to < from) {
        throw std::runtime_error("--to (" + std::to_string(to) + " s) lies before --from (" +
                                 std::to_string(from) + " s)");
    }
    auto const count = static_cast<std::size_t>(std::floor((to - from) * options.fps + 1e-9)) + 1;

    auto context = refhost::view3d::GlContext::Headless();
    refhost::view3d::SceneRenderer renderer;
    std::vector<refhost::Bitmap> views;
    std::vector<double> times;
    refhost::Bitmap palette(0, 0, {});
    ProgressBar progress("rendering", count);
    for (std::size_t i = 0; i < count; ++i) {
        double const t = from + static_cast<double>(i) / options.fps;
        session.SetTime(t);
        views.push_back(renderer.Render(nullptr, options.width, options.height));
        Write(views.back(), Numbered(options.out, "view", i));
        refhost::RenderWindowInto(session.Palette(), palette);
        Write(palette, Numbered(options.out, "palette", i));
        times.push_back(t);
        progress.Update(i + 1);
    }
    std::vector<SheetFrame> sheet;
    for (std::size_t i : SheetSelection(views.size(), kSheetFrames)) {
        sheet.push_back({&views[i], SecondsLabel(times[i])});
    }
    std::string const sheetPath =
        (std::filesystem::path(options.out) / "contact_sheet.png").string();
    Write(ContactSheet(sheet, kSheetColumns, kSheetThumbWidth), sheetPath);
    std::cout << count << " frames (" << SecondsLabel(from) << " to " << SecondsLabel(to) << ") in "
              << options.out << ": view_NNNN.png (the 3D view) and palette_NNNN.png\n"
              << "contact sheet: " << sheetPath << "\n";
    if (!options.video.empty()) {
        if (HaveFfmpeg()) {
            WriteVideo(options.out, options.fps, options.video);
        } else {
            std::cerr << "keypose-host: ffmpeg is not installed; no video written\n";
        }
    }
    return 0;
}

} // namespace keypose_host
