#include "qt/session.h"

#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <QByteArray>
#include <QByteArrayList>
#include <QSocketNotifier>

#include <xcb/xcb.h>

namespace vantrel {
namespace {

constexpr char kStartupVariable[] = "DESKTOP_STARTUP_ID";

bool XDisplayReachable() {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

// Qt's Wayland plugin connects to WAYLAND_DISPLAY, "wayland-0" when unset, in the runtime folder.
bool WaylandDisplayReachable() {
    QByteArray path = qgetenv("WAYLAND_DISPLAY");
    if (path.isEmpty()) path = "wayland-0";
    if (!path.startsWith('/')) {
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return false;
        path = qgetenv("XDG_RUNTIME_DIR") + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) return true;  // let Qt try and say why not
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool reachable = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    if (fd >= 0) ::close(fd);
    return reachable;
}

bool PlatformReachable(const QByteArray& platform) {
    if (platform == "xcb") return XDisplayReachable();
    if (platform.startsWith("wayland")) return WaylandDisplayReachable();
    return true;  // offscreen, minimal, framebuffers, VNC: no display server to reach
}

// "remove: ID=\"...\"", quoted and escaped as the start-up notification protocol reads values.
QByteArray RemoveMessage(const QByteArray& id) {
    QByteArray message = "remove: ID=\"";
    for (const char c : id) {
        if (c == '"' || c == '\\') message += '\\';
        message += c;
    }
    return message + '"';
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

}  // namespace

QString MissingDisplay(int argc, char** argv) {
    QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) platforms = argv[i + 1];
    }
    if (platforms.isEmpty()) platforms = "xcb;wayland";
    // A list is tried in order; a name may carry options after a colon.
    for (const QByteArray& entry : platforms.split(';')) {
        const QByteArray platform = entry.left(entry.indexOf(':') < 0 ? entry.size() : entry.indexOf(':')).trimmed();
        if (!platform.isEmpty() && PlatformReachable(platform)) return QString();
    }
    const QString x11 = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (x11.isEmpty() && wayland.isEmpty()) return QStringLiteral("no display to open a window on: neither DISPLAY nor WAYLAND_DISPLAY is set");
    return QStringLiteral("cannot connect to display %1").arg(wayland.isEmpty() ? x11 : wayland);
}

void CompleteStartupNotification() {
    const QByteArray id = qgetenv(kStartupVariable);
    qunsetenv(kStartupVariable);
    if (id.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY")) return;
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 1; ++i) xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    // The protocol wants the messages to come from a window of the sender's own.
    const xcb_window_t window = xcb_generate_id(connection);
    const std::uint32_t overrideRedirect = 1;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, -100, -100, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_OVERRIDE_REDIRECT, &overrideRedirect);
    const xcb_atom_t begin = Atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = Atom(connection, "_NET_STARTUP_INFO");
    // The message with its terminating zero, 20 bytes per client message, the last padded with zeros.
    const QByteArray message = RemoveMessage(id);
    for (qsizetype offset = 0; offset <= message.size(); offset += 20) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = window;
        event.type = offset == 0 ? begin : more;
        std::memcpy(event.data.data8, message.constData() + offset, static_cast<std::size_t>(std::min<qsizetype>(20, message.size() - offset)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE, reinterpret_cast<const char*>(&event));
    }
    xcb_destroy_window(connection, window);
    // A round trip: the server has taken every message before the connection closes.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    xcb_disconnect(connection);
}

SessionSignals::SessionSignals() {
    sigset_t ended;
    sigemptyset(&ended);
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&ended, number);
    if (::pthread_sigmask(SIG_BLOCK, &ended, nullptr) != 0) return;
    fd_ = ::signalfd(-1, &ended, SFD_NONBLOCK | SFD_CLOEXEC);
    if (fd_ < 0) ::pthread_sigmask(SIG_UNBLOCK, &ended, nullptr);  // the default action beats none
}

SessionSignals::~SessionSignals() {
    notifier_.reset();
    if (fd_ >= 0) ::close(fd_);
}

void SessionSignals::OnSignal(std::function<void()> end) {
    if (fd_ < 0) return;
    end_ = std::move(end);
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        signalfd_siginfo info{};
        while (::read(fd_, &info, sizeof(info)) == static_cast<ssize_t>(sizeof(info))) {
        }
        if (end_) end_();
    });
}

}  // namespace vantrel
