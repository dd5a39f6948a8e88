// The start window: "请稍候……" and two animated pictures while the program makes sure its
// configuration file exists and opens the query window.
#pragma once

#include "platform/ui/form.h"

namespace query {

class 启动窗口 {
public:
    启动窗口();
    // Loads the form; false when it cannot be read.
    bool load();
    ui::Form& form() { return form_; }

    // Creates quillmar.ini from the default text when nothing exists at its place, loads
    // the query window and closes this one.
    void 启动窗口_首次激活();

private:
    ui::Form form_;
};

}  // namespace query
