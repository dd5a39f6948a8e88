// What every program's entry does alike: the form runtime started, the program's own
// start, the message loop, the windows released when it ends; and the holder that keeps a
// program's windows from their load to the end of the program.
#pragma once

#include <string>

namespace ui {

// Starts the form runtime, calls `start`, runs the message loop until the last window is
// gone, then calls `releaseWindows`. Returns the loop's exit code.
int runProgram(int argc, char** argv, void (*start)(), void (*releaseWindows)());

// The first steps of a program's start: a non-empty `folderProblem` (GBK) ends the program
// through the failure box, since a program that cannot tell its own folder would read or
// write another one's files; then `createArrays` runs, and `freeGlobals` is registered as
// the exit clean-up, once per process however often the start runs (tests start a program
// many times).
void beginProgram(const std::string& folderProblem, void (*createArrays)(), void (*freeGlobals)());

// The program's windows of type `Windows` (one per type, created empty on first use).
// Never destroyed by itself: an end through endProgram leaves the windows to the process
// exit rather than tearing widgets down behind a handler that is still running.
template <class Windows>
Windows& programWindows() {
    static auto* held = new Windows;
    return *held;
}

}  // namespace ui
