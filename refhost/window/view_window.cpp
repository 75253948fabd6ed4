#include "refhost/window/view_window.h"

#include <iostream>
#include <stdexcept>
#include <string>

namespace refhost::window {

ViewWindow::ViewWindow(std::unique_ptr<ViewRenderer> renderer, int width, int height)
    : fRenderer(std::move(renderer)), fWidth(width), fHeight(height) {
    fSdl = SDL_CreateWindow("keypose-host", 0, 0, width, height, SDL_WINDOW_SHOWN);
    if (!fSdl) {
        throw std::runtime_error(std::string("the 3D view's window cannot be opened: ") +
                                 SDL_GetError());
    }
    fSdlRenderer = SDL_CreateRenderer(fSdl, -1, SDL_RENDERER_SOFTWARE);
    fTexture = fSdlRenderer ? SDL_CreateTexture(fSdlRenderer, SDL_PIXELFORMAT_RGB888,
                                                SDL_TEXTUREACCESS_STREAMING, width, height)
                            : nullptr;
    if (!fTexture) {
        std::string const reason = SDL_GetError();
        if (fSdlRenderer) {
            SDL_DestroyRenderer(fSdlRenderer);
        }
        SDL_DestroyWindow(fSdl);
        throw std::runtime_error("the 3D view's window cannot be drawn: " + reason);
    }
}

ViewWindow::~ViewWindow() {
    SDL_DestroyTexture(fTexture);
    SDL_DestroyRenderer(fSdlRenderer);
    SDL_DestroyWindow(fSdl);
}

void ViewWindow::Show(OpaqueTQ3Object* view) {
    try {
        Bitmap picture = fRenderer->Render(view, fWidth, fHeight);
        if (picture.width() == fWidth && picture.height() == fHeight) {
            SDL_UpdateTexture(fTexture, nullptr, picture.pixels().data(), fWidth * 4);
        }
        fFailed = false;
    } catch (std::exception const& error) {
        if (!fFailed) {
            std::cerr << "keypose-host: the 3D view cannot be drawn: " << error.what() << "\n";
        }
        fFailed = true;
    }
    SDL_RenderClear(fSdlRenderer);
    SDL_RenderCopy(fSdlRenderer, fTexture, nullptr, nullptr);
    SDL_RenderPresent(fSdlRenderer);
}

} // namespace refhost::window
