// 选取颜色: the colour dialog of the caption's background, reached through comdlg32's
// ChooseColorA, bound by library and function name on the first call and kept. A missing
// binding ends the program with the runtime's error box (exit code -1).
#pragma once

#include <cstdint>

namespace settings {

// Shows the colour dialog over `ownerWindow`, opened at `initialColour` (0x00BBGGRR) when
// `useInitial` is not 0, at black otherwise. Returns the chosen colour, or, when the user
// cancels, the colour that went in (so a transparent background, -16777216, stays
// -16777216). The 16 custom colours start white on every call and are not kept.
int32_t 选取颜色(void* ownerWindow, int32_t initialColour, int32_t useInitial);

}  // namespace settings
