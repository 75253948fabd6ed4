// A stack of document texts kept as what changed between them: the newest text whole, each
// older one as the pieces that differ from the one after it. Pushing and popping give back
// exactly the bytes pushed. Memory grows with the edits, not with the document times the
// steps; past a limit the oldest texts are dropped first.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace refhost {

// What turns one text into another: runs of pieces of the first replaced by other text. A
// piece is a line with its line end, or a part of a long line cut where its content says.
struct TextDelta {
    struct Hunk {
        std::size_t line;    // the first piece of the run, in the text the delta applies to
        std::size_t removed; // how many pieces of it go
        std::string added;   // the text that comes instead
    };
    std::vector<Hunk> hunks;
    std::size_t Bytes() const;
};

// The delta that turns `from` into `to`; applying it to `from` gives `to` byte for byte.
TextDelta DiffText(std::string_view from, std::string_view to);
std::string ApplyDelta(std::string_view from, TextDelta const& delta);

class TextHistory {
public:
    // Pushes a text; it becomes the top, and the one below is kept as its difference.
    void Push(std::string text);
    // Takes the top text off and returns it; the caller checks Empty first.
    std::string Pop();
    bool Empty() const { return fDepth == 0; }
    std::size_t Depth() const { return fDepth; }
    // The bytes the texts take (the top whole, the others as differences).
    std::size_t Bytes() const { return fTop.size() + fDeltaBytes; }
    // Drops the oldest texts until Bytes is at most `limit`; the top always stays.
    void Limit(std::size_t limit);
    void Clear();

private:
    std::string fTop;
    // Oldest first; deltas[i] turns text i + 1 into text i (the last one turns the top).
    std::deque<TextDelta> fDeltas;
    std::size_t fDeltaBytes = 0;
    std::size_t fDepth = 0;
};

} // namespace refhost
