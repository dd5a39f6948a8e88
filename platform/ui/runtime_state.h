// Program-wide state of the runtime (runtime only): the loaded forms, the running message
// loop and the exit clean-ups.
#pragma once

#include <vector>

namespace ui {
class Form;
}

namespace ui::detail {

// Forms from load to destruction, in load order.
std::vector<Form*>& liveForms();
void formLoaded(Form* form);
// Ends the running message loop with 0 when `form` was the last one.
void formGone(Form* form);
// Runs the registered clean-ups once (later calls do nothing).
void runExitCleanups();

}  // namespace ui::detail
