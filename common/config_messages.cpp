// Messages about quillmar.ini (see config_messages.h).
#include "common/config_messages.h"

#include <cstdio>

#include "text/gbk_literal.h"

namespace config {

using codepage::gbkText;

std::string notRegularFileMessage(const std::string& path) {
    return gbkText("配置文件") + path + gbkText("不是普通文件（可能是管道、设备或文件夹），本程序不读写它。\n"
                                            "请把它删除或换成普通文件。");
}

std::string notSavedMessage(const std::string& path, const WriteProblem& problem) {
    switch (problem.cause) {
    case WriteProblem::Cause::NotRegularFile:
        return gbkText("设置没有保存：") + notRegularFileMessage(path);
    case WriteProblem::Cause::NotGbk: {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(problem.character));
        return gbkText("设置没有保存：配置文件") + path + gbkText("是") + problem.encoding +
               gbkText("编码的，第") + std::to_string(problem.line) + gbkText("行的字符") + code +
               gbkText("无法用GBK(ANSI)编码保存，本程序只写GBK编码的配置文件。\n请删去或换掉这个字符后再设置。");
    }
    case WriteProblem::Cause::None:
    case WriteProblem::Cause::CannotWrite:
        break;
    }
    return gbkText("设置没有保存：无法写入配置文件") + path + gbkText("。\n请检查文件或文件夹是否只读、磁盘是否已满。");
}

}  // namespace config
