// The notification-area icon of a window (QSystemTrayIcon): an icon, a tip, and mouse
// actions mapped to the event types 1 (left button released), 2 (double click) and
// 3 (right button / context menu). Where no notification area exists (offscreen, a bare
// X server) the icon keeps its state all the same, and raise() delivers an event.
#pragma once

#include <functional>
#include <memory>
#include <string>

class QIcon;

namespace ui {

class TrayIcon {
public:
    TrayIcon();
    ~TrayIcon();  // removes the icon
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Shows (or replaces) icon and tip; the tip is cut to its first 62 bytes (GBK),
    // never inside a two-byte character.
    void show(const QIcon& icon, const std::string& tip);
    void remove();
    bool isShown() const;
    std::string tip() const;

    void onEvent(std::function<void(int)> handler);
    // Delivers an event of `type` (1, 2 or 3) as a mouse action on the icon would.
    void raise(int type);

    // Whether the desktop has a notification area at all.
    static bool isAvailable();

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// The first 62 bytes of a GBK tip, dropping a lead byte that would be cut off.
std::string trayTipOf(const std::string& tip);

}  // namespace ui
