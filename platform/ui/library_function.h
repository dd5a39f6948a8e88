// Functions of outside libraries bound by library and function name on their first call
// and kept for the rest of the run.
//
// Functions that Windows libraries offered and Linux has no library for (comdlg32's
// ChooseColorA) come from the runtime's own table (stand_in_functions.h). Any other
// library is looked for in the program directory first (as named, then with a
// ".dll" ending read as ".so" and as "lib<name>.so"), then by the system's usual search
// under its given name. A missing library or function ends the program through
// fatalError with "无法找到指定DLL库文件“<library>”中的输出命令“<function>”".
#pragma once

#include <string>
#include <utility>

namespace ui {

// The address of `function` in `library` (GBK names). Never returns null: a failure ends
// the program (exit code -1). Later calls for the same pair return the kept address.
void* bindLibraryFunction(const std::string& library, const std::string& function);

// Typed wrapper, e.g.
//   static ui::LibraryFunction<int(char*, const char*)> leader("pinyin.dll", "GetPinYinLeader");
//   leader(buffer, text);
template <typename Signature>
class LibraryFunction;

template <typename Result, typename... Args>
class LibraryFunction<Result(Args...)> {
public:
    LibraryFunction(std::string library, std::string function)
        : library_(std::move(library)), function_(std::move(function)) {}

    Result operator()(Args... args) { return get()(std::forward<Args>(args)...); }

    // Binds on first use.
    Result (*get())(Args...) {
        if (!address_)
            address_ = reinterpret_cast<Result (*)(Args...)>(
                bindLibraryFunction(library_, function_));
        return address_;
    }

private:
    std::string library_;
    std::string function_;
    Result (*address_)(Args...) = nullptr;
};

}  // namespace ui
