// The document mode: open a document with the plug-in, optionally record the demo's two
// tween points from the palette, play, picture the palette and save.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "host/cocoa/cocoa.h"
#include "host/framework.h"
#include "host/scene.h"
#include "refhost/app/modes.h"
#include "refhost/document/document_file.h"
#include "refhost/framework/host_state.h"
#include "refhost/session/host_session.h"
#include "refhost/toolkit/render.h"

namespace keypose_host {

namespace {

using refhost::HostSession;

NSButton* ButtonTitled(NSView* root, std::string const& title) {
    for (NSView* view : root->subviews()) {
        if (auto* button = dynamic_cast<NSButton*>(view); button && button->title() == title) {
            return button;
        }
    }
    return nullptr;
}

// The first selected group, the one the demo animates.
std::optional<CGroupObject> FirstSelected(refhost::Document const& document) {
    CGroupObject selected(document.SelectedGroup());
    OpaqueTQ3GroupPosition* first = selected.GetFirstObject();
    if (!first || !CSharedObject(selected, first).IsAGroup()) {
        return std::nullopt;
    }
    return CGroupObject(selected, first);
}

std::string Placement(refhost::Document const& document) {
    std::optional<CGroupObject> group = FirstSelected(document);
    if (!group) {
        return "-";
    }
    OpaqueTQ3GroupPosition* at = group->GetFirstObjectOfType("xfrm"_4cc);
    if (!at) {
        return "no transform";
    }
    CMatrix4x4 const m = CTransformObject(*group, at).GetMatrix();
    char text[96];
    std::snprintf(text, sizeof text, "x %.3f  y %.3f  z %.3f  turned %.1f degrees", m.value[3][0],
                  m.value[3][1], m.value[3][2],
                  std::atan2(m.value[0][2], m.value[0][0]) * -180.0 / M_PI);
    return text;
}

void Demo(HostSession& session) {
    refhost::Document& document = session.Front();
    std::optional<CGroupObject> group = FirstSelected(document);
    if (!group || !group->GetFirstObjectOfType("xfrm"_4cc)) {
        throw std::runtime_error("the demo needs a selected group with a transform");
    }
    NSView* content = session.Palette().contentView();
    PL_SetCurTime(PL_GetMinTime());
    session.Click(ButtonTitled(content, "Object"));
    std::cout << "recorded at 0 s:   " << Placement(document) << "\n";
    CMatrix4x4 turn(1.0);
    float const c = std::cos(static_cast<float>(M_PI / 2)),
                s = std::sin(static_cast<float>(M_PI / 2));
    turn.value[0][0] = c;
    turn.value[0][2] = -s;
    turn.value[2][0] = s;
    turn.value[2][2] = c;
    turn.value[3][0] = 2;
    CTransformObject(*group, group->GetFirstObjectOfType("xfrm"_4cc)).SetData(turn);
    PL_SetCurTime(5 * static_cast<int32_t>(PL_GetTimeUnitsPerSecond()));
    session.Click(ButtonTitled(content, "Object"));
    std::cout << "recorded at 5 s:   " << Placement(document) << "\n";
    session.Frame();
    PL_SetCurTime(PL_GetMinTime());
    session.Frame();
}

// Plays frame by frame, reporting the placement at most kReports times however long it
// plays: every second, or every few seconds for long plays.
void Play(HostSession& session, double seconds) {
    constexpr long long kReports = 20;
    NSView* content = session.Palette().contentView();
    session.Click(content->viewWithTag(1005));
    auto const perSecond = static_cast<long long>(HostSession::kFramesPerSecond);
    long long const frames = std::llround(seconds * HostSession::kFramesPerSecond);
    long long const wholeSeconds = std::max(1LL, frames / perSecond);
    long long const every = perSecond * ((wholeSeconds + kReports - 1) / kReports);
    for (long long frame = 1; frame <= frames; ++frame) {
        session.Frame();
        if (frame % every == 0) {
            std::printf("%5.2f s  %s\n", PL_GetCurTime() / double(PL_GetTimeUnitsPerSecond()),
                        Placement(session.Front()).c_str());
        }
    }
    session.Click(content->viewWithTag(1004));
}

// The palette with its drawer open; false (with the reason said) when the file cannot be
// written.
bool PalettePicture(HostSession& session, std::string const& path) {
    NSPanel& palette = session.Palette();
    for (NSDrawer* drawer : palette.drawers()) {
        drawer->open();
    }
    if (!refhost::RenderWindow(palette).writePng(path)) {
        std::cerr << "keypose-host: " << path << ": the palette picture cannot be written\n";
        return false;
    }
    std::cout << "palette picture: " << path << "\n";
    return true;
}

void PrintLog(refhost::PlugInModule const& module) {
    for (refhost::MessageLogEntry const& entry : module.Log()) {
        std::printf("message %2u  data 0x%06x -> result %d, data 0x%x\n", entry.message,
                    entry.dataIn, entry.result, entry.dataOut);
    }
    if (module.MessageCount() > module.Log().size()) {
        std::printf("(%llu more messages not kept)\n",
                    static_cast<unsigned long long>(module.MessageCount() - module.Log().size()));
    }
}

} // namespace

int RunDocument(DocumentOptions const& options) {
    HostSession session(options.plugIn);
    session.Open(options.document);
    std::cout << "opened " << options.document << "\n";
    std::cout << "loaded " << options.plugIn << ", palette \""
              << refhost::HostState::Instance().paletteMenu.front().name << "\"\n";
    if (options.demo) {
        Demo(session);
    }
    if (options.playSeconds > 0) {
        Play(session, options.playSeconds);
    }
    bool pictured = true;
    if (!options.palettePng.empty()) {
        pictured = PalettePicture(session, options.palettePng);
    }
    if (options.log) {
        PrintLog(session.Module());
    }
    std::cout << session.Module().MessageCount() << " messages, " << session.Loop().animateEvents
              << " animate events\n";
    if (!options.savePath.empty()) {
        session.Save(options.savePath);
        std::cout << "saved " << options.savePath << "\n";
    }
    return pictured ? 0 : 1;
}

} // namespace keypose_host
