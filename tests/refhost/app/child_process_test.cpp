// Programs run without a shell: every word arrives as it was given, whatever it holds, and
// the exit status says how the program ended.
#include <gtest/gtest.h>

#include <filesystem>

#include "refhost/app/child_process.h"

namespace {

using keypose_host::FindProgram;
using keypose_host::ProgramOutput;
using keypose_host::RunProgram;

TEST(ChildProcess, WordsReachTheProgramAsGiven) {
    std::vector<std::string> const hostile{
        "Bob's \"crate\"; touch x.mp4", "-n", "$(id)", "a\nb", "`ls`", "", "*"};
    std::vector<std::string> words{"printf", "[%s]"};
    std::string expected;
    for (std::string const& word : hostile) {
        words.push_back(word);
        expected += "[" + word + "]";
    }
    EXPECT_EQ(ProgramOutput(words), expected);
    EXPECT_FALSE(std::filesystem::exists("x.mp4"));
}

TEST(ChildProcess, StatusAndMissingPrograms) {
    EXPECT_EQ(RunProgram({"true"}), 0);
    EXPECT_EQ(RunProgram({"false"}), 1);
    EXPECT_EQ(RunProgram({"sh", "-c", "kill -TERM $$"}), 128 + 15);
    EXPECT_EQ(RunProgram({"no-such-program-anywhere"}), 127);
    EXPECT_FALSE(ProgramOutput({"false"}));
    EXPECT_THROW(RunProgram({}), std::invalid_argument);

    std::optional<std::string> const found = FindProgram("sh");
    ASSERT_TRUE(found);
    EXPECT_EQ(FindProgram(*found), found) << "a path is taken as it is";
    EXPECT_FALSE(FindProgram("no-such-program-anywhere"));
    EXPECT_FALSE(FindProgram("/etc/passwd")) << "not executable";
    EXPECT_FALSE(FindProgram("/usr/bin")) << "a folder";
    EXPECT_FALSE(FindProgram(""));
    // The program's input is empty, not this program's.
    EXPECT_EQ(ProgramOutput({"cat"}), "");
}

} // namespace
