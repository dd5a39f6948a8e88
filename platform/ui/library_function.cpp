// Binding library functions by name: dlopen/dlsym, looked up in the program directory
// first, kept for the rest of the run.
#include "platform/ui/library_function.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <QFile>

#include <map>
#include <utility>
#include <vector>

#include "text/codepage.h"
#include "text/gbk_text.h"
#include "platform/ui/application.h"
#include "platform/ui/stand_in_functions.h"

namespace ui {

namespace {

// The file names a library named as on Windows may have here.
std::vector<std::string> candidates(const std::string& library) {
    // The folder as the system names it: its GBK name may have taken "?" for characters.
    const std::string dir = QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() + "/";
    const std::string local = codepage::toLocalPath(library);
    std::vector<std::string> names;
    if (local.find('/') != std::string::npos) {
        names.push_back(local);
        return names;
    }
    names.push_back(dir + local);
    std::string stem = local;
    const std::string lowered = gbk::lower(local);
    if (lowered.size() > 4 && lowered.compare(lowered.size() - 4, 4, ".dll") == 0)
        stem = local.substr(0, local.size() - 4);
    if (stem != local) {
        names.push_back(dir + stem + ".so");
        names.push_back(dir + "lib" + stem + ".so");
    }
    // The system's own search, under the name given only: a system library that merely
    // shares the stem is not the one meant.
    names.push_back(local);
    return names;
}

void* openLibrary(const std::string& library) {
    static std::map<std::string, void*> opened;
    auto it = opened.find(library);
    if (it != opened.end()) return it->second;
    void* handle = nullptr;
    for (const std::string& name : candidates(library)) {
        handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle) break;
    }
    if (handle) opened[library] = handle;
    return handle;
}

[[noreturn]] void missing(const std::string& library, const std::string& function) {
    std::string text = codepage::utf8ToGbk("无法找到指定DLL库文件“%s”中的输出命令“%s”");
    text = gbk::replaceAll(text, "%s", "\x01");
    const size_t first = text.find('\x01');
    text.replace(first, 1, library);
    const size_t second = text.find('\x01', first + library.size());
    text.replace(second, 1, function);
    fatalError(text);
}

}  // namespace

void* bindLibraryFunction(const std::string& library, const std::string& function) {
    static std::map<std::pair<std::string, std::string>, void*> bound;
    auto key = std::make_pair(library, function);
    auto it = bound.find(key);
    if (it != bound.end()) return it->second;
    if (void* standIn = standInFunction(library, function)) {
        bound[key] = standIn;
        return standIn;
    }
    void* handle = openLibrary(library);
    if (!handle) missing(library, function);
    void* address = dlsym(handle, function.c_str());
    if (!address) missing(library, function);
    bound[key] = address;
    return address;
}

}  // namespace ui
