#include "refhost/framework/undo_history.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace refhost {

namespace {

// Lines longer than this are cut into pieces where their content says (the same content cuts
// at the same places wherever it lies), so that a long line of base64 changed at its ends
// keeps its middle.
constexpr std::size_t kLongestPiece = 256;
constexpr std::size_t kShortestPiece = 32;
// How far ahead the search for the next common piece looks, in pieces of either text.
constexpr std::size_t kLookAhead = 48;

struct Piece {
    std::string_view text;
    std::size_t hash;
    bool operator==(Piece const& other) const { return hash == other.hash && text == other.text; }
};

void AddPiece(std::vector<Piece>& pieces, std::string_view text) {
    pieces.push_back({text, std::hash<std::string_view>{}(text)});
}

// The text as lines (each with its line end), long lines cut further.
std::vector<Piece> Pieces(std::string_view text) {
    std::vector<Piece> pieces;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string_view::npos ? text.size() : end + 1;
        std::size_t from = start;
        uint32_t rolling = 0;
        for (std::size_t i = start; end - start > kLongestPiece && i < end; ++i) {
            rolling = (rolling << 1) + static_cast<unsigned char>(text[i]);
            std::size_t const length = i + 1 - from;
            if ((length >= kShortestPiece && (rolling & 0x1f) == 0x1f) || length >= kLongestPiece) {
                AddPiece(pieces, text.substr(from, length));
                from = i + 1;
                rolling = 0;
            }
        }
        if (from < end) {
            AddPiece(pieces, text.substr(from, end - from));
        }
        start = end;
    }
    return pieces;
}

std::string Joined(std::vector<Piece> const& pieces, std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to; ++i) {
        text += pieces[i].text;
    }
    return text;
}

// Where a and b meet again after they part at i and j: the nearest pair of equal pieces
// (two in a row, unless at an end) within the look-ahead; false when there is none.
bool Resync(std::vector<Piece> const& a, std::size_t i, std::vector<Piece> const& b, std::size_t j,
            std::size_t& skipA, std::size_t& skipB) {
    for (std::size_t total = 1; total <= 2 * kLookAhead; ++total) {
        for (std::size_t da = 0; da <= total; ++da) {
            std::size_t const db = total - da;
            std::size_t const x = i + da;
            std::size_t const y = j + db;
            if (da > kLookAhead || db > kLookAhead || x >= a.size() || y >= b.size() ||
                !(a[x] == b[y])) {
                continue;
            }
            bool const lastOfEither = x + 1 == a.size() || y + 1 == b.size();
            if (lastOfEither || a[x + 1] == b[y + 1]) {
                skipA = da;
                skipB = db;
                return true;
            }
        }
    }
    return false;
}

} // namespace

std::size_t TextDelta::Bytes() const {
    std::size_t bytes = sizeof *this;
    for (auto const& hunk : hunks) {
        bytes += sizeof hunk + hunk.added.capacity();
    }
    return bytes;
}

TextDelta DiffText(std::string_view from, std::string_view to) {
    std::vector<Piece> const a = Pieces(from);
    std::vector<Piece> const b = Pieces(to);
    TextDelta delta;
    std::size_t i = 0;
    std::size_t j = 0;
    // The suffix both share is kept whole, so the walk ends where it starts.
    std::size_t suffix = 0;
    while (suffix < a.size() && suffix < b.size() &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) {
        ++suffix;
    }
    std::size_t const endA = a.size() - suffix;
    std::size_t const endB = b.size() - suffix;
    while (i < endA || j < endB) {
        if (i < endA && j < endB && a[i] == b[j]) {
            ++i;
            ++j;
            continue;
        }
        std::size_t skipA = endA - i;
        std::size_t skipB = endB - j;
        if (i < endA && j < endB) {
            std::size_t resyncA = 0;
            std::size_t resyncB = 0;
            if (Resync(a, i, b, j, resyncA, resyncB) && i + resyncA <= endA &&
                j + resyncB <= endB) {
                skipA = resyncA;
                skipB = resyncB;
            }
        }
        delta.hunks.push_back({i, skipA, Joined(b, j, j + skipB)});
        i += skipA;
        j += skipB;
    }
    return delta;
}

std::string ApplyDelta(std::string_view from, TextDelta const& delta) {
    std::vector<Piece> const lines = Pieces(from);
    std::string text;
    std::size_t line = 0;
    for (auto const& hunk : delta.hunks) {
        text += Joined(lines, line, hunk.line);
        text += hunk.added;
        line = hunk.line + hunk.removed;
    }
    text += Joined(lines, line, lines.size());
    return text;
}

void TextHistory::Push(std::string text) {
    if (fDepth > 0) {
        fDeltas.push_back(DiffText(text, fTop));
        fDeltaBytes += fDeltas.back().Bytes();
    }
    fTop = std::move(text);
    ++fDepth;
}

std::string TextHistory::Pop() {
    std::string top = std::move(fTop);
    fTop.clear();
    --fDepth;
    if (!fDeltas.empty()) {
        fTop = ApplyDelta(top, fDeltas.back());
        fDeltaBytes -= fDeltas.back().Bytes();
        fDeltas.pop_back();
    }
    return top;
}

void TextHistory::Limit(std::size_t limit) {
    while (!fDeltas.empty() && Bytes() > limit) {
        fDeltaBytes -= fDeltas.front().Bytes();
        fDeltas.pop_front();
        --fDepth;
    }
}

void TextHistory::Clear() {
    fTop.clear();
    fDeltas.clear();
    fDeltaBytes = 0;
    fDepth = 0;
}

} // namespace refhost
