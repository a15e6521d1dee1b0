#pragma once
// A renderer fixture that draws whole frames into a small back buffer and checks, after every
// frame, that the frame deleted every pen and brush it created.
#include <gtest/gtest.h>

#include <vector>

#include "canvas/canvas.h"
#include "render/drawing_tools.h"
#include "render/render_frame.h"
#include "render/render_target.h"
#include "render_fixture.h"

namespace vantrel {

struct FrameFixture : RenderFixture {
    RenderTarget target;
    PanelSize panel;

    explicit FrameFixture(PanelSize size = {64, 64}) : panel(size) { CreateBackBuffer(target, size.width, size.height); }
    ~FrameFixture() { DestroyBackBuffer(target); }
    FrameFixture(const FrameFixture&) = delete;
    FrameFixture& operator=(const FrameFixture&) = delete;

    void Background() { DrawBackground(target.dc, float(panel.width), float(panel.height)); }

    // One frame over whatever the back buffer holds.
    void Render() {
        const std::int64_t objectsBefore = LiveObjectCount();
        const ObjectHandle penBefore = GetCurrentObject(target.dc, ObjectKind::Pen);
        const ObjectHandle brushBefore = GetCurrentObject(target.dc, ObjectKind::Brush);
        RenderFrame(*scene, *work, target, 1, panel);
        EXPECT_EQ(LiveObjectCount(), objectsBefore) << "a pen or brush outlived the frame";
        EXPECT_EQ(GetCurrentObject(target.dc, ObjectKind::Pen), penBefore);
        EXPECT_EQ(GetCurrentObject(target.dc, ObjectKind::Brush), brushBefore);
        EXPECT_EQ(target.pen, nullptr);
        EXPECT_EQ(target.brush, nullptr);
    }

    // The frame cycle's order: background, then the frame.
    void RenderOnBackground() {
        Background();
        Render();
    }

    ColorRef Pixel(std::int32_t x, std::int32_t y) { return GetPixel(target.dc, x, y); }

    // The panel's pixels as packed colours, row by row.
    std::vector<ColorRef> Snapshot() {
        std::vector<ColorRef> pixels;
        for (std::int32_t y = 0; y < panel.height; ++y)
            for (std::int32_t x = 0; x < panel.width; ++x) pixels.push_back(Pixel(x, y));
        return pixels;
    }
};

inline ColorRef Packed(const ColorRGB& color) { return ColorToColorRef(color); }

}  // namespace vantrel
