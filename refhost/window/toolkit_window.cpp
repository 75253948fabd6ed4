#include "refhost/window/toolkit_window.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace refhost::window {

namespace {

std::size_t OpenDrawers(NSWindow const& window) {
    std::size_t open = 0;
    for (NSDrawer* drawer : window.drawers()) {
        open += drawer->state() == NSDrawerOpenState ? 1 : 0;
    }
    return open;
}

} // namespace

NSPoint ScreenPointOfPixel(NSPoint origin, int height, int x, int y) {
    return NSMakePoint(origin.x + static_cast<CGFloat>(x) + 0.5f,
                       origin.y + static_cast<CGFloat>(height - y) - 0.5f);
}

SDL_Point KeptOnScreen(SDL_Rect const& window, SDL_Rect const& usable) {
    int const x = std::max(usable.x, std::min(window.x, usable.x + usable.w - window.w));
    int const y = std::max(usable.y, std::min(window.y, usable.y + usable.h - window.h));
    return {x, y};
}

ToolkitWindow::ToolkitWindow(NSWindow& window, std::string const& title, int x, int y)
    : fWindow(window) {
    RenderWindowInto(fWindow, fPicture);
    bool const resizable = (window.styleMask() & NSWindowStyleMaskResizable) != 0;
    fSdl = SDL_CreateWindow(title.c_str(), x, y, fPicture.width(), fPicture.height(),
                            SDL_WINDOW_HIDDEN | SDL_WINDOW_UTILITY |
                                (resizable ? SDL_WINDOW_RESIZABLE : 0));
    if (!fSdl) {
        throw std::runtime_error("the window '" + title + "' cannot be opened: " + SDL_GetError());
    }
    fRenderer = SDL_CreateRenderer(fSdl, -1, SDL_RENDERER_SOFTWARE);
    if (!fRenderer) {
        SDL_DestroyWindow(fSdl);
        throw std::runtime_error("the window '" + title + "' cannot be drawn: " + SDL_GetError());
    }
    fOpenDrawers = OpenDrawers(fWindow);
    Update(true);
}

ToolkitWindow::~ToolkitWindow() {
    if (fTexture) {
        SDL_DestroyTexture(fTexture);
    }
    SDL_DestroyRenderer(fRenderer);
    SDL_DestroyWindow(fSdl);
}

void ToolkitWindow::Update(bool force) {
    bool const visible = fWindow.isVisible();
    bool const shown = (SDL_GetWindowFlags(fSdl) & SDL_WINDOW_SHOWN) != 0;
    if (visible != shown) {
        if (visible) {
            SDL_ShowWindow(fSdl);
        } else {
            SDL_HideWindow(fSdl);
        }
        force = true;
    }
    std::size_t const drawers = OpenDrawers(fWindow);
    bool drawerViews = false;
    for (NSDrawer* drawer : fWindow.drawers()) {
        drawerViews = drawerViews || drawer->drawerWindow()->viewsNeedDisplay();
    }
    if (!visible ||
        !(force || drawers != fOpenDrawers || fWindow.viewsNeedDisplay() || drawerViews)) {
        return;
    }
    fOpenDrawers = drawers;
    RenderWindowInto(fWindow, fPicture);
    Present();
}

void ToolkitWindow::TakeKeyboard() {
    Update(true);
    SDL_RaiseWindow(fSdl);
    SDL_SetWindowInputFocus(fSdl);
}

void ToolkitWindow::Resized(int width, int height) {
    if (width == fPicture.width() && height == fPicture.height()) {
        return;
    }
    if (fWindow.styleMask() & NSWindowStyleMaskResizable) {
        // The picture holds the window and its open drawers: the window takes the whole
        // change.
        NSRect frame = fWindow.frame();
        float const newWidth = std::max<float>(
            frame.size.width + static_cast<float>(width - fPicture.width()), kMinimumSize);
        float const newHeight = std::max<float>(
            frame.size.height + static_cast<float>(height - fPicture.height()), kMinimumSize);
        frame.origin.y += frame.size.height - newHeight;
        frame.size = NSMakeSize(newWidth, newHeight);
        fWindow.setFrame(frame);
    }
    // Drawn at once, and the SDL window set to the picture's size where the toolkit window
    // kept its own.
    RenderWindowInto(fWindow, fPicture);
    Present();
    if (width != fPicture.width() || height != fPicture.height()) {
        SDL_SetWindowSize(fSdl, fPicture.width(), fPicture.height());
    }
}

void ToolkitWindow::Present() {
    int const w = fPicture.width(), h = fPicture.height();
    if (w <= 0 || h <= 0) {
        return;
    }
    if (!fTexture || w != fTextureWidth || h != fTextureHeight) {
        if (fTexture) {
            SDL_DestroyTexture(fTexture);
        }
        fTexture =
            SDL_CreateTexture(fRenderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
        fTextureWidth = w;
        fTextureHeight = h;
        SDL_SetWindowSize(fSdl, w, h);
        // A drawer that opens widens the picture: the window moves to keep it all in view.
        SDL_Rect usable{};
        if (SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(fSdl)), &usable) ==
            0) {
            SDL_Rect window{0, 0, w, h};
            SDL_GetWindowPosition(fSdl, &window.x, &window.y);
            SDL_Point const kept = KeptOnScreen(window, usable);
            if (kept.x != window.x || kept.y != window.y) {
                SDL_SetWindowPosition(fSdl, kept.x, kept.y);
            }
        }
    }
    SDL_UpdateTexture(fTexture, nullptr, fPicture.pixels().data(), w * 4);
    SDL_RenderClear(fRenderer);
    SDL_RenderCopy(fRenderer, fTexture, nullptr, nullptr);
    SDL_RenderPresent(fRenderer);
}

NSWindow* ToolkitWindow::WindowAt(NSPoint screen) const {
    for (NSDrawer* drawer : fWindow.drawers()) {
        if (drawer->state() == NSDrawerOpenState &&
            NSPointInRect(screen, drawer->drawerWindow()->frame())) {
            return drawer->drawerWindow();
        }
    }
    return NSPointInRect(screen, fWindow.frame()) ? &fWindow : nullptr;
}

NSWindow* ToolkitWindow::KeyWindow() const {
    NSWindow* key = NSApp()->keyWindow();
    if (key == &fWindow) {
        return key;
    }
    for (NSDrawer* drawer : fWindow.drawers()) {
        if (key == drawer->drawerWindow()) {
            return key;
        }
    }
    return nullptr;
}

void ToolkitWindow::PostMouse(NSEventType type, int x, int y, NSEventModifierFlags flags,
                              int clicks) {
    NSPoint const screen = ScreenPointOfPixel(fPicture.origin(), fPicture.height(), x, y);
    NSWindow* target = nullptr;
    if (type == NSEventType::leftMouseDown) {
        target = WindowAt(screen);
        if (!target) {
            return;
        }
        if (!target->isKeyWindow()) {
            target->makeKeyAndOrderFront(nullptr);
        }
        fMouseWindow = target->windowNumber();
    } else {
        target = NSApp()->windowWithWindowNumber(fMouseWindow);
        if (!target) {
            return;
        }
    }
    NSPoint const origin = target->frame().origin;
    NSPoint const local = NSMakePoint(screen.x - origin.x, screen.y - origin.y);
    NSApp()->postEvent(
        NSEvent::mouseEventWithType(type, local, flags, target->windowNumber(), clicks), false);
}

void ToolkitWindow::PostScroll(int x, int y, float dx, float dy, NSEventModifierFlags flags) {
    NSPoint const screen = ScreenPointOfPixel(fPicture.origin(), fPicture.height(), x, y);
    NSWindow* target = WindowAt(screen);
    if (!target) {
        return;
    }
    NSPoint const origin = target->frame().origin;
    NSEvent event = NSEvent::mouseEventWithType(
        NSEventType::scrollWheel, NSMakePoint(screen.x - origin.x, screen.y - origin.y), flags,
        target->windowNumber(), 0);
    event.setDelta(dx, dy);
    NSApp()->postEvent(event, false);
}

void ToolkitWindow::PostKey(NSEventType type, std::string const& characters,
                            NSEventModifierFlags flags) {
    NSWindow* target = KeyWindow();
    if (!target) {
        target = &fWindow;
        target->makeKeyWindow();
    }
    NSApp()->postEvent(NSEvent::keyEventWithType(type, flags, target->windowNumber(), characters),
                       false);
}

bool ToolkitWindow::EditingText() const {
    NSWindow* key = KeyWindow();
    auto* field = key ? dynamic_cast<NSTextField*>(key->firstResponder()) : nullptr;
    return field && field->isEditing();
}

} // namespace refhost::window
