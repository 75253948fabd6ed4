// Renderings compared with checked-in pictures, for any test program: the program defines
// where its pictures live. A small tolerance absorbs antialiasing; anything else that moves
// shows. KEYPOSE_UPDATE_GOLDEN=1 writes the pictures anew (look at them before checking them
// in); a mismatch leaves the rendering beside the picture as NAME.png.actual.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "refhost/toolkit/render.h"

namespace keypose_test {

// The picture `name` in directory, compared with actual. A pixel differs when a channel is
// off by more than a sixth of its range; at most one pixel in 400 may.
inline ::testing::AssertionResult MatchesGoldenIn(std::string const& directory,
                                                  refhost::Bitmap const& actual,
                                                  std::string const& name) {
    std::string const path = directory + "/" + name + ".png";
    if (char const* update = std::getenv("KEYPOSE_UPDATE_GOLDEN"); update && *update == '1') {
        actual.writePng(path);
        return ::testing::AssertionSuccess() << "wrote " << path;
    }
    std::optional<refhost::Bitmap> const golden = refhost::Bitmap::readPng(path);
    if (!golden) {
        actual.writePng(path + ".actual");
        return ::testing::AssertionFailure()
               << "no picture at " << path << " (KEYPOSE_UPDATE_GOLDEN=1 writes it)";
    }
    if (golden->width() != actual.width() || golden->height() != actual.height()) {
        actual.writePng(path + ".actual");
        return ::testing::AssertionFailure()
               << name << " is " << actual.width() << "x" << actual.height() << ", the picture "
               << golden->width() << "x" << golden->height();
    }
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            refhost::Rgb const a = actual.at(x, y);
            refhost::Rgb const g = golden->at(x, y);
            if (std::abs(a.red - g.red) > 40 || std::abs(a.green - g.green) > 40 ||
                std::abs(a.blue - g.blue) > 40) {
                ++differing;
            }
        }
    }
    int const allowed = actual.width() * actual.height() / 400;
    if (differing > allowed) {
        actual.writePng(path + ".actual");
        return ::testing::AssertionFailure() << name << ": " << differing << " pixels differ ("
                                             << allowed << " allowed); see " << path << ".actual";
    }
    return ::testing::AssertionSuccess();
}

} // namespace keypose_test
