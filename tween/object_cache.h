// The cache of an object group (or transform) that carries object tween points.
#pragma once

#include <cstddef>
#include <vector>

#include "interp/matrix_tween.h"
#include "tween/cache.h"

class CGroupObject;
class CShapeObject;
class CSetObject;

class CTweenAllInfoDataCache : public CCache {
public:
    explicit CTweenAllInfoDataCache(uint32_t sortingIndex);

    void DoTween() override;
    void AddAllTweenPoints(CTweenHandleRecord& list) override;

    // Records the group's placement at time as the first tween point of a new list stored in
    // set. shape is not used. Scene failures of the snapshot pass out.
    void AddNewTweenPoint(int32_t time, CGroupObject& group, CShapeObject& shape, CSetObject& set);
    // Records the group's placement at time into its list, in time order; false when the
    // list cannot grow. The caller stores the list back.
    bool AddTweenPointInto(int32_t time, CGroupObject& group, CShapeObject& shape,
                           CTweenHandleRecord& list);

    // The parts of record index's placement (PlacementPartsOf(matrix), matrix being the
    // record's as the caller read it), made the first time a blend needs them and kept for
    // as long as that record's matrix stays the same: a jump to another pair of tween points
    // then costs a search and a blend, not a decomposition. Never fails but for memory.
    CPlacementParts const& PlacementParts(uint32_t index, TQ3Matrix4x4 const& matrix);

    // The transform blend between the two tween points that DoTween blended last, kept for
    // the ticks that follow between the same two; DoTween checks it against the records.
    CPivotMatrixBlend placementBlend;

private:
    // Two cache lines: a jump reads two of these.
    struct alignas(64) KeptParts {
        TQ3Matrix4x4 matrix{}; // the bytes the parts were made from
        CPlacementParts parts;
    };
    static_assert(sizeof(KeptParts) == 128);
    std::vector<KeptParts> fKeptParts; // by record index, grown as blends reach them
    std::vector<bool> fMade;           // whether each of fKeptParts was made

public:
    // The memory kept per tween point once blends have reached it (the parts and their flag;
    // the row's block of times adds 4 bytes).
    static constexpr std::size_t kKeptBytesPerPoint = sizeof(KeptParts);
};
