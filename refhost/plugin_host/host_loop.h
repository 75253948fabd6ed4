// The host's side of running a plug-in: every frame the host shows, it moves the clock on
// and tells the plug-in what happened, the way the plug-in subscribed to.
#pragma once

#include <cstdint>

#include "refhost/plugin_host/plugin_module.h"

namespace refhost {

class HostLoop {
public:
    explicit HostLoop(PlugInModule& module);

    // One frame that took wallSeconds: the front document's clock moves on if it plays; when
    // the current time changed since the last frame (by playing, or by anyone setting it) the
    // plug-in gets an animate event and the views are drawn again; otherwise it gets an idle
    // event every IdleInterval() frames. An answer of kPlugInAnimate to any event brings an
    // animate event at once.
    void Frame(double wallSeconds);
    // The user acted in a document window (kEventMouse or kEventKey with a sub-code).
    void Input(uint32_t bits, int16_t subCode);
    void DocumentOpened();
    // Message 41 notices: the document was put back whole (undo, redo) or saved.
    void DocumentReplaced();
    void DocumentSaved();
    void SceneEdited();
    void SelectionChanged();
    void PaletteActivated();

    int animateEvents = 0;
    int viewDrawings = 0;

private:
    void Answered(std::optional<EventAnswer> const& answer);
    void Animate();

    PlugInModule& fModule;
    int32_t fLastTime = 0;
    bool fHadDocument = false;
    int fFramesSinceIdle = 0;
};

} // namespace refhost
