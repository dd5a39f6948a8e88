// The notification-area icon on QSystemTrayIcon, with its state kept where the desktop
// has no notification area.
#include "platform/ui/tray_icon.h"

#include <QIcon>
#include <QSystemTrayIcon>

#include "text/codepage.h"
#include "text/gbk_text.h"

namespace ui {

std::string trayTipOf(const std::string& tip) {
    constexpr size_t kLimit = 62;
    if (tip.size() <= kLimit) return tip;
    // Step by characters so a two-byte character is kept whole or dropped whole.
    size_t end = 0;
    while (end < kLimit) {
        const size_t len = gbk::isLeadByte(static_cast<unsigned char>(tip[end])) ? 2 : 1;
        if (end + len > kLimit) break;
        end += len;
    }
    return tip.substr(0, end);
}

struct TrayIcon::Impl {
    std::unique_ptr<QSystemTrayIcon> icon;
    bool shown = false;
    std::string tip;
    std::function<void(int)> handler;
};

TrayIcon::TrayIcon() : d_(std::make_unique<Impl>()) {}
TrayIcon::~TrayIcon() { remove(); }

bool TrayIcon::isAvailable() { return QSystemTrayIcon::isSystemTrayAvailable(); }

void TrayIcon::show(const QIcon& icon, const std::string& tip) {
    d_->tip = trayTipOf(tip);
    d_->shown = true;
    // Offscreen and on a bare X server Qt would only warn; the state above is enough.
    if (!isAvailable()) return;
    if (!d_->icon) {
        d_->icon = std::make_unique<QSystemTrayIcon>();
        QObject::connect(d_->icon.get(), &QSystemTrayIcon::activated, d_->icon.get(),
                         [this](QSystemTrayIcon::ActivationReason reason) {
                             switch (reason) {
                             case QSystemTrayIcon::Trigger: raise(1); break;
                             case QSystemTrayIcon::DoubleClick: raise(2); break;
                             case QSystemTrayIcon::Context: raise(3); break;
                             default: break;
                             }
                         });
    }
    d_->icon->setIcon(icon);
    d_->icon->setToolTip(codepage::toQString(d_->tip));
    d_->icon->show();
}

void TrayIcon::remove() {
    d_->shown = false;
    d_->tip.clear();
    if (d_->icon) {
        d_->icon->hide();
        d_->icon.reset();
    }
}

bool TrayIcon::isShown() const { return d_->shown; }
std::string TrayIcon::tip() const { return d_->tip; }
void TrayIcon::onEvent(std::function<void(int)> handler) { d_->handler = std::move(handler); }

void TrayIcon::raise(int type) {
    if (!d_->shown || type < 1 || type > 3 || !d_->handler) return;
    auto handler = d_->handler;
    handler(type);
}

}  // namespace ui
