#include "refhost/view3d/gl_context.h"

#include <epoxy/egl.h>
#include <epoxy/glx.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace refhost::view3d {

namespace {

std::string EglFailure(char const* step) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string("headless OpenGL: ") + step + " failed (EGL error " + code + ")";
}

class HeadlessContext : public GlContext {
public:
    HeadlessContext() {
        if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
            throw std::runtime_error("headless OpenGL: EGL offers no surfaceless platform "
                                     "(EGL_MESA_platform_surfaceless; is Mesa's libegl-mesa0 "
                                     "installed?)");
        }
        fDisplay =
            eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (fDisplay == EGL_NO_DISPLAY) {
            throw std::runtime_error(EglFailure("opening the surfaceless display"));
        }
        EGLint major = 0, minor = 0;
        if (!eglInitialize(fDisplay, &major, &minor)) {
            throw std::runtime_error(EglFailure("initialising EGL"));
        }
        Create();
    }

    ~HeadlessContext() override {
        if (eglGetCurrentContext() == fContext) {
            eglMakeCurrent(fDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        }
        eglDestroyContext(fDisplay, fContext);
        eglReleaseThread();
        // The display stays initialised: EGL hands every caller the same one, so terminating
        // it would end the other contexts made on it, and would unload Mesa's driver only
        // for the next context to load it again.
    }

    void MakeCurrent() override {
        if (!eglMakeCurrent(fDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, fContext)) {
            throw std::runtime_error(EglFailure("making the context current"));
        }
    }

private:
    void Create() {
        if (!eglBindAPI(EGL_OPENGL_API)) {
            throw std::runtime_error(EglFailure("choosing desktop OpenGL"));
        }
        // Surfaceless drawing needs no config; the renderer's framebuffers set the format.
        EGLint const attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                     3,
                                     EGL_CONTEXT_MINOR_VERSION,
                                     3,
                                     EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                     EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                     EGL_NONE};
        fContext = eglCreateContext(fDisplay, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
        if (fContext == EGL_NO_CONTEXT) {
            throw std::runtime_error(EglFailure("creating an OpenGL 3.3 core context"));
        }
        if (!eglMakeCurrent(fDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, fContext)) {
            eglDestroyContext(fDisplay, fContext);
            throw std::runtime_error(EglFailure("making the context current"));
        }
    }

    EGLDisplay fDisplay = EGL_NO_DISPLAY;
    EGLContext fContext = EGL_NO_CONTEXT;
};

} // namespace

GlContext::~GlContext() = default;

bool ContextIsCurrent() {
    if (epoxy_has_egl() && eglGetCurrentContext() != EGL_NO_CONTEXT) {
        return true;
    }
    return glXGetCurrentContext() != nullptr;
}

std::unique_ptr<GlContext> GlContext::Headless() {
    return std::make_unique<HeadlessContext>();
}

} // namespace refhost::view3d
