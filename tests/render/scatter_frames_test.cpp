#include <gtest/gtest.h>

#include <set>

#include "frame_fixture.h"
#include "geometry/random.h"
#include "objects/command_ids.h"
#include "objects/object_commands.h"

namespace vantrel {
namespace {

constexpr PanelSize kPanel{240, 180};

struct ScatterFrame : FrameFixture {
    std::vector<ColorRef> background;

    explicit ScatterFrame(int command, double seed = 1000.25) : FrameFixture(kPanel) {
        Random random;
        RandomSeed(random, seed);
        RunObjectCommand(*scene, random, command);
        Background();
        background = Snapshot();
        Render();
    }

    std::int32_t MeshCount() const { return scene->meshRange.count; }
    ColorRef MeshColor(std::int32_t mesh) const {
        return Packed(scene->facePool[scene->meshTable[mesh].firstFace].color);
    }
    Point2 ScreenPixel(std::int32_t mesh, std::int32_t k) const {
        const Vector3& s = Screen(mesh, k);
        Point2 p;
        Point2FromPoint2F({s.x, s.y}, p);
        return p;
    }
    // Every pixel the frame changed, as colours.
    std::set<ColorRef> ChangedColours() {
        const auto frame = Snapshot();
        std::set<ColorRef> colours;
        for (std::size_t i = 0; i < frame.size(); ++i)
            if (frame[i] != background[i]) colours.insert(frame[i]);
        return colours;
    }
    std::set<ColorRef> ObjectColours() const {
        std::set<ColorRef> colours;
        for (std::int32_t m = 1; m <= MeshCount(); ++m) colours.insert(MeshColor(m));
        return colours;
    }
    // A frame of the one mesh alone, so crossings of other objects cannot hide it.
    void RenderAlone(std::int32_t mesh) {
        for (std::int32_t m = 1; m <= MeshCount(); ++m) scene->meshTable[m].visible = ToTruth(m == mesh);
        Background();
        Render();
    }
    bool ColourNear(Point2 p, ColorRef colour, std::int32_t reach) {
        for (std::int32_t dy = -reach; dy <= reach; ++dy)
            for (std::int32_t dx = -reach; dx <= reach; ++dx)
                if (Pixel(p.x + dx, p.y + dy) == colour) return true;
        return false;
    }
};

TEST(ScatterFrames, LinesAreDrawnOnTopOfNothingEachInItsColour) {
    ScatterFrame f(kCommandLine);
    ASSERT_EQ(f.MeshCount(), 10);
    EXPECT_EQ(f.work->drawList[0], 0);
    const auto changed = f.ChangedColours();
    const auto colours = f.ObjectColours();
    for (ColorRef c : changed) EXPECT_EQ(colours.count(c), 1u) << std::hex << c;
    for (std::int32_t m = 1; m <= 10; ++m) {
        // The start pixel and the pixel before the end.
        f.RenderAlone(m);
        EXPECT_TRUE(f.ColourNear(f.ScreenPixel(m, 0), f.MeshColor(m), 1)) << m;
        EXPECT_TRUE(f.ColourNear(f.ScreenPixel(m, 1), f.MeshColor(m), 1)) << m;
    }
}

TEST(ScatterFrames, TextShowsTheLabelInEachObjectsColour) {
    ScatterFrame f(kCommandText);
    ASSERT_EQ(f.MeshCount(), 20);
    const auto changed = f.ChangedColours();
    const auto colours = f.ObjectColours();
    for (ColorRef c : changed) EXPECT_EQ(colours.count(c), 1u) << std::hex << c;
    TextSize size;
    GetTextExtentPoint32(f.target.dc, "3D", 2, size);
    for (std::int32_t m = 1; m <= 20; ++m) {
        EXPECT_STREQ(f.scene->meshTable[m].name, "3D");
        // Somewhere in the label's box, which starts at the projected vertex.
        const Point2 at = f.ScreenPixel(m, 0);
        std::int32_t own = 0;
        for (std::int32_t y = at.y; y < at.y + size.height; ++y)
            for (std::int32_t x = at.x; x < at.x + size.width; ++x) own += f.Pixel(x, y) == f.MeshColor(m);
        EXPECT_GT(own, 3) << m;
    }
}

TEST(ScatterFrames, CurvesRunFromTheFirstPointBentTowardsTheControlPoints) {
    ScatterFrame f(kCommandCurve);
    ASSERT_EQ(f.MeshCount(), 10);
    const auto changed = f.ChangedColours();
    const auto colours = f.ObjectColours();
    for (ColorRef c : changed) EXPECT_EQ(colours.count(c), 1u) << std::hex << c;
    for (std::int32_t m = 1; m <= 10; ++m) {
        ASSERT_EQ(f.scene->meshTable[m].vertexCount, 4);
        f.RenderAlone(m);
        Point2 p[4];
        for (std::int32_t k = 0; k < 4; ++k) p[k] = f.ScreenPixel(m, k);
        EXPECT_TRUE(f.ColourNear(p[0], f.MeshColor(m), 0)) << m;
        EXPECT_TRUE(f.ColourNear(p[3], f.MeshColor(m), 1)) << m;
        // Halfway along, a cubic lies at (p0 + 3 p1 + 3 p2 + p3) / 8, not on the chord.
        const Point2 middle{RoundToInt((p[0].x + 3.0 * p[1].x + 3.0 * p[2].x + p[3].x) / 8.0),
                            RoundToInt((p[0].y + 3.0 * p[1].y + 3.0 * p[2].y + p[3].y) / 8.0)};
        EXPECT_TRUE(f.ColourNear(middle, f.MeshColor(m), 1)) << m;
    }
}

}  // namespace
}  // namespace vantrel
