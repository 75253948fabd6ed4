// Scripts are checked whole before anything runs: every bad line is refused with the script's
// name, its line and the reason.
#include <gtest/gtest.h>

#include "refhost/script/script.h"

namespace {

using refhost::ParseScript;
using refhost::ScriptError;

std::string RefusalOf(std::string const& text) {
    try {
        ParseScript(text, "take.ks");
    } catch (ScriptError const& error) {
        return error.what();
    }
    return "accepted";
}

} // namespace

TEST(Script, ReadsWordsQuotesAndCommentsLineByLine) {
    auto const commands = ParseScript("# a take\n"
                                      "open \"my scene.json\"   # the scene\n"
                                      "\n"
                                      "select Crate \"Big lamp\"\n"
                                      "light sun colour 1 0.5 0.25\n"
                                      "drag ruler 0 ruler 2.5 shift\n"
                                      "key delete",
                                      "take.ks");
    ASSERT_EQ(commands.size(), 5u);
    EXPECT_EQ(commands[0].line, 2);
    EXPECT_EQ(commands[0].words, (std::vector<std::string>{"my scene.json"}));
    EXPECT_EQ(commands[1].words, (std::vector<std::string>{"Crate", "Big lamp"}));
    EXPECT_EQ(commands[2].verb, "light");
    EXPECT_EQ(commands[3].words.back(), "shift");
    EXPECT_EQ(commands[4].line, 7);
}

TEST(Script, ParsesEveryWordToItsTypeOnce) {
    auto const commands = ParseScript("move 1.5 -2 0\n"
                                      "press 1005\n"
                                      "press Object\n"
                                      "click ruler 2.5\n"
                                      "drag 3 1 0 2 shift\n"
                                      "render view.png 320x200",
                                      "take.ks");
    ASSERT_EQ(commands.size(), 6u);
    EXPECT_EQ(commands[0].Number(0), 1.5);
    EXPECT_EQ(commands[0].Float(1), -2.0f);
    EXPECT_EQ(commands[1].Whole(0), 1005);
    EXPECT_FALSE(commands[2].IsWhole(0));
    EXPECT_EQ(commands[2].Text(0), "Object");
    EXPECT_FALSE(commands[3].IsWhole(0)) << "the ruler is no row number";
    EXPECT_EQ(commands[3].Number(1), 2.5);
    EXPECT_EQ(commands[4].Whole(0), 3);
    EXPECT_EQ(commands[4].Whole(2), 0);
    EXPECT_EQ(commands[5].Size(1), (refhost::ScriptSize{320, 200}));
    for (auto const& command : commands) {
        EXPECT_EQ(command.values.size(), command.words.size());
        ASSERT_NE(command.declared, nullptr);
        EXPECT_EQ(command.declared->name, command.verb);
    }
}

TEST(Script, RefusesEachKindOfBadLineNamingIt) {
    EXPECT_EQ(RefusalOf("time 1\n\njump 3"), "take.ks:3: unknown command 'jump'");
    EXPECT_EQ(RefusalOf("move 1 x 2"),
              "take.ks:1: move: word 2: 'x' is not a number (usage: move X Y Z)");
    EXPECT_EQ(RefusalOf("move 1 2"), "take.ks:1: move: usage: move X Y Z");
    EXPECT_EQ(RefusalOf("open \"half"), "take.ks:1: a quote is not closed");
    EXPECT_EQ(RefusalOf("turn w 30"),
              "take.ks:1: turn: word 1: 'w' is not one of x, y, z (usage: turn x|y|z DEGREES)");
    EXPECT_EQ(RefusalOf("scale 1 2"), "take.ks:1: scale: usage: scale F | scale X Y Z");
    EXPECT_EQ(RefusalOf("light sun brightness"),
              "take.ks:1: light: usage: light ambient|sun|NAME on|off|brightness V|colour R G B");
    EXPECT_EQ(RefusalOf("light Lamp dim").substr(0, 51),
              "take.ks:1: light: word 2: 'dim' is not one of on, o");
    EXPECT_EQ(RefusalOf("click -1 2"), "take.ks:1: click: word 1: '-1' is out of range: ROW is "
                                       "from 0 to 9999 (usage: click ROW SECONDS [shift])");
    EXPECT_EQ(RefusalOf("click up 2").substr(0, 66),
              "take.ks:1: click: word 1: 'up' is neither a row number nor 'ruler'");
    EXPECT_EQ(RefusalOf("click 0 2 ctrl").substr(0, 52),
              "take.ks:1: click: word 3: 'ctrl' is not one of shift");
    EXPECT_EQ(RefusalOf("drag 0 1 2"),
              "take.ks:1: drag: usage: drag ROW SECONDS ROW SECONDS [shift]");
    EXPECT_EQ(RefusalOf("camera 0 0 10 0 0 0 0"),
              "take.ks:1: camera: usage: camera X Y Z  X Y Z [X Y Z]");
    EXPECT_EQ(RefusalOf("render a.png 0x10").substr(0, 76),
              "take.ks:1: render: word 2: '0x10' is not a size WIDTHxHEIGHT, each from 1 to");
}

// Numbers that a later conversion would refuse, or silently turn into something else, are
// refused by the check with the word and what is allowed, before any line runs.
TEST(Script, RefusesNumbersOutsideWhatACommandTakes) {
    EXPECT_EQ(RefusalOf("save a.json\nmove 1e39 0 0"),
              "take.ks:2: move: word 1: '1e39' is out of range: X is from -1000000 to 1000000 "
              "(usage: move X Y Z)");
    EXPECT_EQ(RefusalOf("move 1e-50 0 0"),
              "take.ks:1: move: word 1: '1e-50' is too small: X is from -1000000 to 1000000, "
              "and 0 or at least 1e-06 in size (usage: move X Y Z)");
    EXPECT_EQ(RefusalOf("time 1e39"), "take.ks:1: time: word 1: '1e39' is out of range: SECONDS "
                                      "is from 0 to 86400 (usage: time SECONDS)");
    EXPECT_EQ(RefusalOf("press 99999999999999999999"),
              "take.ks:1: press: word 1: '99999999999999999999' is out of range: TAG is from 0 "
              "to 2147483647 (usage: press TITLE|TAG)");
    EXPECT_EQ(RefusalOf("play 1e400"), "take.ks:1: play: word 1: '1e400' is out of range: "
                                       "SECONDS is from 0 to 86400 (usage: play SECONDS)");
    EXPECT_EQ(RefusalOf("play 1e-400").substr(0, 46),
              "take.ks:1: play: word 1: '1e-400' is too small");
    for (char const* bad : {"play 1e8", "play -5", "time -1", "time 1e7", "time -1e9",
                            "range 0 1e9", "colour 1 2 0", "light sun brightness -1"}) {
        EXPECT_NE(RefusalOf(bad).find("is out of range"), std::string::npos) << bad;
    }
    for (char const* bad : {"play nan", "time nan", "time inf", "move 0x10 0 0", "move 1,5 0 0"}) {
        std::string const refusal = RefusalOf(bad);
        EXPECT_TRUE(refusal.find("is not a number") != std::string::npos ||
                    refusal.find("is out of range") != std::string::npos)
            << bad << ": " << refusal;
    }
    EXPECT_EQ(RefusalOf("range 5 1"),
              "take.ks:1: range: the start 5 is after the end 1 (usage: range START END)");
    EXPECT_EQ(RefusalOf("press \"\""), "take.ks:1: press: word 1: an empty title names no control "
                                       "(usage: press TITLE|TAG)");
    EXPECT_EQ(RefusalOf("time 0\nrange 0 10\nplay 86400\nmove -1e6 0 1e-6"), "accepted");
}

// A message shows any word whole enough to find it, and no more.
TEST(Script, ShowsOddWordsReadably) {
    std::string const nul = std::string("fo") + '\0' + "o 1";
    EXPECT_EQ(RefusalOf(nul), "take.ks:1: unknown command 'fo\\x00o'");
    std::string const refusal = RefusalOf(std::string(1 << 20, 'q'));
    EXPECT_LT(refusal.size(), 120u);
    EXPECT_EQ(refusal.substr(refusal.size() - 4), "...'");
}
