// A tween cache: the in-memory copy of one animated object's stored tween list, the scene
// object it animates and its place in the row order. Caches hold copies; the document
// changes only when a cache's records are written back to its object.
#pragma once

#include <cstdint>
#include <vector>

#include "host/cocoa/geometry.h"
#include "host/quickdraw_types.h"
#include "tween/dynamic_array.h"
#include "tween/tween_handle_record.h"
#include "tween/tween_records.h"

struct OpaqueTQ3Object;

enum TCacheKind : int32_t { eCameraCache = 0, eObjectCache = 1, eLightCache = 2 };

// The marks of the time queries for "no such tween point".
inline constexpr int32_t kNoPreviousTweenTime = -1;
inline constexpr int32_t kNoNextTweenTime = 0x7FFFFFFF;

class CCache {
public:
    // Heap objects owned by the row list, which releases them through this base.
    virtual ~CCache() = default;
    CCache(CCache const&) = delete;
    CCache& operator=(CCache const&) = delete;

    // Applies the records at the host's current time.
    virtual void DoTween() = 0;
    // Appends a copy of every record of the stored list to records.
    virtual void AddAllTweenPoints(CTweenHandleRecord& list) = 0;

    // Time of the first record; 0 without records.
    virtual int32_t GetFirstTweenTime() const;
    // Time of the last record; kNoNextTweenTime without records.
    virtual int32_t GetLastTweenTime() const;
    // The latest record time below t, or kNoPreviousTweenTime.
    virtual int32_t GetPreviousTweenTime(int32_t t) const;
    // The earliest record time above t, or kNoNextTweenTime.
    virtual int32_t GetNextTweenTime(int32_t t) const;
    // Moves the top-level member holding object from the other group to the selected one,
    // or back. A group moves only when it is a display group that is drawn and pickable.
    // Never fails: whatever goes wrong leaves both groups as they were.
    virtual void SelectObject(OpaqueTQ3Object* selectedGroup, OpaqueTQ3Object* otherGroup);
    // The index of the tween point whose glyph (a triangle on the row's bottom edge y =
    // rowRect.y, apex halfSize + 2 above it, cut off halfSize left and right) holds the
    // point; the later point wins where two overlap. -1 when none does.
    virtual int32_t FindTweenPointIndex(NSPoint const& point, NSRect const& rowRect,
                                        float const& originX, float const& pixelsPerUnit,
                                        int16_t halfSize) const;
    // Selects every record whose x lies within rect's left and right; the others keep their
    // flag. The vertical extent is the caller's to test.
    virtual void SelectTweensInRect(Rect const& rect, float const& originX,
                                    float const& pixelsPerUnit);

    uint32_t Count() const { return records.Count(); }
    BaseTweenRecord& Record(uint32_t index);
    BaseTweenRecord const& Record(uint32_t index) const;

    // The host time of the last DoTween; -1 until then, so the first one always applies.
    int32_t lastApplicationTime = -1;
    // Where the last DoTween's interval search stopped, where the next one looks first; any
    // value is safe (the search checks it).
    uint32_t searchCursor = 0;
    // Every record's time in a block of its own, for the interval search, which reads ten
    // or so of them per jump while the records lie a record's size apart. A hint that the
    // search checks against the records and makes again when they disagree (or when its
    // size is not the count): any content is safe.
    std::vector<int32_t> searchTimes;
    TCacheKind kind;
    uint32_t sortingIndex;
    TDynamicArray<UnionTweenRecord> records;
    // Not owned: the object group or transform of an object cache, the group holding a
    // document light or the view's light itself for a light cache, null or the camera for a
    // camera cache (which always works on the current view's camera).
    OpaqueTQ3Object* object = nullptr;
    // Not owned: for a light cache, the light whose stored list the records were read from,
    // so that two lights of one group each write back to their own list; null otherwise.
    OpaqueTQ3Object* listHolder = nullptr;

protected:
    // records' constructor throws when its block cannot be made.
    CCache(TCacheKind cacheKind, uint32_t index);
    // Copies recordSize bytes of each of the list's records.
    void CopyRecords(CTweenHandleRecord& list, std::size_t recordSize);
};

// The bytes of each record of a cache of the kind, and of its stored list.
uint32_t RecordSizeOf(TCacheKind kind);
