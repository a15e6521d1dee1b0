// The program started twice: a second copy hands over to the first and ends; a copy that
// crashed does not keep the next one out. Each test gets its own private runtime directory.
#include <memory>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "app/program.h"
#include "app/startup.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "qt/single_instance.h"

namespace vantrel {
namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(runtime.isValid()); }
    void TearDown() override {
        for (auto& process : processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(3000);
            }
        }
    }

    // The real program with the test's runtime directory, headless.
    QProcess& Start() {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(VANTREL_PROGRAM, QStringList());
        EXPECT_TRUE(process->waitForStarted(5000));
        processes.push_back(std::move(process));
        return *processes.back();
    }

    // Runs this process's event loop (so an in-process first copy can answer) until the
    // child ends or the time is up; true when it ended.
    static bool WaitForExit(QProcess& process, int milliseconds) {
        QElapsedTimer clock;
        clock.start();
        while (process.state() != QProcess::NotRunning && clock.elapsed() < milliseconds) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return process.state() == QProcess::NotRunning;
    }

    bool WaitForSocket(int milliseconds) const {
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo::exists(SingleInstance(runtime.path()).socketPath())) {
            if (clock.elapsed() > milliseconds) return false;
            QThread::msleep(20);
        }
        return true;
    }

    QTemporaryDir runtime;  // created private to the user
    std::vector<std::unique_ptr<QProcess>> processes;
};

TEST_F(SingleInstanceTest, SecondCopyRaisesTheFirstAndExits) {
    // This process is the first copy, its window minimised.
    SingleInstance first(runtime.path());
    ASSERT_EQ(first.Claim(), SingleInstance::Role::First);
    auto program = std::make_unique<Program>();
    MainWindow window(*program);
    QtHost host(window);
    ConnectHost(*program, host);
    window.show();
    StartProgram(*program, host);
    window.showMinimized();
    QCoreApplication::processEvents();
    int raised = 0;
    ASSERT_TRUE(first.Listen([&] {
        ++raised;
        window.RestoreAndRaise();
    }));
    // Only the user may connect.
    EXPECT_EQ(QFileInfo(first.socketPath()).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());

    QProcess& second = Start();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitForExit(second, 8000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(raised, 1);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());
    StopProgram(*program);
}

TEST_F(SingleInstanceTest, RealCopiesAndACrashedOne) {
    QProcess& first = Start();
    ASSERT_TRUE(WaitForSocket(8000));
    QProcess& second = Start();
    ASSERT_TRUE(WaitForExit(second, 8000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);

    // A crash leaves the lock and the socket file behind.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(5000));
    ASSERT_TRUE(QFileInfo::exists(SingleInstance(runtime.path()).lockPath()));
    QProcess& next = Start();
    QThread::msleep(1500);
    EXPECT_EQ(next.state(), QProcess::Running);  // it became the first copy
    QProcess& another = Start();
    ASSERT_TRUE(WaitForExit(another, 8000));
    EXPECT_EQ(another.exitCode(), 0);
    EXPECT_EQ(next.state(), QProcess::Running);
}

TEST_F(SingleInstanceTest, AnUnansweringFirstCopyOnlyDelaysTheSecond) {
    // The lock is held but nobody listens: the second copy gives up after a bounded wait.
    SingleInstance holder(runtime.path());
    ASSERT_EQ(holder.Claim(), SingleInstance::Role::First);
    QProcess& second = Start();
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitForExit(second, 15000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_GT(clock.elapsed(), 3000);

    // Within one process a second claim on the same directory is refused too.
    SingleInstance again(runtime.path());
    EXPECT_EQ(again.Claim(), SingleInstance::Role::Second);
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
    // Headless wherever it runs, test discovery included.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
