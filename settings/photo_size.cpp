// Photo-size presets and the aspect-ratio arithmetic (see photo_size.h).
#include "settings/photo_size.h"

#include "common/text/gbk_literal.h"
#include "common/text/gbk_text.h"

namespace settings {

namespace {

// 1 inch = 2.54 cm at 300 DPI: 2.2 cm gives 260, 3.2 cm 378, and so on.
constexpr const char* kPresetWidths[] = {"260", "295", "260", "413", "390"};
constexpr const char* kPresetHeights[] = {"378", "413", "390", "626", "567"};

std::vector<std::string> withConfigured(std::string_view configured, const char* const (&fixed)[5]) {
    std::vector<std::string> texts{std::string(configured)};
    texts.insert(texts.end(), std::begin(fixed), std::end(fixed));
    return texts;
}

}  // namespace

std::vector<std::string> photoSizeCaptions() {
    std::vector<std::string> captions;
    for (const char* utf8 : {"自定义大小", "小1吋（2.2X3.2cm）", "1吋（2.5X3.5cm）", "身份证（2.2X3.3cm）",
                             "2吋（3.5X5.3cm）", "小2吋（3.3X4.8）"})
        captions.push_back(codepage::gbkText(utf8));
    return captions;
}

std::vector<std::string> presetWidths(std::string_view configuredWidth) {
    return withConfigured(configuredWidth, kPresetWidths);
}

std::vector<std::string> presetHeights(std::string_view configuredHeight) {
    return withConfigured(configuredHeight, kPresetHeights);
}

int32_t previewHeightFor(std::string_view widthText, AspectRatio ratio) {
    const double width = gbk::toNumber(widthText);
    // Multiplied first, then divided, each step held as a double.
    const double product = width * ratio.multiplier;
    const double quotient = product / ratio.divisor;
    return gbk::integerPart(quotient);
}

}  // namespace settings
