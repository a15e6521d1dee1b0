#pragma once
// One copy runs per user and graphical session: the first holds a lock file and listens on a local
// socket, both named for the user and the display in the user's private runtime directory; a later
// copy on the same display asks the first to restore and raise its window and ends, answered or not.
// Nothing left in that directory keeps the program from starting: a lock nobody holds is taken and
// anything else at its name is removed; where the guard cannot work the copy runs and says why.
#include <functional>
#include <list>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QString>

class QSocketNotifier;

namespace vantrel {

struct SingleInstanceTiming {
    int answerMs = 2000;   // how long a later copy waits for the first to answer
    int requestMs = 1000;  // how long the first copy gives a connection to send its request
};

class SingleInstance {
public:
    // First: holds the lock. Second: a running copy on this display acknowledged the request to
    // raise its window, and took this copy's activation token (XDG_ACTIVATION_TOKEN, then unset
    // here). Silent: a copy holds the lock but did not answer within the wait; this one must not
    // open a second window. Unguarded: the guard cannot work here (see problem()); the program
    // runs without it.
    enum class Role { First, Second, Silent, Unguarded };
    using Timing = SingleInstanceTiming;

    // directory empty: the user's runtime directory. display: the graphical session the window is on.
    explicit SingleInstance(const QString& directory = QString(), const QString& display = DisplayFromEnvironment(),
                            Timing timing = Timing());
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The session's display: the Wayland socket if there is one, else the X11 display, else empty.
    static QString DisplayFromEnvironment();

    Role Claim();
    // First copy, once its window exists: calls raise for every request from a later copy, with the
    // activation token that copy was started with (empty if none). False (and the lock given up, so
    // later copies need not wait; problem() says why) when the socket cannot be set up.
    bool Listen(std::function<void(const QByteArray& activationToken)> raise);
    // Asks the copy listening on this display to raise its window, handing on the token a Wayland
    // compositor wants before it lets a window take the focus; true once it acknowledged, retrying
    // (the first copy may still be starting) until timeoutMs have passed.
    bool AskFirstToRaise(int timeoutMs, const QByteArray& activationToken = QByteArray()) const;

    // One line for the user when the role is Silent or Unguarded, or Listen failed; empty otherwise.
    const QString& problem() const { return problem_; }

    QString lockPath() const { return directory_ + QStringLiteral("/") + name_ + QStringLiteral(".lock"); }
    QString socketPath() const { return directory_ + QStringLiteral("/") + name_ + QStringLiteral(".socket"); }

private:
    struct Connection;
    enum class LockAttempt { Taken, Held, Unusable, Replaced, Failed };

    LockAttempt TryLock();
    void ReleaseLock();
    void AcceptPending();
    void Read(Connection* connection);
    void Drop(Connection* connection);
    void Retire(Connection* connection);

    QString directory_;
    QString display_;
    QString name_;  // vantrel-<user id>-<display>
    Timing timing_;
    QString problem_;
    int lockFd_ = -1;
    int listenFd_ = -1;
    std::unique_ptr<QSocketNotifier> acceptNotifier_;
    std::list<Connection*> connections_;  // oldest first
    std::vector<std::unique_ptr<Connection>> retired_;  // dropped, not yet deleted
    std::function<void(const QByteArray&)> raise_;
};

}  // namespace vantrel
