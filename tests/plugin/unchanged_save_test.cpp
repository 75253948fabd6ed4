// A document opened and saved without an edit is the same file, through the real module: its
// first animation pass adds no effect's shift, and playing away and back to the start puts
// the effects' colours back.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/cocoa/cocoa.h"
#include "refhost/framework/host_state.h"
#include "refhost/session/host_session.h"
#include "refhost/session/posing.h"

namespace {

std::string Bytes(std::filesystem::path const& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

class UnchangedSaveTest : public ::testing::Test {
protected:
    void TearDown() override {
        NSApp()->discardEvents();
        refhost::HostState::Instance().Reset();
        std::filesystem::remove_all(fFolder);
    }
    std::filesystem::path fFolder =
        std::filesystem::path(::testing::TempDir()) / "keypose_unchanged_save";
};

TQ3ColorRGB LampColour(refhost::Document& document) {
    TQ3ColorRGB colour{};
    refhost::ChangeObjectLight(document, "Lamp",
                               [&](TQ3LightData& light) { colour = light.color; });
    return colour;
}

} // namespace

TEST_F(UnchangedSaveTest, EveryExampleOpensAndSavesAsTheSameBytes) {
    std::filesystem::create_directories(fFolder);
    int examples = 0;
    for (auto const& entry : std::filesystem::directory_iterator(KEYPOSE_EXAMPLES_DIR)) {
        if (entry.path().extension() != ".json") {
            continue;
        }
        ++examples;
        std::filesystem::path const copy = fFolder / entry.path().filename();
        {
            refhost::HostSession session(KEYPOSE_MODULE_PATH);
            session.Open(entry.path().string());
            session.Save(copy.string());
            // A second round from the saved copy, as a user opening it again would.
            session.Open(copy.string());
            session.Save();
        }
        refhost::HostState::Instance().Reset();
        EXPECT_TRUE(Bytes(copy) == Bytes(entry.path())) << entry.path().filename();
    }
    EXPECT_GE(examples, 5);
}

// Each pass turns the lamp's hue by the time since the previous one, so going to a time and
// back to the start turns it back, up to the 16-bit colour fields' truncation.
TEST_F(UnchangedSaveTest, GoingAwayAndBackPutsTheEffectColoursBack) {
    for (double t : {0.5, 2.0, 3.0, 7.25, 9.0}) {
        refhost::HostSession session(KEYPOSE_MODULE_PATH);
        refhost::Document& document =
            session.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/light_show.json");
        TQ3ColorRGB const start = LampColour(document);
        session.SetTime(t);
        TQ3ColorRGB const away = LampColour(document);
        EXPECT_GT(std::fabs(away.r - start.r) + std::fabs(away.g - start.g) +
                      std::fabs(away.b - start.b),
                  0.01f)
            << "the lamp's hue turns with the time, at " << t << " s";
        session.SetTime(0);
        TQ3ColorRGB const back = LampColour(document);
        EXPECT_NEAR(back.r, start.r, 1e-4) << t;
        EXPECT_NEAR(back.g, start.g, 1e-4) << t;
        EXPECT_NEAR(back.b, start.b, 1e-4) << t;
    }
    refhost::HostSession session(KEYPOSE_MODULE_PATH);
    refhost::Document& document =
        session.Open(std::string(KEYPOSE_EXAMPLES_DIR) + "/light_show.json");
    TQ3ColorRGB const start = LampColour(document);
    session.Play(2.5);
    session.SetTime(0);
    TQ3ColorRGB const back = LampColour(document);
    // Frame by frame, each of the 75 passes truncates its 16-bit fields once.
    EXPECT_NEAR(back.g, start.g, 75 * 8.0 / 65535);
}
