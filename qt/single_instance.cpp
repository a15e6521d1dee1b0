#include "qt/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace vantrel {
namespace {

const QByteArray kRaiseRequest = "raise\n";
const QByteArray kRaiseAnswer = "raised\n";
constexpr int kConnectRetryMs = 50;

}  // namespace

SingleInstance::SingleInstance(const QString& directory) : directory_(directory) {
    if (directory_.isEmpty()) directory_ = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
    if (lock_) lock_->unlock();
}

SingleInstance::Role SingleInstance::Claim() {
    if (directory_.isEmpty() || !QDir(directory_).exists()) return Role::Unguarded;
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Only a dead owner makes a lock stale, never its age: a long-running first copy keeps it.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return Role::First;
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    return error == QLockFile::LockFailedError ? Role::Second : Role::Unguarded;
}

bool SingleInstance::Listen(std::function<void()> raise) {
    raise_ = std::move(raise);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);  // the user alone may connect
    // A socket file left by a crashed copy would make listening fail; the lock says it is ours.
    QLocalServer::removeServer(socketPath());
    if (!server_->listen(socketPath())) return false;
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine()) return;
                const QByteArray request = socket->readLine(64);
                if (request == kRaiseRequest) {
                    if (raise_) raise_();
                    socket->write(kRaiseAnswer);
                    socket->flush();
                }
                socket->disconnectFromServer();
            });
        }
    });
    return true;
}

bool SingleInstance::AskFirstToRaise(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    // The first copy may hold the lock before its window and socket exist: keep trying.
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 500)))) {
            socket.write(kRaiseRequest);
            socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime()));
            while (!socket.canReadLine() && socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            }
            return socket.canReadLine() && socket.readLine(64) == kRaiseAnswer;
        }
        QThread::msleep(kConnectRetryMs);
    }
    return false;
}

}  // namespace vantrel
