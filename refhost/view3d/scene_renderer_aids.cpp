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
#include "refhost/view3d/view_aids.h"

namespace refhost::view3d {

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

} // namespace refhost::view3d
