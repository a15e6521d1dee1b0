#pragma once
// Another program started by a test, with pipes for its standard streams. Not QProcess: under
// qemu-user its child cannot be started at all (qemu 7.2 refuses the clone flags it uses), and a
// program built for the target must itself be started through the build's emulator.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

extern char** environ;

namespace vantrel {

// A program built with the tests, run as the tests themselves are run: VANTREL_EMULATOR is the
// build's emulator as a list of C strings, e.g. "/usr/bin/qemu-aarch64","-L","/usr/aarch64-linux-gnu".
inline std::vector<std::string> BuiltProgram(const std::string& path, std::vector<std::string> arguments = {}) {
#ifdef VANTREL_EMULATOR
    std::vector<std::string> command = {VANTREL_EMULATOR};
#else
    std::vector<std::string> command;
#endif
    command.push_back(path);
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (Running()) {
            ::kill(pid_, SIGKILL);
            Reap(0);
        }
        for (int& fd : fds_) Close(fd);
    }

    // What the next Start gives the child, where this process's own is not wanted.
    void SetDirectory(std::string directory) { directory_ = std::move(directory); }
    void SetEnvironment(std::vector<std::string> entries) { environment_ = std::move(entries); }  // NAME=value each
    void LimitAddressSpace(rlim_t bytes) { addressSpace_ = bytes; }

    // False when the program could not be run: not found, not executable, or no more processes.
    bool Start(std::vector<std::string> command) {
        if (command.empty() || pid_ > 0) return false;
        if (command[0].find('/') == std::string::npos) command[0] = Search(command[0]);
        if (command[0].empty()) return false;
        std::vector<char*> argv;
        for (std::string& word : command) argv.push_back(word.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        if (environment_) {
            for (std::string& entry : *environment_) envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        char** const childEnvironment = environment_ ? envp.data() : environ;

        // input, output, error, and one that carries the child's errno when exec fails.
        int pipes[4][2] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
        bool made = true;
        for (auto& ends : pipes) made = made && ::pipe2(ends, O_CLOEXEC) == 0;
        ::signal(SIGPIPE, SIG_IGN);  // a child gone before its input is written is a failed Write
        pid_ = made ? ::fork() : -1;
        if (pid_ == 0) {
            // Only async-signal-safe calls from here: the test process has other threads.
            for (int fd = 0; fd < 3; ++fd) ::dup2(pipes[fd][fd == 0 ? 0 : 1], fd);
            sigset_t none;
            sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            ::signal(SIGPIPE, SIG_DFL);
            if (addressSpace_) {
                const rlimit limit{*addressSpace_, *addressSpace_};
                ::setrlimit(RLIMIT_AS, &limit);
            }
            if (directory_.empty() || ::chdir(directory_.c_str()) == 0) ::execve(argv[0], argv.data(), childEnvironment);
            const int reason = errno;
            [[maybe_unused]] const ssize_t told = ::write(pipes[3][1], &reason, sizeof(reason));
            ::_exit(127);
        }
        for (int i = 0; i < 4; ++i) {
            Close(pipes[i][i == 0 ? 0 : 1]);  // the child's ends
            if (i < 3) fds_[i] = pipes[i][i == 0 ? 1 : 0];
        }
        int reason = 0;
        ssize_t got = 0;
        while (pid_ > 0 && (got = ::read(pipes[3][0], &reason, sizeof(reason))) < 0 && errno == EINTR) {}
        Close(pipes[3][0]);
        for (int fd : fds_) ::fcntl(fd, F_SETFL, O_NONBLOCK);
        if (pid_ > 0 && got > 0) Reap(0);
        return pid_ > 0 && got == 0;
    }

    // Writes all of bytes to the child's standard input, reading its output meanwhile.
    bool Write(std::string_view bytes) {
        while (!bytes.empty() && fds_[0] >= 0) {
            const ssize_t count = ::write(fds_[0], bytes.data(), bytes.size());
            if (count > 0) bytes.remove_prefix(static_cast<std::size_t>(count));
            else if (errno != EAGAIN && errno != EINTR) return false;
            else if (!Running()) return false;
            else Drain(10);
        }
        return bytes.empty();
    }
    void CloseInput() { Close(fds_[0]); }

    // Reads what the child printed so far and notices its end; true while it runs.
    bool Running() {
        Drain(0);
        if (pid_ > 0 && !exited_) Reap(WNOHANG);
        return pid_ > 0 && !exited_;
    }

    // True when the child has ended within the time; all it printed is read then.
    bool WaitForExit(int milliseconds) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (Running()) {
            if (std::chrono::steady_clock::now() >= deadline) return false;
            Drain(5);
        }
        while (fds_[1] >= 0 || fds_[2] >= 0) {
            if (!Drain(0)) break;  // a grandchild may hold the pipes open: take what is there
        }
        return exited_;
    }

    void Signal(int signal) const {
        if (pid_ > 0 && !exited_) ::kill(pid_, signal);
    }

    pid_t pid() const { return pid_; }
    bool exitedNormally() const { return exited_ && WIFEXITED(status_); }
    int exitCode() const { return exited_ && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }
    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

private:
    static std::string Search(const std::string& name) {
        const char* path = std::getenv("PATH");
        for (std::string_view rest = path ? path : "/usr/bin:/bin"; !rest.empty();) {
            const std::size_t colon = rest.find(':');
            std::string candidate(rest.substr(0, colon));
            candidate += (candidate.empty() ? "./" : "/") + name;
            if (::access(candidate.c_str(), X_OK) == 0) return candidate;
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
        return {};
    }

    static void Close(int& fd) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }

    void Reap(int flags) {
        pid_t done;
        while ((done = ::waitpid(pid_, &status_, flags)) < 0 && errno == EINTR) {}
        exited_ = exited_ || done == pid_;
    }

    // Reads whatever the output pipes hold, waiting up to the time for some; false when none came.
    bool Drain(int milliseconds) {
        pollfd watched[2] = {{fds_[1], POLLIN, 0}, {fds_[2], POLLIN, 0}};  // closed ones are skipped
        if (::poll(watched, 2, milliseconds) <= 0) return false;
        bool read = false;
        for (int i = 0; i < 2; ++i) {
            if (watched[i].revents == 0) continue;
            char buffer[4096];
            ssize_t count;
            while ((count = ::read(fds_[i + 1], buffer, sizeof(buffer))) > 0) {
                (i == 0 ? out_ : err_).append(buffer, static_cast<std::size_t>(count));
                read = true;
            }
            if (count == 0 || (errno != EAGAIN && errno != EINTR)) {
                Close(fds_[i + 1]);
                read = true;
            }
        }
        return read;
    }

    std::string directory_;
    std::optional<std::vector<std::string>> environment_;
    std::optional<rlim_t> addressSpace_;
    pid_t pid_ = -1;
    int fds_[3] = {-1, -1, -1};  // the child's standard input, output and error, this side
    int status_ = 0;
    bool exited_ = false;
    std::string out_, err_;
};

}  // namespace vantrel
