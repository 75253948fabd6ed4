// The user's mouse and keys in the 3D view, applied to the document: clicks select, drags
// move, turn or scale the selection or orbit, pan and dolly the camera, arrow keys nudge.
// Each call says what it changed so that the host can tell the plug-in and redraw.
#pragma once

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

// Radians a pixel of mouse travel turns the camera or the selection.
inline constexpr float kTurnPerPixel = 0.01f;
// Units an arrow key moves the selection.
inline constexpr float kNudge = 0.1f;

class PosingGestures {
public:
    // The view is width x height pixels.
    void SetSize(int width, int height);

    // A press at pixel (x, y) (from the top left). With the left button: shift toggles the
    // object under the mouse in the selection; a click on an object selects only it (a
    // selected one keeps the selection) and its drag moves the selection (control turns it,
    // option scales it); on empty space it deselects everything and its drag orbits the
    // camera. The right button's drag pans, the middle button's dollies.
    Changes Press(Document& document, MouseButton button, float x, float y, Modifiers modifiers);
    // The mouse moved to (x, y) while pressed.
    Changes Drag(Document& document, float x, float y);
    void Release();
    // Wheel clicks: up (positive) brings the camera closer.
    Changes Wheel(Document& document, float clicks);
    // Arrow keys: dx, dy of -1, 0 or 1 (right, up); with shift the up and down arrows move
    // along the line of sight instead.
    Changes Nudge(Document& document, int dx, int dy, bool alongSight);

    DragKind Dragging() const { return fKind; }

private:
    int fWidth = 1;
    int fHeight = 1;
    DragKind fKind = DragKind::none;
    float fLastX = 0;
    float fLastY = 0;
    float fDepth = 1; // of what the drag moves
};

} // namespace refhost::window
