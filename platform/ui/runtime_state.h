// Program-wide state of the runtime (runtime only): the loaded forms, the running message
// loop, the exit clean-ups and the handlers on the stack.
#pragma once

#include <vector>

namespace ui {
class Form;
class FormPrivate;
}

namespace ui::detail {

// Forms from load to destruction, in load order.
std::vector<Form*>& liveForms();
void formLoaded(Form* form);
// Ends the running message loop with 0 when `form` was the last one.
void formGone(Form* form);
// Runs the registered clean-ups once (later calls do nothing).
void runExitCleanups();

// Handlers may let events run inside them (a fill that repaints, a message box), and a
// window closed meanwhile must not vanish under a handler that is still on the stack: a
// posted destruction that arrives while any handler runs is held until the outermost
// handler has returned, and carried out then, before that handler's caller goes on.
class HandlerScope {
public:
    HandlerScope();
    ~HandlerScope();
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;
};
bool handlerRunning();
// Holds `form`'s destruction until no handler runs (see HandlerScope).
void holdDestruction(FormPrivate* form);

}  // namespace ui::detail
