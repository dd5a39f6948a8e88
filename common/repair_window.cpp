// A program's main window as the text repair uses it (see repair_window.h).
#include "common/repair_window.h"

#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/form.h"

RepairWindow repairWindowOf(ui::Form& form, RepairProgress progress) {
    RepairWindow window;
    window.caption = [&form] { return form.caption(); };
    window.setCaption = [&form, progress](const std::string& caption) {
        form.setCaption(caption);
        if (progress == RepairProgress::ShowCaptionNow) ui::processPendingEvents();
    };
    window.showMessage = [](const std::string& text, const std::string& caption) {
        ui::dialogs::messageBox(text, ui::dialogs::Buttons::Ok, caption);
    };
    return window;
}
