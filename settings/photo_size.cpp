// Photo-size presets and the aspect-ratio arithmetic (see photo_size.h).
#include "settings/photo_size.h"

#include "text/gbk_literal.h"
#include "text/gbk_text.h"

namespace settings {

std::vector<std::string> photoSizeCaptions() {
    std::vector<std::string> captions;
    for (const char* utf8 : {"自定义大小", "小1吋（2.2X3.2cm）", "1吋（2.5X3.5cm）", "身份证（2.2X3.3cm）",
                             "2吋（3.5X5.3cm）", "小2吋（3.3X4.8）"})
        captions.push_back(codepage::gbkText(utf8));
    return captions;
}

int32_t previewHeightFor(std::string_view widthText, AspectRatio ratio) {
    const double width = gbk::toNumber(widthText);
    // Multiplied first, then divided, each step held as a double.
    const double product = width * ratio.multiplier;
    const double quotient = product / ratio.divisor;
    return gbk::integerPart(quotient);
}

}  // namespace settings
