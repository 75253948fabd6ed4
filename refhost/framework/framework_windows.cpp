// The plug-in framework's windows: the palette menu, the palettes' visibility and their end,
// and drawing text for a plug-in's views.
#include <algorithm>
#include <cmath>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "refhost/framework/host_state.h"

using refhost::HostState;

NSString* PL_LocalizeString(NSString* text) {
    return text;
}

void PL_AddNSNameToPaletteMenu(NSString* name, NSPanel* panel) {
    if (!name || !panel) {
        return;
    }
    HostState& host = HostState::Instance();
    host.paletteMenu.push_back({name->UTF8String(), panel, host.currentPlugIn});
}

int32_t PL_WindowIsVisible(NSPanel* panel) {
    return panel && panel->isVisible() ? 1 : 0;
}

void PL_DisposeWindow(NSPanel** panel) {
    if (!panel || !*panel) {
        return;
    }
    NSPanel* window = *panel;
    auto& menu = HostState::Instance().paletteMenu;
    menu.erase(std::remove_if(menu.begin(), menu.end(),
                              [window](auto const& entry) { return entry.panel == window; }),
               menu.end());
    window->close();
    // A panel that a window controller owns goes with its controller's hold on it.
    if (auto* controller = dynamic_cast<NSWindowController*>(window->delegate());
        controller && controller->window() == window) {
        controller->releaseWindow();
    } else {
        delete window;
    }
    *panel = nullptr;
}

void PL_SetCurrentlyExecutingPlugInRecFor(NSView* view) {
    NSWindow* window = view ? view->window() : nullptr;
    HostState& host = HostState::Instance();
    for (auto const& entry : host.paletteMenu) {
        if (window &&
            (entry.panel == window ||
             std::any_of(entry.panel->drawers().begin(), entry.panel->drawers().end(),
                         [window](NSDrawer* d) { return d->drawerWindow() == window; }))) {
            host.currentPlugIn = entry.plugIn;
            return;
        }
    }
}

// The host draws a string in the text colour with the bottom of its descenders at the point,
// as the system's string drawing does, so text drawn at a row's bottom edge stays in the row.
void Draw(CStr255 const& text, float x, float y) {
    NSGraphicsContext::saveGraphicsState();
    NSColor::controlTextColor().setFill();
    NSDrawText(text.View(), NSMakePoint(x, y + std::ceil(NSTextDescent())));
    NSGraphicsContext::restoreGraphicsState();
}

void Draw(NSString* text, float x, float y) {
    if (text) {
        Draw(CStr255(text->UTF8String()), x, y);
    }
}
