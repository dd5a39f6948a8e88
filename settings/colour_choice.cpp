// 选取颜色 through the colour-choice function bound by name (see colour_choice.h).
#include "settings/colour_choice.h"

#include <array>

#include "platform/ui/library_function.h"
#include "platform/ui/stand_in_functions.h"

namespace settings {

int32_t 选取颜色(void* ownerWindow, int32_t initialColour, int32_t useInitial) {
    static ui::LibraryFunction<int(ui::ChooseColorRecord*)> chooseColor("comdlg32", "ChooseColorA");
    std::array<uint32_t, 16> customColours;
    customColours.fill(0x00FFFFFF);
    ui::ChooseColorRecord record;
    record.lStructSize = sizeof(record);
    record.hwndOwner = ownerWindow;
    record.rgbResult = useInitial != 0 ? static_cast<uint32_t>(initialColour) : 0;
    record.lpCustColors = customColours.data();
    record.Flags = ui::CC_RGBINIT;
    // Confirmed or cancelled, rgbResult holds the answer: a cancel leaves it as it went in.
    chooseColor(&record);
    return static_cast<int32_t>(record.rgbResult);
}

}  // namespace settings
