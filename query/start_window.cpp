// The start window's handlers (see start_window.h).
#include "query/start_window.h"

#include "common/config_file.h"
#include "common/paths.h"
#include "platform/ui/application.h"
#include "query/program.h"

namespace query {

启动窗口::启动窗口() {
    form_.on(ui::WindowEvent::Created, [this] {
        form_.picture("图片框1").setAnimation(":/query/pictures/walker.gif");
        form_.picture("图片框2").setAnimation(":/query/pictures/progress.gif");
        form_.centreOnScreen();
    });
    form_.on(ui::WindowEvent::FirstActivated, [this] { 启动窗口_首次激活(); });
}

bool 启动窗口::load() { return form_.load(":/query/forms/启动窗口.ui"); }

void 启动窗口::启动窗口_首次激活() {
    const std::string P = paths::configPath();
    if (!paths::fileExists(P)) {
        config::createDefaultFile(P);  // a failure shows later as the missing data file
        ui::processPendingEvents();
    }
    loadQueryWindow();
    form_.destroy();
}

}  // namespace query
