// The document's 3D view in an SDL window: the picture a ViewRenderer draws, shown as it is.
#pragma once

#include <SDL.h>

#include <memory>

#include "refhost/window/view_renderer.h"

namespace refhost::window {

class ViewWindow {
public:
    // Opens the window at the display's top left; throws std::runtime_error with SDL's
    // reason when it cannot.
    ViewWindow(std::unique_ptr<ViewRenderer> renderer, int width, int height);
    ~ViewWindow();
    ViewWindow(ViewWindow const&) = delete;
    ViewWindow& operator=(ViewWindow const&) = delete;

    uint32_t Id() const { return SDL_GetWindowID(fSdl); }
    SDL_Window* Sdl() const { return fSdl; }
    // Draws the view (null: the front document's current view) again. A renderer's failure
    // leaves the last picture and is told on the error stream once.
    void Show(OpaqueTQ3Object* view);

private:
    std::unique_ptr<ViewRenderer> fRenderer;
    int fWidth;
    int fHeight;
    SDL_Window* fSdl = nullptr;
    SDL_Renderer* fSdlRenderer = nullptr;
    SDL_Texture* fTexture = nullptr;
    bool fFailed = false;
};

} // namespace refhost::window
