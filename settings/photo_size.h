// The photo-size presets of 组合框_照片尺寸 and the video preview's aspect ratios.
//
// Photo sizes are pixels at 300 DPI: each preset is a nominal print size in centimetres
// to the nearest whole pixel. The preview height follows the width by a ratio given as a
// multiplier and a divisor, applied in that order in double precision; 约3：2 is 85/128,
// so 320 gives 212, not 213. All texts are GBK.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// The six items of 组合框_照片尺寸, in order: "自定义大小" first (the size read at
// start-up), then the five presets of window_tables.h.
std::vector<std::string> photoSizeCaptions();

// Height per width: height = width x multiplier / divisor.
struct AspectRatio {
    double multiplier;
    double divisor;
};
inline constexpr AspectRatio kRatio4to3{3, 4};
inline constexpr AspectRatio kRatio3to2{85, 128};  // "约3：2": 0.6640625, not 2/3
inline constexpr AspectRatio kRatio16to9{9, 16};

// The preview height for the width text: its leading number (0 when it has none) times
// the multiplier, then divided, cut toward zero to a signed 32-bit integer (saturating
// beyond that range; negative widths give negative heights).
int32_t previewHeightFor(std::string_view widthText, AspectRatio ratio);

}  // namespace settings
