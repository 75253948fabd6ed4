// OpenGL contexts for the 3D view. The renderer draws into whatever context is current on
// the calling thread; this file makes one without a window or a display, through EGL's
// surfaceless platform (Mesa's software rasterizer, no GPU needed). A window's context is
// made by the window's own code and works the same way.
#pragma once

#include <memory>

namespace refhost::view3d {

// An OpenGL 3.3 core context, current on the thread that made it from creation until it is
// destroyed (or another context is made current).
class GlContext {
public:
    // A context with no surface; the renderer draws into framebuffer objects of its own.
    // Throws std::runtime_error naming the step that failed (no EGL display, no surfaceless
    // platform, no OpenGL 3.3 core context...).
    static std::unique_ptr<GlContext> Headless();

    GlContext() = default;
    GlContext(GlContext const&) = delete;
    GlContext& operator=(GlContext const&) = delete;
    virtual ~GlContext();

    // Makes the context current on the calling thread again; throws when EGL refuses.
    virtual void MakeCurrent() = 0;
};

// Whether an OpenGL context (EGL's, or GLX's as an X11 window may have) is current on the
// calling thread. OpenGL calls without one would end the program.
bool ContextIsCurrent();

} // namespace refhost::view3d
