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

TEST(Script, RefusesEachKindOfBadLineNamingIt) {
    EXPECT_EQ(RefusalOf("time 1\n\njump 3"), "take.ks:3: unknown command 'jump'");
    EXPECT_EQ(RefusalOf("move 1 x 2"), "take.ks:1: 'x' is not a number (usage: move X Y Z)");
    EXPECT_EQ(RefusalOf("move 1 2"), "take.ks:1: usage: move X Y Z");
    EXPECT_EQ(RefusalOf("open \"half"), "take.ks:1: a quote is not closed");
    EXPECT_EQ(RefusalOf("turn w 30"),
              "take.ks:1: 'w' is not one of x, y, z (usage: turn x|y|z DEGREES)");
    EXPECT_EQ(RefusalOf("scale 1 2"),
              "take.ks:1: scale takes 1 or 3 numbers (usage: scale F | scale X Y Z)");
    EXPECT_EQ(RefusalOf("light sun brightness"),
              "take.ks:1: 'light sun brightness' takes 1 number(s) (usage: light "
              "ambient|sun|NAME on|off|brightness V|colour R G B)");
    EXPECT_EQ(RefusalOf("light Lamp dim").substr(0, 34), "take.ks:1: 'dim' is not one of bri");
    EXPECT_EQ(RefusalOf("click -1 2"), "take.ks:1: '-1' is neither a row number nor 'ruler' "
                                       "(usage: click ROW SECONDS [shift])");
    EXPECT_EQ(RefusalOf("click 0 2 ctrl").substr(0, 37), "take.ks:1: 'ctrl' is not one of shift");
    EXPECT_EQ(RefusalOf("drag 0 1 2"), "take.ks:1: usage: drag ROW SECONDS ROW SECONDS [shift]");
    EXPECT_EQ(RefusalOf("camera 0 0 10 0 0 0 0"),
              "take.ks:1: camera takes 6 or 9 numbers (usage: camera X Y Z  X Y Z [X Y Z])");
    EXPECT_EQ(RefusalOf("play 1e400"), "take.ks:1: '1e400' is not a number (usage: play SECONDS)");
}
