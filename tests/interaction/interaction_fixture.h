#pragma once
// A fresh program state for interaction tests: the start-up scene, an orbit, the work arrays,
// a back buffer the size of a small view panel, and frames rendered as the frame cycle does.
#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/orbit.h"
#include "geometry/point.h"
#include "geometry/random.h"
#include "interaction/interaction_state.h"
#include "interaction/navigation.h"
#include "interaction/picking.h"
#include "objects/command_ids.h"
#include "objects/object_commands.h"
#include "canvas/device_context.h"
#include "render/drawing_tools.h"
#include "render/projection.h"
#include "render/render_frame.h"
#include "render/render_target.h"
#include "render/render_work.h"
#include "scene/camera.h"
#include "support/error_recorder.h"

namespace vantrel {

struct InteractionFixture {
    static constexpr PanelSize kPanel{96, 72};

    std::unique_ptr<Scene> scene = std::make_unique<Scene>();
    std::unique_ptr<RenderWork> work = std::make_unique<RenderWork>();
    ErrorRecorder errors;
    Orbit orbit;
    Random random;
    RenderTarget target;
    InteractionState state;

    InteractionFixture() {
        scene->reporter = errors.Reporter();
        BuildDefaultScene(*scene, orbit);
        RandomSeed(random, 12345.678);
        CreateBackBuffer(target, kPanel.width, kPanel.height);
    }
    ~InteractionFixture() { DestroyBackBuffer(target); }
    InteractionFixture(const InteractionFixture&) = delete;
    InteractionFixture& operator=(const InteractionFixture&) = delete;

    // An Object command as the window procedure runs it, without the frame.
    void RunObject(int id) { RunObjectCommand(*scene, random, id); }

    // One tick of the frame cycle with a frame due: place, background, render.
    void Frame() {
        scene->frameDirty = kFalse;
        PlaceViewpoint(*scene, orbit, state);
        DrawBackground(target.dc, static_cast<float>(kPanel.width), static_cast<float>(kPanel.height));
        RenderFrame(*scene, *work, target, scene->currentCamera, kPanel);
    }

    InputResponse Move(std::int32_t keys, std::int32_t x, std::int32_t y) {
        return ViewMouseMove(*scene, orbit, state, *work, target, keys, x, y);
    }

    // The pixel nearest the projected centroid of a listed face: inside it unless it is tiny.
    Point2 CentreOnScreen(std::int32_t face) const {
        const Face& record = scene->facePool[face];
        const Vector3& a = work->screenVertices[record.corner0];
        const Vector3& b = work->screenVertices[record.corner1];
        const Vector3& c = work->screenVertices[record.corner2];
        return {RoundToInt((a.x + b.x + c.x) / 3.0), RoundToInt((a.y + b.y + c.y) / 3.0)};
    }
    // The nearest listed face, drawn last.
    std::int32_t LastListed() const {
        std::int32_t i = 0;
        while (work->drawList[i + 1] != 0) ++i;
        return work->drawList[i];
    }

    Camera& camera() { return scene->cameraTable[scene->currentCamera]; }
    Light& light() { return scene->lightTable[scene->currentLight]; }

    // The view panel's pixels of the back buffer, row by row.
    std::vector<std::uint32_t> Pixels() const {
        const Surface* surface = DcSurface(target.dc);
        std::vector<std::uint32_t> pixels;
        for (std::int32_t y = 0; y < kPanel.height; ++y)
            for (std::int32_t x = 0; x < kPanel.width; ++x) pixels.push_back(surface->pixels[y * surface->pitch + x]);
        return pixels;
    }
    ColorRef PixelAt(std::int32_t x, std::int32_t y) const {
        const Surface* surface = DcSurface(target.dc);
        return ColorRefFromPixel(surface->pixels[y * surface->pitch + x]);
    }
};

}  // namespace vantrel
