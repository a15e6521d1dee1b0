// The running program driven by the snapshot tool's mouse and key lines: three sphere faces
// painted with palette colours, checked in the saved picture, and a Shift drag in the dump.
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <vector>

#include "support/child_process.h"

namespace vantrel {
namespace {

// Client 316 x 216: a 300 x 200 view, the palette strip at x 300..315, the shine strip below.
constexpr char kSetup[] =
    "seed 1000\n"
    "size 316 216\n"
    "menu 35\n"  // Sphere
    "key F2\n"   // Solid: faces in their own colours, edges white
    "tick\n";
constexpr int kPaletteX = 308;
constexpr int kPaletteRows[3] = {40, 100, 130};

// Runs the script; true when the tool finished cleanly, with what it printed in out.
bool RunSnapshot(const QTemporaryDir& directory, const QByteArray& script, QByteArray& out) {
    ChildProcess process;
    process.SetDirectory(directory.path().toStdString());
    if (!process.Start(BuiltProgram(VANTREL_SNAPSHOT, {"-"})) ||
        !process.Write(script.toStdString())) return false;
    process.CloseInput();
    if (!process.WaitForExit(30000)) return false;
    out = QByteArray::fromStdString(process.out());
    return process.exitedNormally() && process.exitCode() == 0 && process.err().empty();
}

struct Point {
    int x = 0, y = 0;
};

// The commonest colour around the view's centre: the sphere's, between its white edges.
QRgb SphereColour(const QImage& shot) {
    std::map<QRgb, int> counts;
    for (int y = 70; y < 130; ++y)
        for (int x = 120; x < 180; ++x) ++counts[shot.pixel(x, y)];
    QRgb best = 0;
    int most = 0;
    for (const auto& [colour, count] : counts)
        if (count > most) best = colour, most = count;
    return best;
}

// Points with a 9 x 9 block of the sphere colour around them, at least 30 pixels apart, so
// each lies well inside a different face.
std::vector<Point> FaceInteriors(const QImage& shot, QRgb sphere) {
    std::vector<Point> points;
    for (int y = 10; y < 190 && points.size() < 3; ++y)
        for (int x = 10; x < 290 && points.size() < 3; ++x) {
            bool interior = true;
            for (int dy = -4; dy <= 4 && interior; ++dy)
                for (int dx = -4; dx <= 4 && interior; ++dx) interior = shot.pixel(x + dx, y + dy) == sphere;
            for (const Point& p : points) interior = interior && std::abs(p.x - x) + std::abs(p.y - y) >= 30;
            if (interior) points.push_back({x, y});
        }
    return points;
}

TEST(ThroughTheProgram, ThreeFacesTakeThreePaletteColours) {
    QTemporaryDir directory;
    QByteArray dump;
    ASSERT_TRUE(RunSnapshot(directory, QByteArray(kSetup) + "save before.png\n", dump));
    const QImage before(directory.filePath("before.png"));
    ASSERT_EQ(before.size(), QSize(316, 216));
    const QRgb sphere = SphereColour(before);
    const std::vector<Point> faces = FaceInteriors(before, sphere);
    ASSERT_EQ(faces.size(), 3u);

    QByteArray script(kSetup);
    for (int k = 0; k < 3; ++k) {
        script += QByteArray("mouse leftdown ") + QByteArray::number(kPaletteX) + " " +
                  QByteArray::number(kPaletteRows[k]) + "\n";
        const QByteArray at = QByteArray::number(faces[k].x) + " " + QByteArray::number(faces[k].y) + "\n";
        script += "mouse move " + at + "mouse leftdown " + at;
    }
    script += "tick\nsave after.png\ndump\n";
    ASSERT_TRUE(RunSnapshot(directory, script, dump));
    const QImage after(directory.filePath("after.png"));

    QRgb painted[3] = {};
    for (int k = 0; k < 3; ++k) {
        painted[k] = after.pixel(kPaletteX, kPaletteRows[k]);
        EXPECT_EQ(after.pixel(faces[k].x, faces[k].y), painted[k]) << "face " << k;
        EXPECT_NE(painted[k], sphere);
    }
    EXPECT_NE(painted[0], painted[1]);
    EXPECT_NE(painted[1], painted[2]);
    // The paint colour is the last one taken, packed 0x00BBGGRR.
    const QByteArray last = QByteArray("paint color=0x") +
                            QByteArray::number(qBlue(painted[2]) << 16 | qGreen(painted[2]) << 8 | qRed(painted[2]), 16)
                                .toUpper()
                                .rightJustified(6, '0');
    EXPECT_TRUE(dump.contains(last)) << dump.toStdString();

    // Away from the painted faces the picture has not changed.
    EXPECT_EQ(after.pixel(150, 20), before.pixel(150, 20));
    int changed = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) changed += after.pixel(x, y) != before.pixel(x, y);
    EXPECT_GT(changed, 3 * 40);
    EXPECT_LT(changed, 3 * 600);
}

TEST(ThroughTheProgram, ShiftDragPlacesTheLightWithOnePointer) {
    QTemporaryDir directory;
    QByteArray dump;
    ASSERT_TRUE(RunSnapshot(directory,
                            QByteArray(kSetup) +
                                "keydown Shift\nkeydown Shift\nkeydown Shift\n"  // auto-repeat
                                "mouse move 150 150\nmouse move 100 150 left\ntick\ndump\n"
                                "keyup Shift\ntick\ndump\n",
                            dump));
    const QList<QByteArray> lines = dump.split('\n');
    ASSERT_GE(lines.size(), 13);
    // During placement: the sphere and one pointer; the drag turned the shared orbit.
    EXPECT_EQ(lines[0], "orbit longitude=29 latitude=0 radius=200");
    EXPECT_TRUE(lines[3].startsWith("mesh 1 vertices=114 faces=224"));
    EXPECT_TRUE(lines[4].startsWith("mesh 2 vertices=6 faces=8"));
    EXPECT_TRUE(lines[2].startsWith("current mesh=1 "));
    // Released: the pointer is gone and the sphere is still the current mesh.
    EXPECT_TRUE(lines[9].startsWith("current mesh=1 ")) << lines[9].toStdString();
    EXPECT_TRUE(lines[10].startsWith("mesh 1 vertices=114 faces=224"));
    EXPECT_TRUE(lines[11].startsWith("paint color"));
}

}  // namespace
}  // namespace vantrel
