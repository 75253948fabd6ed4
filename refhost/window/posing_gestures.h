// The user's mouse and keys in the 3D view, applied to the document: clicks select, drags
// move, turn or scale the selection or orbit, pan and dolly the camera, arrow keys nudge.
// Each call says what it changed so that the host can tell the plug-in and redraw.
#pragma once

#include <functional>
#include <optional>

#include "refhost/document/document.h"
#include "refhost/window/view_projection.h"

namespace refhost::window {

enum class DragKind { none, move, turn, scale, orbit, pan, dolly };

enum class MouseButton { left, middle, right };

struct Modifiers {
    bool shift = false;
    bool control = false;
    bool option = false;
};

struct Changes {
    bool selection = false; // objects were selected or deselected
    bool scene = false;     // the selection was moved, turned or scaled
    bool camera = false;    // the view's camera moved
    Changes& operator|=(Changes const& other);
};

// Pixels the mouse may travel between press and release for a click.
inline constexpr float kClickSlop = 3;
// Radians a pixel of mouse travel turns the camera or the selection.
inline constexpr float kTurnPerPixel = 0.01f;
// Units an arrow key moves the selection.
inline constexpr float kNudge = 0.1f;

// A gesture that changes the scene (a drag of the selection, a nudge or a run of repeated
// nudges) is one edit of the document; camera moves change the view, not the work, and are
// no edit.
class PosingGestures {
public:
    // The view is width x height pixels.
    void SetSize(int width, int height);
    // Called once a gesture, just before its first change of the scene (the host keeps the
    // document as it was then, to undo the gesture).
    void OnEdit(std::function<void()> beginEdit) { fBeginEdit = std::move(beginEdit); }
    // What a press finds under pixel (x, y): the member front-most there (null: none), or
    // nothing when the picker cannot tell; then, and without a picker, the nearest member
    // whose projected bounds hold the pixel.
    using Picker = std::function<std::optional<OpaqueTQ3Object*>(float x, float y)>;
    void SetPicker(Picker picker) { fPicker = std::move(picker); }

    // A press at pixel (x, y) (from the top left). With the left button: shift toggles the
    // object under the mouse in the selection; a press on an object selects only it (a
    // selected one keeps the selection) and its drag moves the selection (control turns it,
    // option scales it); on empty space its drag orbits the camera, and a click (released
    // within kClickSlop pixels) deselects everything. The right button's drag pans, the
    // middle button's dollies.
    Changes Press(Document& document, MouseButton button, float x, float y, Modifiers modifiers);
    // The mouse moved to (x, y) while pressed.
    Changes Drag(Document& document, float x, float y);
    // The button went up: ends the gesture (a click on empty space deselects here).
    Changes Release(Document& document);
    // Wheel clicks: up (positive) brings the camera closer.
    Changes Wheel(Document& document, float clicks);
    // Arrow keys: dx, dy of -1, 0 or 1 (right, up); with shift the up and down arrows move
    // along the line of sight instead. A repeat (the key held) continues the last nudge's
    // edit; otherwise a nudge is an edit of its own.
    Changes Nudge(Document& document, int dx, int dy, bool alongSight, bool repeat = false);

    DragKind Dragging() const { return fKind; }

private:
    int fWidth = 1;
    int fHeight = 1;
    void Edit();

    std::function<void()> fBeginEdit;
    Picker fPicker;
    bool fEditing = false; // the gesture has begun its edit
    bool fClickOnEmpty = false;
    float fPressX = 0;
    float fPressY = 0;
    DragKind fKind = DragKind::none;
    float fLastX = 0;
    float fLastY = 0;
    float fDepth = 1; // of what the drag moves
};

} // namespace refhost::window
