// Message box, input box, file-open, font and colour dialogs on Qt, each answered from
// the test script when one is active.
#include "platform/ui/dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <variant>

#include "text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/colour_ref.h"
#include "platform/ui/message_box.h"

namespace ui::dialogs {

namespace {

using script::Kind;
using script::Shown;

struct InputReply { std::optional<std::string> value; };
struct FileReply { std::optional<std::string> value; };
struct FontReply { std::optional<FontChoice> value; };
struct ColourReply { std::optional<uint32_t> value; };
using Reply = std::variant<Answer, InputReply, FileReply, FontReply, ColourReply>;

struct Script {
    bool active = false;
    std::deque<Reply> queue;
    std::vector<Shown> shown;
};

Script& state() {
    static Script s;
    return s;
}

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Message: return "message box";
    case Kind::Input: return "input box";
    case Kind::OpenFile: return "file-open dialog";
    case Kind::Font: return "font dialog";
    case Kind::Colour: return "colour dialog";
    case Kind::Failure: return "failure box";
    }
    return "dialog";
}

// The scripted reply of type T for a box of `kind`, or nothing when the box is to be
// shown for real. Aborts when a script (or the offscreen platform) is in force and the
// queue holds no reply of this kind: a test must fail, not hang.
template <class T>
std::optional<T> scripted(Kind kind, const std::string& title, const std::string& text) {
    Script& s = state();
    s.shown.push_back({kind, title, text});
    if (!s.active && !isHeadless()) return std::nullopt;
    if (!s.queue.empty() && std::holds_alternative<T>(s.queue.front())) {
        T reply = std::get<T>(s.queue.front());
        s.queue.pop_front();
        return reply;
    }
    std::fprintf(stderr, "lookup runtime: unanswered %s \"%s\": \"%s\" (%s)\n", kindName(kind),
                 codepage::gbkToUtf8(title).c_str(), codepage::gbkToUtf8(text).c_str(),
                 s.queue.empty() ? "no answer queued" : "the next queued answer is for another kind of box");
    std::fflush(stderr);
    std::abort();
}

QString q(const std::string& gbk) { return codepage::toQString(gbk); }


}  // namespace

Answer messageBox(const std::string& text, Buttons buttons, std::optional<std::string> title) {
    const std::string caption = title ? *title : codepage::utf8ToGbk("信息：");
    if (auto reply = scripted<Answer>(Kind::Message, caption, text)) {
        // A Yes/No box cannot answer OK, nor an OK box Yes or No.
        if (buttons == Buttons::Ok) return Answer::Ok;
        return *reply == Answer::Yes ? Answer::Yes : Answer::No;
    }
    MessageBoxDialog box(q(caption), q(text), buttons);
    box.exec();
    return box.answer();
}

std::optional<std::string> inputBox(const std::string& title, const std::string& prompt,
                                    const std::string& initial) {
    if (auto reply = scripted<InputReply>(Kind::Input, title, prompt)) return reply->value;
    QDialog dialog;
    dialog.setWindowTitle(title.empty() ? QStringLiteral(" ") : q(title));
    auto* label = new QLabel(q(prompt));
    label->setWordWrap(true);
    auto* entry = new QLineEdit(q(initial));
    auto* ok = new QPushButton(QStringLiteral("确认输入(&O)"));
    auto* cancel = new QPushButton(QStringLiteral("取消(&C)"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    layout->addWidget(entry);
    layout->addLayout(buttons);
    dialog.resize(360, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return codepage::fromQString(entry->text());
}

std::optional<std::string> openFile(const std::string& directory, const std::string& fileName) {
    if (auto reply = scripted<FileReply>(Kind::OpenFile, std::string(), directory)) return reply->value;
    QFileDialog dialog(nullptr, QStringLiteral(" "), codepage::toQtPath(directory));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (!fileName.empty()) dialog.selectFile(codepage::toQtPath(fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return codepage::fromQString(dialog.selectedFiles().first());
}

bool chooseFont(FontChoice& font) {
    if (auto reply = scripted<FontReply>(Kind::Font, std::string(), font.face)) {
        if (!reply->value) return false;
        font = *reply->value;
        return true;
    }
    QFont preset(q(font.face), font.pointSize > 0 ? font.pointSize : 9);
    preset.setBold(font.bold);
    preset.setItalic(font.italic);
    preset.setUnderline(font.underline);
    preset.setStrikeOut(font.strikeOut);
    QFontDialog dialog(preset);
    // A Windows face (宋体, 黑体) is shown as the installed face that stands in for it. A
    // face left as shown keeps its own name: confirming the dialog unchanged must not
    // turn "宋体" into the stand-in's name, which a Windows peer reading quillmar.ini lacks.
    const QString shownFamily = dialog.currentFont().family();
    if (dialog.exec() != QDialog::Accepted) return false;
    const QFont chosen = dialog.selectedFont();
    // Qt's font dialog has no colour part; the colour is asked for right after it.
    const QColor colour = QColorDialog::getColor(toQColor(font.colour), nullptr, QString());
    if (chosen.family() != shownFamily || font.face.empty()) font.face = codepage::fromQString(chosen.family());
    font.pointSize = chosen.pointSize() > 0 ? chosen.pointSize() : qRound(chosen.pointSizeF());
    font.bold = chosen.bold();
    font.italic = chosen.italic();
    font.underline = chosen.underline();
    font.strikeOut = chosen.strikeOut();
    if (colour.isValid()) font.colour = toColourRef(colour);
    return true;
}

std::optional<uint32_t> chooseColour(uint32_t initial, std::span<uint32_t> customColours) {
    if (auto reply = scripted<ColourReply>(Kind::Colour, std::string(), std::to_string(initial)))
        return reply->value;
    // Qt keeps one set of custom colours for the whole program: the caller's set goes in
    // for this dialog and is read back after it.
    const int custom = std::min<int>(static_cast<int>(customColours.size()), QColorDialog::customCount());
    for (int i = 0; i < custom; ++i) QColorDialog::setCustomColor(i, toQColor(customColours[i]));
    const QColor colour = QColorDialog::getColor(toQColor(initial), nullptr, QString());
    if (!colour.isValid()) return std::nullopt;
    for (int i = 0; i < custom; ++i) customColours[i] = toColourRef(QColorDialog::customColor(i));
    return toColourRef(colour);
}

void failureBox(const std::string& text) {
    const std::string title = codepage::utf8ToGbk("运行时出错!");
    Script& s = state();
    s.shown.push_back({Kind::Failure, title, text});
    std::fprintf(stderr, "%s %s\n", codepage::gbkToUtf8(title).c_str(), codepage::gbkToUtf8(text).c_str());
    std::fflush(stderr);
    // The program ends after this box: with a script or nobody to see it, it is recorded only.
    if (s.active || isHeadless() || !QApplication::instance()) return;
    QMessageBox box(QMessageBox::Critical, q(title), q(text));
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

namespace script {

void answerMessage(Answer answer) { state().active = true; state().queue.push_back(answer); }
void answerInput(std::optional<std::string> entry) { state().active = true; state().queue.push_back(InputReply{std::move(entry)}); }
void answerOpenFile(std::optional<std::string> path) { state().active = true; state().queue.push_back(FileReply{std::move(path)}); }
void answerFont(std::optional<FontChoice> font) { state().active = true; state().queue.push_back(FontReply{std::move(font)}); }
void answerColour(std::optional<uint32_t> colour) { state().active = true; state().queue.push_back(ColourReply{colour}); }
void begin() { state().active = true; }

void reset() {
    state().active = false;
    state().queue.clear();
    state().shown.clear();
}

bool isActive() { return state().active; }
int pending() { return static_cast<int>(state().queue.size()); }
const std::vector<Shown>& shown() { return state().shown; }

}  // namespace script

}  // namespace ui::dialogs
