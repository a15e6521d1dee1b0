#include <gtest/gtest.h>

#include <vector>

#include "interaction/colour_panels.h"
#include "interaction_fixture.h"
#include "canvas/drawing.h"

namespace vantrel {
namespace {

struct Painting : ::testing::Test, InteractionFixture {
    void SetUp() override {
        camera().renderMode = 1;  // Solid: faces in their own colours
        RunObject(kCommandSphere);
        Frame();
    }
    // Listed faces whose centre pixel is picked as that face and shows its colour, not an edge.
    std::vector<std::int32_t> PaintableFaces() const {
        std::vector<std::int32_t> faces;
        for (std::int32_t i = 0; work->drawList[i] != 0; ++i) {
            const std::int32_t face = work->drawList[i];
            const Point2 at = CentreOnScreen(face);
            if (PickFace(*scene, *work, at.x, at.y) == face &&
                PixelAt(at.x, at.y) == ColorToColorRef(scene->facePool[face].color))
                faces.push_back(face);
        }
        return faces;
    }
    void Hover(std::int32_t face) {
        const Point2 at = CentreOnScreen(face);
        Move(0, at.x, at.y);
    }
};

TEST_F(Painting, ThreeFacesPaintedWithPaletteColoursShowInTheNextFrame) {
    struct DcWithBitmap {
        DcHandle dc = CreateCompatibleDC(nullptr);
        ObjectHandle bitmap = CreateBitmap(16, 140);
        ObjectHandle previous = SelectObject(dc, bitmap);
        ~DcWithBitmap() {
            SelectObject(dc, previous);
            DeleteDC(dc);
            DeleteObject(bitmap);
        }
    } palette;
    DrawPalettePanel(palette.dc, {16, 140});

    const std::vector<std::int32_t> faces = PaintableFaces();
    ASSERT_GE(faces.size(), 3u);
    const std::int32_t chosen[3] = {faces.front(), faces[faces.size() / 2], faces.back()};
    const std::int32_t paletteRows[3] = {25, 55, 85};
    ColorRef colours[3] = {};
    for (int k = 0; k < 3; ++k) {
        PaletteMouse(palette.dc, state, kMouseLeft, 8, paletteRows[k]);
        colours[k] = state.paintColor;
        state.paintShine = 0.25f * static_cast<float>(k + 1);
        Hover(chosen[k]);
        ASSERT_EQ(state.hoverFace, chosen[k]);
        scene->frameDirty = kFalse;
        EXPECT_EQ(PaintHoveredFace(*scene, state).cursor, CursorShape::Unchanged);
        EXPECT_NE(scene->frameDirty, kFalse);
        EXPECT_EQ(ColorToColorRef(scene->facePool[chosen[k]].color), colours[k]);
        EXPECT_EQ(scene->facePool[chosen[k]].shine, 0.25f * static_cast<float>(k + 1));
    }
    ASSERT_NE(colours[0], colours[1]);
    ASSERT_NE(colours[1], colours[2]);

    Frame();
    EXPECT_EQ(state.highlightFace, 0);  // the outline is gone until the pointer moves
    for (int k = 0; k < 3; ++k) {
        const Point2 at = CentreOnScreen(chosen[k]);
        EXPECT_EQ(PixelAt(at.x, at.y), colours[k]) << "face " << chosen[k];
    }
}

TEST_F(Painting, RightClickTakesColourAndShineAndRedrawsOnlyTheStrip) {
    const std::int32_t face = PaintableFaces().front();
    scene->facePool[face].shine = 0.5f;
    Hover(face);
    scene->frameDirty = kFalse;
    const InputResponse response = TakeHoveredFaceColor(*scene, state);
    EXPECT_TRUE(response.repaintShine);
    EXPECT_FALSE(response.presentView);
    EXPECT_EQ(scene->frameDirty, kFalse);
    EXPECT_EQ(state.paintColor, ColorToColorRef(scene->facePool[face].color));
    EXPECT_EQ(state.paintShine, 0.5f);

    // The strip then shows that colour at its centre and the markers a quarter in from each end.
    DcHandle dc = CreateCompatibleDC(nullptr);
    ObjectHandle bitmap = CreateBitmap(200, 20);
    ObjectHandle previous = SelectObject(dc, bitmap);
    DrawShinePanel(dc, {200, 20}, state);
    EXPECT_EQ(GetPixel(dc, 100, 10), state.paintColor);
    EXPECT_EQ(GetPixel(dc, 150, 0), 0x00000000u);
    EXPECT_EQ(GetPixel(dc, 50, 0), 0x00000000u);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

}  // namespace
}  // namespace vantrel
