// What the settings window's tests add to the shared program-folder fixture: starting the
// program as its entry does, and reaching its controls and variables.
#pragma once

#include <QRadioButton>
#include <QTest>

#include <algorithm>

#include "platform/ui/form.h"
#include "settings/globals.h"
#include "settings/program.h"
#include "settings/settings_window.h"
#include "support/program_test.h"

namespace settingstest {

using namespace programtest;

class SettingsProgramTest : public ProgramFolderTest {
protected:
    void releaseProgram() override {
        settings::releaseWindows();
        settings::释放全局变量();
    }

    // Starts the program as 程序入口 does, up to the message loop: the window is loaded
    // and its created handler has read the configuration.
    settings::设置程序窗口& start() {
        settings::startProgram();
        settings::设置程序窗口* window = settings::settingsWindow();
        EXPECT_TRUE(window && window->form().isLoaded());
        return *window;
    }

    ui::Form& form() { return settings::settingsWindow()->form(); }
    std::string editText(const char* name) { return utf8(form().edit(name).text()); }
    std::string comboText(int box) { return utf8(form().combo("组合框" + std::to_string(box)).text()); }
    void click(const char* button) { QTest::mouseClick(form().button(button).widget(), Qt::LeftButton); }
    // Runs posted events until the window has gone (true) or a second has passed.
    bool closed() {
        return QTest::qWaitFor([this] { return !settings::settingsWindow()->form().isLoaded(); }, 1000);
    }

    // The visible table radios, in the order of their tags.
    std::vector<ui::RadioButton> tableRadios() {
        std::vector<ui::RadioButton> shown;
        for (QRadioButton* radio : form().groupBox("分组框1").widget()->findChildren<QRadioButton*>()) {
            ui::RadioButton handle(&form(), radio);
            if (handle.isVisible()) shown.push_back(handle);
        }
        std::sort(shown.begin(), shown.end(),
                  [](const ui::RadioButton& a, const ui::RadioButton& b) { return std::stoi(a.tag()) < std::stoi(b.tag()); });
        return shown;
    }
};

}  // namespace settingstest
