// A window of the view toolkit (a palette, a panel) shown on the screen in an SDL window of
// its own, with its open drawers beside it. The SDL window shows the toolkit's picture of
// the window; mouse, wheel and key events on it are posted to the toolkit window (or the
// drawer) under them, in the toolkit's coordinates (origin bottom left, y up).
#pragma once

#include <SDL.h>

#include <string>

#include "host/cocoa/cocoa.h"
#include "refhost/toolkit/render.h"

namespace refhost::window {

// The point of the screen (origin bottom left, y up) under the centre of pixel (x, y) of a
// picture of the given height whose bottom left corner lies at origin (x, y from the
// picture's top left).
NSPoint ScreenPointOfPixel(NSPoint origin, int height, int x, int y);

// Where a window of the given position and size goes to lie within the display's usable
// area: moved left and up as little as brings its right and bottom edges in, never past
// the area's left and top edges.
SDL_Point KeptOnScreen(SDL_Rect const& window, SDL_Rect const& usable);

class ToolkitWindow {
public:
    // Opens the SDL window at (x, y) on the display, shown when the toolkit window is
    // visible. Throws std::runtime_error with SDL's reason when it cannot.
    ToolkitWindow(NSWindow& window, std::string const& title, int x, int y);
    ~ToolkitWindow();
    ToolkitWindow(ToolkitWindow const&) = delete;
    ToolkitWindow& operator=(ToolkitWindow const&) = delete;

    NSWindow& Window() const { return fWindow; }
    void SetTitle(std::string const& title) { SDL_SetWindowTitle(fSdl, title.c_str()); }
    // Shows the window above the others with the keyboard's focus.
    void TakeKeyboard();
    uint32_t Id() const { return SDL_GetWindowID(fSdl); }

    // Shows or hides the SDL window as the toolkit window is visible; draws it again when a
    // view is marked for display, a drawer opened or closed, or `force`.
    void Update(bool force = false);
    // The user made the SDL window width x height pixels: a resizable toolkit window takes
    // the change in size (its top left corner stays) and lays its views out again, at one
    // pixel a point; down to kMinimumSize. Others keep their size.
    void Resized(int width, int height);
    static constexpr int kMinimumSize = 120;

    // A mouse event at pixel (x, y) of the SDL window. A mouse-down makes the toolkit window
    // under it the key window first, as the screen's window does when clicked; the drags and
    // the up go to the window of the down.
    void PostMouse(NSEventType type, int x, int y, NSEventModifierFlags flags, int clicks = 1);
    // Wheel travel in pixels at pixel (x, y).
    void PostScroll(int x, int y, float dx, float dy, NSEventModifierFlags flags);
    // A key (down or up) for the key window, when it is this window or one of its drawers.
    void PostKey(NSEventType type, std::string const& characters, NSEventModifierFlags flags);
    // Whether the key window's first responder is a text field being edited.
    bool EditingText() const;

private:
    NSWindow* WindowAt(NSPoint screen) const;
    NSWindow* KeyWindow() const;
    void Present();

    NSWindow& fWindow;
    SDL_Window* fSdl = nullptr;
    SDL_Renderer* fRenderer = nullptr;
    SDL_Texture* fTexture = nullptr;
    int fTextureWidth = 0;
    int fTextureHeight = 0;
    Bitmap fPicture{0, 0, NSZeroPoint};
    long fMouseWindow = 0;
    std::size_t fOpenDrawers = 0;
};

} // namespace refhost::window
