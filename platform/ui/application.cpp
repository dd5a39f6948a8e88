// The runtime's start, message loop and end; program directory, pending events, busy
// cursor, running a program, the unrecoverable failure and the mouse drag.
#include "platform/ui/application.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFont>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QMouseEvent>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <algorithm>
#include <initializer_list>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "text/codepage.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/form.h"
#include "platform/ui/form_private.h"
#include "platform/ui/runtime_state.h"

namespace ui {

namespace {

std::vector<std::function<void()>>& cleanups() {
    static std::vector<std::function<void()>> list;
    return list;
}

QPointer<QEventLoop>& runningLoop() {
    static QPointer<QEventLoop> loop;
    return loop;
}

// The forms and quillmar.ini name Windows fonts. Each gets the Debian faces closest to
// it, best first; Qt takes the first one installed. Every list ends in WenQuanYi Micro
// Hei, which setup.sh installs, so Chinese never falls to a face without its glyphs (whose
// metrics would also be wrong for the forms' fixed label sizes).
struct FontStandIn {
    std::initializer_list<const char*> windowsNames;
    std::initializer_list<const char*> debianFaces;
};

const FontStandIn kFontStandIns[] = {
    // Kai (brush) faces: fonts-arphic-ukai, fonts-arphic-gkai00mp when installed.
    {{"楷体_GB2312", "楷体", "KaiTi_GB2312", "KaiTi"},
     {"AR PL UKai CN", "AR PL KaitiM GB", "WenQuanYi Micro Hei"}},
    // Song (Ming) faces: fonts-arphic-uming, fonts-noto-cjk when installed.
    {{"宋体", "新宋体", "SimSun", "NSimSun", "仿宋_GB2312", "仿宋"},
     {"AR PL UMing CN", "Noto Serif CJK SC", "WenQuanYi Micro Hei"}},
    // Hei (sans) faces and the dialog fonts.
    {{"黑体", "SimHei", "微软雅黑", "Microsoft YaHei", "MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif"},
     {"WenQuanYi Micro Hei", "WenQuanYi Zen Hei", "Noto Sans CJK SC"}},
};

void substituteWindowsFonts() {
    for (const FontStandIn& standIn : kFontStandIns) {
        QStringList faces;
        for (const char* face : standIn.debianFaces) faces << QString::fromUtf8(face);
        for (const char* name : standIn.windowsNames) QFont::insertSubstitutions(QString::fromUtf8(name), faces);
    }
}

}  // namespace

namespace detail {

std::vector<Form*>& liveForms() {
    static std::vector<Form*> forms;
    return forms;
}

void formLoaded(Form* form) { liveForms().push_back(form); }

void formGone(Form* form) {
    auto& forms = liveForms();
    forms.erase(std::remove(forms.begin(), forms.end(), form), forms.end());
    if (forms.empty() && runningLoop()) runningLoop()->exit(0);
}

namespace {
int handlerDepth = 0;
std::vector<QPointer<FormPrivate>>& heldDestructions() {
    static std::vector<QPointer<FormPrivate>> held;
    return held;
}
}  // namespace

HandlerScope::HandlerScope() { ++handlerDepth; }

HandlerScope::~HandlerScope() {
    if (--handlerDepth > 0) return;
    // Each destruction runs AboutToBeDestroyed, whose own handler scope comes back here
    // with the rest of the list: take the list first.
    while (!heldDestructions().empty()) {
        const std::vector<QPointer<FormPrivate>> held = std::move(heldDestructions());
        heldDestructions().clear();
        for (const QPointer<FormPrivate>& form : held)
            if (form && form->destroyPosted) form->destroyNow(false);
    }
}

bool handlerRunning() { return handlerDepth > 0; }

void holdDestruction(FormPrivate* form) { heldDestructions().push_back(form); }

void runExitCleanups() {
    auto& list = cleanups();
    while (!list.empty()) {
        std::function<void()> cleanup = std::move(list.back());
        list.pop_back();
        if (cleanup) cleanup();
    }
}

}  // namespace detail

struct Application::Impl {
    std::unique_ptr<QApplication> ownApp;
};

namespace {

// Qt's own dialogs and standard buttons (font, colour, file dialogs; the button box)
// speak Chinese like the rest of the programs, whatever the system locale. The file
// comes with Debian's qt6-translations-l10n; without it they stay English.
void loadQtChineseTranslations() {
    static QTranslator* translator = nullptr;
    if (translator) return;
    translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

}  // namespace

Application::Application(int& argc, char** argv) : d_(std::make_unique<Impl>()) {
    if (!QApplication::instance()) d_->ownApp = std::make_unique<QApplication>(argc, argv);
    loadQtChineseTranslations();
    // The runtime alone decides when the program ends: when its last form is gone.
    QApplication::setQuitOnLastWindowClosed(false);
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    substituteWindowsFonts();
}

Application::~Application() = default;

int Application::exec() {
    int code = 0;
    if (!detail::liveForms().empty()) {
        QEventLoop loop;
        runningLoop() = &loop;
        code = loop.exec();
        runningLoop() = nullptr;
    }
    detail::runExitCleanups();
    return code;
}

void atExit(std::function<void()> cleanup) { cleanups().push_back(std::move(cleanup)); }

void endProgram(int code) {
    detail::runExitCleanups();
    // Tray icons and tunes go with their windows; no AboutToBeDestroyed handler runs.
    const std::vector<Form*> forms = detail::liveForms();
    for (Form* form : forms) form->impl()->destroyNow(true);
    std::fflush(nullptr);
    // Static destructors would run while QApplication is still alive on main's stack.
    std::_Exit(code);
}

void fatalError(const std::string& text) {
    dialogs::failureBox(text);
    endProgram(-1);
}

std::string programDirectory() {
    QString dir = QCoreApplication::applicationDirPath();
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/'))) dir.chop(1);
    return codepage::fromQString(dir);
}

void processPendingEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void showBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void restoreCursor() {
    if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
}

bool runAndWait(const std::string& commandLine) {
    const QStringList parts = QProcess::splitCommand(codepage::toQString(commandLine));
    if (parts.isEmpty()) return false;
    // The program file by its path's own bytes: 设置 beside lookup in a folder whose name
    // GBK cannot hold, not the one in a sibling folder named with "?".
    const QString program = codepage::toQtPath(codepage::fromQString(parts.first()));
    QProcess process;
    // The child's output goes where ours goes; a pipe nobody reads could stall it.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(program, parts.mid(1));
    if (!process.waitForStarted(-1)) return false;
    process.waitForFinished(-1);
    return true;
}

namespace {

// Follows the mouse with a control until the left button comes up.
class Dragger : public QObject {
public:
    Dragger(QWidget* target, QEventLoop* loop) : target_(target), loop_(loop) {
        startMouse_ = QCursor::pos();
        startPos_ = target->pos();
        haveStart_ = false;
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint global = mouse->globalPosition().toPoint();
            if (!haveStart_) {
                // The first event tells where the press was, better than QCursor does
                // offscreen; the press position is kept by the caller when known.
                startMouse_ = pressGlobal_.value_or(global);
                haveStart_ = true;
            }
            if (target_) target_->move(startPos_ + (global - startMouse_));
            if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
                loop_->quit();
            return event->type() == QEvent::MouseMove;
        }
        return false;
    }

    std::optional<QPoint> pressGlobal_;

private:
    QPointer<QWidget> target_;
    QEventLoop* loop_;
    QPoint startMouse_;
    QPoint startPos_;
    bool haveStart_;
};

}  // namespace

void dragUntilButtonReleased(const Control& control) {
    QWidget* target = control.widget();
    if (!target || !(QGuiApplication::mouseButtons() & Qt::LeftButton)) return;
    QEventLoop loop;
    Dragger dragger(target, &loop);
    dragger.pressGlobal_ = target->property("lookupPressGlobal").isValid()
                               ? std::optional<QPoint>(target->property("lookupPressGlobal").toPoint())
                               : std::nullopt;
    qApp->installEventFilter(&dragger);
    // A release that never reaches us (the button came up outside every window) ends
    // the drag too.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&loop] {
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton)) loop.quit();
    });
    watch.start(50);
    QPointer<QWidget> guard(target);
    QObject::connect(target, &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
    qApp->removeEventFilter(&dragger);
}

bool isHeadless() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

}  // namespace ui
