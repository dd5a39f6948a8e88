// The background colour through the colour-choice function bound by name: the chosen
// colour as 0x00BBGGRR, a cancel giving back what went in, and the binding itself.
#include "settings/colour_choice.h"

#include <gtest/gtest.h>

#include "platform/ui/dialogs.h"
#include "platform/ui/library_function.h"
#include "platform/ui/stand_in_functions.h"

namespace {

namespace script = ui::dialogs::script;

class ColourChoice : public ::testing::Test {
protected:
    void SetUp() override { script::reset(); }
    void TearDown() override { script::reset(); }
};

TEST_F(ColourChoice, ChosenOrCancelled) {
    const struct {
        int32_t initial;
        std::optional<uint32_t> answer;
        int32_t expected;
    } cases[] = {
        {-16777216, 0x0000FF, 255},       // pure red
        {255, 0xFF0000, 16711680},        // pure blue
        {-16777216, std::nullopt, -16777216},  // a cancel keeps a transparent background
        {16777215, std::nullopt, 16777215},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.initial);
        script::reset();
        script::answerColour(c.answer);
        EXPECT_EQ(settings::选取颜色(nullptr, c.initial, 1), c.expected);
        ASSERT_EQ(script::shown().size(), 1u);
        // The dialog opened at the initial colour's 32-bit pattern.
        EXPECT_EQ(script::shown()[0].text, std::to_string(static_cast<uint32_t>(c.initial)));
        EXPECT_EQ(script::pending(), 0);
    }
}

TEST_F(ColourChoice, WithoutTheUseInitialFlagItOpensAtBlack) {
    script::answerColour(std::nullopt);
    EXPECT_EQ(settings::选取颜色(nullptr, 255, 0), 0);
    EXPECT_EQ(script::shown().at(0).text, "0");
}

TEST_F(ColourChoice, RecordOfAnotherSizeShowsNoDialog) {
    script::begin();  // any dialog would now fail the test
    ui::ChooseColorRecord record;
    record.lStructSize = 36;
    record.rgbResult = 255;
    EXPECT_EQ(ui::ChooseColorA(&record), 0);
    EXPECT_EQ(record.rgbResult, 255u);
    EXPECT_EQ(ui::ChooseColorA(nullptr), 0);
}

TEST_F(ColourChoice, BoundByLibraryAndFunctionName) {
    void* address = ui::bindLibraryFunction("comdlg32", "ChooseColorA");
    EXPECT_EQ(address, reinterpret_cast<void*>(&ui::ChooseColorA));
    EXPECT_EQ(ui::bindLibraryFunction("COMDLG32.DLL", "ChooseColorA"), address);
    EXPECT_EQ(ui::standInFunction("comdlg32", "choosecolora"), nullptr);  // names are exact
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ui::bindLibraryFunction("comdlg32", "ChooseColorW"), ::testing::ExitedWithCode(255),
                "运行时出错! 无法找到指定DLL库文件“comdlg32”中的输出命令“ChooseColorW”");
}

}  // namespace
