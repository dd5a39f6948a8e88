// A child process per risky library call (see isolated_call.h).
#include "platform/database/readers/isolated_call.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace db {

void writeAllOrExit(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ::_exit(1);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

IsolatedOutcome runIsolated(const std::function<void(int fd)>& work, std::string& output,
                            int timeoutMilliseconds, std::size_t maxBytes) {
    output.clear();
    return runIsolated(
        work, [&output](const char* data, std::size_t size) { output.append(data, size); },
        timeoutMilliseconds, maxBytes);
}

IsolatedOutcome runIsolated(const std::function<void(int fd)>& work,
                            const std::function<void(const char* data, std::size_t size)>& consume,
                            int timeoutMilliseconds, std::size_t maxBytes) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return IsolatedOutcome::CannotStart;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return IsolatedOutcome::CannotStart;
    }
    if (pid == 0) {
        ::close(fds[0]);
        // A parent that stops reading must end the child, not block it.
        ::signal(SIGPIPE, SIG_DFL);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) {
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        work(fds[1]);
        ::_exit(0);
    }
    ::close(fds[1]);

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    IsolatedOutcome outcome = IsolatedOutcome::Finished;
    char buffer[1 << 16];
    std::size_t total = 0;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            outcome = IsolatedOutcome::TimedOut;
            break;
        }
        pollfd waitFor{fds[0], POLLIN, 0};
        const int ready = ::poll(&waitFor, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) continue;  // the deadline check above ends it
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // the child closed its end: finished or dead
        total += static_cast<std::size_t>(n);
        if (total > maxBytes) {
            outcome = IsolatedOutcome::TooLarge;
            break;
        }
        consume(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (outcome != IsolatedOutcome::Finished) ::kill(pid, SIGKILL);
    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(pid, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    // Someone else may have reaped the child (a SIGCHLD handler that waits for all);
    // the caller's end marker then decides.
    if (outcome == IsolatedOutcome::Finished && reaped == pid &&
        !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        outcome = IsolatedOutcome::Failed;
    return outcome;
}

}  // namespace db
