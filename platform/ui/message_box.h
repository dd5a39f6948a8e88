// The message box as the runtime shows it (runtime and tests only; handlers call
// dialogs::messageBox): OK alone, or Yes and No.
//
// A Yes/No box is a question that only its two buttons answer: Esc and
// the window's close button do nothing there. (Qt would take No for both, and the reload
// question after the settings program would then end the program on an Esc.) An OK box
// closes with Esc or its close button, which counts as OK.
#pragma once

#include <QMessageBox>

#include "platform/ui/dialogs.h"

namespace ui::dialogs {

class MessageBoxDialog : public QMessageBox {
public:
    // `title` and `text` as shown; an empty title is shown as a blank one.
    MessageBoxDialog(const QString& title, const QString& text, Buttons buttons);

    // The answer once the box is closed: the button pressed; No for a Yes/No box that
    // was closed some other way (the program ending under it).
    Answer answer() const;
    QAbstractButton* yesButton() const { return yes_; }
    QAbstractButton* noButton() const { return no_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Buttons buttons_;
    QAbstractButton* yes_ = nullptr;
    QAbstractButton* no_ = nullptr;
};

}  // namespace ui::dialogs
