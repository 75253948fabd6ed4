#include "refhost/plugin_host/host_loop.h"

#include "refhost/framework/playback_clock.h"

namespace refhost {

HostLoop::HostLoop(PlugInModule& module) : fModule(module) {}

void HostLoop::Frame(double wallSeconds) {
    Document* front = HostState::Instance().Front();
    if (front) {
        AdvanceClock(*front, wallSeconds);
    }
    int32_t now = PL_GetCurTime();
    if (front && (!fHadDocument || now != fLastTime)) {
        fHadDocument = true;
        fLastTime = now;
        Animate();
        return;
    }
    if (++fFramesSinceIdle >= fModule.IdleInterval()) {
        fFramesSinceIdle = 0;
        Answered(fModule.SendEvent(kEventIdle));
    }
}

void HostLoop::Input(uint32_t bits, int16_t subCode) {
    Answered(fModule.SendEvent(bits, subCode));
}

void HostLoop::DocumentOpened() {
    Answered(fModule.SendEvent(kEventDocumentOpened));
    fModule.SendNotice(kNoticeFrontDocumentChanged);
}

void HostLoop::DocumentReplaced() {
    fModule.SendNotice(kNoticeDocumentReplaced);
}

void HostLoop::DocumentSaved() {
    fModule.SendNotice(kNoticeDocumentSaved);
}

void HostLoop::SceneEdited() {
    Answered(fModule.SendEvent(kEventSceneEdited));
}

void HostLoop::SelectionChanged() {
    Answered(fModule.SendEvent(kEventSelectionChanged));
}

void HostLoop::PaletteActivated() {
    Answered(fModule.SendEvent(kEventPaletteActivated));
}

void HostLoop::Answered(std::optional<EventAnswer> const& answer) {
    if (answer && answer->result == kPlugInAnimate) {
        Animate();
    }
}

void HostLoop::Animate() {
    ++animateEvents;
    fModule.SendEvent(kEventAnimate);
    fLastTime = PL_GetCurTime();
    ++viewDrawings;
}

} // namespace refhost
