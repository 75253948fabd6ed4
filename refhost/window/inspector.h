// The inspector: a small panel of the view toolkit beside the 3D view. It changes the
// selection's colour, the view's ambient and sun light (brightness and colour), saves the
// document under a typed path, and lists the palette menu: one button per palette that
// shows or hides it. A line at the bottom tells what the last action did.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "host/cocoa/cocoa.h"
#include "host/qd3d_types.h"
#include "host/scene.h"

namespace refhost::window {

// Three numbers 0..1 separated by spaces or commas ("1 0.5 0"); nothing otherwise.
std::optional<TQ3ColorRGB> ParseColour(std::string const& text);

class Inspector {
public:
    // A change that is refused returns false, having said why; its field then shows again
    // what it showed before.
    struct Actions {
        std::function<bool(TQ3ColorRGB const&)> colourSelection;
        // kind "ambn" or "drct"; a missing value leaves that part of the light alone.
        std::function<bool(TQ3ObjectType kind, std::optional<float> brightness,
                           std::optional<TQ3ColorRGB> colour)>
            changeLight;
        std::function<void(std::string const& path)> saveAs;
        // Shows the palette of the menu entry when it is hidden, hides it otherwise.
        std::function<void(std::size_t entry)> togglePalette;
    };

    // The panel at the screen's rectangle; paletteNames are the palette menu's entries.
    Inspector(NSRect frame, std::vector<std::string> const& paletteNames, Actions actions);

    NSPanel& Panel() { return *fPanel; }
    // Tells the user what happened (an error message, "saved …").
    void Say(std::string const& text);
    // Fills the fields from the document: the selection's colour, the two lights.
    void Show(std::optional<TQ3ColorRGB> selectionColour, std::optional<TQ3LightData> ambient,
              std::optional<TQ3LightData> sun);
    // The field a save-as path is typed into.
    NSTextField& PathField() { return *fPath; }
    NSTextField& ColourField() { return *fColour; }
    std::string Status() const { return fStatus->stringValue(); }

private:
    // Says why a typed value is refused and puts back what the field showed.
    void Refuse(NSTextField& field, std::string const& reason);
    void PutBack(NSTextField& field);
    NSTextField* Field(NSView* content, std::string const& label, float& y,
                       std::function<void(NSTextField&)> changed);

    std::unique_ptr<NSPanel> fPanel;
    Actions fActions;
    NSTextField* fColour = nullptr;
    NSTextField* fAmbientBrightness = nullptr;
    NSTextField* fAmbientColour = nullptr;
    NSTextField* fSunBrightness = nullptr;
    NSTextField* fSunColour = nullptr;
    NSTextField* fPath = nullptr;
    NSTextField* fStatus = nullptr;
    // What Show last put in each field.
    std::map<NSTextField const*, std::string> fShown;
};

} // namespace refhost::window
