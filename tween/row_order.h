// The timeline's row lists: emptying them, and putting freshly scanned caches in row order.
#pragma once

#include "tween/dynamic_array.h"

class CCache;

// Releases every cache of the list and empties it; the list keeps its block for reuse.
void DisposeOfLists(TDynamicArray<CCache*>& list);

// Empties rows, then appends the scanned caches in ascending sorting index, renumbering
// them 4, 5, 6, ... in the cache and in the object's stored list. A cache whose stored list
// cannot be reached is released and left out. The scanned list is emptied (its caches now
// belong to rows or are gone); gMaxSortIndex becomes the number of scanned caches + 3.
void SortObjectIndex(TDynamicArray<CCache*>& rows, TDynamicArray<CCache*>& scanned);

// Replaces the stored records of the cache's object by the cache's records, in the cache's
// order and with their selection flags; the stored sorting index stays. False, with nothing
// reported, when the object's stored list cannot be reached or cannot take the new size (it
// then keeps every record it had).
bool WriteBackRecords(CCache const& cache);
