#include "refhost/view3d/scene_renderer.h"

#include "refhost/view3d/renderer_gl.h"

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

} // namespace

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
