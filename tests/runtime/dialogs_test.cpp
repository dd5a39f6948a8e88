// The boxes answered in advance: answers, what was shown, and the loud failure when a box
// comes that no answer was queued for.
#include <QAbstractButton>

#include "platform/ui/message_box.h"
#include "runtime_test_support.h"

using namespace runtime_test;
namespace script = ui::dialogs::script;
using ui::dialogs::Answer;
using ui::dialogs::Buttons;

namespace {

class Dialogs : public RuntimeTest {};

TEST_F(Dialogs, MessageBoxAnswersAndRecordsTitleAndText) {
    script::answerMessage(Answer::Yes);
    script::answerMessage(Answer::No);
    script::answerMessage(Answer::Ok);
    script::answerMessage(Answer::Ok);
    const std::string question = G("按 是 重新装载，否则退出程序！");
    EXPECT_EQ(ui::dialogs::messageBox(question, Buttons::YesNo, G("友情提醒：")), Answer::Yes);
    EXPECT_EQ(ui::dialogs::messageBox(question, Buttons::YesNo, G("友情提醒：")), Answer::No);
    EXPECT_EQ(ui::dialogs::messageBox(G("文件只读")), Answer::Ok);
    EXPECT_EQ(ui::dialogs::messageBox("x", Buttons::Ok, std::string()), Answer::Ok);
    EXPECT_EQ(script::pending(), 0);
    const auto& shown = script::shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].title, G("友情提醒："));
    EXPECT_EQ(shown[0].text, question);
    EXPECT_EQ(shown[2].title, G("信息："));  // omitted title
    EXPECT_EQ(shown[3].title, "");           // an empty title stays empty
}

// Regression: Esc on the reload question after the settings program answered No, which
// ends the program. A Yes/No box is answered by its two buttons only; an OK box still
// closes with Esc.
TEST_F(Dialogs, AYesNoBoxIgnoresEscAndTheCloseButton) {
    for (const bool yes : {true, false}) {
        ui::dialogs::MessageBoxDialog box(QStringLiteral("友情提醒："),
                                          QStringLiteral("按 是 重新装载，否则退出程序！"), Buttons::YesNo);
        box.show();  // exec would wait for an answer
        QTest::keyClick(box.yesButton(), Qt::Key_Escape);
        EXPECT_TRUE(box.isVisible());
        EXPECT_FALSE(box.close());
        EXPECT_TRUE(box.isVisible());
        EXPECT_EQ(box.clickedButton(), nullptr);
        EXPECT_FALSE(box.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        (yes ? box.yesButton() : box.noButton())->click();
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.answer(), yes ? Answer::Yes : Answer::No);
    }
    ui::dialogs::MessageBoxDialog ok(QStringLiteral("信息："), QStringLiteral("文件只读"), Buttons::Ok);
    ok.show();
    QTest::keyClick(&ok, Qt::Key_Escape);
    EXPECT_FALSE(ok.isVisible());
    EXPECT_EQ(ok.answer(), Answer::Ok);
}

TEST_F(Dialogs, InputFileFontAndColourAnswers) {
    script::answerInput(std::string(" pw "));
    script::answerInput(std::nullopt);
    script::answerOpenFile(G("/数据/名单.xls"));
    ui::dialogs::FontChoice chosen;
    chosen.face = G("黑体");
    chosen.pointSize = 20;
    chosen.colour = 255;
    chosen.bold = true;
    script::answerFont(chosen);
    script::answerFont(std::nullopt);
    script::answerColour(16711680u);
    script::answerColour(std::nullopt);

    const std::string title = G("有密码吗？"), prompt = G("如果数据库包含密码，请输入，无则直接退出！");
    EXPECT_EQ(ui::dialogs::inputBox(title, prompt), std::optional<std::string>(" pw "));
    EXPECT_EQ(ui::dialogs::inputBox(title, prompt), std::nullopt);
    EXPECT_EQ(ui::dialogs::openFile("/tmp"), std::optional<std::string>(G("/数据/名单.xls")));
    ui::dialogs::FontChoice font;
    font.face = G("宋体");
    EXPECT_TRUE(ui::dialogs::chooseFont(font));
    EXPECT_EQ(font, chosen);
    ui::dialogs::FontChoice kept = font;
    EXPECT_FALSE(ui::dialogs::chooseFont(font));
    EXPECT_EQ(font, kept);  // cancelled: unchanged, style included
    EXPECT_EQ(ui::dialogs::chooseColour(0), std::optional<uint32_t>(16711680u));
    EXPECT_EQ(ui::dialogs::chooseColour(7), std::nullopt);
    ASSERT_EQ(script::shown().size(), 7u);
    EXPECT_EQ(script::shown()[0].title, title);
    EXPECT_EQ(script::shown()[0].text, prompt);
    EXPECT_EQ(script::shown()[2].kind, script::Kind::OpenFile);
}

TEST_F(Dialogs, UnansweredBoxFailsLoudlyInsteadOfBlocking) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            script::begin();
            ui::dialogs::messageBox("x");
        },
        "unanswered message box");
    EXPECT_DEATH(
        {
            script::answerInput(std::string("a"));
            ui::dialogs::messageBox("x", Buttons::YesNo);
        },
        "another kind of box");
}

}  // namespace
