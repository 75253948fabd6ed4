// Scenes made by code for the benchmarks: host documents whose selection holds boxes, each in
// a display group of its own with a transform, a name and a diffuse colour.
#pragma once

#include <cstdint>

#include "host/scene.h"
#include "refhost/document/document.h"

namespace bench {

// A document open in the host with one view and `groups` selected box groups. It is the
// front document from its making (or BringToFront) until another is. When it goes it empties
// the plug-in's global lists, whose caches point into its scene, and closes.
class BenchDocument {
public:
    explicit BenchDocument(uint32_t groups);
    BenchDocument(BenchDocument const&) = delete;
    BenchDocument& operator=(BenchDocument const&) = delete;
    ~BenchDocument();

    void BringToFront();
    CGroupObject Selected() const;
    uint32_t Groups() const { return fGroups; }

private:
    refhost::Document* fDocument;
    uint32_t fGroups;
};

// Gives every group of the selection a stored tween list of `points` object records at times
// 0, step, 2 step, ..., each a snapshot of the group with its own turn, move and colour, so
// that neighbouring points always blend. Replaces any list the group had.
void GiveTweenPoints(CGroupObject const& selection, uint32_t points, int32_t step);

// Empties the plug-in's row list and effect lists (releasing what they hold).
void ReleasePluginLists();

} // namespace bench
