// The host plug-in framework: everything a plug-in asks of the host besides the scene.
// Plug-ins call these functions only while the host runs them (inside a message, a palette
// action or a view's drawing), on the host's main thread. Times are 32-bit signed host time
// units; PL_GetTimeUnitsPerSecond says how many make a second.
//
// The clock belongs to the front document. With no document open the time functions answer
// 0 (units per second 600) and the setters change nothing.
#pragma once

#include <cstdint>

#include "host/mac_types.h"
#include "host/pascal_string.h"
#include "host/qd3d_types.h"

struct OpaqueTQ3Object;
class NSString;
class NSPanel;
class NSView;

// A document, compared for identity only.
struct OpaquePLDocument;
using PLDocumentRef = OpaquePLDocument*;
// The file a plug-in was loaded from.
struct PLFileSpec;

// The two selection groups of PL_GetGroupObject.
inline constexpr uint32_t kPLSelectedObjectsGroup = 0x80000000u;
inline constexpr uint32_t kPLOtherObjectsGroup = 0x80000001u;

// Plug-in and windows.
int32_t PL_GetParamRecVersion();
// The name is a 64-byte Pascal string (length byte, text, zero bytes).
void PL_RegisterPlugin(ConstStringPtr name, int32_t version);
void PL_UnregisterPlugin(ConstStringPtr name, int32_t version);
// The file of the plug-in that the host is running now; null when none runs.
PLFileSpec const* PL_GetMyFileSpec();
// The file's name without its folder (and without the module's extension).
void PL_GetFileName(PLFileSpec const* file, Str255 name);
// The text in the user's language; this host speaks English, so the text itself. The host
// keeps the result; it lives as long as the host.
NSString* PL_LocalizeString(NSString* text);
// Lists the panel in the host's palette menu under the name.
void PL_AddNSNameToPaletteMenu(NSString* name, NSPanel* panel);
int32_t PL_WindowIsVisible(NSPanel* panel);
// Closes the panel, takes it out of the palette menu and clears *panel.
void PL_DisposeWindow(NSPanel** panel);
// Names the plug-in whose view is about to draw, so that drawing calls reach it.
void PL_SetCurrentlyExecutingPlugInRecFor(NSView* view);
// Text at a point of the view that is drawing, in its coordinates (y grows upwards; the
// point is the left end of the baseline).
void Draw(CStr255 const& text, float x, float y);
void Draw(NSString* text, float x, float y);

// The clock.
int32_t PL_GetMinTime();
int32_t PL_GetCurTime();
int32_t PL_GetMaxTime();
// The setters store what they are given; callers keep minimum <= current <= maximum.
void PL_SetMinTime(int32_t time);
void PL_SetCurTime(int32_t time);
void PL_SetMaxTime(int32_t time);
uint32_t PL_GetTimeUnitsPerSecond();
float PL_GetTimeMultiplier();
void PL_SetTimeMultiplier(float speed);
int32_t PL_GetPaused();
void PL_SetPaused(int32_t paused);
int32_t PL_GetForwards();
void PL_SetForwards(int32_t forwards);
// 0 stopped; 1 playing in real time (the time follows the wall clock times the speed);
// 2 playing frame by frame (one thirtieth of a second of time per frame, times the speed,
// however long a frame takes to show).
int32_t PL_GetAnimationMode();
void PL_SetAnimationMode(int32_t mode);
// What playing does at the end of the range: 0 stops there, 1 starts again from the other
// end, 2 turns round.
void PL_SetPlayDirection(int32_t direction);

// Documents and the scene.
PLDocumentRef PL_GetFrontDocument();
// The front document's current view (borrowed), or null.
OpaqueTQ3Object* PL_GetTheView();
// kPLSelectedObjectsGroup or kPLOtherObjectsGroup of the front document (borrowed), or null.
OpaqueTQ3Object* PL_GetGroupObject(uint32_t selector);
// Index 0: the selection colour.
TQ3ColorRGB const* PL_GetColor(int32_t index);
// Asks for the front document's views to be drawn again: 1 the 3D views, 3 also the
// document's other windows.
void PL_DrawDocumentViews(int32_t which);
// Marks the front document as edited since it was last saved.
void PL_DataChanged();
// Keeps the front document as it is now as an undo step, before a plug-in changes it. The
// arguments say what the change touches: (1, 1, 0, 0) objects, (0, 0, 0, 0) camera and
// lights; the host keeps the document either way (as what changed since the step before,
// within its undo limit).
void PL_DoUndo(int32_t a, int32_t b, int32_t c, int32_t d);
// Asks the host to rebuild its constructive solids before the next drawing.
void PL_ForceCSGRecache();
