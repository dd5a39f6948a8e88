// Stand-ins for Windows library functions bound by name, and their table.
#include "platform/ui/stand_in_functions.h"

#include <span>
#include <string_view>

#include "text/gbk_text.h"
#include "platform/ui/dialogs.h"

namespace ui {

namespace {

constexpr size_t kCustomColours = 16;

struct StandIn {
    std::string_view library;  // lower case, without ".dll"
    std::string_view function;
    void* address;
};

const StandIn kStandIns[] = {
    {"comdlg32", "ChooseColorA", reinterpret_cast<void*>(&ChooseColorA)},
};

}  // namespace

int ChooseColorA(ChooseColorRecord* record) {
    if (!record || record->lStructSize != sizeof(ChooseColorRecord)) return 0;
    const uint32_t initial = (record->Flags & CC_RGBINIT) ? record->rgbResult : 0;
    std::span<uint32_t> custom;
    if (record->lpCustColors) custom = std::span<uint32_t>(record->lpCustColors, kCustomColours);
    const std::optional<uint32_t> chosen = dialogs::chooseColour(initial, custom);
    if (!chosen) return 0;
    record->rgbResult = *chosen;
    return 1;
}

void* standInFunction(const std::string& library, const std::string& function) {
    std::string name = gbk::lower(library);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) name.resize(name.size() - 4);
    for (const StandIn& standIn : kStandIns)
        if (standIn.library == name && standIn.function == function) return standIn.address;
    return nullptr;
}

}  // namespace ui
