#include "refhost/window/view_window.h"

#include <epoxy/gl.h>

#include <iostream>
#include <stdexcept>
#include <string>

#include "refhost/view3d/scene_renderer.h"

namespace refhost::window {

namespace {

constexpr char const* kTitle = "keypose-host";

// The 3D view's renderer behind the window's interface.
class SceneViewRenderer : public ViewRenderer {
public:
    Bitmap Render(OpaqueTQ3Object* view, int width, int height) override {
        return fRenderer.Render(view, width, height);
    }
    std::optional<OpaqueTQ3Object*> Pick(OpaqueTQ3Object* view, int width, int height, int x,
                                         int y) override {
        return fRenderer.Pick(view, width, height, x, y);
    }
    void SetAids(view3d::ViewAids const* aids) override { fRenderer.SetAids(aids); }

private:
    view3d::SceneRenderer fRenderer;
};

} // namespace

ViewWindow::ViewWindow(int width, int height) : fWidth(width), fHeight(height) {
    std::string why;
    if (!OpenWithOpenGl(why)) {
        std::cerr << "keypose-host: the 3D view is drawn as wire boxes: " << why << "\n";
        OpenWithSoftware();
    }
}

bool ViewWindow::OpenWithOpenGl(std::string& why) {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    fSdl = SDL_CreateWindow(kTitle, 0, 0, fWidth, fHeight,
                            SDL_WINDOW_SHOWN | SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE);
    if (!fSdl) {
        why = std::string("no OpenGL window: ") + SDL_GetError();
        return false;
    }
    fGl = SDL_GL_CreateContext(fSdl);
    if (!fGl) {
        why = std::string("no OpenGL 3.3 context: ") + SDL_GetError();
        SDL_DestroyWindow(fSdl);
        fSdl = nullptr;
        return false;
    }
    try {
        fRenderer = std::make_unique<SceneViewRenderer>();
    } catch (std::exception const& error) {
        why = error.what();
        SDL_GL_DeleteContext(fGl);
        fGl = nullptr;
        SDL_DestroyWindow(fSdl);
        fSdl = nullptr;
        return false;
    }
    glGenTextures(1, &fTexture);
    glBindTexture(GL_TEXTURE_2D, fTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGenFramebuffers(1, &fReadFramebuffer);
    return true;
}

void ViewWindow::OpenWithSoftware() {
    fRenderer = MakeWireBoxRenderer();
    fSdl = SDL_CreateWindow(kTitle, 0, 0, fWidth, fHeight, SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (!fSdl) {
        throw std::runtime_error(std::string("the 3D view's window cannot be opened: ") +
                                 SDL_GetError());
    }
    fSdlRenderer = SDL_CreateRenderer(fSdl, -1, SDL_RENDERER_SOFTWARE);
    fSdlTexture = fSdlRenderer ? SDL_CreateTexture(fSdlRenderer, SDL_PIXELFORMAT_RGB888,
                                                   SDL_TEXTUREACCESS_STREAMING, fWidth, fHeight)
                               : nullptr;
    fTextureWidth = fWidth;
    fTextureHeight = fHeight;
    if (!fSdlTexture) {
        std::string const reason = SDL_GetError();
        if (fSdlRenderer) {
            SDL_DestroyRenderer(fSdlRenderer);
        }
        SDL_DestroyWindow(fSdl);
        throw std::runtime_error("the 3D view's window cannot be drawn: " + reason);
    }
}

ViewWindow::~ViewWindow() {
    if (fGl) {
        SDL_GL_MakeCurrent(fSdl, fGl);
        glDeleteFramebuffers(1, &fReadFramebuffer);
        glDeleteTextures(1, &fTexture);
        fRenderer.reset(); // its OpenGL objects go while the context is current
        SDL_GL_DeleteContext(fGl);
    } else {
        SDL_DestroyTexture(fSdlTexture);
        SDL_DestroyRenderer(fSdlRenderer);
    }
    SDL_DestroyWindow(fSdl);
}

int ViewWindow::Width() const {
    int w = 0;
    SDL_GetWindowSize(fSdl, &w, nullptr);
    return w;
}

int ViewWindow::Height() const {
    int h = 0;
    SDL_GetWindowSize(fSdl, nullptr, &h);
    return h;
}

void ViewWindow::Show(OpaqueTQ3Object* view, ImageRect const& image,
                      std::function<void(Bitmap&)> const& overlay) {
    if (fGl) {
        SDL_GL_MakeCurrent(fSdl, fGl);
    }
    SDL_GetWindowSize(fSdl, &fWidth, &fHeight);
    try {
        Bitmap picture = fRenderer->Render(view, image.width, image.height);
        if (picture.width() == image.width && picture.height() == image.height) {
            if (overlay) {
                overlay(picture);
            }
            Present(picture, image);
        }
        fFailed = false;
    } catch (std::exception const& error) {
        if (!fFailed) {
            std::cerr << "keypose-host: the 3D view cannot be drawn: " << error.what() << "\n";
        }
        fFailed = true;
    }
}

std::optional<OpaqueTQ3Object*> ViewWindow::Pick(ImageRect const& image, int x, int y) {
    if (fGl) {
        SDL_GL_MakeCurrent(fSdl, fGl);
    }
    try {
        return fRenderer->Pick(nullptr, image.width, image.height, x, y);
    } catch (std::exception const&) {
        return std::nullopt; // told when the view is drawn
    }
}

void ViewWindow::SetAids(view3d::ViewAids const* aids) {
    fRenderer->SetAids(aids);
}

void ViewWindow::Present(Bitmap& picture, ImageRect const& image) {
    int const w = image.width, h = image.height;
    if (!fGl) {
        if (w != fTextureWidth || h != fTextureHeight) {
            SDL_Texture* texture = SDL_CreateTexture(fSdlRenderer, SDL_PIXELFORMAT_RGB888,
                                                     SDL_TEXTUREACCESS_STREAMING, w, h);
            if (!texture) {
                throw std::runtime_error(std::string("no picture of the new size: ") +
                                         SDL_GetError());
            }
            SDL_DestroyTexture(fSdlTexture);
            fSdlTexture = texture;
            fTextureWidth = w;
            fTextureHeight = h;
        }
        SDL_UpdateTexture(fSdlTexture, nullptr, picture.pixels().data(), w * 4);
        SDL_SetRenderDrawColor(fSdlRenderer, 0, 0, 0, 255);
        SDL_RenderClear(fSdlRenderer);
        SDL_Rect const where{image.x, image.y, w, h};
        SDL_RenderCopy(fSdlRenderer, fSdlTexture, nullptr, &where);
        SDL_RenderPresent(fSdlRenderer);
        return;
    }
    // The picture's 0x00RRGGBB words are the bytes B, G, R, 0; its rows run from the top, so
    // the copy turns it upside down into the window, whose rows run from the bottom.
    glBindTexture(GL_TEXTURE_2D, fTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 picture.pixels().data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fReadFramebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, fTexture, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    int drawableWidth = fWidth, drawableHeight = fHeight;
    SDL_GL_GetDrawableSize(fSdl, &drawableWidth, &drawableHeight);
    glViewport(0, 0, drawableWidth, drawableHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    int const bottom = drawableHeight - image.y - h;
    glBlitFramebuffer(0, 0, w, h, image.x, bottom + h, image.x + w, bottom, GL_COLOR_BUFFER_BIT,
                      GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    SDL_GL_SwapWindow(fSdl);
}

} // namespace refhost::window
