#include "refhost/script/script_runner.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <sstream>

#include "host/framework.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/session/effects.h"
#include "refhost/session/posing.h"
#include "refhost/toolkit/render.h"

namespace refhost {

namespace {

// The timeline's layout as the palette draws it: time 0 lies 6 pixels from its left edge,
// and the ruler strip and every row are 14 pixels high.
constexpr float kTimeOrigin = 6;
constexpr float kRowHeight = 14;
constexpr long kTimelineTag = 2000;
constexpr long kTimeSliderTag = 1000;
constexpr float kKnobAllowance = 12;
constexpr float kDefaultZoom = 16;

float Number(std::string const& word) {
    return std::stof(word);
}

CVector3D Vector(std::vector<std::string> const& words, std::size_t from) {
    return CVector3D(Number(words[from]), Number(words[from + 1]), Number(words[from + 2]));
}

TQ3ColorRGB Colour(std::vector<std::string> const& words, std::size_t from) {
    return TQ3ColorRGB{Number(words[from]), Number(words[from + 1]), Number(words[from + 2])};
}

NSView* FindControl(NSView* root, std::string const& control) {
    if (!root) {
        return nullptr;
    }
    bool const isTag =
        !control.empty() && control.find_first_not_of("0123456789") == std::string::npos;
    if (isTag) {
        return root->viewWithTag(std::stol(control));
    }
    for (NSView* view : root->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == control) {
            return button;
        }
        if (NSView* inside = FindControl(view, control)) {
            return inside;
        }
    }
    return nullptr;
}

// The palette's zoom, in pixels a second, as it shows: the time slider spans the range from
// the start mark to 12 pixels past the end mark. The palette lays itself out first.
float PaletteZoom(NSPanel& palette) {
    RenderWindow(palette);
    NSView* slider = palette.contentView()->viewWithTag(kTimeSliderTag);
    int32_t const range = PL_GetMaxTime() - PL_GetMinTime();
    if (!slider || range <= 0) {
        return kDefaultZoom;
    }
    float const width = NSWidth(slider->frame()) - kKnobAllowance;
    return width * static_cast<float>(PL_GetTimeUnitsPerSecond()) / static_cast<float>(range);
}

} // namespace

ScriptRunner::ScriptRunner(HostSession& session, std::filesystem::path base, std::ostream& out,
                           std::string source)
    : fSession(session), fBase(std::move(base)), fOut(out), fSource(std::move(source)) {}

std::filesystem::path ScriptRunner::Resolve(std::string const& path) const {
    std::filesystem::path p(path);
    return p.is_absolute() ? p : fBase / p;
}

void ScriptRunner::Run(std::vector<ScriptCommand> const& commands) {
    for (auto const& command : commands) {
        Run(command);
    }
}

void ScriptRunner::Run(ScriptCommand const& c) {
    try {
        std::string const& v = c.verb;
        if (v == "open") {
            fSession.Open(Resolve(c.words[0]).string());
        } else if (v == "save") {
            std::string const path = c.words.empty() ? std::string() : Resolve(c.words[0]).string();
            fSession.Save(path);
            fOut << "saved " << fSession.Front().path << "\n";
        } else if (v == "time") {
            fSession.SetTime(Number(c.words[0]));
        } else if (v == "range") {
            auto const units = static_cast<double>(PL_GetTimeUnitsPerSecond());
            PL_SetMaxTime(static_cast<int32_t>(std::lround(Number(c.words[1]) * units)));
            PL_SetMinTime(static_cast<int32_t>(std::lround(Number(c.words[0]) * units)));
            fSession.Frame(0);
        } else if (v == "play") {
            fSession.Play(Number(c.words[0]));
        } else if (v == "undo") {
            if (!fSession.Undo()) {
                throw std::runtime_error("there is nothing to undo");
            }
        } else if (v == "press") {
            Press(c.words[0]);
        } else if (v == "click" || v == "drag" || v == "key") {
            Timeline(c);
        } else if (v == "palette") {
            PalettePicture(Resolve(c.words[0]).string());
        } else if (v == "render") {
            ViewPicture(Resolve(c.words[0]).string(), c.words.size() > 1 ? c.words[1] : "640x480");
        } else if (v == "echo") {
            std::string line;
            for (auto const& word : c.words) {
                line += (line.empty() ? "" : " ") + word;
            }
            fOut << line << "\n";
        } else {
            Pose(c);
        }
    } catch (ScriptError const&) {
        throw;
    } catch (std::exception const& error) {
        throw ScriptError(fSource + ":" + std::to_string(c.line) + ": " + c.verb + ": " +
                          error.what());
    }
}

void ScriptRunner::Pose(ScriptCommand const& c) {
    Document& document = fSession.Front();
    std::string const& v = c.verb;
    auto const& w = c.words;
    if (v == "select") {
        SelectObjects(document, w);
        fSession.Loop().SelectionChanged();
    } else if (v == "deselect") {
        DeselectAll(document);
        fSession.Loop().SelectionChanged();
    } else if (v == "move") {
        MoveSelection(document, Vector(w, 0));
    } else if (v == "turn") {
        CVector3D const axis(w[0] == "x" ? 1.0f : 0.0f, w[0] == "y" ? 1.0f : 0.0f,
                             w[0] == "z" ? 1.0f : 0.0f);
        TurnSelection(document, axis, Number(w[1]) * std::numbers::pi_v<float> / 180);
    } else if (v == "scale") {
        ScaleSelection(document, w.size() == 1 ? CVector3D(Number(w[0]), Number(w[0]), Number(w[0]))
                                               : Vector(w, 0));
    } else if (v == "colour" || v == "specular") {
        ColourSelection(document, Colour(w, 0), v == "specular");
    } else if (v == "surface") {
        int const which = w[0] == "ambient" ? 0 : w[0] == "shininess" ? 1 : 2;
        SetSelectionSurface(document, which, Number(w[1]));
    } else if (v == "camera") {
        CVector3D const up = w.size() == 9 ? Vector(w, 6) : CVector3D(0, 1, 0);
        CVector3D const from = Vector(w, 0);
        CVector3D const at = Vector(w, 3);
        PlaceCamera(document, TQ3CameraPlacement{{from.x, from.y, from.z}, {at.x, at.y, at.z}, up});
    } else if (v == "effect") {
        if (w[0] == "colour") {
            AddColourEffect(document, Number(w[1]), Number(w[2]), Number(w[3]));
        } else if (w[0] == "texture") {
            AddTextureEffect(document, Number(w[1]), Number(w[2]), Number(w[3]));
        } else if (w[0] == "light") {
            AddLightEffect(document, Number(w[1]), Number(w[2]), Number(w[3]), Number(w[4]));
        } else {
            RemoveEffects(document);
        }
        fSession.SceneEdited();
    } else if (v == "light") {
        auto const change = [&](TQ3LightData& light) {
            if (w[1] == "on" || w[1] == "off") {
                light.isOn = w[1] == "on" ? kQ3True : kQ3False;
            } else if (w[1] == "brightness") {
                light.brightness = Number(w[2]);
            } else {
                light.color = Colour(w, 2);
            }
        };
        if (w[0] == "ambient" || w[0] == "sun") {
            ChangeViewLight(document, w[0] == "ambient" ? "ambn"_4cc : "drct"_4cc, change);
        } else {
            ChangeObjectLight(document, w[0], change);
        }
    }
    document.edited = true;
}

void ScriptRunner::Press(std::string const& control) {
    NSPanel& palette = fSession.Palette();
    NSView* view = FindControl(palette.contentView(), control);
    for (NSDrawer* drawer : palette.drawers()) {
        if (!view) {
            view = FindControl(drawer->contentView(), control);
            if (view) {
                drawer->open();
            }
        }
    }
    if (!view) {
        throw std::runtime_error("the palette has no control '" + control + "'");
    }
    fSession.Click(view);
    fSession.Frame(0);
}

NSPoint ScriptRunner::TimelinePoint(std::string const& row, double seconds) const {
    NSView* timeline = fSession.Palette().contentView()->viewWithTag(kTimelineTag);
    NSRect const frame = timeline->frame();
    // The zoom is the palette's: one second is as wide as the ruler says.
    float const x = kTimeOrigin + static_cast<float>(seconds) * PaletteZoom(fSession.Palette());
    if (row == "ruler") {
        return NSMakePoint(x, NSMaxY(frame) - kRowHeight / 2);
    }
    float const k = std::stof(row);
    // 3 pixels above a row's bottom edge lies inside a tween point's glyph.
    return NSMakePoint(x, NSMaxY(frame) - (k + 2) * kRowHeight + 3);
}

namespace {

// Scrolls the timeline so that the point shows, so a click there reaches it.
void Reveal(NSView* timeline, NSPoint p) {
    NSRect const visible = timeline->visibleRect();
    if (NSPointInRect(p, NSInsetRect(visible, 2, 2))) {
        return;
    }
    if (auto* clip = dynamic_cast<NSClipView*>(timeline->superview())) {
        clip->scrollToPoint(NSMakePoint(p.x - NSWidth(visible) / 2, p.y - NSHeight(visible) / 2));
    }
}

} // namespace

void ScriptRunner::Timeline(ScriptCommand const& c) {
    NSView* timeline = fSession.Palette().contentView()->viewWithTag(kTimelineTag);
    if (!timeline) {
        throw std::runtime_error("the palette has no timeline");
    }
    if (c.verb == "key") {
        std::string const& key = c.words[0];
        fSession.Type(timeline, key == "delete" ? std::string("\x7f") : key);
    } else if (c.verb == "click") {
        bool const shift = c.words.size() == 3;
        NSPoint const at = TimelinePoint(c.words[0], std::stod(c.words[1]));
        Reveal(timeline, at);
        fSession.Gesture(timeline, {at}, shift ? NSEventModifierFlagShift : 0);
    } else {
        bool const shift = c.words.size() == 5;
        NSPoint const from = TimelinePoint(c.words[0], std::stod(c.words[1]));
        NSPoint const to = TimelinePoint(c.words[2], std::stod(c.words[3]));
        NSPoint const middle = NSMakePoint((from.x + to.x) / 2, (from.y + to.y) / 2);
        Reveal(timeline, from);
        fSession.Gesture(timeline, {from, middle, to}, shift ? NSEventModifierFlagShift : 0);
    }
    fSession.Frame(0);
}

void ScriptRunner::PalettePicture(std::string const& path) {
    NSPanel& palette = fSession.Palette();
    for (NSDrawer* drawer : palette.drawers()) {
        drawer->open();
    }
    if (!RenderWindow(palette).writePng(path)) {
        throw std::runtime_error("cannot write " + path);
    }
    fOut << "palette picture: " << path << "\n";
}

void ScriptRunner::ViewPicture(std::string const& path, std::string const& size) {
    if (!fRenderView) {
        throw std::runtime_error("this host cannot draw the 3D view");
    }
    int width = 640;
    int height = 480;
    std::sscanf(size.c_str(), "%dx%d", &width, &height);
    if (!fRenderView(width, height).writePng(path)) {
        throw std::runtime_error("cannot write " + path);
    }
    fOut << "view picture: " << path << "\n";
}

void RunScriptFile(HostSession& session, std::filesystem::path const& path, std::ostream& out,
                   ScriptRunner::ViewRenderer renderer) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw ScriptError(path.string() + ": cannot be read");
    }
    std::stringstream text;
    text << file.rdbuf();
    std::vector<ScriptCommand> const commands = ParseScript(text.str(), path.string());
    ScriptRunner runner(session, path.parent_path(), out, path.string());
    runner.SetViewRenderer(std::move(renderer));
    runner.Run(commands);
}

} // namespace refhost
