// Inside of ui::Form (runtime only): the loaded widget tree, the handler tables and the
// translation of Qt's events and signals into the runtime's events.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/form.h"
#include "platform/ui/tray_icon.h"
#include "platform/ui/tune_player.h"

namespace ui {

class FormPrivate : public QObject {
public:
    explicit FormPrivate(Form* form) : q(form) {}
    ~FormPrivate() override;

    Form* q;
    QPointer<QWidget> window;
    Form* owner = nullptr;
    std::vector<Form*> owned;

    std::map<std::pair<std::string, Event>, std::function<void(int)>> handlers;
    std::map<WindowEvent, std::function<void(int)>> windowHandlers;

    // Controls by object name (UTF-8), and every watched object (control, viewport,
    // inner line edit) to the control it belongs to.
    std::unordered_map<std::string, QPointer<QWidget>> controls;
    std::unordered_map<QObject*, QWidget*> partOf;

    bool loaded = false;
    bool destroyPosted = false;
    bool firstActivationDone = false;
    bool shownOnce = false;
    QWidget* focusedControl = nullptr;
    std::vector<QWidget*> sources;  // controls whose handlers are running, innermost last
    int copies = 0;
    std::string loadError;

    QIcon icon;
    std::unique_ptr<TrayIcon> tray;
    std::unique_ptr<TunePlayer> tune;

    // Registers a control of the loaded tree (or a copy): signals and event filters.
    void attach(QWidget* control);
    // Runs the handler bound to (control's handler name, event), if any.
    void fire(QWidget* control, Event event, int argument = 0);
    void fireWindow(WindowEvent event, int argument = 0);
    bool hasHandler(QWidget* control, Event event) const;

    void scheduleFirstActivation();
    void deliverFirstActivation();
    // The posted destruction: owned windows first, then AboutToBeDestroyed, then the
    // widgets. `quiet` skips the handlers (program end, ~Form).
    void destroyNow(bool quiet);

    QWidget* find(std::string_view name) const;
    QWidget* findOrFail(std::string_view name, const char* kind) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(QWidget* control, QObject* watched, QEvent* event);
    bool handleMouse(QWidget* control, QObject* watched, QEvent* event);
    void handleFocus(QWidget* control, QEvent* event);
    // Signature of the last mouse event handled, so that the copies Qt hands to parent
    // widgets are not taken for new clicks.
    struct MouseStamp {
        int type = 0;
        quint64 timestamp = 0;
        QPointF global;
    } lastMouse_;
};

// The handler name of a control: its own object name, or for a copy the original's.
std::string handlerNameOf(const QWidget* control);

// Makes `window` the active window where nothing else does (offscreen, no window manager),
// so that focus changes are delivered at once.
void activateWindow(QWidget* window);

}  // namespace ui
