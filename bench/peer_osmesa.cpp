// The same frame drawn by Vantrel and by Mesa's software OpenGL (OSMesa on llvmpipe, its own
// thread count): the 6,912-face torus at radius 200 and the 3,584-face sphere at radius 80, the
// start-up camera's direction and field of view, the background gradient included. Shaded is
// flat-shaded with Vantrel's face colours, Gradient smooth-shaded with its vertex colours; Mesa
// gets the object's vertices and the same matrices and does its own transform, depth test and
// back-face culling, timed to glFinish. Times are wall time, beside the CPU time of all the
// process's threads (llvmpipe draws on several). "agree" is the share of pixels within 8 levels per
// channel of Vantrel's frame, so both are seen to draw the same picture.
#include <benchmark/benchmark.h>

#include <GL/osmesa.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "bench_scenes.h"
#include "canvas/canvas.h"
#include "render/collect_faces.h"
#include "render/draw_scene.h"
#include "render/projection.h"
#include "render/drawing_tools.h"
#include "render/face_geometry.h"
#include "render/render_frame.h"
#include "render/render_target.h"
#include "scene/camera.h"
#include "scene/orbit_camera.h"

namespace vantrel {
namespace {

enum class Solid : std::int64_t { Torus = 0, Sphere = 1 };

struct Frame {
    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    std::unique_ptr<RenderWork> work = std::make_unique<RenderWork>();
    RenderTarget target;
    Orbit orbit;
    PanelSize panel;

    Frame(Solid solid, std::int32_t mode, PanelSize size) : panel(size) {
        BuildDefaultScene(*scene, orbit);
        CreateBackBuffer(target, size.width, size.height);
        if (solid == Solid::Torus) {
            AddSplitTorus(*scene);
        } else {
            AddTessellatedSphere(*scene);
            orbit.radius = 80.0f;
        }
        scene->cameraTable[1].renderMode = mode;
    }
    ~Frame() { DestroyBackBuffer(target); }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    void Draw() {
        OrbitCamera(*scene, 1, {}, orbit.radius, orbit.longitude, orbit.latitude);
        scene->lightTable[1].position = scene->cameraTable[1].eye;
        RenderView(*scene, *work, target, 1, panel);
    }
};

// Arguments: solid, mode (2 Shaded, 5 Gradient), width, height.
void BM_Vantrel(benchmark::State& state) {
    Frame frame(static_cast<Solid>(state.range(0)), static_cast<std::int32_t>(state.range(1)),
                {static_cast<std::int32_t>(state.range(2)), static_cast<std::int32_t>(state.range(3))});
    for (auto _ : state) {
        frame.Draw();
        benchmark::ClobberMemory();
    }
}

void Multiply(const Matrix4& a, const Matrix4& b, Matrix4& out) {
    Matrix4 product;
    for (int r = 0; r < 4; ++r) {
        const float row[4] = {a.row[r].x, a.row[r].y, a.row[r].z, a.row[r].w};
        product.row[r] = {0, 0, 0, 0};
        for (int k = 0; k < 4; ++k) {
            product.row[r].x += row[k] * b.row[k].x;
            product.row[r].y += row[k] * b.row[k].y;
            product.row[r].z += row[k] * b.row[k].z;
            product.row[r].w += row[k] * b.row[k].w;
        }
    }
    out = product;
}

struct ColorBytes {
    GLubyte r, g, b;
};
ColorBytes BytesOf(const ColorRGB& color) {
    const ColorRef ref = ColorToColorRef(color);
    return {static_cast<GLubyte>(ref & 0xFF), static_cast<GLubyte>((ref >> 8) & 0xFF), static_cast<GLubyte>((ref >> 16) & 0xFF)};
}

// Arguments as BM_Vantrel.
void BM_Llvmpipe(benchmark::State& state) {
    const std::int32_t mode = static_cast<std::int32_t>(state.range(1));
    Frame frame(static_cast<Solid>(state.range(0)), mode,
                {static_cast<std::int32_t>(state.range(2)), static_cast<std::int32_t>(state.range(3))});
    frame.Draw();  // Vantrel's own frame: its colours, matrices and the picture to compare with
    const Scene& scene = *frame.scene;
    const RenderWork& work = *frame.work;
    const std::int32_t width = frame.panel.width, height = frame.panel.height;

    OSMesaContext context = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
    std::vector<std::uint32_t> buffer(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (!context || !OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, width, height)) {
        state.SkipWithError("no OSMesa context");
        if (context) OSMesaDestroyContext(context);
        return;
    }
    OSMesaPixelStore(OSMESA_Y_UP, 0);  // row 0 at the top, as on the canvas

    // Vantrel's projection ends in pixels; this maps pixels and depth 0 .. 1 to GL's -1 .. 1.
    const Camera& camera = scene.cameraTable[1];
    const float hw = width / 2.0f, hh = height / 2.0f, scale = hh < hw ? hw : hh;
    Matrix4 projection, toDevice, glProjection, modelView;
    BuildProjection(camera.nearClip * camera.tanHalfFov, camera.nearClip, camera.farClip, scale, scale, hw, hh,
                    camera.orthographic, camera.orthoScale, projection);
    MatFromRows({1 / hw, 0, 0, 0}, {0, -1 / hh, 0, 0}, {0, 0, 2, 0}, {-1, 1, -1, 1}, toDevice);
    Multiply(projection, toDevice, glProjection);
    const Mesh& mesh = scene.meshTable[scene.currentMesh];
    Multiply(mesh.world, camera.view, modelView);

    // Shaded: three corners of its own per face carrying the face colour; Gradient: shared vertices.
    std::vector<Vector3> corners;
    std::vector<ColorBytes> colors;
    std::vector<GLuint> indices;
    for (std::int32_t f = mesh.firstFace; f < mesh.firstFace + mesh.faceCount; ++f) {
        std::int32_t c[3];
        FaceCorners(scene, f, c);
        for (std::int32_t v : c) {
            if (mode == kModeGradient) {
                indices.push_back(static_cast<GLuint>(v - mesh.firstVertex));
            } else {
                corners.push_back(scene.vertexPool[v]);
                colors.push_back(BytesOf(work.faceShades[f]));
            }
        }
    }
    if (mode == kModeGradient) {
        for (std::int32_t v = mesh.firstVertex; v < mesh.firstVertex + mesh.vertexCount; ++v) {
            corners.push_back(scene.vertexPool[v]);
            colors.push_back(BytesOf(work.vertexColors[v]));
        }
    }
    // Listed faces run one way round on the screen (y down); GL counts with y up.
    std::int32_t c[3];
    FaceCorners(scene, work.drawList[0], c);
    const Vector3 &a = work.screenVertices[c[0]], &b = work.screenVertices[c[1]], &d = work.screenVertices[c[2]];
    const bool screenClockwise = (b.x - a.x) * (d.y - a.y) - (d.x - a.x) * (b.y - a.y) > 0;

    glViewport(0, 0, width, height);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(screenClockwise ? GL_CW : GL_CCW);
    glDepthFunc(GL_LESS);
    glShadeModel(mode == kModeGradient ? GL_SMOOTH : GL_FLAT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    const GLubyte top[3] = {0, 0, 0}, bottom[3] = {0, 0, 255};  // the background's two colours
    const auto draw = [&] {
        glClear(GL_DEPTH_BUFFER_BIT);
        glDisable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glShadeModel(GL_SMOOTH);
        glBegin(GL_QUADS);
        glColor3ubv(top);
        glVertex2f(-1, 1);
        glVertex2f(1, 1);
        glColor3ubv(bottom);
        glVertex2f(1, -1);
        glVertex2f(-1, -1);
        glEnd();
        glShadeModel(mode == kModeGradient ? GL_SMOOTH : GL_FLAT);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnable(GL_DEPTH_TEST);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(&glProjection.row[0].x);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(&modelView.row[0].x);
        glVertexPointer(3, GL_FLOAT, sizeof(Vector3), corners.data());
        glColorPointer(3, GL_UNSIGNED_BYTE, sizeof(ColorBytes), colors.data());
        if (mode == kModeGradient)
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT, indices.data());
        else
            glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(corners.size()));
        glFinish();
    };
    draw();
    for (auto _ : state) draw();

    const Surface& ours = *DcSurface(frame.target.dc);
    double agree = 0;
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint32_t p = ours.pixels[y * ours.pitch + x], q = buffer[static_cast<std::size_t>(y) * width + x];
            bool close = true;
            for (int shift : {0, 8, 16}) close = close && std::abs(int((p >> shift) & 0xFF) - int((q >> shift) & 0xFF)) <= 8;
            agree += close;
        }
    state.counters["agree"] = agree / (double(width) * height);
    state.SetLabel(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    OSMesaDestroyContext(context);
}

void PeerArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"solid", "mode", "w", "h"});
    for (auto size : {std::pair<std::int64_t, std::int64_t>{1280, 720}, {3840, 2160}})
        for (std::int64_t solid : {0, 1})
            for (std::int64_t mode : {std::int64_t{kModeShaded}, std::int64_t{kModeGradient}}) b->Args({solid, mode, size.first, size.second});
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Vantrel)->Apply(PeerArguments)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Llvmpipe)->Apply(PeerArguments)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
}  // namespace vantrel
