#include "refhost/window/inspector.h"

#include <cstdio>
#include <sstream>

namespace refhost::window {

namespace {

constexpr float kMargin = 8;
constexpr float kRow = 24;
constexpr float kLabelWidth = 130;

std::string ColourText(TQ3ColorRGB const& c) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3g %.3g %.3g", c.r, c.g, c.b);
    return text;
}

std::optional<float> Number(std::string const& text) {
    std::istringstream in(text);
    float value = 0;
    if (!(in >> value) || !(in >> std::ws).eof()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::optional<TQ3ColorRGB> ParseColour(std::string const& text) {
    std::string spaced = text;
    for (char& c : spaced) {
        c = c == ',' ? ' ' : c;
    }
    std::istringstream in(spaced);
    float v[3];
    for (float& each : v) {
        if (!(in >> each) || each < 0 || each > 1) {
            return std::nullopt;
        }
    }
    if (!(in >> std::ws).eof()) {
        return std::nullopt;
    }
    return TQ3ColorRGB{v[0], v[1], v[2]};
}

Inspector::Inspector(NSRect frame, std::vector<std::string> const& paletteNames, Actions actions)
    : fPanel(std::make_unique<NSPanel>(frame,
                                       NSWindowStyleMaskTitled | NSWindowStyleMaskUtilityWindow)),
      fActions(std::move(actions)) {
    fPanel->setTitle("Inspector");
    NSView* content = fPanel->contentView();
    float y = frame.size.height - kMargin - kRow;
    fColour = Field(content, "Selection colour", y, [this](NSTextField& field) {
        if (auto colour = ParseColour(field.stringValue())) {
            if (!fActions.colourSelection(*colour)) {
                PutBack(field);
            }
        } else {
            Refuse(field, "a colour is three numbers from 0 to 1");
        }
    });
    auto light = [this](TQ3ObjectType kind, bool brightness) {
        return [this, kind, brightness](NSTextField& field) {
            if (brightness) {
                std::optional<float> const value = Number(field.stringValue());
                if (!value || *value < 0) {
                    Refuse(field, "a brightness is a number, 0 or more");
                } else if (!fActions.changeLight(kind, value, std::nullopt)) {
                    PutBack(field);
                }
            } else if (auto colour = ParseColour(field.stringValue())) {
                if (!fActions.changeLight(kind, std::nullopt, colour)) {
                    PutBack(field);
                }
            } else {
                Refuse(field, "a colour is three numbers from 0 to 1");
            }
        };
    };
    fAmbientBrightness = Field(content, "Ambient brightness", y, light("ambn"_4cc, true));
    fAmbientColour = Field(content, "Ambient colour", y, light("ambn"_4cc, false));
    fSunBrightness = Field(content, "Sun brightness", y, light("drct"_4cc, true));
    fSunColour = Field(content, "Sun colour", y, light("drct"_4cc, false));
    fPath = Field(content, "Save as (path)", y, [this](NSTextField& field) {
        if (field.stringValue().empty()) {
            Say("type the path to save to");
        } else {
            fActions.saveAs(field.stringValue());
        }
    });
    for (std::size_t entry = 0; entry < paletteNames.size(); ++entry) {
        auto* button = content->addSubview(std::make_unique<NSButton>(
            NSMakeRect(kMargin, y, frame.size.width - 2 * kMargin, kRow - 4)));
        button->setTitle("Show/hide palette " + paletteNames[entry]);
        button->setAction([this, entry](NSObject*) { fActions.togglePalette(entry); });
        y -= kRow;
    }
    fStatus = content->addSubview(NSTextField::labelWithString(
        "", NSMakeRect(kMargin, kMargin, frame.size.width - 2 * kMargin, kRow - 4)));
    fPanel->orderFront(nullptr);
}

NSTextField* Inspector::Field(NSView* content, std::string const& label, float& y,
                              std::function<void(NSTextField&)> changed) {
    float const width = fPanel->frame().size.width;
    content->addSubview(
        NSTextField::labelWithString(label, NSMakeRect(kMargin, y, kLabelWidth, kRow - 4)));
    auto* field = content->addSubview(std::make_unique<NSTextField>(
        NSMakeRect(kMargin + kLabelWidth, y, width - 2 * kMargin - kLabelWidth, kRow - 4)));
    field->setEditable(true);
    field->setBezeled(true);
    field->setDrawsBackground(true);
    field->setAction([field, changed = std::move(changed)](NSObject*) { changed(*field); });
    y -= kRow;
    return field;
}

void Inspector::Say(std::string const& text) {
    fStatus->setStringValue(text);
    fStatus->setNeedsDisplay(true);
}

void Inspector::Refuse(NSTextField& field, std::string const& reason) {
    Say(reason);
    PutBack(field);
}

void Inspector::PutBack(NSTextField& field) {
    auto const shown = fShown.find(&field);
    field.setStringValue(shown == fShown.end() ? std::string() : shown->second);
    field.setNeedsDisplay(true);
}

void Inspector::Show(std::optional<TQ3ColorRGB> selectionColour,
                     std::optional<TQ3LightData> ambient, std::optional<TQ3LightData> sun) {
    auto set = [this](NSTextField* field, std::string const& text) {
        fShown[field] = text;
        if (!field->isEditing() && field->stringValue() != text) {
            field->setStringValue(text);
            field->setNeedsDisplay(true);
        }
    };
    set(fColour, selectionColour ? ColourText(*selectionColour) : "");
    set(fAmbientBrightness, ambient ? NSFormatFloat(ambient->brightness) : "");
    set(fAmbientColour, ambient ? ColourText(ambient->color) : "");
    set(fSunBrightness, sun ? NSFormatFloat(sun->brightness) : "");
    set(fSunColour, sun ? ColourText(sun->color) : "");
}

} // namespace refhost::window
