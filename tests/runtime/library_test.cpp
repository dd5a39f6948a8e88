// Library functions bound by name: found and kept; a missing library or function ends the
// program with exit code -1 and the runtime's error text (checked in a child process).
#include "platform/ui/library_function.h"
#include "runtime_test_support.h"

using namespace runtime_test;

namespace {

class LibraryBinding : public RuntimeTest {};

TEST_F(LibraryBinding, FoundFunctionIsBoundOnceAndKept) {
    ui::LibraryFunction<double(double)> cosine("libm.so.6", "cos");
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    void* first = ui::bindLibraryFunction("libm.so.6", "cos");
    EXPECT_EQ(first, ui::bindLibraryFunction("libm.so.6", "cos"));
    EXPECT_EQ(reinterpret_cast<void*>(cosine.get()), first);
}

TEST_F(LibraryBinding, MissingLibraryOrFunctionEndsWithMinusOne) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The box is recorded, not shown, offscreen; its text also goes to stderr.
    EXPECT_EXIT(ui::bindLibraryFunction("pinyin.dll", "GetPinYin"), ::testing::ExitedWithCode(255),
                "运行时出错! 无法找到指定DLL库文件“pinyin.dll”中的输出命令“GetPinYin”");
    EXPECT_EXIT(ui::bindLibraryFunction("libm.so.6", "GetPinYinLeader"), ::testing::ExitedWithCode(255),
                "无法找到指定DLL库文件“libm.so.6”中的输出命令“GetPinYinLeader”");
}

TEST_F(LibraryBinding, FatalErrorAndEndProgramExitCodes) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ui::fatalError(G("载入启动窗口失败")), ::testing::ExitedWithCode(255), "载入启动窗口失败");
    EXPECT_EXIT(
        {
            ui::atExit([] { std::fputs("cleanup ran\n", stderr); });
            ui::endProgram(0);
        },
        ::testing::ExitedWithCode(0), "cleanup ran");
}

}  // namespace
