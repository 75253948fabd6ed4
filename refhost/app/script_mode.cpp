// The script mode: a session of user actions read from a file.
#include <iostream>
#include <memory>

#include "host/framework.h"
#include "refhost/app/modes.h"
#include "refhost/gltf/script_interchange.h"
#include "refhost/script/script_runner.h"
#include "refhost/session/host_session.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/scene_renderer.h"
#include "refhost/window/heads_up.h"
#include "refhost/window/motion_aids.h"

namespace keypose_host {

int RunScript(ScriptOptions const& options) {
    refhost::HostSession session(options.plugIn);
    // The 3D view is drawn headless, with a context made when a script first asks for it.
    std::unique_ptr<refhost::view3d::GlContext> context;
    std::unique_ptr<refhost::view3d::SceneRenderer> renderer;
    refhost::view3d::AidSwitches switches;
    refhost::window::MotionAids aids;
    auto renderView = [&](int width, int height) {
        if (!renderer) {
            context = refhost::view3d::GlContext::Headless();
            renderer = std::make_unique<refhost::view3d::SceneRenderer>();
        }
        renderer->SetAids(&aids.Update(session.Front(), switches));
        refhost::Bitmap picture = renderer->Render(nullptr, width, height);
        if (switches.hud) {
            refhost::window::DrawHeadsUp(
                picture, refhost::window::HeadsUpText(session.Front().clock,
                                                      refhost::HostSession::kFramesPerSecond));
        }
        return picture;
    };
    refhost::RunScriptFile(session, options.script, std::cout, renderView,
                           refhost::gltf::ScriptInterchange(), &switches);
    return 0;
}

} // namespace keypose_host
