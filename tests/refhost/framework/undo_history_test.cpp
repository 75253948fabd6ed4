// The undo history keeps texts as what changed between them and gives back every byte.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "refhost/framework/undo_history.h"

namespace {

using refhost::ApplyDelta;
using refhost::DiffText;
using refhost::TextHistory;

// A text of lines drawn from a few, so that equal lines repeat as in a document.
std::string RandomText(std::mt19937& random, int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += "line " + std::to_string(random() % 7) + "\n";
        if (random() % 8 == 0) {
            // A long line, as a block of base64 is, cut into pieces by its content.
            for (int c = static_cast<int>(random() % 3000); c > 0; --c) {
                text += static_cast<char>('A' + random() % 4);
            }
            text += "\n";
        }
    }
    if (random() % 2) {
        text += "no line end";
    }
    return text;
}

// A few lines of the text changed, removed or added.
std::string Edited(std::mt19937& random, std::string text) {
    for (int edits = static_cast<int>(random() % 4); edits >= 0; --edits) {
        std::size_t const at = text.empty() ? 0 : random() % text.size();
        std::size_t const end = text.find('\n', at);
        switch (random() % 3) {
        case 0:
            text.insert(at, "added " + std::to_string(random() % 100) + "\n");
            break;
        case 1:
            text.erase(at, end == std::string::npos ? std::string::npos : end - at + 1);
            break;
        default:
            text.insert(at, std::to_string(random() % 10));
        }
    }
    return text;
}

} // namespace

TEST(UndoHistory, EveryDeltaTurnsOneTextIntoTheOtherByteForByte) {
    std::mt19937 random(17);
    for (int round = 0; round < 2000; ++round) {
        std::string const from = RandomText(random, static_cast<int>(random() % 40));
        std::string const to = round % 3 == 0 ? RandomText(random, static_cast<int>(random() % 40))
                                              : Edited(random, from);
        ASSERT_EQ(ApplyDelta(from, DiffText(from, to)), to) << "round " << round;
    }
    EXPECT_TRUE(DiffText("a\nb\n", "a\nb\n").hunks.empty());
    auto const delta = DiffText("a\nb\nc\n", "a\nB\nc\nd\n");
    ASSERT_EQ(delta.hunks.size(), 2u);
    EXPECT_EQ(delta.hunks[0].line, 1u);
    EXPECT_EQ(delta.hunks[0].removed, 1u);
    EXPECT_EQ(delta.hunks[0].added, "B\n");
    EXPECT_EQ(delta.hunks[1].added, "d\n");
}

TEST(UndoHistory, PoppingGivesBackEachPushedTextInTurn) {
    std::mt19937 random(5);
    std::vector<std::string> texts{RandomText(random, 200)};
    TextHistory history;
    history.Push(texts.back());
    for (int i = 0; i < 300; ++i) {
        texts.push_back(Edited(random, texts.back()));
        history.Push(texts.back());
    }
    EXPECT_EQ(history.Depth(), texts.size());
    while (!history.Empty()) {
        ASSERT_EQ(history.Pop(), texts.back()) << texts.size();
        texts.pop_back();
    }
}

// A large text edited in one line a step: the history grows with the edits, and past its
// limit the oldest steps go while the newest come back whole.
TEST(UndoHistory, MemoryGrowsWithTheEditsAndStaysWithinTheLimit) {
    std::string text;
    for (int i = 0; i < 10000; ++i) {
        text += "\t\t\"field\": " + std::to_string(i) + ",\n"; // about 200 KB
    }
    TextHistory history;
    std::vector<std::string> last;
    for (int step = 0; step < 300; ++step) {
        std::size_t const at = text.find("\"field\": " + std::to_string(step * 17 % 10000) + ",");
        text.insert(at, "x");
        history.Push(text);
        if (step >= 297) {
            last.push_back(text);
        }
    }
    EXPECT_EQ(history.Depth(), 300u);
    EXPECT_LT(history.Bytes(), text.size() + 300 * 200) << "not a copy a step";

    history.Limit(text.size() + 50 * 200);
    EXPECT_LT(history.Depth(), 100u);
    EXPECT_GE(history.Depth(), 3u);
    EXPECT_LE(history.Bytes(), text.size() + 50 * 200);
    EXPECT_EQ(history.Pop(), last[2]);
    EXPECT_EQ(history.Pop(), last[1]);
    EXPECT_EQ(history.Pop(), last[0]);
    history.Limit(0);
    EXPECT_EQ(history.Depth(), 1u) << "the newest step always stays";
}
