// ui::Form: loading a window from its .ui file, binding handlers, the window's own
// properties, its life and death, and finding and copying its controls.
#include "platform/ui/form.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainterPath>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QUiLoader>
#include <QWindow>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>

#include "text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/form_private.h"
#include "platform/ui/runtime_state.h"

namespace ui {

namespace {

QByteArray readAll(const std::string& utf8Path) {
    QFile file(QString::fromUtf8(utf8Path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

QIcon iconFromBytes(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QIcon icon;
    // An .ico holds one image per size; each becomes one size of the icon.
    do {
        QImage image = reader.read();
        if (image.isNull()) break;
        icon.addPixmap(QPixmap::fromImage(image));
    } while (reader.jumpToNextImage());
    return icon;
}

// The window's own place as the form gives it: the x and y of the top-level widget's
// "geometry" property. QUiLoader applies only the size to a top-level widget (Designer
// forms are usually placed by the window system), so the runtime places it itself.
std::optional<QPoint> formPosition(const QByteArray& uiText) {
    QXmlStreamReader xml(uiText);
    int depth = 0;          // depth of the current element (<ui> is 1)
    int windowDepth = -1;   // depth of the top-level <widget>
    bool inGeometry = false;
    std::optional<int> x, y;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++depth;
            const auto name = xml.name();
            if (windowDepth < 0 && name == QLatin1String("widget")) {
                windowDepth = depth;
            } else if (windowDepth > 0 && depth == windowDepth + 1 && name == QLatin1String("property")) {
                inGeometry = xml.attributes().value(QLatin1String("name")) == QLatin1String("geometry");
            } else if (inGeometry && depth == windowDepth + 3) {
                if (name == QLatin1String("x")) x = xml.readElementText().trimmed().toInt();
                else if (name == QLatin1String("y")) y = xml.readElementText().trimmed().toInt();
                else continue;
                --depth;  // readElementText consumed the end element
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (depth == windowDepth + 1) inGeometry = false;
            if (depth == windowDepth) break;  // the window's own properties are behind us
            --depth;
        }
    }
    if (!x || !y) return std::nullopt;
    return QPoint(*x, *y);
}

}  // namespace

FormPrivate::~FormPrivate() = default;

QWidget* FormPrivate::find(std::string_view name) const {
    auto it = controls.find(std::string(name));
    return it == controls.end() ? nullptr : it->second.data();
}

QWidget* FormPrivate::findOrFail(std::string_view name, const char* kind) const {
    QWidget* w = find(name);
    if (!w && loaded) {
        const std::string caption = window ? window->objectName().toStdString() : std::string();
        fatalError(codepage::utf8ToGbk("窗口“" + caption + "”中没有" + kind + "“" +
                                       std::string(name) + "”"));
    }
    return w;
}

void FormPrivate::destroyNow(bool quiet) {
    if (!loaded) return;
    // Owned windows go before their owner, which they may still reach while they go.
    const std::vector<Form*> ownedNow = owned;
    for (Form* f : ownedNow) f->impl()->destroyNow(quiet);
    if (!quiet) fireWindow(WindowEvent::AboutToBeDestroyed);
    if (!loaded) return;  // the handler cannot destroy twice, but be safe
    loaded = false;
    destroyPosted = false;
    tray.reset();
    if (tune) tune->setMode(2);
    if (owner) {
        auto& siblings = owner->impl()->owned;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), q), siblings.end());
        owner = nullptr;
    }
    QWidget* w = window;
    window = nullptr;
    focusedControl = nullptr;
    sources.clear();
    if (w) {
        for (auto& [part, control] : partOf) part->removeEventFilter(this);
        w->removeEventFilter(this);
        w->hide();
        // The running handler may still hold pointers into the tree.
        w->deleteLater();
    }
    controls.clear();
    partOf.clear();
    detail::formGone(q);
}

Form::Form() : d_(std::make_unique<FormPrivate>(this)) {}

Form::~Form() {
    d_->destroyNow(true);
}

void Form::on(std::string_view control, Event event, std::function<void()> handler) {
    if (!handler) {
        d_->handlers.erase({std::string(control), event});
        return;
    }
    d_->handlers[{std::string(control), event}] = [h = std::move(handler)](int) { h(); };
}

void Form::on(std::string_view control, Event event, std::function<void(int)> handler) {
    d_->handlers[{std::string(control), event}] = std::move(handler);
}

void Form::on(WindowEvent event, std::function<void()> handler) {
    if (!handler) {
        d_->windowHandlers.erase(event);
        return;
    }
    d_->windowHandlers[event] = [h = std::move(handler)](int) { h(); };
}

void Form::on(WindowEvent event, std::function<void(int)> handler) {
    d_->windowHandlers[event] = std::move(handler);
}

bool Form::load(std::string_view uiPath, Form* owner) {
    if (d_->loaded) return false;
    QFile file(QString::fromUtf8(uiPath.data(), static_cast<int>(uiPath.size())));
    if (!file.open(QIODevice::ReadOnly)) return false;
    QBuffer uiText;
    uiText.setData(file.readAll());
    uiText.open(QIODevice::ReadOnly);
    QUiLoader loader;
    QWidget* w = loader.load(&uiText, owner && owner->window() ? owner->window() : nullptr);
    if (!w) return false;
    if (owner && owner->window()) w->setWindowFlag(Qt::Window, true);
    // Placed where the form says (a created handler may still centre it); an explicit
    // move also keeps the window system from choosing a place of its own.
    if (const auto at = formPosition(uiText.data())) w->move(*at);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    if (w->windowTitle().isEmpty()) w->setWindowTitle(QStringLiteral(" "));

    const QList<QWidget*> children = w->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const QString name = child->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
        d_->controls[name.toStdString()] = child;
    }
    // A handler bound to a name the form lacks would never run: a misspelt or renamed
    // control. The load fails instead, naming every such binding.
    std::set<std::string> missing;
    for (const auto& [binding, handler] : d_->handlers)
        if (handler && !d_->controls.count(binding.first)) missing.insert(binding.first);
    std::string unknown;
    for (const std::string& name : missing) unknown += (unknown.empty() ? "" : ", ") + name;
    if (!unknown.empty()) {
        d_->loadError = "handlers bound to controls the form " + w->objectName().toStdString() +
                        " does not have: " + unknown;
        std::fprintf(stderr, "%s\n", d_->loadError.c_str());
        d_->controls.clear();
        delete w;
        return false;
    }
    d_->loadError.clear();
    d_->window = w;
    d_->loaded = true;
    d_->firstActivationDone = false;
    d_->shownOnce = false;
    d_->owner = owner && owner->isLoaded() ? owner : nullptr;
    if (d_->owner) d_->owner->impl()->owned.push_back(this);
    w->installEventFilter(d_.get());
    for (auto& [name, child] : d_->controls) d_->attach(child);
    detail::formLoaded(this);

    w->setProperty("lookupVisibilityTouched", false);
    d_->fireWindow(WindowEvent::Created);
    if (d_->loaded && d_->window && !w->property("lookupVisibilityTouched").toBool()) w->show();
    return true;
}

void Form::destroy() {
    if (!d_->loaded || d_->destroyPosted) return;
    d_->destroyPosted = true;
    QMetaObject::invokeMethod(
        d_.get(),
        [d = d_.get()] {
            // Arriving inside a handler that lets events run: the window waits for it.
            if (detail::handlerRunning())
                detail::holdDestruction(d);
            else
                d->destroyNow(false);
        },
        Qt::QueuedConnection);
}

bool Form::isLoaded() const { return d_->loaded; }
const std::string& Form::loadError() const { return d_->loadError; }
Form* Form::owner() const { return d_->owner; }
QWidget* Form::window() const { return d_->window.data(); }

std::string Form::caption() const {
    return d_->window ? codepage::fromQString(d_->window->windowTitle()) : std::string();
}

void Form::setCaption(const std::string& caption) {
    // An empty title would make Qt show the program name instead.
    if (d_->window) d_->window->setWindowTitle(caption.empty() ? QStringLiteral(" ") : codepage::toQString(caption));
}

bool Form::isVisible() const { return d_->window && d_->window->isVisible(); }

void Form::setVisible(bool visible) {
    if (!d_->window) return;
    d_->window->setProperty("lookupVisibilityTouched", true);
    d_->window->setVisible(visible);
}

void Form::showNormal() {
    QWidget* w = d_->window;
    if (!w || !w->isVisible()) return;
    w->showNormal();
    w->raise();
}

void Form::setTopMost(bool topMost) {
    QWidget* w = d_->window;
    if (!w) return;
    Qt::WindowFlags flags = w->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, topMost);
    if (w->isVisible() && w->windowHandle()) {
        // QWidget::setWindowFlags would hide and re-show the window, moving the focus
        // and the activation; the window system is told directly instead.
        w->overrideWindowFlags(flags);
        w->windowHandle()->setFlags(flags);
    } else {
        w->setWindowFlags(flags);
    }
    if (!topMost && w->isVisible()) w->raise();
}

bool Form::isTopMost() const {
    return d_->window && d_->window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void Form::setFixedSize() {
    QWidget* w = d_->window;
    if (!w) return;
    const bool wasVisible = w->isVisible();
    w->setFixedSize(w->size());
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint;
    flags.setFlag(Qt::WindowStaysOnTopHint, w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    w->setWindowFlags(flags);
    if (wasVisible) w->show();
}

void Form::centreOnScreen() {
    QWidget* w = d_->window;
    if (!w) return;
    QScreen* screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = w->frameGeometry().size();
    w->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void Form::setRoundedRegion() {
    QWidget* w = d_->window;
    if (!w) return;
    const int c = std::min(w->width() / 5, w->height() / 5);
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, w->width(), w->height()), c / 2.0, c / 2.0);
    w->setMask(QRegion(path.toFillPolygon().toPolygon()));
}

int Form::left() const { return d_->window ? d_->window->x() : 0; }
int Form::top() const { return d_->window ? d_->window->y() : 0; }
int Form::width() const { return d_->window ? d_->window->width() : 0; }
int Form::height() const { return d_->window ? d_->window->height() : 0; }
void Form::move(int x, int y) { if (d_->window) d_->window->move(x, y); }
void Form::resize(int w, int h) { if (d_->window) d_->window->resize(std::max(0, w), std::max(0, h)); }

bool Form::setIcon(const std::string& bytes) {
    QIcon icon = iconFromBytes(QByteArray(bytes.data(), static_cast<int>(bytes.size())));
    if (icon.isNull()) return false;
    d_->icon = icon;
    if (d_->window) d_->window->setWindowIcon(icon);
    return true;
}

bool Form::setIconFile(const std::string& path) {
    const QByteArray bytes = readAll(path);
    return !bytes.isEmpty() && setIcon(bytes.toStdString());
}

void Form::setTrayIcon(const std::string& tip) {
    if (!d_->loaded) return;
    if (!d_->tray) {
        d_->tray = std::make_unique<TrayIcon>();
        d_->tray->onEvent([d = d_.get()](int type) { d->fireWindow(WindowEvent::TrayEvent, type); });
    }
    QIcon icon = d_->icon;
    if (icon.isNull() && d_->window) icon = d_->window->windowIcon();
    d_->tray->show(icon, tip);
}

void Form::removeTrayIcon() { d_->tray.reset(); }
bool Form::hasTrayIcon() const { return d_->tray && d_->tray->isShown(); }
std::string Form::trayTip() const { return d_->tray ? d_->tray->tip() : std::string(); }

void Form::raiseTrayEvent(int type) {
    if (d_->tray && d_->tray->isShown()) d_->tray->raise(type);
}

void Form::setTune(const std::string& midiBytes) {
    d_->tune = std::make_unique<TunePlayer>(midiBytes);
}

bool Form::setTuneFile(const std::string& path) {
    const QByteArray bytes = readAll(path);
    if (bytes.isEmpty()) return false;
    setTune(bytes.toStdString());
    return true;
}

void Form::setTunePlayMode(int mode) {
    if (d_->tune) d_->tune->setMode(mode);
}

int Form::tunePlayMode() const { return d_->tune ? d_->tune->mode() : 2; }
TunePlayer* Form::tunePlayer() { return d_->tune.get(); }

// --- controls ---

bool Form::hasControl(std::string_view name) const { return d_->find(name) != nullptr; }

Control Form::control(std::string_view name) {
    return Control(this, d_->findOrFail(name, "控件"));
}

namespace {
template <class Handle, class Widget>
Handle typed(Form* form, FormPrivate* d, std::string_view name, const char* kind) {
    QWidget* w = d->findOrFail(name, kind);
    if (w && !qobject_cast<Widget*>(w)) {
        fatalError(codepage::utf8ToGbk("控件“" + std::string(name) + "”不是" + kind));
    }
    return Handle(form, w);
}
}  // namespace

EditBox Form::edit(std::string_view n) { return typed<EditBox, QLineEdit>(this, d_.get(), n, "编辑框"); }
Button Form::button(std::string_view n) { return typed<Button, QAbstractButton>(this, d_.get(), n, "按钮"); }
CheckBox Form::checkBox(std::string_view n) { return typed<CheckBox, QAbstractButton>(this, d_.get(), n, "选择框"); }
RadioButton Form::radio(std::string_view n) { return typed<RadioButton, QAbstractButton>(this, d_.get(), n, "单选框"); }
GroupBox Form::groupBox(std::string_view n) { return typed<GroupBox, QWidget>(this, d_.get(), n, "分组框"); }
Label Form::label(std::string_view n) { return typed<Label, QLabel>(this, d_.get(), n, "标签"); }
PictureBox Form::picture(std::string_view n) { return typed<PictureBox, QLabel>(this, d_.get(), n, "图片框"); }
DrawingBoard Form::board(std::string_view n) { return typed<DrawingBoard, QWidget>(this, d_.get(), n, "画板"); }
ComboBox Form::combo(std::string_view n) { return typed<ComboBox, QComboBox>(this, d_.get(), n, "组合框"); }
ListBox Form::listBox(std::string_view n) { return typed<ListBox, QListWidget>(this, d_.get(), n, "列表框"); }
CheckListBox Form::checkList(std::string_view n) { return typed<CheckListBox, QListWidget>(this, d_.get(), n, "选择列表框"); }
TabControl Form::tabs(std::string_view n) { return typed<TabControl, QTabWidget>(this, d_.get(), n, "选择夹"); }
ReportList Form::reportList(std::string_view n) { return typed<ReportList, QTableView>(this, d_.get(), n, "超级列表框"); }
ProgressBar Form::progressBar(std::string_view n) { return typed<ProgressBar, QProgressBar>(this, d_.get(), n, "进度条"); }
LineShape Form::line(std::string_view n) { return typed<LineShape, QWidget>(this, d_.get(), n, "外形框"); }

Control Form::copyControl(const Control& original) {
    QWidget* from = original.widget();
    if (!from || !d_->loaded) return {};
    QWidget* parent = from->parentWidget();
    QWidget* made = nullptr;
    if (auto* r = qobject_cast<QRadioButton*>(from)) {
        auto* c = new QRadioButton(r->text(), parent);
        c->setAutoExclusive(r->autoExclusive());
        made = c;
    } else if (auto* b = qobject_cast<QCheckBox*>(from)) {
        made = new QCheckBox(b->text(), parent);
    } else if (auto* p = qobject_cast<QPushButton*>(from)) {
        made = new QPushButton(p->text(), parent);
    } else if (auto* l = qobject_cast<QLabel*>(from)) {
        auto* c = new QLabel(l->text(), parent);
        c->setAlignment(l->alignment());
        c->setWordWrap(l->wordWrap());
        made = c;
    } else if (auto* e = qobject_cast<QLineEdit*>(from)) {
        made = new QLineEdit(e->text(), parent);
    } else {
        return {};
    }
    made->setGeometry(from->geometry());
    made->setFont(from->font());
    made->setFocusPolicy(from->focusPolicy());
    made->setProperty("lookupTag", from->property("lookupTag"));
    made->setProperty("lookupHandlerName", QByteArray::fromStdString(handlerNameOf(from)));
    const std::string name = from->objectName().toStdString() + "#" + std::to_string(++d_->copies);
    made->setObjectName(QString::fromStdString(name));
    made->hide();
    d_->controls[name] = made;
    d_->attach(made);
    return Control(this, made);
}

Control Form::eventSource() const {
    if (d_->sources.empty()) return {};
    return Control(const_cast<Form*>(this), d_->sources.back());
}

}  // namespace ui
