// The program started twice: a second copy on the same display hands over to the first and ends,
// also when the first does not answer; one on another display, or after a crash or damage to the
// guard's files, runs. Each test gets its own private runtime directory.
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <utility>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include "app/program.h"
#include "app/startup.h"
#include "qt/main_window.h"
#include "qt/qt_host.h"
#include "qt/single_instance.h"
#include "support/child_process.h"

namespace vantrel {
namespace {

const QString kDisplay = QStringLiteral(":7");
constexpr SingleInstance::Timing kQuick{300, 300};

// Runs the event loop (so an in-process first copy answers) until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return done();
}

// What a later copy does, on another thread, while this one answers for the first copy.
template <typename Call>
auto WhilePumping(Call call) {
    auto result = std::async(std::launch::async, call);
    PumpUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000);
    return result.get();
}

int ConnectTo(const QString& socketPath) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.toLocal8Bit().constData(), sizeof(address.sun_path) - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(runtime.isValid()); }

    // The real program on the given display with the test's runtime directory, headless.
    // Its standard error is kept, not shown; adjust changes the environment last.
    ChildProcess& Start(const QString& display = kDisplay, const QString& activationToken = QString(),
                        const std::function<void(QProcessEnvironment&)>& adjust = {}) {
        auto process = std::make_unique<ChildProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("DISPLAY", display);
        for (const char* name : {"WAYLAND_DISPLAY", "XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) environment.remove(name);
        if (!activationToken.isEmpty()) environment.insert("XDG_ACTIVATION_TOKEN", activationToken);
        if (adjust) adjust(environment);
        std::vector<std::string> entries;
        for (const QString& entry : environment.toStringList()) entries.push_back(entry.toStdString());
        process->SetEnvironment(entries);
        EXPECT_TRUE(process->Start(BuiltProgram(VANTREL_PROGRAM)));
        processes.push_back(std::move(process));
        return *processes.back();
    }

    static bool WaitForExit(ChildProcess& process, int milliseconds) {
        return PumpUntil([&] { return !process.Running(); }, milliseconds);
    }

    bool WaitForSocket(const QString& display, int milliseconds) const {
        const QString path = SingleInstance(runtime.path(), display).socketPath();
        return PumpUntil([&] { return QFileInfo::exists(path); }, milliseconds);
    }

    QTemporaryDir runtime;  // created private to the user
    std::vector<std::unique_ptr<ChildProcess>> processes;  // killed at the end if still running
};

TEST_F(SingleInstanceTest, SecondCopyRaisesTheFirstAndExits) {
    // This process is the first copy, its window minimised.
    SingleInstance first(runtime.path(), kDisplay);
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
    QByteArray token;
    ASSERT_TRUE(first.Listen([&](const QByteArray& activationToken) {
        ++raised;
        token = activationToken;
        window.RestoreAndRaise(activationToken);
    }));
    // Only the user may connect.
    EXPECT_EQ(QFileInfo(first.socketPath()).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());

    ChildProcess& second = Start(kDisplay, QStringLiteral("launcher-token_1"));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(WaitForExit(second, 8000));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_TRUE(second.exitedNormally());
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(token, "launcher-token_1");  // handed on for Wayland's activation, then gone again
    EXPECT_FALSE(qEnvironmentVariableIsSet("XDG_ACTIVATION_TOKEN"));
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isVisible());

    // The same user on another display gets a window of its own there.
    ChildProcess& elsewhere = Start(QStringLiteral(":8"));
    ASSERT_TRUE(WaitForSocket(QStringLiteral(":8"), 8000));
    EXPECT_TRUE(WhilePumping([&] { return SingleInstance(runtime.path(), QStringLiteral(":8")).AskFirstToRaise(5000); }));
    EXPECT_TRUE(elsewhere.Running());
    EXPECT_EQ(raised, 1);
    // Every name of one local X display, screens included, is one session; no display name leaves the directory.
    for (const char* same : {":7.1", "unix:7", "unix:7.0", "localhost:7", "unix/:7"})
        EXPECT_EQ(SingleInstance(runtime.path(), QString::fromLatin1(same)).lockPath(), first.lockPath()) << same;
    EXPECT_NE(SingleInstance(runtime.path(), QStringLiteral("elsewhere:7")).lockPath(), first.lockPath());
    EXPECT_EQ(QFileInfo(SingleInstance(runtime.path(), QStringLiteral("../../x/:1")).lockPath()).path(), runtime.path());
    StopProgram(*program);
}

TEST_F(SingleInstanceTest, RealCopiesAndACrashedOne) {
    ChildProcess& first = Start();
    ASSERT_TRUE(WaitForSocket(kDisplay, 8000));
    ChildProcess& second = Start();
    ASSERT_TRUE(WaitForExit(second, 8000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(first.Running());

    // A crash leaves the lock and the socket file behind.
    first.Signal(SIGKILL);
    ASSERT_TRUE(first.WaitForExit(5000));
    ASSERT_TRUE(QFileInfo::exists(SingleInstance(runtime.path(), kDisplay).lockPath()));
    ChildProcess& next = Start();
    const SingleInstance probe(runtime.path(), kDisplay);
    EXPECT_TRUE(PumpUntil([&] { return probe.AskFirstToRaise(200); }, 8000));
    EXPECT_TRUE(next.Running());  // it became the first copy
    ChildProcess& another = Start();
    ASSERT_TRUE(WaitForExit(another, 8000));
    EXPECT_EQ(another.exitCode(), 0);
    EXPECT_TRUE(next.Running());
}

TEST_F(SingleInstanceTest, AnUnansweringFirstCopyKeepsTheOnlyWindow) {
    SingleInstance silent(runtime.path(), kDisplay);
    ASSERT_EQ(silent.Claim(), SingleInstance::Role::First);
    SingleInstance next(runtime.path(), kDisplay, kQuick);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(next.Claim(), SingleInstance::Role::Silent);
    EXPECT_GE(clock.elapsed(), kQuick.answerMs);
    EXPECT_TRUE(QFileInfo::exists(silent.lockPath()));

    // Real copies against a stopped first one, under each name of its display: each ends with one line.
    ChildProcess& first = Start(QStringLiteral(":9"));
    ASSERT_TRUE(WaitForSocket(QStringLiteral(":9"), 8000));
    first.Signal(SIGSTOP);
    std::vector<ChildProcess*> later;
    for (const char* display : {":9", "unix:9", ":9.0"}) later.push_back(&Start(QString::fromLatin1(display)));
    for (ChildProcess* copy : later) {
        ASSERT_TRUE(WaitForExit(*copy, 8000));
        EXPECT_EQ(copy->exitCode(), 0);
        const QByteArray said = QByteArray::fromStdString(copy->err());
        EXPECT_TRUE(said.contains("holds the lock for display") && said.contains("does not answer") && said.count('\n') == 1) << said.constData();
    }
    first.Signal(SIGCONT);
    EXPECT_TRUE(WhilePumping([&] { return SingleInstance(runtime.path(), QStringLiteral(":9")).AskFirstToRaise(5000); }));
}

// Only a real X server shows it; skipped where Xvfb is not installed.
TEST_F(SingleInstanceTest, ACopyEndingWithoutAWindowCompletesItsLaunchersStartupNotice) {
    ChildProcess server;  // a program of the build machine, never emulated
    if (!server.Start({"Xvfb", "-displayfd", "1", "-nolisten", "tcp"})) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(PumpUntil([&] { return !server.Running() || server.out().find('\n') != std::string::npos; }, 10000) && server.Running());
    const QString display = QLatin1Char(':') + QString::fromStdString(server.out()).trimmed();
    xcb_connection_t* watcher = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(watcher), 0);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(watcher)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;  // where start-up notices are sent
    xcb_change_window_attributes(watcher, root, XCB_CW_EVENT_MASK, &mask);
    xcb_atom_t types[2];  // _NET_STARTUP_INFO_BEGIN, then _NET_STARTUP_INFO for the rest of a notice
    for (const int i : {0, 1}) {
        const char* name = i == 0 ? "_NET_STARTUP_INFO_BEGIN" : "_NET_STARTUP_INFO";
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(watcher, xcb_intern_atom(watcher, 0, std::strlen(name), name), nullptr);
        types[i] = reply->atom;
        std::free(reply);
    }
    QByteArrayList notices = {""};
    const auto collect = [&] {
        while (xcb_generic_event_t* event = xcb_poll_for_event(watcher)) {
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && (message->type == types[0] || message->type == types[1])) {
                notices.back().append(reinterpret_cast<const char*>(message->data.data8), 20);
                if (notices.back().contains('\0')) notices.append("");
            }
            std::free(event);
        }
        return notices.size() > 2;
    };
    const auto launched = [](const char* id) { return [=](QProcessEnvironment& environment) { environment.insert("DESKTOP_STARTUP_ID", id); }; };
    ChildProcess& first = Start(display);
    ASSERT_TRUE(WaitForSocket(display, 8000));
    ChildProcess& raising = Start(QStringLiteral("unix") + display + QStringLiteral(".0"), QString(), launched("launcher-1_TIME5"));
    ASSERT_TRUE(WaitForExit(raising, 8000));
    first.Signal(SIGSTOP);
    ChildProcess& unanswered = Start(display, QString(), launched(R"(say "hi" \o/)"));
    ASSERT_TRUE(WaitForExit(unanswered, 8000));
    first.Signal(SIGCONT);
    EXPECT_TRUE(PumpUntil(collect, 5000));
    for (QByteArray& notice : notices) notice.truncate(notice.indexOf('\0'));
    EXPECT_EQ(notices, QByteArrayList({R"(remove: ID="launcher-1_TIME5")", R"(remove: ID="say \"hi\" \\o/")", ""}));
    xcb_disconnect(watcher);
    server.Signal(SIGTERM);
    server.WaitForExit(5000);
}

TEST_F(SingleInstanceTest, SessionSignalsEndTheProgramAsClosingItsWindowDoes) {
    const SingleInstance names(runtime.path(), kDisplay);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ChildProcess& copy = Start();
        ASSERT_TRUE(WaitForSocket(kDisplay, 8000)) << signal;
        copy.Signal(signal);
        ASSERT_TRUE(WaitForExit(copy, 8000)) << signal;
        EXPECT_TRUE(copy.exitedNormally()) << signal;
        EXPECT_EQ(copy.exitCode(), 0) << signal;
        EXPECT_FALSE(QFileInfo::exists(names.lockPath()) || QFileInfo::exists(names.socketPath())) << signal;
    }
}

TEST_F(SingleInstanceTest, NoDisplayIsOneLineAndAPlainFailure) {
    for (const char* platform : {"", "xcb", "wayland", "xcb;wayland"}) {  // DISPLAY unset, then one nobody serves
        ChildProcess& copy = Start(kDisplay, QString(), [&](QProcessEnvironment& environment) {
            environment.insert("QT_QPA_PLATFORM", platform);
            if (*platform == '\0') environment.remove("DISPLAY");
            if (*platform == 'x') environment.insert("DISPLAY", ":4242");
        });
        ASSERT_TRUE(WaitForExit(copy, 8000)) << platform;
        EXPECT_TRUE(copy.exitedNormally()) << platform;
        EXPECT_EQ(copy.exitCode(), 1) << platform;
        const QByteArray said = QByteArray::fromStdString(copy.err());
        EXPECT_TRUE(said.startsWith("vantrel: ") && said.count('\n') == 1) << said.constData();
    }
}

TEST_F(SingleInstanceTest, NothingLeftInTheFolderKeepsTheProgramFromStartingAtOnce) {
    const QString target = runtime.path() + "/target";
    const auto write = [](const char* bytes) { return [=](const QByteArray& path) { QFile file(path); return file.open(QIODevice::WriteOnly) && file.write(bytes) >= 0; }; };
    const auto directory = [](const QByteArray& path) { return ::mkdir(path, 0700) == 0; };
    const auto nothing = [](const QByteArray&) { return true; };
    using Role = SingleInstance::Role;
    const struct {
        const char* what;
        mode_t folder;  // 0: none
        std::function<bool(const QByteArray& lock)> make;
        Role role;  // Unguarded: runs without listening
    } cases[] = {
        {"empty file", 0700, write(""), Role::First},
        {"garbage", 0700, write("\x7f\x01garbage"), Role::First},
        {"process id 0", 0700, write("0\n"), Role::First},
        {"directory", 0700, directory, Role::First},
        {"dangling link", 0700, [](const QByteArray& lock) { return ::symlink("missing", lock) == 0; }, Role::First},
        {"FIFO", 0700, [](const QByteArray& lock) { return ::mkfifo(lock, 0600) == 0; }, Role::First},
        {"link to a file", 0700, [&](const QByteArray& lock) { return ::symlink(target.toLocal8Bit(), lock) == 0; }, Role::First},
        {"second name of a file", 0700, [&](const QByteArray& lock) { return ::link(target.toLocal8Bit(), lock) == 0; }, Role::First},
        {"directory that cannot go", 0700, [&](const QByteArray& lock) { return directory(lock) && write("")(lock + "/x"); }, Role::Unguarded},
        {"folder open to others", 0755, nothing, Role::Unguarded},
        {"no folder", 0, nothing, Role::Unguarded},
    };
    ASSERT_TRUE(write("kept")(target.toLocal8Bit()));
    for (const auto& test : cases) {
        const QByteArray folder = (runtime.path() + "/" + QString(test.what).replace(' ', '_')).toLocal8Bit();
        ASSERT_TRUE(!test.folder || (::mkdir(folder, test.folder) == 0 && ::chmod(folder, test.folder) == 0));
        SingleInstance guard(QString::fromLocal8Bit(folder), kDisplay, kQuick);
        ASSERT_TRUE(test.make(guard.lockPath().toLocal8Bit())) << test.what;
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(guard.Claim(), test.role) << test.what;
        EXPECT_LT(clock.elapsed(), kQuick.answerMs) << test.what;
        EXPECT_EQ(guard.problem().isEmpty(), test.role == Role::First) << test.what;  // never unguarded in silence
        EXPECT_EQ(guard.Listen([](const QByteArray&) {}), test.role == Role::First) << test.what;
        EXPECT_EQ(QFileInfo::exists(guard.socketPath()), test.role == Role::First) << test.what;
    }
    QFile kept(target);
    EXPECT_TRUE(kept.open(QIODevice::ReadOnly) && kept.readAll() == "kept");  // links are never followed

    // A fallback folder that someone else made: the copy runs and says so.
    const QByteArray foreign = (runtime.path() + "/foreign").toLocal8Bit();
    ASSERT_EQ(::mkdir(foreign, 0700), 0);
    const bool root = ::geteuid() == 0;
    ASSERT_TRUE(!root || ::chown(foreign, 65534, 65534) == 0);
    SingleInstance other(root ? QString::fromLocal8Bit(foreign) : QStringLiteral("/"), kDisplay);
    EXPECT_EQ(other.Claim(), Role::Unguarded);
    EXPECT_TRUE(other.problem().contains("another user")) << other.problem().toStdString();

    // A runtime path too long for a socket's address still gets a socket that a later copy reaches.
    const QString deep = runtime.path() + "/" + QString(120, QLatin1Char('d'));
    ASSERT_EQ(::mkdir(deep.toLocal8Bit(), 0700), 0);
    SingleInstance first(deep, kDisplay, kQuick);
    ASSERT_EQ(first.Claim(), Role::First);
    ASSERT_TRUE(first.Listen([](const QByteArray&) {}));
    EXPECT_EQ(WhilePumping([&] { return SingleInstance(deep, kDisplay, kQuick).Claim(); }), Role::Second);
}

TEST_F(SingleInstanceTest, FloodsAndStragglersAreDroppedAndTheFirstCopyKeepsAnswering) {
    SingleInstance first(runtime.path(), kDisplay, kQuick);
    ASSERT_EQ(first.Claim(), SingleInstance::Role::First);
    int raised = 0;
    QByteArray seen = "none";
    ASSERT_TRUE(first.Listen([&](const QByteArray& token) {
        ++raised;
        seen = token;
    }));

    // With or without a token; anything else, or a token too long or not printable, is dropped.
    const QByteArray longest(200, 't');
    const struct { QByteArray request, answer, token; } requests[] = {  // token: what raise saw, "none": not called
        {"raise\n", "raised\n", ""}, {"raise abc-1_2.3:X\n", "raised\n", "abc-1_2.3:X"}, {"raise " + longest + "\n", "raised\n", longest},
        {"raise " + longest + "t\n", "", "none"}, {"raise \n", "", "none"}, {"raise a b\n", "", "none"},
        {"raise a\x01\n", "", "none"}, {"raised\n", "", "none"}, {"raise\nraise\n", "", "none"},
    };
    for (const auto& test : requests) {
        const int fd = ConnectTo(first.socketPath());
        ASSERT_EQ(::send(fd, test.request.constData(), static_cast<std::size_t>(test.request.size()), MSG_NOSIGNAL), test.request.size());
        char answer[16] = {};
        ssize_t count = -1;
        PumpUntil([&] { return count >= 0 || (count = ::read(fd, answer, sizeof(answer))) >= 0 || errno != EAGAIN; }, 3000);
        ::close(fd);
        EXPECT_EQ(QByteArray(answer, std::max<qsizetype>(count, 0)), test.answer) << test.request.constData();
        EXPECT_EQ(std::exchange(seen, "none"), test.token) << test.request.constData();
    }
    raised = 0;

    // A request with no end: a few bytes are read, then the first copy hangs up; what it took in
    // stays within the kernel's socket buffers (today's server read all 64 MiB into memory).
    int fd = ConnectTo(first.socketPath());
    ASSERT_GE(fd, 0);
    const std::vector<char> chunk(1 << 16, 'x');
    std::size_t sent = 0;
    int error = 0;
    PumpUntil([&] {
        const ssize_t count = ::send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (count > 0) sent += static_cast<std::size_t>(count);
        if (count < 0 && errno != EAGAIN) error = errno;
        return error != 0 || sent >= (64u << 20);
    }, 5000);
    ::close(fd);
    EXPECT_TRUE(error == EPIPE || error == ECONNRESET) << error;
    EXPECT_LT(sent, 8u << 20);

    // Part of a request, then silence: dropped at the connection's deadline.
    fd = ConnectTo(first.socketPath());
    ASSERT_EQ(::send(fd, "rai", 3, MSG_NOSIGNAL), 3);
    char byte = 0;
    EXPECT_TRUE(PumpUntil([&] { return ::read(fd, &byte, 1) == 0; }, kQuick.requestMs + 2000));
    ::close(fd);

    // Idle connections until this process runs out of descriptors: the socket stays.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit low{static_cast<rlim_t>(QDir("/proc/self/fd").count()) + 16, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> idle;
    for (int i = 0; i < 64; ++i) {
        if ((fd = ConnectTo(first.socketPath())) >= 0) idle.push_back(fd);
        PumpUntil([] { return false; }, 2);
    }
    ::setrlimit(RLIMIT_NOFILE, &limit);
    for (const int descriptor : idle) ::close(descriptor);
    struct stat status {};
    EXPECT_TRUE(::lstat(first.socketPath().toLocal8Bit(), &status) == 0 && S_ISSOCK(status.st_mode));

    EXPECT_TRUE(WhilePumping([&] { return first.AskFirstToRaise(2000, "not a token"); }));  // raised, without it
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(seen, "");
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
