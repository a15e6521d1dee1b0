// The snapshot tool end to end, and its script reader on its own.
#include <sys/resource.h>

#include <QAction>
#include <QFile>
#include <QCoreApplication>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/menu_layout.h"
#include "app/startup.h"
#include "support/child_process.h"
#include "tools/vantrel-snapshot/snapshot_run.h"

namespace vantrel {
namespace {

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VANTREL_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(VANTREL_TEST_ASAN)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun Snapshot(const QTemporaryDir& directory, const QByteArray& script) {
    ChildProcess process;
    process.SetDirectory(directory.path().toStdString());
    ToolRun run;
    if (!process.Start(BuiltProgram(VANTREL_SNAPSHOT, {"-"}))) return run;
    process.Write(script.toStdString());
    process.CloseInput();
    if (!process.WaitForExit(30000)) return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromLatin1(process.out());
    run.err = QString::fromLatin1(process.err());
    return run;
}

TEST(SnapshotScript, ReadsEveryStepAndRejectsTheRest) {
    Step step;
    std::string error;
    ASSERT_TRUE(ParseStep("  size 400 300   # a comment", step, error));
    EXPECT_EQ(step.kind, StepKind::Size);
    EXPECT_EQ(step.a, 400);
    EXPECT_EQ(step.b, 300);
    ASSERT_TRUE(ParseStep("# only a comment", step, error));
    EXPECT_EQ(step.kind, StepKind::None);
    ASSERT_TRUE(ParseStep("mouse move -5 7 right left", step, error));
    EXPECT_EQ(step.kind, StepKind::MouseMove);
    EXPECT_EQ(step.a, -5);
    EXPECT_TRUE(step.left && step.right);
    ASSERT_TRUE(ParseStep("tick", step, error));
    EXPECT_EQ(step.a, 1);
    ASSERT_TRUE(ParseStep("keyup Ctrl+C", step, error));
    EXPECT_EQ(step.key, ScriptKey::CtrlC);
    ASSERT_TRUE(ParseStep("save out.png", step, error));
    EXPECT_EQ(step.file, "out.png");
    ASSERT_TRUE(ParseStep("scale 1.25", step, error));
    EXPECT_EQ(step.kind, StepKind::Scale);
    EXPECT_EQ(step.ratio, 1.25);

    for (const char* bad : {"size 0 10", "size 10", "size 99999 10", "seed -1", "seed 86400000", "tick 3 4",
                            "tick -1", "key Ctrl+X", "key f1", "mouse move 1", "mouse leftdown 1 2 left",
                            "mouse move 1 2 left left", "mouse hover 1 2", "menu x", "dump now", "save",
                            "save a b", "Size 10 10", "menu 12abc", "scale 0.99", "scale 4.5", "scale two",
                            "scale nan", "scale inf", "scale 2x", "scale"}) {
        EXPECT_FALSE(ParseStep(bad, step, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    // Words quoted back are printable and short, whatever bytes they held.
    const std::string longWord(300, 'k');
    for (const std::string& bad : {"key \x1B[2J" + longWord, std::string("mouse move 1 2 \x1B]0;x\x07"),
                                   std::string("mouse \x9B" "31m 1 2")}) {
        EXPECT_FALSE(ParseStep(bad, step, error));
        EXPECT_TRUE(std::all_of(error.begin(), error.end(), [](char c) { return c >= ' ' && c <= '~'; })) << error;
        EXPECT_LE(error.size(), 120u) << error;
    }
}

TEST(SnapshotTool, RunsAScriptReproducibly) {
    QTemporaryDir directory;
    const QByteArray script =
        "seed 1000\n"
        "size 200 150\n"
        "menu 33\n"
        "tick\n"
        "mouse move 100 100\n"
        "mouse move 50 100 left   # half a radian round\n"
        "key F2\n"
        "key Ctrl+O\n"
        "tick 2\n"
        "save shot.png\n"
        "dump\n";
    const ToolRun first = Snapshot(directory, script);
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_TRUE(first.err.isEmpty()) << first.err.toStdString();
    const QStringList lines = first.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << first.out.toStdString();
    EXPECT_EQ(lines[0], "orbit longitude=29 latitude=0 radius=200");
    EXPECT_EQ(lines[1], "view mode=1 ortho=8 light=-1 doublesided=0 metallic=0 atmosphere=0 colorcorrect=0");
    EXPECT_TRUE(lines[2].startsWith("current mesh=1 name=\"")) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith("vertices=8 faces=12"));
    EXPECT_TRUE(lines[3].startsWith("mesh 1 vertices=8 faces=12 name=\""));
    EXPECT_EQ(lines[4], "paint color=0x000000 shine=0");
    EXPECT_TRUE(lines[5].startsWith("drawlist faces="));
    EXPECT_NE(lines[5], "drawlist faces=0");

    // The picture is the whole client area: view, palette and shine strip.
    const QImage shot(directory.filePath("shot.png"));
    ASSERT_EQ(shot.size(), QSize(200, 150));
    EXPECT_EQ(shot.pixel(199, 0), qRgb(255, 0, 255));  // the spectrum starts magenta
    EXPECT_GT(qBlue(shot.pixel(10, 132)), 240);         // the bottom of the view is blue
    EXPECT_EQ(qRed(shot.pixel(10, 132)), 0);

    // The fixed time of day makes the colours repeat.
    const ToolRun second = Snapshot(directory, script);
    EXPECT_EQ(second.out, first.out);
    const QImage again(directory.filePath("shot.png"));
    EXPECT_EQ(again, shot);
}

TEST(SnapshotTool, StopsAtTheFirstBadLineAndReportsErrorsInline) {
    QTemporaryDir directory;
    ToolRun run = Snapshot(directory, "dump\nmenu 3\ndump\n");  // 3 is a separator
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("line 2")) << run.err.toStdString();
    EXPECT_EQ(run.out.count("orbit "), 1);
    run = Snapshot(directory, "tick\nfly away\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("line 2")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("fly away"));
    run = Snapshot(directory, "fly \x1B[2J" + QByteArray(200, 'w') + "\n");
    EXPECT_TRUE(run.err.contains("line 1: unknown command: fly \\x1B[2Jwww")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains('\x1B'));
    EXPECT_LT(run.err.size(), 150);
    run = Snapshot(directory, "save no/such/directory/x.png\n");
    EXPECT_EQ(run.exitCode, 1);
    run = Snapshot(directory, "tick\nscale 0.5\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("line 2: scale needs a number from 1 to 4: scale 0.5")) << run.err.toStdString();

    // A 64 MB line of short words under a 512 MB limit: refused at its first MiB, not read in whole.
    QFile huge(directory.filePath("huge.txt"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.write("dump\n") == 5);
    const QByteArray words = QByteArray("tick ").repeated((1 << 20) / 5);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(huge.write(words), words.size());
    huge.close();
    ChildProcess limited;
    // AddressSanitizer reserves terabytes of address space up front: there, only the outcome is checked.
    if (!kAddressSanitizer) limited.LimitAddressSpace(512u << 20);
    ASSERT_TRUE(limited.Start(BuiltProgram(VANTREL_SNAPSHOT, {huge.fileName().toStdString()})));
    ASSERT_TRUE(limited.WaitForExit(30000));
    EXPECT_TRUE(limited.exitedNormally());
    EXPECT_EQ(limited.exitCode(), 2);
    EXPECT_NE(limited.err().find("line 2: longer than 1 MiB"), std::string::npos) << limited.err();

    // At a ratio the size stays logical and the picture is in device pixels.
    run = Snapshot(directory, "scale 1.5\nsize 41 31\nsave fine.png\nscale 2\nsave finer.png\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QImage(directory.filePath("fine.png")).size(), QSize(62, 47));
    EXPECT_EQ(QImage(directory.filePath("finer.png")).size(), QSize(82, 62));

    // Filling the mesh pool reports on standard error and the run goes on.
    QByteArray fill = "menu 35\n";
    for (int i = 0; i < 8; ++i) fill += "menu 16\n";
    fill += "dump\n";
    run = Snapshot(directory, fill);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.contains("error: Unable to allocate memory for mesh!")) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("current mesh=1"));
}

// Runs script lines in the window; then what it shows: the dump, every check mark, the picture.
std::string RunAndShow(const std::vector<std::string>& lines, Program& program, MainWindow& window,
                       SnapshotHost& host, QImage& picture) {
    for (const std::string& line : lines) {
        Step step;
        std::string error;
        EXPECT_TRUE(ParseStep(line, step, error) && RunStep(step, program, window, host, error) == 0) << line;
        QCoreApplication::processEvents();
    }
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&text, &size);
    DumpState(program, out);
    for (const MenuEntry& entry : MenuBarEntries()) {
        if (const QAction* action = window.menuAction(entry.id)) {
            std::fprintf(out, "%d:%d%d ", entry.id, action->isCheckable(), action->isChecked());
        }
    }
    std::fclose(out);
    const std::string shown(text, size);
    std::free(text);
    picture = window.clientArea()->grab().toImage();
    return shown;
}

TEST(SnapshotRestart, LeavesNothingOfTheRunBefore) {
    // Each line leaves something behind: a scene, colours, view options and their check marks, a
    // light being placed, the orbit, the window's size, a held Shift and a fixed time of day.
    const std::vector<std::string> before = {"seed 1000", "size 260 200", "menu 43", "menu 12", "key F1",
                                             "key Ctrl+L", "key Ctrl+O", "key Ctrl+M", "tick", "mouse move 120 90",
                                             "mouse move 60 70 left", "mouse leftdown 250 40", "mouse rightdown 100 80",
                                             "keydown Shift", "tick"};
    const std::vector<std::string> probe = {"seed 2000", "tick", "key Ctrl+L", "menu 35", "key F5",
                                            "mouse move 100 80", "mouse move 80 60 left", "mouse leftdown 300 40",
                                            "mouse leftdown 150 100", "key F2", "tick", "mouse move 140 90", "tick"};
    auto program = std::make_unique<Program>();
    MainWindow window(*program);
    auto host = std::make_unique<SnapshotHost>(window);
    StartHeadless(*program, window, *host);
    QImage ignored;
    RunAndShow(before, *program, window, *host, ignored);
    SnapshotHost again(window);
    RestartHeadless(*program, window, again);
    QImage restarted;
    const std::string shown = RunAndShow(probe, *program, window, again, restarted);
    StopProgram(*program);

    auto freshProgram = std::make_unique<Program>();
    MainWindow freshWindow(*freshProgram);
    SnapshotHost freshHost(freshWindow);
    StartHeadless(*freshProgram, freshWindow, freshHost);
    QImage fresh;
    EXPECT_EQ(RunAndShow(probe, *freshProgram, freshWindow, freshHost, fresh), shown);
    EXPECT_EQ(fresh, restarted);
    StopProgram(*freshProgram);
}

}  // namespace
}  // namespace vantrel
