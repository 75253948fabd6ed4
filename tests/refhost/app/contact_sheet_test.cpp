// The contact sheet of a render and the terminal's progress bar.
#include <gtest/gtest.h>

#include "refhost/app/contact_sheet.h"
#include "refhost/app/progress.h"

namespace {

using keypose_host::ContactSheet;
using keypose_host::SheetSelection;

refhost::Bitmap Filled(int width, int height, uint32_t rgb) {
    refhost::Bitmap image(width, height, {});
    std::fill(image.pixels().begin(), image.pixels().end(), rgb);
    return image;
}

} // namespace

TEST(ContactSheet, SpreadsTheFramesAndLaysThemOutInRows) {
    EXPECT_EQ(SheetSelection(5, 12), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(SheetSelection(61, 4), (std::vector<std::size_t>{0, 20, 40, 60}));
    EXPECT_EQ(SheetSelection(3, 1), (std::vector<std::size_t>{0}));
    EXPECT_TRUE(SheetSelection(0, 12).empty());

    refhost::Bitmap const red = Filled(200, 100, 0xFF0000);
    refhost::Bitmap const blue = Filled(200, 100, 0x0000FF);
    refhost::Bitmap const sheet =
        ContactSheet({{&red, "0.00 s"}, {&blue, "1.00 s"}, {&red, "2.00 s"}}, 2, 100);
    // Two columns of 100 x 50 thumbnails with 8-pixel margins and 16 pixels for a label.
    EXPECT_EQ(sheet.width(), 8 + 2 * 108);
    EXPECT_EQ(sheet.height(), 8 + 2 * (50 + 16 + 8));
    auto fromTop = [&](int x, int y) { return sheet.at(x, sheet.height() - 1 - y); };
    EXPECT_EQ(fromTop(8 + 50, 8 + 25), (refhost::Rgb{255, 0, 0})) << "first thumbnail";
    EXPECT_EQ(fromTop(116 + 50, 8 + 25), (refhost::Rgb{0, 0, 255})) << "second, beside it";
    EXPECT_EQ(fromTop(8 + 50, 82 + 25), (refhost::Rgb{255, 0, 0})) << "third, a row down";
    EXPECT_NE(fromTop(116 + 50, 82 + 25), (refhost::Rgb{0, 0, 255})) << "no fourth";
}

TEST(ContactSheet, MadeAsTheFramesComeIsTheSheetOfTheFramesItShows) {
    // 30 frames, 4 shown: 0, 9, 19 and 29, each added as it is rendered and then dropped.
    keypose_host::SheetBuilder builder(30, 4, 2, 50, 100, 60);
    EXPECT_EQ(builder.Shown(), (std::vector<std::size_t>{0, 9, 19, 29}));
    EXPECT_TRUE(builder.Wants(9));
    EXPECT_FALSE(builder.Wants(10));
    std::vector<refhost::Bitmap> shown;
    for (std::size_t i = 0; i < 30; ++i) {
        refhost::Bitmap const frame = Filled(100, 60, static_cast<uint32_t>(i * 0x080402));
        builder.Add(i, frame, std::to_string(i));
        if (builder.Wants(i)) {
            shown.push_back(frame);
        }
    }
    std::vector<keypose_host::SheetFrame> frames;
    for (std::size_t k = 0; k < shown.size(); ++k) {
        frames.push_back({&shown[k], std::to_string(builder.Shown()[k])});
    }
    refhost::Bitmap const whole = ContactSheet(frames, 2, 50);
    EXPECT_EQ(const_cast<refhost::Bitmap&>(builder.Sheet()).pixels(),
              const_cast<refhost::Bitmap&>(whole).pixels());
}

TEST(ProgressBar, FillsInProportion) {
    EXPECT_EQ(keypose_host::ProgressBar::Line("rendering", 3, 12, 8), "rendering [##      ] 3/12");
    EXPECT_EQ(keypose_host::ProgressBar::Line("rendering", 12, 12, 8),
              "rendering [########] 12/12");
}
