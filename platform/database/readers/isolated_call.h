// Runs a piece of work in a child process and collects the bytes it writes, so that a
// library that misbehaves on a damaged file (reads out of bounds, crashes, loops for
// minutes) can take down only the child. Used for FreeXL, which does all three on
// crafted workbooks.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace db {

enum class IsolatedOutcome {
    Finished,     // the child ran `work` to its end and exited normally
    Failed,       // the child died (signal) or exited with a non-zero status
    TimedOut,     // killed after the time limit
    TooLarge,     // killed: it wrote more than the byte limit
    CannotStart,  // no pipe or no fork
};

// Forks; the child runs work(fd) writing to fd, then exits with status 0 (it never
// returns into the caller's code: no destructors, no atexit handlers run in it). The
// child's standard output and error go to /dev/null. The parent gathers everything
// written into `output` (also on failure, for what it is worth) and reaps the child.
// The work must use only plain C libraries (no Qt, no threads of its own).
IsolatedOutcome runIsolated(const std::function<void(int fd)>& work, std::string& output,
                            int timeoutMilliseconds, std::size_t maxBytes);
// The same, handing each piece the child writes to `consume` as it arrives instead of
// gathering it (a large result then need not sit in memory in one piece).
IsolatedOutcome runIsolated(const std::function<void(int fd)>& work,
                            const std::function<void(const char* data, std::size_t size)>& consume,
                            int timeoutMilliseconds, std::size_t maxBytes);

// Writes all of `size` bytes to fd, retrying after interruptions; the child side's
// helper. Ends the child (status 1) when the parent is gone.
void writeAllOrExit(int fd, const void* data, std::size_t size);

}  // namespace db
