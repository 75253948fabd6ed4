// The OpenGL state of a SceneRenderer and the steps of its frames, shared by the files that
// draw them: scene_renderer.cpp (surfaces, the selection's outline, picking, the samples'
// mean and the read-back) and scene_renderer_aids.cpp (paths, ghosts' dots, the ground grid
// and the axes). Private to the renderer; every function needs the renderer's context
// current and reports OpenGL failures with CheckGl.
#pragma once

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/draw_list.h"
#include "refhost/view3d/gl_errors.h"
#include "refhost/view3d/gl_program.h"
#include "refhost/view3d/scene_buffers.h"
#include "refhost/view3d/scene_renderer.h"
#include "refhost/view3d/shaders.h"
#include "refhost/view3d/shape_library.h"

namespace refhost::view3d {

// Where the scene program's per-batch uniforms are.
struct SurfaceUniforms {
    GLint lit, specular, shininess, ambientCoefficient, uvTransform, textured;

    explicit SurfaceUniforms(GlProgram const& program)
        : lit(program.Uniform("uLit")), specular(program.Uniform("uSpecular")),
          shininess(program.Uniform("uShininess")),
          ambientCoefficient(program.Uniform("uAmbientCoefficient")),
          uvTransform(program.Uniform("uUVTransform")), textured(program.Uniform("uTextured")) {}
};

struct SceneRenderer::Gl {
    GlProgram scene{"scene", kSceneVertexShader, kSceneFragmentShader};
    GlProgram mask{"selection mask", kSceneVertexShader, kMaskFragmentShader};
    GlProgram outline{"selection outline", kScreenVertexShader, kOutlineFragmentShader};
    GlProgram identifier{"object numbers", kSceneVertexShader, kIdentifierFragmentShader};
    GlProgram aid{"view aids", kAidVertexShader, kAidFragmentShader};
    GlProgram resolve{"the samples' mean", kScreenVertexShader, kResolveFragmentShader};
    GlProgram ground{"the ground grid", kGroundVertexShader, kGroundFragmentShader};
    GLuint aidArray = 0, aidBuffer = 0;
    SurfaceUniforms surfaceUniforms{scene};
    ShapeLibrary shapes;
    SceneBuffers buffers;
    FrameCounts counts;
    // The scene drawn `scale` times wider and higher (scale squared samples a pixel), each
    // pixel then the mean of its samples in a plain framebuffer that is read back; the mask
    // of the selected objects has a texture of its own. Samples of a grid in the pixel rather
    // than OpenGL's multisampling, which Mesa's software rasterizer keeps from smoothing most
    // edges.
    GLuint msFramebuffer = 0, msColour = 0, msDepth = 0;
    GLuint framebuffer = 0, colour = 0;
    GLuint maskFramebuffer = 0, maskTexture = 0;
    // The object numbers of a pick, one sample a pixel.
    GLuint idFramebuffer = 0, idColour = 0, idDepth = 0;
    int width = 0, height = 0, frameScale = 1;
    DrawList frameList; // the last frame's, in drawing order
    int scale = 1;
    float lineWidth = 1, widestLine = 1;

    // The steps of a frame, in this order, at the size set with Size.
    void DrawSurfaces(DrawList const& list, CameraMatrices const& matrices);
    void DrawAids(ViewAids const& aids, CameraMatrices const& matrices);
    void DrawGround(CameraMatrices const& matrices);
    void DrawAxes(CameraMatrices const& matrices);
    // Lines (pairs of points with a colour each: GL_LINES) or a line strip and dots through
    // the aid program.
    struct AidVertex {
        float position[3];
        float colour[3];
        float diameter;
    };
    void UploadAidVertices(std::vector<AidVertex> const& vertices);
    void Outline(DrawList const& list, CameraMatrices const& matrices,
                 TQ3ColorRGB const& selectionColour);
    uint32_t NumberAt(CameraMatrices const& matrices, int x, int y);
    void Resolve();
    refhost::Bitmap ReadBack();
    // The frame's draw list and buffers for the source; the camera's matrices.
    CameraMatrices Prepare(SceneSource const& source, int width, int height);

    explicit Gl(int samples) {
        scale = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(samples)) - 1e-9));
        glGenVertexArrays(1, &aidArray);
        glGenBuffers(1, &aidBuffer);
        GLfloat lineWidths[2] = {1, 1};
        glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, lineWidths);
        widestLine = lineWidths[1];
        lineWidth = std::min(2.0f, widestLine);
        CheckGl("setting up the renderer");
    }

    ~Gl() {
        DeleteFramebuffers();
        glDeleteBuffers(1, &aidBuffer);
        glDeleteVertexArrays(1, &aidArray);
    }

    void DeleteFramebuffers() {
        GLuint const framebuffers[] = {msFramebuffer, framebuffer, maskFramebuffer, idFramebuffer};
        glDeleteFramebuffers(4, framebuffers);
        GLuint const renderbuffers[] = {msDepth, colour, idColour, idDepth};
        glDeleteRenderbuffers(4, renderbuffers);
        GLuint const textures[] = {msColour, maskTexture};
        glDeleteTextures(2, textures);
        msFramebuffer = framebuffer = maskFramebuffer = idFramebuffer = 0;
        msColour = msDepth = colour = maskTexture = idColour = idDepth = 0;
        width = height = 0;
    }

    // The scale a frame of w x h pixels is drawn at: smaller than asked where OpenGL takes no
    // image that large.
    int ScaleFor(int w, int h) const {
        GLint maxSize = 0;
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
        return std::max(1, std::min(scale, maxSize / std::max(w, h)));
    }

    // Lines and dots keep their width in pixels of the picture.
    float Widened(float pixels) const {
        return std::min(pixels * static_cast<float>(frameScale), widestLine);
    }

    void Size(int w, int h) {
        if (w == width && h == height) {
            return;
        }
        DeleteFramebuffers();
        int const s = ScaleFor(w, h);
        glGenTextures(1, &msColour);
        glBindTexture(GL_TEXTURE_2D, msColour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w * s, h * s, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        msDepth = Renderbuffer(GL_DEPTH_COMPONENT24, w * s, h * s);
        glGenFramebuffers(1, &msFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, msFramebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, msColour, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, msDepth);
        Complete("the sampled framebuffer");
        frameScale = s;

        colour = Renderbuffer(GL_RGBA8, w, h);
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        Complete("the framebuffer");

        glGenTextures(1, &maskTexture);
        glBindTexture(GL_TEXTURE_2D, maskTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, w, h, 0, GL_RED, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glGenFramebuffers(1, &maskFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, maskFramebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, maskTexture, 0);
        Complete("the selection mask's framebuffer");

        idColour = Renderbuffer(GL_RGBA8, w, h);
        idDepth = Renderbuffer(GL_DEPTH_COMPONENT24, w, h);
        glGenFramebuffers(1, &idFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, idFramebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, idColour);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, idDepth);
        Complete("the object numbers' framebuffer");
        width = w;
        height = h;
        CheckGl("making the framebuffers");
    }

    static GLuint Renderbuffer(GLenum format, int w, int h) {
        GLuint id = 0;
        glGenRenderbuffers(1, &id);
        glBindRenderbuffer(GL_RENDERBUFFER, id);
        glRenderbufferStorage(GL_RENDERBUFFER, format, w, h);
        return id;
    }

    static void Complete(char const* what) {
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            Fail(std::string(what) + " is incomplete");
        }
    }
};

} // namespace refhost::view3d
