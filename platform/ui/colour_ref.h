// The programs' colours are Windows COLORREF values, 0x00BBGGRR (red in the low byte),
// as quillmar.ini stores them; Qt's are QColor. The two conversions live here only.
#pragma once

#include <QColor>

#include <cstdint>

namespace ui {

inline QColor toQColor(uint32_t colourRef) {
    return QColor(colourRef & 0xFF, (colourRef >> 8) & 0xFF, (colourRef >> 16) & 0xFF);
}

inline uint32_t toColourRef(const QColor& colour) {
    return static_cast<uint32_t>(colour.red()) | (static_cast<uint32_t>(colour.green()) << 8) |
           (static_cast<uint32_t>(colour.blue()) << 16);
}

}  // namespace ui
