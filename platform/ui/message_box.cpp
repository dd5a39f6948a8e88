// The runtime's message box (see message_box.h).
#include "platform/ui/message_box.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace ui::dialogs {

MessageBoxDialog::MessageBoxDialog(const QString& title, const QString& text, Buttons buttons)
    : QMessageBox(QMessageBox::NoIcon, title.isEmpty() ? QStringLiteral(" ") : title, text),
      buttons_(buttons) {
    if (buttons == Buttons::Ok) {
        addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
        return;
    }
    yes_ = addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    no_ = addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    setDefaultButton(static_cast<QPushButton*>(yes_));
    // The title bar offers no close button where the window manager honours the hint;
    // closeEvent refuses the close where it does not.
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~Qt::WindowCloseButtonHint);
}

Answer MessageBoxDialog::answer() const {
    if (buttons_ == Buttons::Ok) return Answer::Ok;
    return clickedButton() == yes_ ? Answer::Yes : Answer::No;
}

void MessageBoxDialog::keyPressEvent(QKeyEvent* event) {
    if (buttons_ == Buttons::YesNo && event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void MessageBoxDialog::closeEvent(QCloseEvent* event) {
    if (buttons_ == Buttons::YesNo && !clickedButton()) {
        event->ignore();
        return;
    }
    QMessageBox::closeEvent(event);
}

}  // namespace ui::dialogs
