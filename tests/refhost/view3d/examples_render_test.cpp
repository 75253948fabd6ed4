// The bundled examples, every view of each, drawn and compared with checked-in pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"
#include "tests/support/golden_image.h"

namespace {

using refhost::Bitmap;
using refhost::HostState;

std::vector<std::filesystem::path> ExampleFiles() {
    std::vector<std::filesystem::path> files;
    for (auto const& entry : std::filesystem::directory_iterator(KEYPOSE_EXAMPLES_DIR)) {
        if (entry.path().extension() == ".json") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The share of pixels that are not the background.
double Covered(Bitmap const& image) {
    TQ3ColorRGB const b = refhost::view3d::kBackground;
    int covered = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            refhost::Rgb const p = image.at(x, y);
            covered += std::abs(p.red - b.r * 255) > 3 || std::abs(p.green - b.g * 255) > 3 ||
                       std::abs(p.blue - b.b * 255) > 3;
        }
    }
    return covered / double(image.width() * image.height());
}

TEST(ExamplesRender, EveryViewOfEveryExampleLooksAsItsPicture) {
    std::unique_ptr<refhost::view3d::GlContext> context = refhost::view3d::GlContext::Headless();
    refhost::view3d::SceneRenderer renderer;
    std::vector<std::filesystem::path> const files = ExampleFiles();
    ASSERT_GE(files.size(), 3u);
    for (std::filesystem::path const& file : files) {
        HostState::Instance().Reset();
        HostState::Instance().selectionColour = {1.0f, 0.6f, 0.0f};
        refhost::Document& document =
            HostState::Instance().Open(refhost::OpenDocument(file.string()));
        ASSERT_FALSE(document.Views().empty()) << file;
        for (std::size_t k = 0; k < document.Views().size(); ++k) {
            document.SetCurrentViewIndex(k);
            Bitmap const image = renderer.Render(nullptr, 320, 240);
            std::string const name = file.stem().string() + "_view" + std::to_string(k);
            EXPECT_GT(Covered(image), 0.01) << name << " shows almost nothing";
            EXPECT_TRUE(keypose_test::MatchesGoldenIn(
                std::string(KEYPOSE_SOURCE_DIR) + "/tests/refhost/view3d/golden", image, name));
        }
    }
    HostState::Instance().Reset();
}

} // namespace
