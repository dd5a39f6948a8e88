// What every program's entry does alike (see program_runner.h).
#include "platform/ui/program_runner.h"

#include <set>

#include "platform/ui/application.h"

namespace ui {

int runProgram(int argc, char** argv, void (*start)(), void (*releaseWindows)()) {
    Application application(argc, argv);
    start();
    const int code = application.exec();
    releaseWindows();
    return code;
}

void beginProgram(const std::string& folderProblem, void (*createArrays)(), void (*freeGlobals)()) {
    if (!folderProblem.empty()) fatalError(folderProblem);
    createArrays();
    static std::set<void (*)()> registered;
    if (registered.insert(freeGlobals).second) atExit(freeGlobals);
}

}  // namespace ui
