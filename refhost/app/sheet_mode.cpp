// The sheet mode: the contact sheet and the video of a folder of frames, rendered here or
// in parts elsewhere and gathered.
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <vector>

#include "refhost/app/frame_renderer.h"
#include "refhost/app/modes.h"
#include "refhost/app/video.h"

namespace keypose_host {

namespace {

// The numbers of the folder's view_NNNN.png files, in order.
std::vector<std::size_t> FrameNumbers(std::filesystem::path const& folder) {
    std::vector<std::size_t> numbers;
    std::error_code error;
    for (auto const& entry : std::filesystem::directory_iterator(folder, error)) {
        std::string const name = entry.path().filename().string();
        constexpr std::string_view kStem = "view_";
        constexpr std::string_view kExtension = ".png";
        if (name.size() <= kStem.size() + kExtension.size() || !name.starts_with(kStem) ||
            !name.ends_with(kExtension)) {
            continue;
        }
        char const* const digits = name.data() + kStem.size();
        char const* const end = name.data() + name.size() - kExtension.size();
        std::size_t number = 0;
        auto const read = std::from_chars(digits, end, number);
        if (read.ec == std::errc() && read.ptr == end) {
            numbers.push_back(number);
        }
    }
    if (error) {
        throw std::runtime_error(folder.string() + ": cannot be read (" + error.message() + ")");
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// Refuses a folder whose frames do not run from the first to the last without a gap.
void RequireEveryFrame(std::filesystem::path const& folder,
                       std::vector<std::size_t> const& numbers) {
    if (numbers.empty()) {
        throw std::runtime_error(folder.string() + ": holds no frames (view_NNNN.png)");
    }
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        if (numbers[i] != numbers[i - 1] + 1) {
            throw std::runtime_error(folder.string() + ": frames " +
                                     std::to_string(numbers[i - 1] + 1) + " to " +
                                     std::to_string(numbers[i] - 1) +
                                     " are missing (a part not rendered or not copied back?)");
        }
    }
}

refhost::Bitmap ReadFrame(std::string const& path) {
    std::optional<refhost::Bitmap> image = refhost::Bitmap::readPng(path);
    if (!image) {
        throw std::runtime_error(path + ": is not a PNG that can be read");
    }
    return std::move(*image);
}

} // namespace

int RunSheet(SheetOptions const& options) {
    if (!options.video.empty()) {
        RequireFfmpeg();
    }
    std::filesystem::path const folder(options.folder);
    std::vector<std::size_t> const numbers = FrameNumbers(folder);
    RequireEveryFrame(folder, numbers);
    std::optional<SheetBuilder> sheet;
    std::optional<double> renderedRate;
    for (std::size_t shown : SheetSelection(numbers.size(), kSheetFrames)) {
        std::string const path = FrameFile(folder, "view", numbers[shown]);
        refhost::Bitmap const image = ReadFrame(path);
        PngText const text = ReadPngText(path).value_or(PngText{});
        if (!sheet) {
            sheet.emplace(numbers.size(), kSheetFrames, kSheetColumns, kSheetThumbWidth,
                          image.width(), image.height());
            renderedRate = FrameRate(text);
        }
        std::optional<double> const time = FrameTime(text);
        sheet->Add(shown, image,
                   time ? SecondsLabel(*time) : "frame " + std::to_string(numbers[shown]));
    }
    std::string const sheetPath = (folder / "contact_sheet.png").string();
    WritePng(sheetPath, sheet->Sheet());
    std::cout << numbers.size() << " frames in " << options.folder
              << "\ncontact sheet: " << sheetPath << "\n";
    if (!options.video.empty()) {
        double const fps = options.fps.value_or(renderedRate.value_or(10));
        WriteVideo(options.folder, numbers.front(), fps, options.video);
        std::cout << "video: " << options.video << "\n";
    }
    return 0;
}

} // namespace keypose_host
