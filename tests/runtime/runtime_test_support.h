// Shared by the runtime's tests: one QApplication (offscreen unless told otherwise), GBK
// literals, the test forms, and waiting for queued events.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <string>

#include "text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/form.h"

namespace runtime_test {

inline int& appArgc() {
    static int argc = 1;
    return argc;
}

inline ui::Application& app() {
    static char name[] = "test_runtime";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never destroyed: QApplication must not outlive Qt's own statics at exit.
    static ui::Application* application = new ui::Application(appArgc(), argv);
    return *application;
}

// GBK bytes of a UTF-8 source literal.
inline std::string G(const char* utf8) { return codepage::utf8ToGbk(utf8); }

inline std::string form(const char* name) { return std::string(LOOKUP_TEST_DATA_DIR) + "/" + name; }

// Runs queued events until `done` holds or a second has passed.
template <class Pred>
bool waitFor(Pred done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 1000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return done();
}

class RuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ui::dialogs::script::reset();
    }
    void TearDown() override {
        ui::dialogs::script::reset();
        ui::processPendingEvents();
    }
};

}  // namespace runtime_test
