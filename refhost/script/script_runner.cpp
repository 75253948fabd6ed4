#include "refhost/script/script_runner.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <numbers>
#include <sstream>

#include "host/framework.h"
#include "host/scene.h"
#include "refhost/document/document_file.h"
#include "refhost/document/new_document.h"
#include "refhost/framework/host_state.h"
#include "refhost/session/effects.h"
#include "refhost/session/object_state.h"
#include "refhost/session/posing.h"
#include "refhost/toolkit/render.h"
#include "tween/timeline_layout.h"

namespace refhost {

namespace {

// The timeline's layout as the palette draws it (its own numbers): where time 0 lies, the
// height of the ruler strip and of every row, and the slider's reach past the maximum mark.
constexpr float kTimeOrigin = kStartOffset;
constexpr auto kRowHeight = static_cast<float>(kDefaultTextHeight);
constexpr long kTimelineTag = kTimelineViewTag;
constexpr long kTimeSliderTag = kTimelineSliderTag;
constexpr float kKnobAllowance = kSliderKnobAllowance;
constexpr float kDefaultZoom = 16;
// The drawer's snap toggle.
constexpr long kSnapToggleTag = 10015;

CVector3D Vector(ScriptCommand const& c, std::size_t from) {
    return CVector3D(c.Float(from), c.Float(from + 1), c.Float(from + 2));
}

TQ3ColorRGB Colour(ScriptCommand const& c, std::size_t from) {
    return TQ3ColorRGB{c.Float(from), c.Float(from + 1), c.Float(from + 2)};
}

// The control with the tag (when it is 0 or more), or else the button with the title, in the
// view or below it.
NSView* FindControl(NSView* root, int32_t tag, std::string const& title) {
    if (!root) {
        return nullptr;
    }
    if (tag >= 0) {
        return root->viewWithTag(tag);
    }
    for (NSView* view : root->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == title) {
            return button;
        }
        if (NSView* inside = FindControl(view, tag, title)) {
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

void ScriptRunner::Run(ScriptCommand const& command) {
    std::string const where = fSource + ":" + std::to_string(command.line) + ": ";
    ScriptCommand checked;
    ScriptCommand const* c = &command;
    if (!command.declared || command.values.size() != command.words.size()) {
        checked = command;
        if (std::string const why = CheckScriptCommand(checked); !why.empty()) {
            throw ScriptError(where + ShownWord(command.verb) + ": " + why);
        }
        c = &checked;
    }
    try {
        (this->*c->declared->handler)(*c);
    } catch (ScriptError const&) {
        throw;
    } catch (std::exception const& error) {
        throw ScriptError(where + c->verb + ": " + error.what());
    }
}

void ScriptRunner::New(ScriptCommand const& c) {
    std::vector<std::string> const boxes(c.words.begin() + 1, c.words.end());
    std::unique_ptr<Document> document;
    try {
        document = NewDocument(boxes);
    } catch (std::invalid_argument const& error) {
        throw std::runtime_error(error.what());
    }
    document->path = Resolve(c.Text(0)).string();
    fSession.Adopt(std::move(document));
}

void ScriptRunner::Open(ScriptCommand const& c) {
    fSession.Open(Resolve(c.Text(0)).string());
}

void ScriptRunner::Save(ScriptCommand const& c) {
    std::string const path = c.words.empty() ? std::string() : Resolve(c.Text(0)).string();
    fSession.Save(path);
    fOut << "saved " << fSession.Front().path << "\n";
}

void ScriptRunner::Time(ScriptCommand const& c) {
    fSession.SetTime(c.Number(0));
}

void ScriptRunner::Range(ScriptCommand const& c) {
    fSession.SetRange(c.Number(0), c.Number(1));
}

void ScriptRunner::Play(ScriptCommand const& c) {
    fSession.Play(c.Number(0));
}

void ScriptRunner::Undo(ScriptCommand const&) {
    if (!fSession.Undo()) {
        throw std::runtime_error("there is nothing to undo");
    }
}

void ScriptRunner::Redo(ScriptCommand const&) {
    if (!fSession.Redo()) {
        throw std::runtime_error("there is nothing to redo");
    }
}

void ScriptRunner::Show(ScriptCommand const& c) {
    std::string const& name = c.Text(0);
    Document const& document = fSession.Front();
    fOut << name << ": "
         << (name == "camera"    ? DescribeCamera(document)
             : name == "ambient" ? DescribeViewLight(document, "ambn"_4cc)
             : name == "sun"     ? DescribeViewLight(document, "drct"_4cc)
                                 : DescribeObjectState(NamedObjectState(document, name)))
         << "\n";
}

void ScriptRunner::Palette(ScriptCommand const& c) {
    std::string const path = Resolve(c.Text(0)).string();
    NSPanel& palette = fSession.Palette();
    for (NSDrawer* drawer : palette.drawers()) {
        drawer->open();
    }
    if (!RenderWindow(palette).writePng(path)) {
        throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    }
    fOut << "palette picture: " << path << "\n";
}

void ScriptRunner::Render(ScriptCommand const& c) {
    if (!fRenderView) {
        throw std::runtime_error("this host cannot draw the 3D view");
    }
    std::string const path = Resolve(c.Text(0)).string();
    ScriptSize const size = c.words.size() > 1 ? c.Size(1) : ScriptSize{640, 480};
    if (!fRenderView(size.width, size.height).writePng(path)) {
        throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
    }
    fOut << "view picture: " << path << "\n";
}

namespace {

void Switch(view3d::AidSwitches* switches, bool view3d::AidSwitches::*which, char const* name,
            ScriptCommand const& c) {
    if (!switches) {
        throw std::runtime_error(std::string("this host draws no ") + name);
    }
    switches->*which = c.Text(0) == "on";
}

} // namespace

void ScriptRunner::Paths(ScriptCommand const& c) {
    Switch(fAids, &view3d::AidSwitches::paths, "motion paths", c);
}

void ScriptRunner::Ghosts(ScriptCommand const& c) {
    Switch(fAids, &view3d::AidSwitches::ghosts, "ghosts", c);
}

void ScriptRunner::Grid(ScriptCommand const& c) {
    Switch(fAids, &view3d::AidSwitches::grid, "grid", c);
}

void ScriptRunner::Echo(ScriptCommand const& c) {
    std::string line;
    for (auto const& word : c.words) {
        line += (line.empty() ? "" : " ") + word;
    }
    fOut << line << "\n";
}

void ScriptRunner::Edit() {
    HostState::Instance().PushUndoStep();
}

void ScriptRunner::Posed() {
    fSession.Front().edited = true;
}

void ScriptRunner::Select(ScriptCommand const& c) {
    SelectObjects(fSession.Front(), c.words);
    fSession.Loop().SelectionChanged();
    Posed();
}

void ScriptRunner::Deselect(ScriptCommand const&) {
    DeselectAll(fSession.Front());
    fSession.Loop().SelectionChanged();
    Posed();
}

void ScriptRunner::Move(ScriptCommand const& c) {
    Edit();
    MoveSelection(fSession.Front(), Vector(c, 0));
    Posed();
}

void ScriptRunner::Turn(ScriptCommand const& c) {
    Edit();
    std::string const& a = c.Text(0);
    CVector3D const axis(a == "x" ? 1.0f : 0.0f, a == "y" ? 1.0f : 0.0f, a == "z" ? 1.0f : 0.0f);
    TurnSelection(fSession.Front(), axis, c.Float(1) * std::numbers::pi_v<float> / 180);
    Posed();
}

void ScriptRunner::Scale(ScriptCommand const& c) {
    Edit();
    ScaleSelection(fSession.Front(), c.words.size() == 1
                                         ? CVector3D(c.Float(0), c.Float(0), c.Float(0))
                                         : Vector(c, 0));
    Posed();
}

void ScriptRunner::Colour(ScriptCommand const& c) {
    Edit();
    ColourSelection(fSession.Front(), refhost::Colour(c, 0), c.verb == "specular");
    Posed();
}

void ScriptRunner::Surface(ScriptCommand const& c) {
    Edit();
    std::string const& which = c.Text(0);
    SetSelectionSurface(fSession.Front(),
                        which == "ambient"     ? 0
                        : which == "shininess" ? 1
                                               : 2,
                        c.Float(1));
    Posed();
}

void ScriptRunner::Camera(ScriptCommand const& c) {
    CVector3D const up = c.words.size() == 9 ? Vector(c, 6) : CVector3D(0, 1, 0);
    CVector3D const from = Vector(c, 0);
    CVector3D const at = Vector(c, 3);
    PlaceCamera(fSession.Front(),
                TQ3CameraPlacement{{from.x, from.y, from.z}, {at.x, at.y, at.z}, up});
    Posed();
}

void ScriptRunner::Effect(ScriptCommand const& c) {
    Edit();
    Document& document = fSession.Front();
    std::string const& kind = c.Text(0);
    if (kind == "colour") {
        AddColourEffect(document, c.Float(1), c.Float(2), c.Float(3));
    } else if (kind == "texture") {
        AddTextureEffect(document, c.Float(1), c.Float(2), c.Float(3));
    } else if (kind == "light") {
        AddLightEffect(document, c.Float(1), c.Float(2), c.Float(3), c.Float(4));
    } else {
        RemoveEffects(document);
    }
    fSession.SceneEdited();
    Posed();
}

void ScriptRunner::Light(ScriptCommand const& c) {
    Edit();
    std::string const& what = c.Text(1);
    auto const change = [&](TQ3LightData& light) {
        if (what == "on" || what == "off") {
            light.isOn = what == "on" ? kQ3True : kQ3False;
        } else if (what == "brightness") {
            light.brightness = c.Float(2);
        } else {
            light.color = refhost::Colour(c, 2);
        }
    };
    std::string const& which = c.Text(0);
    if (which == "ambient" || which == "sun") {
        ChangeViewLight(fSession.Front(), which == "ambient" ? "ambn"_4cc : "drct"_4cc, change);
    } else {
        ChangeObjectLight(fSession.Front(), which, change);
    }
    Posed();
}

void ScriptRunner::Press(ScriptCommand const& c) {
    int32_t const tag = c.IsWhole(0) ? c.Whole(0) : -1;
    std::string const& title = c.Text(0);
    NSPanel& palette = fSession.Palette();
    NSView* view = FindControl(palette.contentView(), tag, title);
    for (NSDrawer* drawer : palette.drawers()) {
        if (!view) {
            view = FindControl(drawer->contentView(), tag, title);
            if (view) {
                drawer->open();
            }
        }
    }
    if (!view) {
        throw std::runtime_error("the palette has no control '" + ShownWord(title) + "'");
    }
    fSession.Click(view);
    fSession.Frame(0);
}

NSPoint ScriptRunner::TimelinePoint(ScriptCommand const& c, std::size_t rowWord) const {
    NSView* timeline = Timeline();
    NSRect const frame = timeline->frame();
    // The zoom is the palette's: one second is as wide as the ruler says.
    float const x = kTimeOrigin + c.Float(rowWord + 1) * PaletteZoom(fSession.Palette());
    if (!c.IsWhole(rowWord)) {
        return NSMakePoint(x, NSMaxY(frame) - kRowHeight / 2);
    }
    auto const k = static_cast<float>(c.Whole(rowWord));
    // 3 pixels above a row's bottom edge lies inside a tween point's glyph.
    return NSMakePoint(x, NSMaxY(frame) - (k + 2) * kRowHeight + 3);
}

NSView* ScriptRunner::Timeline() const {
    NSView* timeline = fSession.Palette().contentView()->viewWithTag(kTimelineTag);
    if (!timeline) {
        throw std::runtime_error("the palette has no timeline");
    }
    return timeline;
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

void ScriptRunner::Key(ScriptCommand const& c) {
    std::string const& key = c.Text(0);
    fSession.Type(Timeline(), key == "delete" ? std::string("\x7f") : key);
    fSession.Frame(0);
}

void ScriptRunner::Click(ScriptCommand const& c) {
    NSView* timeline = Timeline();
    NSPoint const at = TimelinePoint(c, 0);
    Reveal(timeline, at);
    fSession.Gesture(timeline, {at}, c.words.size() == 3 ? NSEventModifierFlagShift : 0);
    fSession.Frame(0);
}

void ScriptRunner::Drag(ScriptCommand const& c) {
    NSView* timeline = Timeline();
    NSPoint const from = TimelinePoint(c, 0);
    NSPoint const to = TimelinePoint(c, 2);
    NSPoint const middle = NSMakePoint((from.x + to.x) / 2, (from.y + to.y) / 2);
    Reveal(timeline, from);
    fSession.Gesture(timeline, {from, middle, to},
                     c.words.size() == 5 ? NSEventModifierFlagShift : 0);
    fSession.Frame(0);
}

void ScriptRunner::Export(ScriptCommand const& c) {
    if (!fInterchange.exportTo) {
        throw std::runtime_error("this host cannot write glTF");
    }
    std::string const path = Resolve(c.Text(0)).string();
    fInterchange.exportTo(fSession, path);
    fOut << "exported: " << path << "\n";
}

void ScriptRunner::Import(ScriptCommand const& c) {
    if (!fInterchange.importFrom) {
        throw std::runtime_error("this host cannot read glTF");
    }
    std::string const path = Resolve(c.Text(0)).string();
    fSession.Adopt(fInterchange.importFrom(path, fOut));
    fOut << "imported: " << path << "\n";
}

void ScriptRunner::Scrub(ScriptCommand const& c) {
    NSView* timeline = Timeline();
    float const zoom = PaletteZoom(fSession.Palette());
    float const units = static_cast<float>(PL_GetTimeUnitsPerSecond());
    auto xOf = [&](double seconds) { return kTimeOrigin + static_cast<float>(seconds) * zoom; };
    float const xmin = xOf(static_cast<double>(PL_GetMinTime()) / units);
    float const xmax = xOf(static_cast<double>(PL_GetMaxTime()) / units);
    float const y = NSMaxY(timeline->frame()) - kRowHeight / 2;
    float const to = xOf(c.Number(0));
    // The press must grab no tab: the first of these that lies clear of both.
    auto clear = [&](float x) {
        return x >= 0 && std::fabs(x - xmin) > kTabGrabDistance + 1 &&
               std::fabs(x - xmax) > kTabGrabDistance + 1;
    };
    float from = to;
    for (float x :
         {to, (xmin + xmax) / 2, xmax + 2 * kTabGrabDistance, xmin - 2 * kTabGrabDistance}) {
        if (clear(x)) {
            from = x;
            break;
        }
    }
    if (!clear(from)) {
        throw std::runtime_error("the ruler has no room to press beside the range's tabs");
    }
    Reveal(timeline, NSMakePoint(from, y));
    std::vector<NSPoint> path{NSMakePoint(from, y)};
    if (from != to) {
        path.push_back(NSMakePoint(to, y));
    }
    fSession.Gesture(timeline, path, 0);
    fSession.Frame(0);
}

void ScriptRunner::Copy(ScriptCommand const&) {
    fSession.Type(Timeline(), "c", NSEventModifierFlagControl);
}

void ScriptRunner::Paste(ScriptCommand const&) {
    fSession.Type(Timeline(), "v", NSEventModifierFlagControl);
    fSession.Frame(0);
}

void ScriptRunner::Ease(ScriptCommand const& c) {
    static constexpr char const* kNames[] = {"linear", "in", "out", "inout", "hold"};
    uint8_t wanted = 0;
    while (c.Text(0) != kNames[wanted]) {
        ++wanted;
    }
    auto eases = [&] { return SelectedTweenEases(fSession.Front()); };
    if (eases().empty()) {
        throw std::runtime_error("no tween point of an object is selected");
    }
    auto done = [&] {
        auto const now = eases();
        return !now.empty() && now.front() == wanted;
    };
    if (wanted == 4) {
        fSession.Type(Timeline(), "H");
    }
    // E steps through linear, in, out and in-out.
    for (int presses = 0; presses < 4 && !done(); ++presses) {
        fSession.Type(Timeline(), "E");
    }
    if (!done()) {
        throw std::runtime_error("the selected tween points did not take the ease");
    }
    fSession.Frame(0);
}

void ScriptRunner::Snap(ScriptCommand const& c) {
    NSButton* toggle = nullptr;
    for (NSDrawer* drawer : fSession.Palette().drawers()) {
        if (!toggle) {
            toggle = dynamic_cast<NSButton*>(drawer->contentView()->viewWithTag(kSnapToggleTag));
            if (toggle) {
                drawer->open();
            }
        }
    }
    if (!toggle) {
        throw std::runtime_error("the palette has no snap toggle");
    }
    bool const on = c.Text(0) == "on";
    if ((toggle->state() == NSControlStateValueOn) != on) {
        toggle->window()->makeKeyAndOrderFront(nullptr); // a button takes no first click
        fSession.Click(toggle);
    }
}

void ScriptRunner::Zoom(ScriptCommand const&) {
    fSession.Type(Timeline(), "F");
}

void RunScriptFile(HostSession& session, std::filesystem::path const& path, std::ostream& out,
                   ScriptRunner::ViewRenderer renderer, ScriptRunner::Interchange interchange,
                   view3d::AidSwitches* aids) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw ScriptError(path.string() + ": cannot be read: " + std::strerror(errno));
    }
    std::stringstream text;
    text << file.rdbuf();
    std::vector<ScriptCommand> const commands = ParseScript(text.str(), path.string());
    ScriptRunner runner(session, path.parent_path(), out, path.string());
    runner.SetViewRenderer(std::move(renderer));
    runner.SetInterchange(std::move(interchange));
    runner.SetAidSwitches(aids);
    runner.Run(commands);
}

} // namespace refhost
