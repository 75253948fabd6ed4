// The render's PNG files and the worker threads that write them: pictures read back as they
// were written, the same bytes every time, text entries found again, and a file that cannot
// be written reported with its path and the system's reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "refhost/app/frame_writer.h"
#include "refhost/app/png_file.h"

namespace {

using keypose_host::FrameWriter;
using keypose_host::PngText;
using keypose_host::ReadPngText;
using keypose_host::WritePng;

// A picture with every channel changing across it, so that a channel swapped or a row
// shifted shows.
refhost::Bitmap Gradient(int width, int height) {
    refhost::Bitmap image(width, height, {});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.pixels()[static_cast<std::size_t>(y * width + x)] =
                static_cast<uint32_t>((x * 7 % 256) << 16 | (y * 13 % 256) << 8 | (x + y) % 256);
        }
    }
    return image;
}

std::string Bytes(std::filesystem::path const& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

class PngFile : public ::testing::Test {
protected:
    void SetUp() override {
        fFolder = std::filesystem::temp_directory_path() /
                  ("png_file_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(fFolder);
    }
    void TearDown() override { std::filesystem::remove_all(fFolder); }
    std::string Path(char const* name) const { return (fFolder / name).string(); }

    std::filesystem::path fFolder;
};

TEST_F(PngFile, ReadsBackAsWrittenWithItsText) {
    refhost::Bitmap const image = Gradient(67, 31);
    PngText const text{{"Time", "1.25"}, {"Frame rate", "10"}};
    for (int level : {0, keypose_host::kFastPng, 9}) {
        WritePng(Path("frame.png"), image, text, level);
        std::optional<refhost::Bitmap> const back = refhost::Bitmap::readPng(Path("frame.png"));
        ASSERT_TRUE(back) << "level " << level;
        ASSERT_EQ(back->width(), 67);
        ASSERT_EQ(back->height(), 31);
        EXPECT_EQ(const_cast<refhost::Bitmap&>(*back).pixels(),
                  const_cast<refhost::Bitmap&>(image).pixels())
            << "level " << level;
        EXPECT_EQ(ReadPngText(Path("frame.png")), text);
    }
    // The same picture and text give the same bytes, which is what lets parts of a render
    // made apart be compared with one render.
    WritePng(Path("again.png"), image, text);
    WritePng(Path("frame.png"), image, text);
    EXPECT_EQ(Bytes(Path("again.png")), Bytes(Path("frame.png")));
}

TEST_F(PngFile, RefusalsSayWhy) {
    refhost::Bitmap const image = Gradient(4, 4);
    try {
        WritePng(Path("missing/frame.png"), image);
        FAIL() << "a PNG was written into a missing folder";
    } catch (std::runtime_error const& error) {
        EXPECT_STREQ(error.what(),
                     (Path("missing/frame.png") + ": cannot be written (No such file or directory)")
                         .c_str());
    }
    EXPECT_THROW(WritePng(Path("x.png"), image, {}, 10), std::invalid_argument);
    EXPECT_THROW(WritePng(Path("x.png"), image, {{"", "empty key"}}), std::invalid_argument);
    EXPECT_FALSE(ReadPngText(Path("none.png")));
    std::ofstream(Path("text.png")) << "not a picture";
    EXPECT_FALSE(ReadPngText(Path("text.png")));
}

TEST_F(PngFile, WorkersWriteEveryFrameAndReportTheFirstFailure) {
    {
        FrameWriter writer(2, 1);
        for (int i = 0; i < 20; ++i) {
            writer.Write(Path(("f" + std::to_string(i) + ".png").c_str()), Gradient(16, 8 + i),
                         {{"Frame", std::to_string(i)}});
        }
        writer.Finish();
    }
    for (int i = 0; i < 20; ++i) {
        std::string const path = Path(("f" + std::to_string(i) + ".png").c_str());
        std::optional<refhost::Bitmap> const back = refhost::Bitmap::readPng(path);
        ASSERT_TRUE(back) << path;
        EXPECT_EQ(back->height(), 8 + i);
        EXPECT_EQ(ReadPngText(path)->at("Frame"), std::to_string(i));
    }

    FrameWriter writer(2, 2);
    writer.Write(Path("missing/a.png"), Gradient(4, 4));
    // The failure comes back from a later Write or from Finish, whichever the workers reach.
    try {
        for (int i = 0; i < 100; ++i) {
            writer.Write(Path("later.png"), Gradient(4, 4));
        }
        writer.Finish();
        FAIL() << "a failed write went unreported";
    } catch (std::runtime_error const& error) {
        EXPECT_NE(std::string(error.what()).find("missing/a.png: cannot be written"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_THROW(writer.Finish(), std::runtime_error) << "the failure stays reported";
}

} // namespace
