#pragma once
// Only one copy runs per user: the first holds a lock file and listens on a local socket, both in
// the user's private runtime directory; a later copy asks the first to restore and raise its
// window, then ends. A lock left by a crashed copy is taken over.
#include <functional>
#include <memory>

#include <QLocalServer>
#include <QLockFile>
#include <QString>

namespace vantrel {

class SingleInstance {
public:
    enum class Role { First, Second, Unguarded };

    // directory empty: the user's runtime directory.
    explicit SingleInstance(const QString& directory = QString());
    ~SingleInstance();

    // Takes the lock (First), finds it held by a running copy (Second), or cannot guard at all
    // (Unguarded: no usable directory), in which case the program simply runs.
    Role Claim();
    // First copy, once its window exists: calls raise for every request from a later copy.
    bool Listen(std::function<void()> raise);
    // Second copy: asks the first to raise its window, waiting at most timeoutMs for it to
    // answer (it may still be starting). True when it confirmed.
    bool AskFirstToRaise(int timeoutMs);

    QString lockPath() const { return directory_ + QStringLiteral("/vantrel.lock"); }
    QString socketPath() const { return directory_ + QStringLiteral("/vantrel.socket"); }

private:
    QString directory_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> raise_;
};

}  // namespace vantrel
