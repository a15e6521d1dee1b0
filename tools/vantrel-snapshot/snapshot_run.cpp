#include "tools/vantrel-snapshot/snapshot_run.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QResizeEvent>

#include "app/menu_layout.h"
#include "app/overlay.h"
#include "render/render_threads.h"
#include "app/startup.h"
#include "render/render_target.h"
#include "geometry/random.h"
#include "tools/printable_echo.h"

namespace vantrel {
namespace {

struct KeyPress {
    int key;
    Qt::KeyboardModifiers modifiers;
};

KeyPress QtKey(ScriptKey key) {
    switch (key) {
        case ScriptKey::F1: return {Qt::Key_F1, Qt::NoModifier};
        case ScriptKey::F2: return {Qt::Key_F2, Qt::NoModifier};
        case ScriptKey::F3: return {Qt::Key_F3, Qt::NoModifier};
        case ScriptKey::F4: return {Qt::Key_F4, Qt::NoModifier};
        case ScriptKey::F5: return {Qt::Key_F5, Qt::NoModifier};
        case ScriptKey::F6: return {Qt::Key_F6, Qt::NoModifier};
        case ScriptKey::CtrlL: return {Qt::Key_L, Qt::ControlModifier};
        case ScriptKey::CtrlO: return {Qt::Key_O, Qt::ControlModifier};
        case ScriptKey::CtrlD: return {Qt::Key_D, Qt::ControlModifier};
        case ScriptKey::CtrlM: return {Qt::Key_M, Qt::ControlModifier};
        case ScriptKey::CtrlA: return {Qt::Key_A, Qt::ControlModifier};
        case ScriptKey::CtrlC: return {Qt::Key_C, Qt::ControlModifier};
        case ScriptKey::Shift: return {Qt::Key_Shift, Qt::NoModifier};
    }
    return {Qt::Key_unknown, Qt::NoModifier};
}

void SendKey(MainWindow& window, ScriptKey key, QEvent::Type type) {
    const KeyPress press = QtKey(key);
    // Shift's own press already counts as a held modifier, its release no longer does.
    const Qt::KeyboardModifiers modifiers =
        key == ScriptKey::Shift && type == QEvent::KeyPress ? Qt::KeyboardModifiers(Qt::ShiftModifier) : press.modifiers;
    QKeyEvent event(type, press.key, modifiers);
    QCoreApplication::sendEvent(window.clientArea(), &event);
}

void SendMouse(MainWindow& window, QEvent::Type type, const Step& step, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    const QPointF point(static_cast<double>(step.a), static_cast<double>(step.b));
    QMouseEvent event(type, point, window.clientArea()->mapToGlobal(point), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(window.clientArea(), &event);
}

bool ResizeClient(MainWindow& window, int width, int height, std::string& error) {
    // The menu bar sits above the client area; correct once for whatever the layout added.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QSize client = window.clientArea()->size();
        const QSize outer = window.size();
        window.resize(outer.width() + (width - client.width()), outer.height() + (height - client.height()));
        QCoreApplication::processEvents();
        if (window.clientArea()->size() == QSize(width, height)) return true;
    }
    const QSize client = window.clientArea()->size();
    error = "the window cannot take a client area of that size (it has " + std::to_string(client.width()) + " x " +
            std::to_string(client.height()) + ")";
    return false;
}

QImage ShownClientArea(MainWindow& window) {
    QWidget* client = window.clientArea();
    const double ratio = window.PixelRatio();
    if (ratio == client->devicePixelRatioF()) return client->grab().toImage();
    // A ratio the offscreen screen does not have: painted as a screen of that ratio would be.
    QImage image(ToDevice(client->width(), ratio), ToDevice(client->height(), ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    client->render(&image);
    return image;
}

std::string ShortestFloat(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

const char* NameOf(const Mesh& mesh, std::string& storage) {
    storage.assign(mesh.name, strnlen(mesh.name, kMeshNameBytes));
    return storage.c_str();
}

// The size of a record with these members in this order.
template <typename Record, typename... Members>
constexpr std::size_t LaidOut() {
    const auto roundUp = [](std::size_t size, std::size_t alignment) { return (size + alignment - 1) / alignment * alignment; };
    std::size_t end = 0;
    ((end = roundUp(end, alignof(Members)) + sizeof(Members)), ...);
    return roundUp(end, alignof(Record));
}

// The first `leading` records of a table as new, copied as plain memory: the address sanitizer's
// memmove, which vector assignment reaches, copies byte by byte, and these tables are megabytes.
template <typename Slot>
void ResetTable(std::vector<Slot>& table, const std::vector<Slot>& pristine, std::int32_t leading = kTableSlots) {
    static_assert(std::is_trivially_copyable_v<Slot>);
    if (table.size() != pristine.size()) {
        table = pristine;
        return;
    }
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(leading, 0)), pristine.size());
    std::memcpy(table.data(), pristine.data(), count * sizeof(Slot));
}

// Records past a range are already as new: every removal clears the record it frees.
template <typename Slot>
void ResetRecords(std::vector<Slot>& table, const IndexRange& range, const std::vector<Slot>& pristine) {
    ResetTable(table, pristine, std::max(LastIndex(range), 0) + 1);
}

void ResetScene(Scene& scene, const Scene& pristine) {
    static_assert(sizeof(Scene) == LaidOut<Scene, std::vector<Vector3>, std::vector<Face>, std::vector<Mesh>, IndexRange,
                                           std::vector<Camera>, IndexRange, std::vector<Light>, IndexRange,
                                           ErrorReporter, std::int32_t, std::int32_t, std::int32_t, Truth>(),
                  "a new member of the Scene record needs resetting here");
    ResetTable(scene.vertexPool, pristine.vertexPool);
    ResetTable(scene.facePool, pristine.facePool);
    ResetRecords(scene.meshTable, scene.meshRange, pristine.meshTable);
    scene.meshRange = pristine.meshRange;
    ResetRecords(scene.cameraTable, scene.cameraRange, pristine.cameraTable);
    scene.cameraRange = pristine.cameraRange;
    ResetRecords(scene.lightTable, scene.lightRange, pristine.lightTable);
    scene.lightRange = pristine.lightRange;
    scene.reporter = pristine.reporter;
    scene.currentMesh = pristine.currentMesh;
    scene.currentCamera = pristine.currentCamera;
    scene.currentLight = pristine.currentLight;
    scene.frameDirty = pristine.frameDirty;
}

void ResetRenderWork(RenderWork& work, const RenderWork& pristine) {
    // The listed faces and the vertices' last faces are written afresh by every frame before they
    // are read; the threads stay, and so do the band rows, the Gradient order and the runs per row,
    // which only tests change.
    static_assert(sizeof(RenderWork) == 10 * sizeof(std::vector<Vector3>) + sizeof(std::unique_ptr<RenderThreads>) +
                                            2 * sizeof(std::int64_t),
                  "a new member of RenderWork needs resetting here");
    ResetTable(work.worldVertices, pristine.worldVertices);
    ResetTable(work.viewVertices, pristine.viewVertices);
    ResetTable(work.screenVertices, pristine.screenVertices);
    ResetTable(work.depthKeys, pristine.depthKeys);
    ResetTable(work.drawList, pristine.drawList);
    ResetTable(work.faceShades, pristine.faceShades);
    ResetTable(work.vertexNormals, pristine.vertexNormals);
    ResetTable(work.vertexColors, pristine.vertexColors);
}

}  // namespace

void SnapshotHost::ShowErrorBox(const char*, const char* text) { std::fprintf(stderr, "error: %s\n", text); }

double SnapshotHost::SecondsSinceMidnight() {
    return fixed_ ? static_cast<double>(milliseconds_) / 1000.0 : SystemSecondsSinceMidnight();
}

void DumpState(const Program& program, std::FILE* out) {
    const Scene& scene = program.scene;
    std::fprintf(out, "orbit longitude=%d latitude=%d radius=%d\n", OverlayDegrees(program.orbit.longitude),
                 OverlayDegrees(program.orbit.latitude), RoundToInt(program.orbit.radius));
    const Camera& camera = scene.cameraTable[scene.currentCamera >= 0 && scene.currentCamera <= kLastSlot ? scene.currentCamera : 0];
    const Light& light = scene.lightTable[scene.currentLight >= 0 && scene.currentLight <= kLastSlot ? scene.currentLight : 0];
    std::fprintf(out, "view mode=%d ortho=%d light=%d doublesided=%d metallic=%d atmosphere=%d colorcorrect=%d\n",
                 camera.renderMode, camera.orthographic, light.enabled, camera.doubleSided, camera.metallic,
                 camera.atmosphere, camera.colorCorrect);
    std::string name;
    const std::int32_t current = scene.currentMesh >= 0 && scene.currentMesh <= kLastSlot ? scene.currentMesh : 0;
    const Mesh& mesh = scene.meshTable[current];
    std::fprintf(out, "current mesh=%d name=\"%s\" vertices=%d faces=%d\n", scene.currentMesh, NameOf(mesh, name),
                 mesh.vertexCount, mesh.faceCount);
    for (std::int32_t slot = scene.meshRange.first; slot <= LastIndex(scene.meshRange) && slot <= kLastSlot; ++slot) {
        const Mesh& each = scene.meshTable[slot];
        std::fprintf(out, "mesh %d vertices=%d faces=%d name=\"%s\"\n", slot, each.vertexCount, each.faceCount,
                     NameOf(each, name));
    }
    std::fprintf(out, "paint color=0x%06X shine=%s\n", program.interaction.paintColor & 0xFFFFFFu,
                 ShortestFloat(program.interaction.paintShine).c_str());
    std::int32_t faces = 0;
    while (faces < kTableSlots && program.work.drawList[faces] != 0) ++faces;
    std::fprintf(out, "drawlist faces=%d\n", faces);
    std::fflush(out);
}

int RunStep(const Step& step, Program& program, MainWindow& window, SnapshotHost& host, std::string& error) {
    switch (step.kind) {
        case StepKind::None: return 0;
        case StepKind::Scale: window.OverridePixelRatio(step.ratio); return 0;
        case StepKind::Size:
            return ResizeClient(window, static_cast<int>(step.a), static_cast<int>(step.b), error) ? 0 : 1;
        case StepKind::Seed: host.FixTimeOfDay(step.a); return 0;
        case StepKind::Menu: {
            QAction* action = FindMenuItem(static_cast<std::int32_t>(step.a)) ? window.menuAction(static_cast<std::int32_t>(step.a)) : nullptr;
            if (!action) {
                error = "no menu item has id " + std::to_string(step.a);
                return 2;
            }
            action->trigger();
            return 0;
        }
        case StepKind::Key:
            SendKey(window, step.key, QEvent::KeyPress);
            SendKey(window, step.key, QEvent::KeyRelease);
            return 0;
        case StepKind::KeyDown: SendKey(window, step.key, QEvent::KeyPress); return 0;
        case StepKind::KeyUp: SendKey(window, step.key, QEvent::KeyRelease); return 0;
        case StepKind::MouseMove: {
            Qt::MouseButtons buttons;
            if (step.left) buttons |= Qt::LeftButton;
            if (step.right) buttons |= Qt::RightButton;
            SendMouse(window, QEvent::MouseMove, step, Qt::NoButton, buttons);
            return 0;
        }
        case StepKind::MouseLeftDown: SendMouse(window, QEvent::MouseButtonPress, step, Qt::LeftButton, Qt::LeftButton); return 0;
        case StepKind::MouseRightDown: SendMouse(window, QEvent::MouseButtonPress, step, Qt::RightButton, Qt::RightButton); return 0;
        case StepKind::Tick:
            for (std::int64_t i = 0; i < step.a; ++i) window.FrameTick();
            return 0;
        case StepKind::Save: {
            // The client area as shown: the view and both strips, painted through the procedure,
            // in device pixels.
            const QImage image = ShownClientArea(window);
            if (image.isNull()) {
                error = "the picture is too large to save at this scale";
                return 1;
            }
            if (image.save(QString::fromStdString(step.file), "PNG")) return 0;
            error = "cannot write " + PrintableEcho(step.file);
            return 1;
        }
        case StepKind::Dump: DumpState(program, stdout); return 0;
    }
    return 0;
}

void StartHeadless(Program& program, MainWindow& window, SnapshotHost& host) {
    ConnectHost(program, host);
    window.PlaceAtStart();
    window.show();
    QCoreApplication::processEvents();
    StartProgram(program, host);
}

void RestartHeadless(Program& program, MainWindow& window, SnapshotHost& host) {
    // A Shift the client area still thinks held would reach the new program as a stray release.
    if (window.clientArea()->shiftDown()) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
        QCoreApplication::sendEvent(window.clientArea(), &release);
    }
    // The view's back buffer outlives the restart as memory to grow into: the program only ever
    // grows it, nothing else reads its size, and each frame draws the view over before showing it.
    // A fresh one would be grown again at the first frame, in new pages that each cost a fault.
    RenderTarget backBuffer = std::exchange(program.target, RenderTarget{});
    const std::int32_t backBufferWidth = program.shell.backBufferWidth;
    const std::int32_t backBufferHeight = program.shell.backBufferHeight;
    StopProgram(program);
    // As a new record is, but in the tables' own memory: fresh tables would cost more than a run.
    // The strips' buffers are already zeroed; the host comes next and the font engine is the window's.
    static_assert(sizeof(Program) == LaidOut<Program, Scene, Orbit, Random, RenderWork, RenderTarget, RenderTarget,
                                             RenderTarget, InteractionState, ShellState, Host*, FontEngine*>(),
                  "a new member of the Program record needs resetting here");
    // Only its records are read: its drawing threads and their contexts go at once, so the copy
    // adds no live drawing objects.
    static const std::unique_ptr<const Program> pristineProgram = [] {
        auto made = std::make_unique<Program>();
        made->work.threads.reset();
        return made;
    }();
    const Program& pristine = *pristineProgram;
    ResetScene(program.scene, pristine.scene);
    program.orbit = pristine.orbit;
    program.random = pristine.random;
    ResetRenderWork(program.work, pristine.work);
    program.interaction = pristine.interaction;
    program.shell = pristine.shell;
    for (const MenuEntry& entry : MenuBarEntries()) {
        if (entry.kind == MenuEntryKind::Item && entry.check != MenuCheck::None) window.CheckItem(entry.id, entry.checked);
    }
    window.OverridePixelRatio(0);  // the screen's own ratio again, as a new process would see it
    ConnectHost(program, host);
    window.PlaceAtStart();
    QCoreApplication::processEvents();
    // The first show's resize: the window may already have its start size, and then Qt sends none.
    QResizeEvent resize(window.clientArea()->size(), window.clientArea()->size());
    QCoreApplication::sendEvent(window.clientArea(), &resize);
    StartProgram(program, host);
    if (backBuffer.bitmap != nullptr && backBufferWidth >= program.shell.backBufferWidth &&
        backBufferHeight >= program.shell.backBufferHeight) {
        std::swap(program.target, backBuffer);
        program.shell.backBufferWidth = backBufferWidth;
        program.shell.backBufferHeight = backBufferHeight;
    }
    DestroyBackBuffer(backBuffer);
}

}  // namespace vantrel
