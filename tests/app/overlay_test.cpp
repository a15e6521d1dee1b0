#include <cstring>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "app/overlay.h"
#include "app/command_ids.h"
#include "app_fixture.h"
#include "objects/command_ids.h"
#include "canvas/canvas.h"
#include "scene/camera.h"
#include "scene/mesh_store.h"

namespace vantrel {
namespace {

std::string Row(const OverlayText& text, int row) {
    EXPECT_EQ(static_cast<std::size_t>(text.lengths[row]), std::strlen(text.rows[row]));
    return text.rows[row];
}

TEST(OverlayText, StartUpRowsAndSignPositions) {
    Program program;
    BuildDefaultScene(program.scene, program.orbit);
    OverlayText text;
    BuildOverlayText(program.scene, program.orbit, text);
    const char* expected[kOverlayRows] = {"Longitude: 0", "Latitude: 0", "Radius: 200", "",
                                          "Name: ", "Vertices: 0", "Faces: 0"};
    for (int row = 0; row < kOverlayRows; ++row) EXPECT_EQ(Row(text, row), expected[row]) << row;

    // The latitude limit shows as 90, a wrapped longitude of -pi as -180 right after the colon.
    program.orbit.latitude = std::numbers::pi_v<float> / 2;
    program.orbit.longitude = -std::numbers::pi_v<float>;
    program.orbit.radius = 2.5f;  // halves go to the even neighbour
    BuildOverlayText(program.scene, program.orbit, text);
    EXPECT_EQ(Row(text, 0), "Longitude:-180");
    EXPECT_EQ(Row(text, 1), "Latitude: 90");
    EXPECT_EQ(Row(text, 2), "Radius: 2");
    program.orbit.radius = 3.5f;
    program.orbit.latitude = -30 * std::numbers::pi_v<float> / 180;
    BuildOverlayText(program.scene, program.orbit, text);
    EXPECT_EQ(Row(text, 1), "Latitude:-30");
    EXPECT_EQ(Row(text, 2), "Radius: 4");
}

TEST(OverlayText, NumberFormatAtTheExtremes) {
    char out[kOverlayRowBytes];
    EXPECT_EQ(FormatOverlayNumber("Faces:", 10000, out), 12);
    EXPECT_STREQ(out, "Faces: 10000");
    FormatOverlayNumber("Radius:", -2147483648LL, out);
    EXPECT_STREQ(out, "Radius:-2147483648");
    FormatOverlayNumber("X:", INT64_MIN, out);
    EXPECT_STREQ(out, "X:-9223372036854775808");
}

TEST(OverlayText, CurrentMeshNameAndCounts) {
    Program program;
    BuildDefaultScene(program.scene, program.orbit);
    const std::int32_t mesh = AllocateMesh(program.scene, 3, 1);
    ASSERT_NE(mesh, 0);
    program.scene.currentMesh = mesh;
    SetMeshName(program.scene.meshTable[mesh], "3D");
    OverlayText text;
    BuildOverlayText(program.scene, program.orbit, text);
    EXPECT_EQ(Row(text, 4), "Name: 3D");
    EXPECT_EQ(Row(text, 5), "Vertices: 3");
    EXPECT_EQ(Row(text, 6), "Faces: 1");

    // A name filling its whole field without a terminator stops at the field's end.
    std::memset(program.scene.meshTable[mesh].name, 'x', kMeshNameBytes);
    BuildOverlayText(program.scene, program.orbit, text);
    EXPECT_EQ(Row(text, 4), "Name: " + std::string(kMeshNameBytes, 'x'));

    // A current mesh outside the table reads as the empty entry.
    program.scene.currentMesh = kLastSlot + 5;
    BuildOverlayText(program.scene, program.orbit, text);
    EXPECT_EQ(Row(text, 4), "Name: ");
    EXPECT_EQ(Row(text, 6), "Faces: 0");
}

using OverlayDrawing = AppTest;

TEST_F(OverlayDrawing, WhiteTextOverThePictureWithoutABox) {
    Tick();
    const Surface& view = host.Screen(PanelId::View);
    int white = 0;
    int other = 0;
    // The orbit rows sit in the top-left corner; between the letters the picture shows.
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) {
            (ColorRefFromPixel(view.pixels[y * view.pitch + x]) == 0x00FFFFFF ? white : other)++;
        }
    }
    EXPECT_GT(white, 20);
    EXPECT_GT(other, white);
    // Nothing white far from the text.
    for (int y = kViewHeight - 20; y < kViewHeight; ++y) {
        for (int x = kViewWidth - 60; x < kViewWidth; ++x) {
            ASSERT_NE(ColorRefFromPixel(view.pixels[y * view.pitch + x]), 0x00FFFFFFu) << x << "," << y;
        }
    }
    // Colour and background mode are put back afterwards.
    EXPECT_EQ(SetBkMode(program.target.dc, OPAQUE), OPAQUE);
}

TEST_F(OverlayDrawing, TheRowsDescribeThePictureWhenTheyChange) {
    // Told at the first frame, not again for a frame with the same rows, again for a new object.
    EXPECT_STREQ(program.shell.viewDescription, "Longitude: 0\nLatitude: 0\nRadius: 200\nName: \nVertices: 0\nFaces: 0");
    for (const std::int32_t command : {kCommandLight, kCommandBox}) {
        Command(command);
        Tick();
        EXPECT_EQ(host.viewDescriptions, command == kCommandLight ? 1 : 2);
    }
    EXPECT_STREQ(program.shell.viewDescription, "Longitude: 0\nLatitude: 0\nRadius: 200\nName: \nVertices: 8\nFaces: 12");
}

TEST_F(OverlayDrawing, RowsStandOneLineHeightApartWithRowThreeEmpty) {
    Tick();
    // The overlay leaves its font selected: the first row's height is the line height.
    TextSize size;
    ASSERT_TRUE(GetTextExtentPoint32(program.target.dc, "Longitude: 0", 12, size));
    const std::int32_t line = size.height;
    ASSERT_GT(line, 0);
    ASSERT_LT(8 * line, kViewHeight);
    const Surface& view = host.Screen(PanelId::View);
    // White pixels in each band [row * line, (row + 1) * line); band 7 lies below the text.
    for (std::int32_t row = 0; row < kOverlayRows + 1; ++row) {
        int white = 0;
        for (std::int32_t y = row * line; y < (row + 1) * line; ++y) {
            for (std::int32_t x = 0; x < kViewWidth; ++x) {
                white += ColorRefFromPixel(view.pixels[y * view.pitch + x]) == 0x00FFFFFF;
            }
        }
        if (row == 3 || row == kOverlayRows) {
            EXPECT_EQ(white, 0) << "row " << row;
        } else {
            EXPECT_GT(white, 10) << "row " << row;
        }
    }
}

}  // namespace
}  // namespace vantrel
