// Copying and pasting tween points. A copy keeps the selected points of every row, each with
// its time relative to the earliest; a paste puts them back at a new start time into the rows
// they came from, or, when the copy holds one row and exactly one other group is selected in
// the document, onto that group: an object row's points take the group's own pivot, so a pose
// sequence moves to another object; a light row's points go to the group's first light, which
// then plays the copied light (its values and its group's placement). One palette exists, so
// the copy is process-wide.
#pragma once

#include <cstdint>
#include <vector>

#include "tween/dynamic_array.h"
#include "tween/tween_records.h"

class CCache;
struct OpaqueTQ3Object;

struct CopiedTweenPoint {
    // The row the point came from, known by what its cache writes to; compared, never used.
    int32_t kind = 0;
    OpaqueTQ3Object* object = nullptr;
    OpaqueTQ3Object* listHolder = nullptr;
    // Its time after the earliest copied point's.
    int64_t offset = 0;
    UnionTweenRecord record{};
};

inline std::vector<CopiedTweenPoint> gTweenClipboard;
// The document the copy was made in: its rows are known by its objects, so a copy is pasted
// only into the document it came from.
inline void const* gTweenClipboardDocument = nullptr;

// Replaces the copy with the selected points of the rows; false (the copy kept) when none is
// selected.
bool CopySelectedTweens(TDynamicArray<CCache*>& caches);

// Whether there is a copy to paste into the front document.
bool CanPasteTweens();

// Pastes the copy with its earliest point at `start` (nothing when it was made in another
// document): every row's selection is cleared and
// written back, then each point goes into its target's stored list, replacing a point at the
// same time as recording does, selected; points whose time would leave the 32-bit range, or
// whose row is gone, are skipped. The caller rebuilds the rows. False when nothing was pasted.
bool PasteTweens(TDynamicArray<CCache*>& caches, int32_t start);
