// The document's 3D view in an SDL window. It draws with the 3D view's OpenGL renderer in
// the window's own OpenGL 3.3 context; where no such context can be made it falls back to
// the wire-box picture drawn through SDL's software renderer, and says so once.
#pragma once

#include <SDL.h>

#include <functional>
#include <memory>

#include "refhost/window/view_projection.h"
#include "refhost/window/view_renderer.h"

namespace refhost::window {

class ViewWindow {
public:
    // Opens the window, resizable, at the display's top left; throws std::runtime_error
    // with SDL's reason when no window at all can be opened.
    ViewWindow(int width, int height);
    ~ViewWindow();
    ViewWindow(ViewWindow const&) = delete;
    ViewWindow& operator=(ViewWindow const&) = delete;

    uint32_t Id() const { return SDL_GetWindowID(fSdl); }
    SDL_Window* Sdl() const { return fSdl; }
    void SetTitle(std::string const& title) { SDL_SetWindowTitle(fSdl, title.c_str()); }
    bool UsesOpenGl() const { return fGl != nullptr; }
    // The window's size in pixels now.
    int Width() const;
    int Height() const;
    // Draws the view (null: the front document's current view) again into the image's
    // rectangle of the window, black around it. A renderer's failure leaves the last picture
    // and is told on the error stream once.
    // `overlay`, when given, draws over the picture before it shows.
    void Show(OpaqueTQ3Object* view, ImageRect const& image,
              std::function<void(Bitmap&)> const& overlay = {});
    // The member of the front document front-most at pixel (x, y) of the image (from its top
    // left), null where none is; nothing when the renderer cannot tell (wire boxes) or fails.
    std::optional<OpaqueTQ3Object*> Pick(ImageRect const& image, int x, int y);
    // The aids Show draws over the scene (borrowed until set again; null for none).
    void SetAids(view3d::ViewAids const* aids);

private:
    bool OpenWithOpenGl(std::string& why);
    void OpenWithSoftware();
    void Present(Bitmap& picture, ImageRect const& image);

    int fWidth;
    int fHeight;
    int fTextureWidth = 0;
    int fTextureHeight = 0;
    std::unique_ptr<ViewRenderer> fRenderer;
    SDL_Window* fSdl = nullptr;
    // The OpenGL way: the context, and a texture read through a framebuffer into the window.
    SDL_GLContext fGl = nullptr;
    unsigned fTexture = 0;
    unsigned fReadFramebuffer = 0;
    // The software way.
    SDL_Renderer* fSdlRenderer = nullptr;
    SDL_Texture* fSdlTexture = nullptr;
    bool fFailed = false;
};

} // namespace refhost::window
