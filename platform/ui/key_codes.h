// Qt keys as the Windows virtual-key codes the programs' handlers compare with
// (runtime only).
#pragma once

class QKeyEvent;

namespace ui::detail {

// The Windows key code of a key event (13 Enter, 8 Backspace, 32 Space, 37-40 arrows,
// 65-90 letters, 48-57 digits, 112.. F-keys, ...); 0 for keys Windows has no code for.
int windowsKeyCode(const QKeyEvent* event);

}  // namespace ui::detail
