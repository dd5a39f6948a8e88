// The runtime's start and end, the message loop and the program-wide services that are
// not tied to one window: program directory, pending events, busy cursor, running a
// program, the unrecoverable failure and dragging a control with the mouse.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace ui {

class Control;

class Application {
public:
    // Starts the runtime: the QApplication (reused when one exists), the program
    // directory made the working directory, Chinese fonts for the form's font names.
    Application(int& argc, char** argv);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the message loop while a form is loaded; returns 0 when the last form is gone
    // (at once when none is loaded), after the exit clean-ups have run.
    int exec();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Runs `cleanup` once at every end of the program: the end of exec() and endProgram /
// fatalError alike, in the reverse order of registration.
void atExit(std::function<void()> cleanup);

// Ends the program at once with `code`, from anywhere (also inside a handler): the exit
// clean-ups run, windows vanish without their AboutToBeDestroyed handlers.
[[noreturn]] void endProgram(int code);

// The unrecoverable failure: the box "运行时出错!" with `text` (GBK), then
// endProgram(-1), i.e. exit code 255.
[[noreturn]] void fatalError(const std::string& text);

// Directory of the program file, GBK, without a trailing "/".
std::string programDirectory();

// Runs the events waiting in the queue (repaints, posted events), then returns.
void processPendingEvents();

// Busy cursor: show remembers the cursor, restore brings it back; nested pairs are fine.
void showBusyCursor();
void restoreCursor();

// Starts the command line (GBK; a quoted program path, optionally arguments) and waits,
// without a time limit, until it has ended. The window does not repaint meanwhile.
// Returns whether the process could be started.
bool runAndWait(const std::string& commandLine);

// Moves `control` with the mouse (within its parent) until the left button is released;
// returns at once when the button is not down. Meant for a LeftButtonPressed handler.
void dragUntilButtonReleased(const Control& control);

// Whether runtime windows are on a platform where nothing can be seen or clicked
// (offscreen); the dialogs then never block.
bool isHeadless();

}  // namespace ui
