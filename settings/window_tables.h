// Fixed contents of the settings window: the image resampling methods of 组合框_算法 and
// the five standard photo sizes behind 组合框_照片尺寸 (pixels at 300 DPI). GBK texts.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace settings {

// The 16 methods in list order; item value = position, quillmar.ini's 插值算法 = value + 1.
const std::vector<std::string>& resamplingMethods();

// Widths and heights of the fixed photo-size presets, items 1 to 5 of 组合框_照片尺寸.
inline constexpr std::array<const char*, 5> kPresetWidths{"260", "295", "260", "413", "390"};
inline constexpr std::array<const char*, 5> kPresetHeights{"378", "413", "390", "626", "567"};

}  // namespace settings
