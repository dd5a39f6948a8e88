// Our own versions of the Windows library functions that the programs bind by name
// (library_function.h) where Linux has no library to offer them, and the table that
// names them: bindLibraryFunction looks a library and function up here before it looks
// for a library file.
//
// Each stand-in keeps the Windows function's contract (its record, flags and result) and
// does its work through the runtime's dialogs, so tests answer it like any other box.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

// The colour-choice record of ChooseColorA, field by field; handles are pointers.
struct ChooseColorRecord {
    uint32_t lStructSize = 0;  // sizeof(ChooseColorRecord)
    void* hwndOwner = nullptr;
    void* hInstance = nullptr;
    uint32_t rgbResult = 0;            // 0x00BBGGRR
    uint32_t* lpCustColors = nullptr;  // 16 colours the dialog offers and may change
    uint32_t Flags = 0;
    intptr_t lCustData = 0;
    void* lpfnHook = nullptr;
    const char* lpTemplateName = nullptr;
};

// Flags of ChooseColorRecord.
inline constexpr uint32_t CC_RGBINIT = 0x1;  // the dialog opens at rgbResult

// comdlg32's ChooseColorA: the colour dialog, modal, opened at rgbResult with CC_RGBINIT
// (at black without it) and offering the 16 custom colours of lpCustColors. Confirmed:
// rgbResult takes the chosen colour, the custom colours what the user left in them, and
// 1 is returned. Cancelled: 0, and rgbResult is unchanged. A record whose lStructSize is
// not the record's size returns 0 without a dialog, as Windows does.
int ChooseColorA(ChooseColorRecord* record);

// The stand-in for `function` of `library`, or null when the table has none. Library
// names compare without regard to ASCII case, with or without ".dll" ("comdlg32",
// "COMDLG32.DLL"); function names exactly, as GetProcAddress does.
void* standInFunction(const std::string& library, const std::string& function);

}  // namespace ui
