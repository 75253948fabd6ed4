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
    SurfaceUniforms surfaceUniforms{scene};
    ShapeLibrary shapes;
    SceneBuffers buffers;
    FrameCounts counts;
    // Multisampled drawing, resolved into a plain framebuffer that is read back; the mask of
    // the selected objects has a texture of its own.
    GLuint msFramebuffer = 0, msColour = 0, msDepth = 0;
    GLuint framebuffer = 0, colour = 0;
    GLuint maskFramebuffer = 0, maskTexture = 0;
    int width = 0, height = 0;
    GLsizei samples = 1;
    float lineWidth = 1;

    // The steps of a frame, in this order, at the size set with Size.
    void DrawSurfaces(DrawList const& list, CameraMatrices const& matrices);
    void Outline(DrawList const& list, CameraMatrices const& matrices,
                 TQ3ColorRGB const& selectionColour);
    refhost::Bitmap ReadBack();

    Gl() {
        GLint maxSamples = 1;
        glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
        samples = std::min<GLsizei>(4, std::max<GLint>(1, maxSamples));
        GLfloat lineWidths[2] = {1, 1};
        glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, lineWidths);
        lineWidth = std::min(2.0f, lineWidths[1]);
        CheckGl("setting up the renderer");
    }

    ~Gl() { DeleteFramebuffers(); }

    void DeleteFramebuffers() {
        GLuint const framebuffers[] = {msFramebuffer, framebuffer, maskFramebuffer};
        glDeleteFramebuffers(3, framebuffers);
        GLuint const renderbuffers[] = {msColour, msDepth, colour};
        glDeleteRenderbuffers(3, renderbuffers);
        glDeleteTextures(1, &maskTexture);
        msFramebuffer = framebuffer = maskFramebuffer = 0;
        msColour = msDepth = colour = maskTexture = 0;
        width = height = 0;
    }

    void Size(int w, int h) {
        if (w == width && h == height) {
            return;
        }
        DeleteFramebuffers();
        glGenRenderbuffers(1, &msColour);
        glBindRenderbuffer(GL_RENDERBUFFER, msColour);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, w, h);
        glGenRenderbuffers(1, &msDepth);
        glBindRenderbuffer(GL_RENDERBUFFER, msDepth);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH_COMPONENT24, w, h);
        glGenFramebuffers(1, &msFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, msFramebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, msColour);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, msDepth);
        Complete("the multisampled framebuffer");

        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
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
        width = w;
        height = h;
        CheckGl("making the framebuffers");
    }

    static void Complete(char const* what) {
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            Fail(std::string(what) + " is incomplete");
        }
    }
};

SceneRenderer::SceneRenderer() {
    if (!ContextIsCurrent()) {
        Fail("no OpenGL context is current");
    }
    GLint major = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    if (major < 3) {
        Fail("OpenGL 3.3 or later is needed (is a context current?)");
    }
    fGl = std::make_unique<Gl>();
}

SceneRenderer::~SceneRenderer() = default;

SceneRenderer::FrameCounts const& SceneRenderer::LastFrame() const {
    return fGl->counts;
}

refhost::Bitmap SceneRenderer::Render(OpaqueTQ3Object* view, int width, int height) {
    SceneSource source;
    source.view = view ? view : PL_GetTheView();
    if (!source.view) {
        Fail("nothing to draw: no document is open, or the front document has no view");
    }
    source.selected = PL_GetGroupObject(kPLSelectedObjectsGroup);
    source.others = PL_GetGroupObject(kPLOtherObjectsGroup);
    if (TQ3ColorRGB const* colour = PL_GetColor(0)) {
        source.selectionColour = *colour;
    }
    return Render(source, width, height);
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
    glViewport(0, 0, width, height);
    glClearColor(kBackground.r, kBackground.g, kBackground.b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_CULL_FACE);
    glLineWidth(lineWidth);
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

    glBindFramebuffer(GL_READ_FRAMEBUFFER, msFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
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

refhost::Bitmap SceneRenderer::Render(SceneSource const& source, int width, int height) {
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    if (width < 1 || height < 1 || width > maxSize || height > maxSize) {
        Fail("an image of " + std::to_string(width) + "x" + std::to_string(height) +
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
    DrawList list = GatherScene(fGl->shapes, source.selected, source.others, view->lights);
    OrderForDrawing(list, fGl->shapes, matrices.location);
    MarkHiddenBackFaces(list, fGl->shapes, Multiply(matrices.projection, matrices.view));
    fGl->Size(width, height);
    fGl->buffers.Upload(list, fGl->shapes);
    SceneBuffers::Counts const& counts = fGl->buffers.LastCounts();
    fGl->counts = {counts.shapeVerticesUploaded, counts.instancesUploaded,
                   counts.mergedVerticesUploaded, fGl->buffers.Draws().size()};
    fGl->DrawSurfaces(list, matrices);
    fGl->Outline(list, matrices, source.selectionColour);
    return fGl->ReadBack();
}

} // namespace refhost::view3d
