// The settings program's entry and exit, the creation and freeing of its program-wide
// arrays, and where its one window lives.
#pragma once

namespace settings {

class 设置程序窗口;

// The program: starts the form runtime, runs startProgram() and the message loop until
// the window is gone. Returns 0; the exit clean-up (释放全局变量) has run by then.
int 程序入口(int argc, char** argv);

// Everything of the entry up to the message loop: 建立全局数组, the exit clean-up
// registered (once per process), the window loaded (its created handler reads the
// configuration). A window that cannot be loaded ends the program through the runtime's
// failure box. Needs a running form runtime (ui::Application); tests call it in place of
// 程序入口.
void startProgram();

void 建立全局数组();
// Empties every program-wide text and array (the exit clean-up).
void 释放全局变量();

// The window while it exists (null before its load).
设置程序窗口* settingsWindow();
// Deletes the window object (closing it quietly when still loaded). Called when the
// message loop has ended, and by tests between cases.
void releaseWindows();

}  // namespace settings
