// A program's main window as the text repair uses it: its caption for the waiting text and
// its message boxes. Both programs plug their form in the same way.
#pragma once

#include "common/text_repair.h"

namespace ui {
class Form;
}

enum class RepairProgress {
    // The waiting caption is painted at once: pending events are run after it is set.
    ShowCaptionNow,
    // The caption is only set; no pending event runs inside the caller's handler.
    CaptionOnly,
};

// The repair's view of `form`, which must outlive the returned value.
RepairWindow repairWindowOf(ui::Form& form, RepairProgress progress);
