// Qt key codes to Windows virtual-key codes.
#include "platform/ui/key_codes.h"

#include <QKeyEvent>

namespace ui::detail {

int windowsKeyCode(const QKeyEvent* event) {
    const int key = event->key();
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return key;  // same numbers: 65..90
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        // The keypad digits have codes of their own on Windows.
        if (event->modifiers() & Qt::KeypadModifier) return 0x60 + (key - Qt::Key_0);
        return key;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 0x70 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_Asterisk: return 0x6A;
    case Qt::Key_Plus: return (event->modifiers() & Qt::KeypadModifier) ? 0x6B : 0xBB;
    case Qt::Key_Minus: return (event->modifiers() & Qt::KeypadModifier) ? 0x6D : 0xBD;
    case Qt::Key_Period: return (event->modifiers() & Qt::KeypadModifier) ? 0x6E : 0xBE;
    case Qt::Key_Slash: return (event->modifiers() & Qt::KeypadModifier) ? 0x6F : 0xBF;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Semicolon: return 0xBA;
    case Qt::Key_Equal: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_QuoteLeft: return 0xC0;
    case Qt::Key_BracketLeft: return 0xDB;
    case Qt::Key_Backslash: return 0xDC;
    case Qt::Key_BracketRight: return 0xDD;
    case Qt::Key_Apostrophe: return 0xDE;
    default: return 0;
    }
}

}  // namespace ui::detail
