// Test work that must run as an ordinary user: root reads and writes whatever the
// permission bits say, so a permission test run as root forks and drops to "nobody".
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

// Runs `work` in a child process (so that it may drop root's privileges) and returns what
// it wrote to the pipe; empty when the child could not run it.
inline std::string runInChild(const std::function<std::string()>& work) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const std::string out = work();
        size_t written = 0;
        while (written < out.size()) {
            const ssize_t n = ::write(fds[1], out.data() + written, out.size() - written);
            if (n <= 0) break;
            written += static_cast<size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    return out;
}

// Runs `work` as an ordinary user: here when this process is one, else in a child that
// became "nobody" (65534). Returns what `work` returned, or empty when no ordinary user
// could run it.
inline std::string runAsOrdinaryUser(const std::function<std::string()>& work) {
    if (::geteuid() != 0) return work();
    return runInChild([&]() -> std::string {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) return {};
        return work();
    });
}
