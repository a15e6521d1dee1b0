#include "qt/single_instance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QObject>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QStringList>
#include <QSysInfo>
#include <QTimer>

namespace vantrel {
namespace {

constexpr char kRaiseRequest[] = "raise\n";  // or "raise <activation token>\n"
constexpr char kRaiseAnswer[] = "raised\n";
constexpr char kActivationTokenVariable[] = "XDG_ACTIVATION_TOKEN";
constexpr std::size_t kTokenLimit = 200;
// Bytes a connection may send before it is dropped: "raise", a space, the longest token, the newline.
constexpr std::size_t kRequestLimit = sizeof(kRaiseRequest) + kTokenLimit;
constexpr std::size_t kMaxConnections = 8;  // beyond this the oldest connection is dropped
constexpr int kListenBacklog = 16;
constexpr int kRetryMs = 50;  // between connection attempts, and before accepting again when out of descriptors
constexpr int kLockAttempts = 4;
constexpr int kMaxDisplayName = 48;

QByteArray Native(const QString& path) { return path.toLocal8Bit(); }

QString ErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

bool SameFile(const QString& path, dev_t device, ino_t inode) {
    struct stat status {};
    return ::lstat(Native(path).constData(), &status) == 0 && status.st_dev == device && status.st_ino == inode;
}

// Whatever sits at the name (file, link, FIFO, socket, empty directory) goes; false if it cannot.
bool RemoveEntry(const QString& path) {
    const QByteArray native = Native(path);
    if (::unlink(native.constData()) == 0 || errno == ENOENT) return true;
    return (errno == EISDIR || errno == EPERM) && ::rmdir(native.constData()) == 0;
}

// Empty for a directory of this user that nobody else can read or enter, else what is wrong with it.
QString UnusableDirectory(const QString& path) {
    if (path.isEmpty()) return QStringLiteral("there is no runtime folder");
    struct stat status {};
    if (::stat(Native(path).constData(), &status) != 0) return QStringLiteral("runtime folder %1: %2").arg(path, ErrorText(errno));
    if (!S_ISDIR(status.st_mode)) return QStringLiteral("runtime folder %1 is not a folder").arg(path);
    if (status.st_uid != ::geteuid()) return QStringLiteral("runtime folder %1 belongs to another user").arg(path);
    if ((status.st_mode & 077) != 0) return QStringLiteral("runtime folder %1 is open to other users").arg(path);
    return QString();
}

// Names this machine answers to: an X display on any of them is the one reached as ":N".
bool IsLocalHost(const QString& host) {
    static const QStringList kLocal = {QString(), QStringLiteral("unix"), QStringLiteral("localhost"),
                                       QStringLiteral("127.0.0.1"), QStringLiteral("::1")};
    return kLocal.contains(host, Qt::CaseInsensitive) || host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0;
}

// A file-name part from a display: "unix:1", ":1" and ":1.0" are the same X server, a Wayland socket
// named by its full path in the runtime folder is the one named alone; nothing can leave the directory.
QString DisplayFileName(const QString& display) {
    if (display.isEmpty()) return QStringLiteral("none");
    QString name = display;
    const qsizetype colon = name.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {  // X11: [protocol/][host]:number[.screen]
        QString host = name.left(colon);
        host = host.mid(host.indexOf(QLatin1Char('/')) + 1);
        QString number = name.mid(colon + 1);
        const qsizetype dot = number.indexOf(QLatin1Char('.'));
        if (dot >= 0) number.truncate(dot);
        name = QStringLiteral("x11") + (IsLocalHost(host) ? QString() : host) + QLatin1Char('_') + number;
    } else if (QFileInfo(name).isAbsolute() &&
               QFileInfo(name).absolutePath() == QFileInfo(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/x")).absolutePath()) {
        name = QFileInfo(name).fileName();
    }
    for (QChar& c : name) {
        const char16_t u = c.unicode();
        const bool kept = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '.';
        if (!kept) c = QLatin1Char('_');
    }
    if (name.size() <= kMaxDisplayName) return name;
    // Long names keep a short prefix and a hash of the whole, so the socket path stays within its limit.
    std::uint32_t hash = 2166136261u;
    for (const QChar c : name) hash = (hash ^ c.unicode()) * 16777619u;
    return name.left(kMaxDisplayName - 9) + QLatin1Char('_') + QString::number(hash, 16).rightJustified(8, QLatin1Char('0'));
}

// A socket's address; a path too long for one is reached through a descriptor of its folder.
class SocketAddress {
public:
    explicit SocketAddress(const QString& path) {
        address_.sun_family = AF_UNIX;
        QByteArray native = Native(path);
        if (native.size() >= static_cast<qsizetype>(sizeof(address_.sun_path))) {
            const qsizetype slash = native.lastIndexOf('/');
            folder_ = ::open(native.left(std::max<qsizetype>(slash, 1)).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (folder_ < 0) return;
            native = "/proc/self/fd/" + QByteArray::number(folder_) + native.mid(slash);
            if (native.size() >= static_cast<qsizetype>(sizeof(address_.sun_path))) return;
        }
        std::memcpy(address_.sun_path, native.constData(), static_cast<std::size_t>(native.size()));
        valid_ = true;
    }
    ~SocketAddress() {
        if (folder_ >= 0) ::close(folder_);
    }
    SocketAddress(const SocketAddress&) = delete;
    SocketAddress& operator=(const SocketAddress&) = delete;
    bool valid() const { return valid_; }
    const char* path() const { return address_.sun_path; }
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&address_); }
    static socklen_t size() { return sizeof(sockaddr_un); }

private:
    sockaddr_un address_{};
    int folder_ = -1;
    bool valid_ = false;
};

// Tokens are opaque to us; printable and short is all a compositor's tokens need to be.
bool IsActivationToken(const char* token, std::size_t size) {
    const auto printable = [](char c) { return c > ' ' && c < 0x7f; };
    return size > 0 && size <= kTokenLimit && std::all_of(token, token + size, printable);
}

int Remaining(const QDeadlineTimer& deadline) { return static_cast<int>(std::max<qint64>(deadline.remainingTime(), 0)); }

}  // namespace

// One accepted connection: a few bytes of request, a deadline, then it is dropped.
struct SingleInstance::Connection : QObject {  // a QObject so its signal connections end with it
    explicit Connection(int descriptor) : fd(descriptor), notifier(descriptor, QSocketNotifier::Read) {}
    ~Connection() override {
        notifier.setEnabled(false);
        if (fd >= 0) ::close(fd);
    }
    int fd;
    QSocketNotifier notifier;
    QTimer deadline;
    std::array<char, kRequestLimit> request{};
    std::size_t size = 0;
};

SingleInstance::SingleInstance(const QString& directory, const QString& display, Timing timing)
    : directory_(directory), display_(display), timing_(timing) {
    if (directory_.isEmpty()) directory_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    name_ = QStringLiteral("vantrel-%1-%2").arg(::geteuid()).arg(DisplayFileName(display));
}

SingleInstance::~SingleInstance() {
    for (Connection* connection : connections_) delete connection;
    retired_.clear();
    acceptNotifier_.reset();
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(Native(socketPath()).constData());
    }
    ReleaseLock();
}

QString SingleInstance::DisplayFromEnvironment() {
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    return wayland.isEmpty() ? qEnvironmentVariable("DISPLAY") : wayland;
}

SingleInstance::Role SingleInstance::Claim() {
    const QString unusable = UnusableDirectory(directory_);
    if (!unusable.isEmpty()) {
        problem_ = QStringLiteral("running without the one-copy guard: ") + unusable;
        return Role::Unguarded;
    }
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        switch (TryLock()) {
        case LockAttempt::Taken: return Role::First;
        case LockAttempt::Failed:
            problem_ = QStringLiteral("running without the one-copy guard: cannot lock %1: %2").arg(lockPath(), ErrorText(errno));
            return Role::Unguarded;
        case LockAttempt::Replaced: break;
        case LockAttempt::Unusable:
            if (!RemoveEntry(lockPath())) {
                problem_ = QStringLiteral("running without the one-copy guard: cannot remove %1: %2").arg(lockPath(), ErrorText(errno));
                return Role::Unguarded;
            }
            break;
        case LockAttempt::Held:
            if (AskFirstToRaise(timing_.answerMs, qgetenv(kActivationTokenVariable))) {
                // The token was for bringing a window to the front: it is the first copy's now.
                qunsetenv(kActivationTokenVariable);
                return Role::Second;
            }
            // Stopped, hung or still starting: a window of our own would be a second one once it wakes.
            problem_ = QStringLiteral("another copy holds the lock for display %1 but does not answer; not opening a second window")
                           .arg(display_.isEmpty() ? QStringLiteral("(none)") : display_);
            return Role::Silent;
        }
    }
    problem_ = QStringLiteral("running without the one-copy guard: %1 keeps being replaced").arg(lockPath());
    return Role::Unguarded;
}

SingleInstance::LockAttempt SingleInstance::TryLock() {
    // Never blocks (a FIFO), never follows a link; only a plain file of ours, with no other name, will do.
    const int fd = ::open(Native(lockPath()).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) return LockAttempt::Unusable;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid() || status.st_nlink != 1) {
        ::close(fd);
        return LockAttempt::Unusable;
    }
    // The kernel drops the lock when its holder dies, so a crash leaves nothing to clean up.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return error == EWOULDBLOCK ? LockAttempt::Held : LockAttempt::Failed;
    }
    // Between our open and our lock the previous holder may have removed the file on its way out.
    if (!SameFile(lockPath(), status.st_dev, status.st_ino)) {
        ::close(fd);
        return LockAttempt::Replaced;
    }
    lockFd_ = fd;
    // The holder's process id, for a person looking; nobody relies on it.
    const QByteArray pid = QByteArray::number(::getpid()) + '\n';
    if (::ftruncate(fd, 0) == 0) {
        const ssize_t written = ::write(fd, pid.constData(), static_cast<std::size_t>(pid.size()));
        static_cast<void>(written);
    }
    return LockAttempt::Taken;
}

void SingleInstance::ReleaseLock() {
    if (lockFd_ < 0) return;
    // Removed while still locked: a copy that opened it meanwhile sees it replaced and tries again.
    ::unlink(Native(lockPath()).constData());
    ::close(lockFd_);
    lockFd_ = -1;
}

bool SingleInstance::Listen(std::function<void(const QByteArray& activationToken)> raise) {
    if (lockFd_ < 0) return false;  // only the lock's holder answers for this display
    raise_ = std::move(raise);
    const SocketAddress address(socketPath());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // A socket file left by a crashed copy would make binding fail; the lock says the name is ours.
    RemoveEntry(socketPath());
    // Nobody can connect before listen(), so the file's rights are narrowed to the user in time.
    if (fd < 0 || !address.valid() || ::bind(fd, address.get(), SocketAddress::size()) != 0 || ::chmod(address.path(), 0600) != 0 ||
        ::listen(fd, kListenBacklog) != 0) {
        problem_ = QStringLiteral("running without the one-copy guard: cannot listen on %1: %2").arg(socketPath(), ErrorText(errno));
        if (fd >= 0) ::close(fd);
        ReleaseLock();
        return false;
    }
    listenFd_ = fd;
    acceptNotifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(acceptNotifier_.get(), &QSocketNotifier::activated, acceptNotifier_.get(), [this] { AcceptPending(); });
    return true;
}

void SingleInstance::AcceptPending() {
    retired_.clear();
    for (;;) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) return;
            // Out of descriptors or memory: the socket stays, room is made, and accepting resumes shortly.
            if (!connections_.empty()) Drop(connections_.front());
            acceptNotifier_->setEnabled(false);
            QTimer::singleShot(kRetryMs, acceptNotifier_.get(), [this] { acceptNotifier_->setEnabled(true); });
            return;
        }
        if (connections_.size() >= kMaxConnections) Drop(connections_.front());
        auto* connection = new Connection(fd);
        connections_.push_back(connection);
        QObject::connect(&connection->notifier, &QSocketNotifier::activated, connection, [this, connection] { Read(connection); });
        QObject::connect(&connection->deadline, &QTimer::timeout, connection, [this, connection] { Drop(connection); });
        connection->deadline.setSingleShot(true);
        connection->deadline.start(timing_.requestMs);
    }
}

void SingleInstance::Read(Connection* connection) {
    const ssize_t count = ::read(connection->fd, connection->request.data() + connection->size, kRequestLimit - connection->size);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    if (count <= 0) return Drop(connection);
    connection->size += static_cast<std::size_t>(count);
    const char* begin = connection->request.data();
    const bool complete = std::find(begin, begin + connection->size, '\n') != begin + connection->size;
    if (!complete && connection->size < kRequestLimit) return;  // more may follow, within the deadline
    // Out of the list and quiet before raise runs: whatever raise does, nothing else drops this connection.
    connections_.remove(connection);
    connection->notifier.setEnabled(false);
    connection->deadline.stop();
    // One line and nothing after it: "raise", or "raise", a space and a token.
    const std::size_t lineSize = connection->size - 1;
    const std::size_t verbSize = sizeof(kRaiseRequest) - 2;
    const char* token = begin + verbSize + 1;
    const std::size_t tokenSize = lineSize > verbSize ? lineSize - verbSize - 1 : 0;
    const bool raise = begin[lineSize] == '\n' && lineSize >= verbSize && std::memcmp(begin, kRaiseRequest, verbSize) == 0 &&
                       (lineSize == verbSize || (begin[verbSize] == ' ' && IsActivationToken(token, tokenSize)));
    if (raise) {
        if (raise_) raise_(QByteArray(token, static_cast<qsizetype>(tokenSize)));
        // A few bytes into an empty socket buffer: this cannot block or come out short.
        ::send(connection->fd, kRaiseAnswer, sizeof(kRaiseAnswer) - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    Retire(connection);
}

void SingleInstance::Drop(Connection* connection) {
    connections_.remove(connection);
    Retire(connection);
}

void SingleInstance::Retire(Connection* connection) {
    // Disabled before the descriptor is closed: the next connection may get the same number.
    connection->notifier.setEnabled(false);
    connection->deadline.stop();
    ::close(connection->fd);
    connection->fd = -1;
    retired_.emplace_back(connection);  // we may be inside one of its own signals: deleted at the next accept
}

bool SingleInstance::AskFirstToRaise(int timeoutMs, const QByteArray& activationToken) const {
    const SocketAddress address(socketPath());
    if (!address.valid()) return false;
    // A token the first copy would refuse is left out: being raised without it beats not at all.
    QByteArray request = kRaiseRequest;
    if (IsActivationToken(activationToken.constData(), static_cast<std::size_t>(activationToken.size())))
        request = "raise " + activationToken + '\n';
    const QDeadlineTimer deadline(timeoutMs);
    // The first copy may hold the lock before its socket exists, or drop us when flooded: keep trying.
    do {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        char answer[sizeof(kRaiseAnswer)] = {};
        std::size_t size = 0;
        if (::connect(fd, address.get(), SocketAddress::size()) == 0 &&
            ::send(fd, request.constData(), static_cast<std::size_t>(request.size()), MSG_NOSIGNAL) == request.size()) {
            pollfd entry{fd, POLLIN, 0};
            while (size < sizeof(answer) - 1 && ::poll(&entry, 1, Remaining(deadline)) > 0) {
                const ssize_t count = ::read(fd, answer + size, sizeof(answer) - 1 - size);
                if (count <= 0) break;
                size += static_cast<std::size_t>(count);
            }
        }
        ::close(fd);
        if (size == sizeof(kRaiseAnswer) - 1 && std::memcmp(answer, kRaiseAnswer, size) == 0) return true;
        if (!deadline.hasExpired()) ::usleep(static_cast<useconds_t>(std::min(kRetryMs, Remaining(deadline))) * 1000);
    } while (!deadline.hasExpired());
    return false;
}

}  // namespace vantrel
