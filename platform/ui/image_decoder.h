// Decoding picture bytes for picture boxes: JPEG through libjpeg-turbo (24-bit RGB, grey
// widened to three equal bytes), every other format through Qt's image readers.
#pragma once

#include <string>

#include <QImage>

namespace ui {

// A JPEG image as 24-bit RGB. A damaged or truncated file gives what libjpeg could
// decode (missing lines grey) when its header was readable, else a null image; never
// exits or crashes.
QImage decodeJpeg(const std::string& bytes);

// JPEG (by its FF D8 signature) through decodeJpeg, else through Qt. A null image when
// the bytes are not a readable image.
QImage decodeImage(const std::string& bytes);

}  // namespace ui
