// How Qt's events and signals become the runtime's events: focus, keys, mouse buttons,
// clicks, content changes, item selection, page changes, list-view rows and headers,
// and the window's first activation.
#include "platform/ui/form_private.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>

#include "text/codepage.h"
#include "platform/ui/key_codes.h"
#include "platform/ui/report_model.h"
#include "platform/ui/runtime_state.h"

namespace ui {

std::string handlerNameOf(const QWidget* control) {
    const QVariant alias = control->property("lookupHandlerName");
    if (alias.isValid()) return alias.toByteArray().toStdString();
    return control->objectName().toStdString();
}

void activateWindow(QWidget* window) {
    if (!window || !window->isVisible()) return;
    window->activateWindow();
    if (QApplication::activeWindow() != window->window()) {
        // Deprecated from Qt 6.5 on; it is the only way to get synchronous focus events
        // where no window system activates windows.
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        QApplication::setActiveWindow(window->window());
        QT_WARNING_POP
    }
}

namespace {

// The list widget's row under a mouse press, taken before the widget moves its current
// row, so that choosing the already chosen item still counts as a choice.
const char* const kRowBeforePress = "lookupRowBeforePress";

void watch(FormPrivate* d, QObject* part, QWidget* control) {
    d->partOf[part] = control;
    part->installEventFilter(d);
}

}  // namespace

void FormPrivate::attach(QWidget* w) {
    watch(this, w, w);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        QObject::connect(edit, &QLineEdit::textEdited, this,
                         [this, w] { fire(w, Event::ContentChanged); });
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QObject::connect(button, &QAbstractButton::clicked, this,
                         [this, w] { fire(w, Event::Clicked); });
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QObject::connect(combo, &QComboBox::currentIndexChanged, this, [this, w](int index) {
            if (index >= 0) fire(w, Event::ItemSelected, index);
        });
        if (QLineEdit* inner = combo->lineEdit()) {
            watch(this, inner, w);
            QObject::connect(inner, &QLineEdit::textEdited, this,
                             [this, w] { fire(w, Event::ContentChanged); });
        }
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        watch(this, list->viewport(), w);
        QObject::connect(list, &QListWidget::currentRowChanged, this, [this, w](int row) {
            if (row >= 0) fire(w, Event::ItemSelected, row);
        });
        QObject::connect(list, &QListWidget::itemPressed, this, [this, w, list](QListWidgetItem* item) {
            const int row = list->row(item);
            if (row >= 0 && list->property(kRowBeforePress).toInt() == row)
                fire(w, Event::ItemSelected, row);
        });
    } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        QObject::connect(tabs, &QTabWidget::currentChanged, this,
                         [this, w](int page) { fire(w, Event::PageChanged, page); });
    } else if (auto* table = qobject_cast<QTableView*>(w)) {
        ReportModel* model = ReportModel::install(table);
        watch(this, table->viewport(), w);
        QObject::connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this,
                         [this, w](int column) { fire(w, Event::HeaderClicked, column); });
        QObject::connect(table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                         [this, w, model](const QModelIndex& current, const QModelIndex&) {
                             if (current.isValid() && !model->quiet())
                                 fire(w, Event::CurrentRowChanged, current.row());
                         });
    } else if (auto* area = qobject_cast<QAbstractScrollArea*>(w)) {
        watch(this, area->viewport(), w);
    }
}

bool FormPrivate::hasHandler(QWidget* control, Event event) const {
    return handlers.count({handlerNameOf(control), event}) != 0;
}

void FormPrivate::fire(QWidget* control, Event event, int argument) {
    if (!loaded || !control) return;
    auto it = handlers.find({handlerNameOf(control), event});
    if (it == handlers.end() || !it->second) return;
    // A copy: the handler may bind another one to the same event while it runs.
    std::function<void(int)> handler = it->second;
    detail::HandlerScope scope;
    sources.push_back(control);
    handler(argument);
    sources.pop_back();
}

void FormPrivate::fireWindow(WindowEvent event, int argument) {
    if (!loaded) return;
    auto it = windowHandlers.find(event);
    if (it == windowHandlers.end() || !it->second) return;
    std::function<void(int)> handler = it->second;
    detail::HandlerScope scope;
    handler(argument);
}

void FormPrivate::scheduleFirstActivation() {
    // A window manager activates a shown window by itself; offscreen and on a bare X
    // server nothing does, and a start window waiting for its first activation would
    // wait for ever. So once the show has been processed the runtime activates it.
    QTimer::singleShot(0, this, [this] {
        if (firstActivationDone || !window || !window->isVisible()) return;
        activateWindow(window);
        if (!firstActivationDone) deliverFirstActivation();
    });
}

void FormPrivate::deliverFirstActivation() {
    if (firstActivationDone) return;
    firstActivationDone = true;
    fireWindow(WindowEvent::FirstActivated);
}

void FormPrivate::handleFocus(QWidget* control, QEvent* event) {
    auto* focus = static_cast<QFocusEvent*>(event);
    // A popup (a combo box's list, a menu) takes the keyboard only for a moment; Windows
    // does not move the focus for it.
    if (focus->reason() == Qt::PopupFocusReason) return;
    if (event->type() == QEvent::FocusIn) {
        if (focusedControl == control) return;
        if (focusedControl) {
            QWidget* old = focusedControl;
            focusedControl = nullptr;
            fire(old, Event::LostFocus);
        }
        focusedControl = control;
        fire(control, Event::GotFocus);
    } else {
        // Qt has already set the new focus widget when FocusOut arrives: a move inside
        // one control (combo box and its line edit) is no focus change.
        QWidget* now = QApplication::focusWidget();
        if (now && now != control) {
            auto it = partOf.find(now);
            if (it != partOf.end() && it->second == control) return;
        }
        if (focusedControl != control) return;
        focusedControl = nullptr;
        fire(control, Event::LostFocus);
    }
}

bool FormPrivate::handleKey(QWidget* control, QObject* watched, QEvent* event) {
    // Keys not taken by a control travel on to its parents: only the first receiver
    // (the focus widget) counts, as in Windows.
    if (watched != QApplication::focusWidget()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const int code = detail::windowsKeyCode(key);
    if (event->type() == QEvent::KeyPress) {
        if (code) fire(control, Event::KeyPressed, code);
        const QString text = key->text();
        if (!text.isEmpty() && hasHandler(control, Event::CharTyped)) {
            // An ANSI window receives a GBK character as two character messages.
            for (unsigned char byte : codepage::fromQString(text))
                fire(control, Event::CharTyped, byte);
        }
    } else if (!key->isAutoRepeat()) {
        if (code) fire(control, Event::KeyReleased, code);
    }
    return false;
}

bool FormPrivate::handleMouse(QWidget* control, QObject* watched, QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) return false;
    // Qt hands an unaccepted mouse event on to the parents as a copy: same type, time
    // and place.
    MouseStamp stamp{event->type(), mouse->timestamp(), mouse->globalPosition()};
    if (stamp.type == lastMouse_.type && stamp.timestamp == lastMouse_.timestamp &&
        stamp.global == lastMouse_.global && mouse->timestamp() != 0)
        return false;
    lastMouse_ = stamp;

    auto* table = qobject_cast<QTableView*>(control);
    auto* list = qobject_cast<QListWidget*>(control);
    if (event->type() == QEvent::MouseButtonPress) {
        if (list && watched == list->viewport())
            list->setProperty(kRowBeforePress, list->currentRow());
        if (table && watched == table->viewport() &&
            !table->indexAt(mouse->position().toPoint()).isValid()) {
            // A click below the rows leaves no row selected, as in a Windows list view.
            if (auto* model = ReportModel::of(table)) model->clearSelection(table);
        }
        // Where the drag of a marker starts (dragUntilButtonReleased).
        control->setProperty("lookupPressGlobal", mouse->globalPosition().toPoint());
        fire(control, Event::LeftButtonPressed);
    } else {
        fire(control, Event::LeftButtonReleased);
        if (table && watched == table->viewport()) fire(control, Event::Clicked);
    }
    return false;
}

bool FormPrivate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window) {
        switch (event->type()) {
        case QEvent::WindowActivate:
            if (!firstActivationDone) deliverFirstActivation();
            break;
        case QEvent::Show:
            if (!shownOnce) {
                shownOnce = true;
                scheduleFirstActivation();
            }
            break;
        case QEvent::Close:
            // Closing a window destroys it (posted like every destruction).
            event->ignore();
            q->destroy();
            return true;
        default:
            break;
        }
    }
    auto it = partOf.find(watched);
    if (it == partOf.end()) return false;
    QWidget* control = it->second;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        handleFocus(control, event);
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return handleKey(control, watched, event);
    case QEvent::InputMethod: {
        auto* im = static_cast<QInputMethodEvent*>(event);
        if (!im->commitString().isEmpty() && hasHandler(control, Event::CharTyped))
            for (unsigned char byte : codepage::fromQString(im->commitString()))
                fire(control, Event::CharTyped, byte);
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        return handleMouse(control, watched, event);
    default:
        return false;
    }
}

}  // namespace ui
