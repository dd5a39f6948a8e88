// The query program's entry and exit, the creation and freeing of its program-wide
// arrays, its start routine, and where its windows live.
//
// The start window and the query window are held here from their load to the end of the
// program; the record window belongs to the query window.
#pragma once

namespace query {

class 启动窗口;
class 查询窗口;

// The program: starts the form runtime, runs startProgram() and the message loop until
// the last window is gone. Returns 0; the exit clean-up (释放全局变量) has run by then.
int 程序入口(int argc, char** argv);

// Everything of the entry up to the message loop: 建立全局数组, the exit clean-up
// registered (once per process), 运行启动程序, the start window loaded. A start window
// that cannot be loaded ends the program through the runtime's failure box. Needs a
// running form runtime (ui::Application); tests call it in place of 程序入口.
void startProgram();

void 建立全局数组();
// Empties every program-wide text and array (the exit clean-up).
void 释放全局变量();
int 运行启动程序();
void 启动程序();

// The windows while they exist (null before their load). A destroyed window's object
// stays until releaseWindows() or a new load replaces it.
启动窗口* startWindow();
查询窗口* queryWindow();
// Creates and loads the query window (its created handler runs inside). A form that
// cannot be loaded ends the program through the runtime's failure box.
查询窗口& loadQueryWindow();
// Deletes the window objects (closing whatever is still loaded, quietly). Called when the
// message loop has ended, and by tests between cases.
void releaseWindows();

}  // namespace query
