// The resampling-method list (see window_tables.h).
#include "settings/window_tables.h"

#include "text/gbk_literal.h"

namespace settings {

const std::vector<std::string>& resamplingMethods() {
    static const std::vector<std::string> methods = [] {
        std::vector<std::string> out;
        for (const char* name : {"相邻像素", "双线性", "样条", "双三次", "双三次2", "Lanczos", "方框", "隐士",
                                 "加重平衡", "Sinc", "黑人", "贝塞尔", "高斯", "二次方", "米切尔", "CatRom"})
            out.push_back(codepage::gbkText(name));
        return out;
    }();
    return methods;
}

}  // namespace settings
