// Selecting, moving, mirroring and deleting tween points, and deselecting objects. Edits are
// made in the caches and written back to their objects, or made in the stored lists and
// followed by a rebuild of the caches (the callers rebuild and redraw). None registers an
// undo step or reports a change to the host; an object whose list cannot be reached is
// skipped.
#pragma once

#include "host/cocoa/geometry.h"
#include "tween/dynamic_array.h"

class CCache;

// Clears every selected flag of every cache (memory only).
void DeselectAllTweens(TDynamicArray<CCache*>& caches);

// A click at p in the timeline whose frame is timeline. With toggle (shift) the point under
// p flips; without, an unselected point becomes the only selection and a selected one keeps
// the whole selection (for a drag). A click on no point clears the selection unless toggle.
// True when p hit a tween point. The last argument is not used.
bool DoSelectObjectTween(TDynamicArray<CCache*>& caches, NSPoint const& p, NSRect const& timeline,
                         bool toggle, bool unused);

// The time of the tween point under p, as a click there would find it; false when none.
bool TweenTimeUnder(TDynamicArray<CCache*>& caches, NSPoint const& p, NSRect const& timeline,
                    int32_t* time);

// Moves every member of the front document's selection to the group of the other objects.
void DeselectAllObjects();

// Mirrors the times of the selected points of all rows about the middle of their span and
// writes every row back. Nothing changes unless the selection spans some time.
void ReverseSelectedTweens();

// Deletes the selected points from the stored lists (the caches stay as they were); true when
// there were any.
bool DeleteSelectedTweens();

// One drag step: moves every selected point by the time the mouse travelled since lastMouse,
// held within the host's minimum and maximum (p.x is pulled back to match), then keeps each
// row in time order. The scene is not written.
void MoveSelectedTweens(TDynamicArray<CCache*>& caches, NSPoint& p, NSPoint lastMouse);

// Selects the points whose glyph tips lie in the marquee; width and height are the
// timeline's as its drawing computes them. Adds to the selection only.
void CommitMarqueeSelection(TDynamicArray<CCache*>& caches, NSRect const& frame, float width,
                            float height, NSRect const& marquee);

// Writes every row back to its object, in row order.
void WriteBackAllRows(TDynamicArray<CCache*>& caches);

// Whether any row has a selected point.
bool AnyTweenSelected(TDynamicArray<CCache*>& caches);
// Whether the selected points span some time, so that mirroring them changes anything.
bool SelectionSpansTime(TDynamicArray<CCache*>& caches);

// Moves every selected point by d time units, d first held so that no selected point leaves
// the host's minimum..maximum, then keeps each row in time order; answers the d applied. The
// scene is not written.
int32_t MoveSelectedTweensBy(TDynamicArray<CCache*>& caches, int32_t d);

// Gives every selected point the ease (TEase) in memory; the caller writes the rows back.
void SetSelectedEase(TDynamicArray<CCache*>& caches, uint8_t ease);
// The ease that E gives the selection: the one after the first selected point's in the
// cycle linear, in, out, in-out (a hold, or any other, goes to linear).
uint8_t NextEaseOfSelection(TDynamicArray<CCache*>& caches);
