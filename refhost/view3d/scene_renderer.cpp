#include "refhost/view3d/scene_renderer.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/framework.h"
#include "refhost/scene/objects.h"
#include "refhost/view3d/camera_projection.h"
#include "refhost/view3d/draw_order.h"
#include "refhost/view3d/gl_context.h"
#include "refhost/view3d/gl_errors.h"
#include "refhost/view3d/gl_program.h"
#include "refhost/view3d/scene_buffers.h"
#include "refhost/view3d/scene_gather.h"
#include "refhost/view3d/shaders.h"

namespace refhost::view3d {

using namespace refhost::scene;

namespace {

// The textures of one frame, uploaded once each.
class FrameTextures {
public:
    FrameTextures() = default;
    FrameTextures(FrameTextures const&) = delete;
    FrameTextures& operator=(FrameTextures const&) = delete;
    ~FrameTextures() {
        for (auto const& [texture, id] : fIds) {
            glDeleteTextures(1, &id);
        }
    }

    GLuint Of(Texture const& texture) {
        auto found = fIds.find(&texture);
        if (found != fIds.end()) {
            return found->second;
        }
        GLuint id = 0;
        glGenTextures(1, &id);
        fIds[&texture] = id;
        glBindTexture(GL_TEXTURE_2D, id);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(texture.width),
                     static_cast<GLsizei>(texture.height), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     texture.rgba.data());
        glGenerateMipmap(GL_TEXTURE_2D);
        // Texels stay crisp up close; the pattern averages out far away.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        return id;
    }

private:
    std::map<Texture const*, GLuint> fIds;
};

// The pixels (x, y, width, height, from the bottom left) that the selected instances cover,
// widened by the outline: the image of the corners of their shapes' boxes, or the whole image
// when one corner lies behind the camera.
std::array<GLint, 4> SelectionBounds(DrawList const& list, ShapeLibrary const& shapes,
                                     GlMatrix const& viewProjection, int width, int height) {
    float left = 1, right = -1, bottom = 1, top = -1;
    for (Batch const& batch : list.batches) {
        if (!batch.selected) {
            continue;
        }
        ShapeRange const& shape = shapes.Range(batch.shape);
        for (uint32_t i = batch.first; i < batch.first + batch.count; ++i) {
            InstanceData const& data = list.instances[i].data;
            for (int corner = 0; corner < 8; ++corner) {
                std::array<float, 4> const local{(corner & 1 ? shape.high : shape.low)[0],
                                                 (corner & 2 ? shape.high : shape.low)[1],
                                                 (corner & 4 ? shape.high : shape.low)[2], 1};
                std::array<float, 4> world{0, 0, 0, 1};
                for (std::size_t j = 0; j < 3; ++j) {
                    for (std::size_t k = 0; k < 4; ++k) {
                        world[j] += data.rows[j][k] * local[k];
                    }
                }
                std::array<float, 4> const clip = Apply(viewProjection, world);
                if (!(clip[3] > 0)) {
                    return {0, 0, width, height};
                }
                left = std::min(left, clip[0] / clip[3]);
                right = std::max(right, clip[0] / clip[3]);
                bottom = std::min(bottom, clip[1] / clip[3]);
                top = std::max(top, clip[1] / clip[3]);
            }
        }
    }
    auto pixel = [](float ndc, int size, int widen) {
        float const p = (std::clamp(ndc, -1.0f, 1.0f) + 1) / 2 * static_cast<float>(size);
        return std::clamp(static_cast<int>(std::floor(p)) + widen, 0, size);
    };
    int const x0 = pixel(left, width, -kOutlineWidth - 1);
    int const x1 = pixel(right, width, kOutlineWidth + 2);
    int const y0 = pixel(bottom, height, -kOutlineWidth - 1);
    int const y1 = pixel(top, height, kOutlineWidth + 2);
    return {x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
}

// Where the scene program's per-batch uniforms are.
struct SurfaceUniforms {
    GLint lit, specular, shininess, ambientCoefficient, uvTransform, textured;

    explicit SurfaceUniforms(GlProgram const& program)
        : lit(program.Uniform("uLit")), specular(program.Uniform("uSpecular")),
          shininess(program.Uniform("uShininess")),
          ambientCoefficient(program.Uniform("uAmbientCoefficient")),
          uvTransform(program.Uniform("uUVTransform")), textured(program.Uniform("uTextured")) {}
};

} // namespace

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

SceneRenderer::SceneRenderer(int samples) {
    if (samples < 1 || samples > 64) {
        Fail("a pixel is drawn with 1 to 64 samples, not " + std::to_string(samples));
    }
    if (!ContextIsCurrent()) {
        Fail("no OpenGL context is current");
    }
    GLint major = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    if (major < 3) {
        Fail("OpenGL 3.3 or later is needed (is a context current?)");
    }
    fGl = std::make_unique<Gl>(samples);
}

int SceneRenderer::Samples() const {
    return fGl->scale * fGl->scale;
}

SceneRenderer::~SceneRenderer() = default;

SceneRenderer::FrameCounts const& SceneRenderer::LastFrame() const {
    return fGl->counts;
}

refhost::Bitmap SceneRenderer::Render(OpaqueTQ3Object* view, int width, int height) {
    return Render(FrontSource(view), width, height);
}

OpaqueTQ3Object* SceneRenderer::Pick(OpaqueTQ3Object* view, int width, int height, int x, int y) {
    return Pick(FrontSource(view), width, height, x, y);
}

SceneSource SceneRenderer::FrontSource(OpaqueTQ3Object* view) const {
    SceneSource source;
    source.aids = fAids;
    source.view = view ? view : PL_GetTheView();
    if (!source.view) {
        Fail("nothing to draw: no document is open, or the front document has no view");
    }
    source.selected = PL_GetGroupObject(kPLSelectedObjectsGroup);
    source.others = PL_GetGroupObject(kPLOtherObjectsGroup);
    if (TQ3ColorRGB const* colour = PL_GetColor(0)) {
        source.selectionColour = *colour;
    }
    return source;
}

namespace {

void SetLights(GlProgram const& program, DrawList const& list) {
    glUniform3f(program.Uniform("uAmbient"), list.ambient.r, list.ambient.g, list.ambient.b);
    int const count = static_cast<int>(std::min<std::size_t>(list.lights.size(), kMaxLights));
    glUniform1i(program.Uniform("uLightCount"), count);
    for (int i = 0; i < count; ++i) {
        DrawLight const& light = list.lights[static_cast<std::size_t>(i)];
        auto name = [i](char const* field) {
            return std::string(field) + "[" + std::to_string(i) + "]";
        };
        glUniform1i(program.Uniform(name("uLightKind")), static_cast<GLint>(light.kind));
        glUniform3f(program.Uniform(name("uLightColour")), light.colour.r, light.colour.g,
                    light.colour.b);
        glUniform3f(program.Uniform(name("uLightLocation")), light.location.x, light.location.y,
                    light.location.z);
        glUniform3f(program.Uniform(name("uLightDirection")), light.direction.x, light.direction.y,
                    light.direction.z);
        glUniform1i(program.Uniform(name("uLightAttenuation")),
                    static_cast<GLint>(light.attenuation));
        glUniform1f(program.Uniform(name("uLightHot")), light.hotAngle);
        glUniform1f(program.Uniform(name("uLightOuter")), light.outerAngle);
        glUniform1i(program.Uniform(name("uLightFallOff")), static_cast<GLint>(light.fallOff));
    }
}

void SetCamera(GlProgram const& program, CameraMatrices const& camera) {
    GlMatrix const viewProjection = Multiply(camera.projection, camera.view);
    glUniformMatrix4fv(program.Uniform("uViewProjection"), 1, GL_FALSE, viewProjection.data());
    glUniform3f(program.Uniform("uEye"), camera.location.x, camera.location.y, camera.location.z);
    glUniform1i(program.Uniform("uOrthographic"), camera.orthographic ? 1 : 0);
    // The view matrix's third row is the way back along the line of sight.
    glUniform3f(program.Uniform("uTowardsViewer"), camera.view[2], camera.view[6], camera.view[10]);
}

void SetMaterial(SurfaceUniforms const& uniforms, Material const& material,
                 FrameTextures& textures) {
    Surface const& s = material.surface;
    glUniform1i(uniforms.lit, material.lit ? 1 : 0);
    glUniform3f(uniforms.specular, s.specular.r, s.specular.g, s.specular.b);
    glUniform1f(uniforms.shininess, s.shininess);
    glUniform1f(uniforms.ambientCoefficient, s.ambientCoefficient);
    glUniformMatrix3fv(uniforms.uvTransform, 1, GL_TRUE, &s.uvTransform.value[0][0]);
    bool const textured =
        s.texture && s.texture->width > 0 && s.texture->height > 0 &&
        s.texture->rgba.size() == std::size_t{s.texture->width} * s.texture->height * 4;
    glUniform1i(uniforms.textured, textured ? 1 : 0);
    if (textured) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, textures.Of(*s.texture));
    }
}

} // namespace

void SceneRenderer::Gl::DrawSurfaces(DrawList const& list, CameraMatrices const& matrices) {
    glBindFramebuffer(GL_FRAMEBUFFER, msFramebuffer);
    glViewport(0, 0, width * frameScale, height * frameScale);
    glClearColor(kBackground.r, kBackground.g, kBackground.b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_CULL_FACE);
    glLineWidth(Widened(lineWidth));
    glUseProgram(scene.id());
    glUniform1i(scene.Uniform("uTexture"), 0);
    glUniform1i(scene.Uniform("uInstances"), kInstanceTextureUnit);
    SetCamera(scene, matrices);
    SetLights(scene, list);
    buffers.BindInstances();
    FrameTextures textures;
    // Opaque surfaces first; then the see-through ones, blended over them without hiding
    // each other.
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    uint32_t material = UINT32_MAX;
    bool blending = false;
    for (SceneBuffers::Draw const& draw : buffers.Draws()) {
        if (draw.transparent && !blending) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glDepthMask(GL_FALSE);
            blending = true;
        }
        if (draw.material != material) {
            material = draw.material;
            SetMaterial(surfaceUniforms, list.materials[material], textures);
        }
        buffers.Issue(draw);
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    CheckGl("drawing the scene");
}

float GridSpacing(float height) {
    float const h = std::max(std::fabs(height), 0.001f);
    return std::pow(10.0f, std::floor(std::log10(h) + 1e-6f));
}

void SceneRenderer::Gl::UploadAidVertices(std::vector<AidVertex> const& vertices) {
    glBindVertexArray(aidArray);
    glBindBuffer(GL_ARRAY_BUFFER, aidBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(AidVertex)),
                 vertices.data(), GL_STREAM_DRAW);
    GLsizei const stride = sizeof(AidVertex);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void const*>(offsetof(AidVertex, colour)));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 1, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void const*>(offsetof(AidVertex, diameter)));
}

void SceneRenderer::Gl::DrawGround(CameraMatrices const& matrices) {
    // A square of the ground under the eye, as far as the grid fades out.
    TQ3Point3D const eye = matrices.location;
    float const spacing = GridSpacing(eye.y);
    float const fade = 40.0f * std::max(std::fabs(eye.y), spacing);
    std::vector<AidVertex> const corners = {
        {{eye.x - fade, 0, eye.z - fade}, {0, 0, 0}, 0},
        {{eye.x + fade, 0, eye.z - fade}, {0, 0, 0}, 0},
        {{eye.x - fade, 0, eye.z + fade}, {0, 0, 0}, 0},
        {{eye.x + fade, 0, eye.z + fade}, {0, 0, 0}, 0},
    };
    glBindFramebuffer(GL_FRAMEBUFFER, msFramebuffer);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(ground.id());
    GlMatrix const viewProjection = Multiply(matrices.projection, matrices.view);
    glUniformMatrix4fv(ground.Uniform("uViewProjection"), 1, GL_FALSE, viewProjection.data());
    glUniform3f(ground.Uniform("uEye"), eye.x, eye.y, eye.z);
    glUniform1f(ground.Uniform("uSpacing"), spacing);
    glUniform1f(ground.Uniform("uFade"), fade);
    glUniform1f(ground.Uniform("uLineWidth"), static_cast<float>(frameScale));
    UploadAidVertices(corners);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindVertexArray(0);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDisable(GL_BLEND);
    CheckGl("drawing the ground grid");
}

void SceneRenderer::Gl::DrawAxes(CameraMatrices const& matrices) {
    // The view's turn alone (its translation dropped), shrunk into a square corner.
    GlMatrix turn = matrices.view;
    turn[12] = turn[13] = turn[14] = 0;
    GlMatrix squeeze{};
    squeeze[0] = squeeze[5] = 0.8f;
    squeeze[10] = -0.1f;
    squeeze[15] = 1;
    GlMatrix const triad = Multiply(squeeze, turn);
    std::vector<AidVertex> vertices;
    float const axes[3][3] = {{0.95f, 0.3f, 0.3f}, {0.35f, 0.85f, 0.35f}, {0.35f, 0.5f, 1.0f}};
    for (int a = 0; a < 3; ++a) {
        float end[3] = {0, 0, 0};
        end[a] = 1;
        vertices.push_back({{0, 0, 0}, {axes[a][0], axes[a][1], axes[a][2]}, 1});
        vertices.push_back({{end[0], end[1], end[2]}, {axes[a][0], axes[a][1], axes[a][2]}, 1});
    }
    int const side = kAxesSize * frameScale, margin = kAxesMargin * frameScale;
    glBindFramebuffer(GL_FRAMEBUFFER, msFramebuffer);
    glViewport(margin, margin, side, side);
    glDisable(GL_DEPTH_TEST);
    glUseProgram(aid.id());
    glUniformMatrix4fv(aid.Uniform("uViewProjection"), 1, GL_FALSE, triad.data());
    glUniform1i(aid.Uniform("uDots"), 0);
    glLineWidth(Widened(2));
    UploadAidVertices(vertices);
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(vertices.size()));
    glBindVertexArray(0);
    glViewport(0, 0, width * frameScale, height * frameScale);
    CheckGl("drawing the axes");
}

void SceneRenderer::Gl::DrawAids(ViewAids const& aids, CameraMatrices const& matrices) {
    if (aids.grid) {
        DrawGround(matrices);
    }
    if (aids.axes) {
        DrawAxes(matrices);
    }
    // Over everything: a path is followed through the objects that hide it.
    std::vector<AidVertex> vertices;
    std::vector<GLint> starts;
    std::vector<GLsizei> lengths;
    for (AidLine const& line : aids.lines) {
        if (line.points.size() < 2) {
            continue;
        }
        starts.push_back(static_cast<GLint>(vertices.size()));
        lengths.push_back(static_cast<GLsizei>(line.points.size()));
        for (TQ3Point3D const& p : line.points) {
            vertices.push_back({{p.x, p.y, p.z}, {line.colour.r, line.colour.g, line.colour.b}, 1});
        }
    }
    auto const firstDot = static_cast<GLint>(vertices.size());
    for (AidDot const& dot : aids.dots) {
        vertices.push_back({{dot.at.x, dot.at.y, dot.at.z},
                            {dot.colour.r, dot.colour.g, dot.colour.b},
                            Widened(dot.diameter)});
    }
    if (vertices.empty()) {
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, msFramebuffer);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_PROGRAM_POINT_SIZE);
    glUseProgram(aid.id());
    GlMatrix const viewProjection = Multiply(matrices.projection, matrices.view);
    glUniformMatrix4fv(aid.Uniform("uViewProjection"), 1, GL_FALSE, viewProjection.data());
    UploadAidVertices(vertices);
    glUniform1i(aid.Uniform("uDots"), 0);
    glLineWidth(Widened(lineWidth));
    if (!starts.empty()) {
        glMultiDrawArrays(GL_LINE_STRIP, starts.data(), lengths.data(),
                          static_cast<GLsizei>(starts.size()));
    }
    glUniform1i(aid.Uniform("uDots"), 1);
    glDrawArrays(GL_POINTS, firstDot, static_cast<GLsizei>(vertices.size()) - firstDot);
    glDisable(GL_PROGRAM_POINT_SIZE);
    glBindVertexArray(0);
    CheckGl("drawing the view's aids");
}

uint32_t SceneRenderer::Gl::NumberAt(CameraMatrices const& matrices, int x, int y) {
    // Only the pixel asked about is drawn.
    glBindFramebuffer(GL_FRAMEBUFFER, idFramebuffer);
    glViewport(0, 0, width, height);
    glEnable(GL_SCISSOR_TEST);
    glScissor(x, y, 1, 1);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    glUseProgram(identifier.id());
    glUniform1i(identifier.Uniform("uInstances"), kInstanceTextureUnit);
    SetCamera(identifier, matrices);
    buffers.BindInstances();
    for (SceneBuffers::Draw const& draw : buffers.Draws()) {
        buffers.Issue(draw);
    }
    glDisable(GL_SCISSOR_TEST);
    uint8_t rgba[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    CheckGl("drawing the object numbers");
    return uint32_t{rgba[0]} | uint32_t{rgba[1]} << 8 | uint32_t{rgba[2]} << 16 |
           uint32_t{rgba[3]} << 24;
}

void SceneRenderer::Gl::Resolve() {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(0, 0, width, height);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glUseProgram(resolve.id());
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, msColour);
    glUniform1i(resolve.Uniform("uSamples"), 1);
    glUniform1i(resolve.Uniform("uScale"), frameScale);
    glBindVertexArray(aidArray);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindVertexArray(0);
    glActiveTexture(GL_TEXTURE0);
    CheckGl("taking the mean of the samples");
}

void SceneRenderer::Gl::Outline(DrawList const& list, CameraMatrices const& matrices,
                                TQ3ColorRGB const& selectionColour) {
    if (std::none_of(list.batches.begin(), list.batches.end(),
                     [](Batch const& batch) { return batch.selected; })) {
        return;
    }
    // A mask of the selected objects, whatever hides them, then the colour around its edge.
    glDisable(GL_DEPTH_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, maskFramebuffer);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(mask.id());
    glUniform1i(mask.Uniform("uInstances"), kInstanceTextureUnit);
    SetCamera(mask, matrices);
    for (SceneBuffers::Draw const& draw : buffers.Draws()) {
        if (draw.selected) {
            buffers.Issue(draw);
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glUseProgram(outline.id());
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, maskTexture);
    glUniform1i(outline.Uniform("uMask"), 1);
    glUniform1i(outline.Uniform("uRadius"), kOutlineWidth);
    glUniform3f(outline.Uniform("uColour"), selectionColour.r, selectionColour.g,
                selectionColour.b);
    // Only around the selection: the pass reads many mask pixels for every pixel.
    std::array<GLint, 4> const bounds =
        SelectionBounds(list, shapes, Multiply(matrices.projection, matrices.view), width, height);
    glEnable(GL_SCISSOR_TEST);
    glScissor(bounds[0], bounds[1], bounds[2], bounds[3]);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glDisable(GL_SCISSOR_TEST);
    glActiveTexture(GL_TEXTURE0);
    CheckGl("outlining the selection");
}

refhost::Bitmap SceneRenderer::Gl::ReadBack() {
    std::size_t const w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    std::vector<uint8_t> rgba(w * h * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    CheckGl("reading the image back");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    refhost::Bitmap bitmap(width, height, NSZeroPoint);
    std::vector<uint32_t>& pixels = bitmap.pixels();
    for (std::size_t row = 0; row < h; ++row) {
        // OpenGL's rows run from the bottom; the bitmap's from the top.
        uint8_t const* line = &rgba[(h - 1 - row) * w * 4];
        for (std::size_t x = 0; x < w; ++x) {
            uint8_t const* p = line + x * 4;
            pixels[row * w + x] = uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
        }
    }
    return bitmap;
}

CameraMatrices SceneRenderer::Gl::Prepare(SceneSource const& source, int w, int h) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (w < 1 || h < 1 || w > maxSize || h > maxSize) {
        Fail("an image of " + std::to_string(w) + "x" + std::to_string(h) +
             " pixels cannot be drawn (each side 1 to " + std::to_string(maxSize) + ")");
    }
    auto const* view = As<View>(source.view);
    if (!view) {
        Fail("the object to draw is not a view");
    }
    auto const* camera = As<Camera>(view->camera);
    if (!camera) {
        Fail("the view has no camera");
    }
    CameraMatrices const matrices = MatricesOf(*camera);
    frameList = GatherScene(shapes, source.selected, source.others, view->lights);
    if (source.aids) {
        AddGhosts(frameList, shapes, source.aids->ghosts);
    }
    OrderForDrawing(frameList, shapes, matrices.location);
    MarkHiddenBackFaces(frameList, shapes, Multiply(matrices.projection, matrices.view));
    Size(w, h);
    buffers.Upload(frameList, shapes);
    SceneBuffers::Counts const& uploaded = buffers.LastCounts();
    counts = {uploaded.shapeVerticesUploaded, uploaded.instancesUploaded,
              uploaded.mergedVerticesUploaded, buffers.Draws().size()};
    return matrices;
}

refhost::Bitmap SceneRenderer::Render(SceneSource const& source, int width, int height) {
    CameraMatrices const matrices = fGl->Prepare(source, width, height);
    fGl->DrawSurfaces(fGl->frameList, matrices);
    if (source.aids) {
        fGl->DrawAids(*source.aids, matrices);
    }
    fGl->Resolve();
    fGl->Outline(fGl->frameList, matrices, source.selectionColour);
    return fGl->ReadBack();
}

OpaqueTQ3Object* SceneRenderer::Pick(SceneSource const& source, int width, int height, int x,
                                     int y) {
    CameraMatrices const matrices = fGl->Prepare(source, width, height);
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return nullptr;
    }
    // OpenGL's rows run from the bottom.
    uint32_t const number = fGl->NumberAt(matrices, x, height - 1 - y);
    if (number == 0 || number > fGl->frameList.instances.size()) {
        return nullptr;
    }
    return fGl->frameList.instances[number - 1].member;
}

} // namespace refhost::view3d
