// Page "基本设置" in the real settings window: the preview laid out from quillmar.ini, the
// presets and aspect ratios, the zero test on leaving a size, the marker dragged by mouse
// events, the font button with its scripted answers, and what "确定" then saves.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <optional>

#include "common/config_file.h"
#include "common/paths.h"
#include "platform/ui/dialogs.h"
#include "settings_test_support.h"

namespace {

using programtest::G;
namespace script = ui::dialogs::script;

struct Geometry {
    int left, top, width, height;
    bool operator==(const Geometry&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
    return out << g.left << ", " << g.top << ", " << g.width << " x " << g.height;
}

Geometry geometryOf(const ui::Control& c) { return {c.left(), c.top(), c.width(), c.height()}; }

class PhotoPageTest : public settingstest::SettingsProgramTest {
protected:
    Geometry board() { return geometryOf(form().board("画板_结果照片")); }
    Geometry marker() { return geometryOf(form().picture("图片框_数字")); }
    QSize markerPicture() {
        return qobject_cast<QLabel*>(form().picture("图片框_数字").widget())->pixmap().size();
    }
    std::string text(const char* edit) { return form().edit(edit).text(); }

    // Leaves `edit` for the title edit, as a user tabbing on would.
    void leave(const char* edit) {
        form().edit(edit).setFocus();
        form().edit("编辑框_logo").setFocus();
    }

    // Chooses an item of 组合框_照片尺寸 as the user does.
    void choosePreset(int item) {
        qobject_cast<QComboBox*>(form().combo("组合框_照片尺寸").widget())->setCurrentIndex(item);
    }

    void clickRadio(const char* name) { QTest::mouseClick(form().radio(name).widget(), Qt::LeftButton); }

    // Presses the left button at `at` inside the marker, moves it by `by` and lets go.
    void dragMarker(QPoint at, QPoint by) {
        QWidget* marker = form().picture("图片框_数字").widget();
        QWidget* board = marker->parentWidget();
        const QPoint drop = marker->mapTo(board, at) + by;
        QTimer::singleShot(10, [board, drop] {
            QTest::mouseMove(board, drop);
            QTest::mouseRelease(board, Qt::LeftButton, {}, drop);
        });
        QTest::mousePress(marker, Qt::LeftButton, {}, at);
    }

    std::string saved(const char* key) {
        return config::readKey(paths::configPath(), "photo", G(key), "(missing)");
    }
};

TEST_F(PhotoPageTest, StartUpLaysThePreviewOutFromTheConfiguration) {
    const struct {
        std::vector<std::string> photo;  // lines of section [photo]; none: no file at all
        Geometry board, marker;
        double scale;
    } cases[] = {
        {{}, {0, 0, 150, 200}, {10, 180, 100, 10}, 0.5},
        {{"photo_width=295", "photo_height=413"}, {0, 0, 142, 200}, {9, 180, 90, 9}, 200.0 / 413},
        {{"photo_width=400", "photo_height=300"}, {0, 0, 150, 112}, {7, 97, 70, 7}, 112.0 / 300},
        // A width that reads as 0 still lays out at start-up: a 0-high board.
        {{"photo_width=abc"}, {0, 0, 150, 0}, {0, 0, 0, 0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.photo.empty() ? std::string("no file") : c.photo[0]);
        std::filesystem::remove(local("quillmar.ini"));
        if (!c.photo.empty()) {
            std::vector<std::string> lines{"[photo]"};
            lines.insert(lines.end(), c.photo.begin(), c.photo.end());
            writeConfig(lines);
        }
        ui::Form& f = start().form();
        const Geometry got = board();
        EXPECT_EQ(got.width, c.board.width);
        EXPECT_EQ(got.height, c.board.height);
        EXPECT_EQ(marker(), c.marker);
        EXPECT_DOUBLE_EQ(settings::预览比例, c.scale);
        ui::ComboBox sizes = f.combo("组合框_照片尺寸");
        EXPECT_EQ(sizes.count(), 6);
        EXPECT_EQ(sizes.currentIndex(), 0);
        releaseProgram();
    }
}

TEST_F(PhotoPageTest, PresetsFillThePhotoSizeAndItemZeroBringsBackTheStartUpValues) {
    start();
    const Geometry before = board();
    form().edit("编辑框_生成照片的宽度").setText("500");
    choosePreset(3);  // 身份证（2.2X3.3cm）
    EXPECT_EQ(text("编辑框_生成照片的宽度"), "260");
    EXPECT_EQ(text("编辑框_生成照片的高度"), "390");
    // 390 / 260 x 150 = 225: capped at 200 high, 133 wide; the board stays in its place.
    EXPECT_EQ(board(), (Geometry{before.left, before.top, 133, 200}));
    EXPECT_EQ(marker(), (Geometry{10, 179, 100, 10}));
    choosePreset(0);
    EXPECT_EQ(text("编辑框_生成照片的宽度"), "300");
    EXPECT_EQ(text("编辑框_生成照片的高度"), "400");
    EXPECT_EQ(marker(), (Geometry{10, 180, 100, 10}));
}

TEST_F(PhotoPageTest, RadiosKeepThePreviewHeightAtTheirRatio) {
    ui::Form& f = start().form();
    ui::EditBox width = f.edit("编辑框_视频预览区宽度");
    ui::EditBox height = f.edit("编辑框_视频预览区高度");
    // "自定义宽高比" is selected when the window opens: the width leaves the height alone.
    width.setText("560");
    EXPECT_EQ(height.text(), "240");
    clickRadio("单选框_宽高比43");
    EXPECT_EQ(height.text(), "420");
    clickRadio("单选框_宽高比32");
    EXPECT_EQ(height.text(), "371");
    width.setText("320");  // the width follows the selected ratio on every change
    EXPECT_EQ(height.text(), "212");
    clickRadio("单选框_宽高比169");
    EXPECT_EQ(height.text(), "180");
    // A height typed by hand is undone by clicking the selected radio again.
    height.setText("999");
    EXPECT_EQ(width.text(), "320");
    clickRadio("单选框_宽高比169");
    EXPECT_EQ(height.text(), "180");
    width.setText("");
    EXPECT_EQ(height.text(), "0");
    clickRadio("单选框_自定义宽高比");
    width.setText("640");
    EXPECT_EQ(height.text(), "0");
}

TEST_F(PhotoPageTest, LeavingASizeThatReadsAsZeroKeepsThePreview) {
    ui::Form& f = start().form();
    f.edit("编辑框_生成照片的宽度").setText("0");
    leave("编辑框_生成照片的宽度");
    EXPECT_EQ(board().height, 200);
    EXPECT_EQ(marker(), (Geometry{10, 180, 100, 10}));
    f.edit("编辑框_生成照片的宽度").setText("400");
    f.edit("编辑框_生成照片的高度").setText("300");
    leave("编辑框_生成照片的高度");
    EXPECT_EQ(board().height, 112);
    EXPECT_EQ(marker(), (Geometry{7, 97, 70, 7}));
    // Each of the four edits lays out on leaving.
    f.edit("编辑框_照片标记_距左边").setText("100");
    leave("编辑框_照片标记_距左边");
    EXPECT_EQ(marker().left, 37);
    f.edit("编辑框_照片标记_距底端").setText("0");
    leave("编辑框_照片标记_距底端");
    EXPECT_EQ(marker().top, 104);
}

TEST_F(PhotoPageTest, DraggedMarkerWritesTheDistancesAndOkSavesThem) {
    start();
    // Pressed 5, 3 inside the marker at 10, 180; dropped 20 right and 30 up.
    dragMarker(QPoint(5, 3), QPoint(20, -30));
    EXPECT_EQ(marker(), (Geometry{30, 150, 100, 10}));
    EXPECT_EQ(text("编辑框_照片标记_距左边"), "60");
    EXPECT_EQ(text("编辑框_照片标记_距底端"), "80");
    EXPECT_FALSE(std::filesystem::exists(local("quillmar.ini")));  // nothing saved yet
    click("按钮_确定");
    EXPECT_EQ(saved("照片标记距左边距离"), "60");
    EXPECT_EQ(saved("照片标记距底端距离"), "80");
}

TEST_F(PhotoPageTest, ClickWithoutAMoveRewritesBothDistances) {
    writeConfig({"[photo]", "photo_width=295", "photo_height=413"});
    start();
    dragMarker(QPoint(2, 2), QPoint(0, 0));
    EXPECT_EQ(marker(), (Geometry{9, 180, 90, 9}));
    EXPECT_EQ(text("编辑框_照片标记_距左边"), "18");
    EXPECT_EQ(text("编辑框_照片标记_距底端"), "22");
}

TEST_F(PhotoPageTest, FontButtonTakesFontThenAsksForTheBackground) {
    using ui::dialogs::Answer;
    using ui::dialogs::FontChoice;
    const FontChoice hei{22, 0x00FF00, G("黑体")};
    const struct {
        const char* fontColourInFile;
        std::optional<FontChoice> font;  // nullopt: cancelled
        Answer transparent;
        std::optional<std::optional<uint32_t>> colour;  // asked only after "No"
        int size;
        const char* fontColour;
        const char* face;
        const char* background;
    } cases[] = {
        {"255", std::nullopt, Answer::Yes, std::nullopt, 20, "255", "宋体", "-16777216"},
        // A cancel gives the colour back as the decimal of its integer part.
        {"255.9abc", std::nullopt, Answer::No, std::optional<uint32_t>(0x0000FF), 20, "255", "宋体", "255"},
        {"0", hei, Answer::No, std::optional<uint32_t>(0xFF0000), 22, "65280", "黑体", "16711680"},
        // No, then the colour dialog cancelled: the transparent background stays.
        {"0", hei, Answer::No, std::optional<uint32_t>(), 22, "65280", "黑体", "-16777216"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fontColourInFile);
        writeConfig({"[photo]", std::string("照片字体颜色=") + c.fontColourInFile});
        start();
        script::reset();
        script::answerFont(c.font);
        script::answerMessage(c.transparent);
        if (c.colour) script::answerColour(*c.colour);
        click("按钮_字体设置");
        EXPECT_EQ(script::pending(), 0);
        ASSERT_GE(script::shown().size(), 2u);
        EXPECT_EQ(script::shown()[0].kind, script::Kind::Font);
        EXPECT_EQ(script::shown()[1].kind, script::Kind::Message);
        EXPECT_EQ(script::shown()[1].title, G("信息："));
        EXPECT_EQ(script::shown()[1].text, G("文本背景颜色是否用透明色？"));
        if (c.colour) {
            EXPECT_EQ(script::shown().at(2).text, "4278190080");  // opened at -16777216's pattern
        }
        EXPECT_EQ(settings::照片字体大小, c.size);
        EXPECT_EQ(settings::照片字体颜色, c.fontColour);
        EXPECT_EQ(settings::照片字体名称, G(c.face));
        EXPECT_EQ(settings::照片文本背景颜色, c.background);
        // The marker follows the font size.
        EXPECT_EQ(marker().height, c.size / 2);
        click("按钮_确定");
        EXPECT_EQ(saved("照片字体大小"), std::to_string(c.size));
        EXPECT_EQ(saved("照片字体颜色"), c.fontColour);
        EXPECT_EQ(saved("照片字体名称"), G(c.face));
        EXPECT_EQ(saved("照片文本背景颜色"), c.background);
        releaseProgram();
        script::reset();
        script::begin();
    }
}

TEST_F(PhotoPageTest, CancelKeepsTheFileAfterADragAndAFontChoice) {
    writeConfig({"[photo]", "照片标记距左边距离=20", "; a comment that stays"});
    const std::string before = read("quillmar.ini");
    start();
    dragMarker(QPoint(5, 3), QPoint(20, -30));
    script::answerFont(ui::dialogs::FontChoice{30, 255, G("黑体")});
    script::answerMessage(ui::dialogs::Answer::Yes);
    click("按钮_字体设置");
    click("按钮1");
    EXPECT_EQ(read("quillmar.ini"), before);
}

// The marker's picture was stretched to the whole marker: a 0.1 x 0.1 photo with a 9-point
// font made it 135,000 x 13,500 pixels (5 GB, 13 s before the window showed).
TEST_F(PhotoPageTest, AMarkerLargerThanTheBoardDrawsOnlyWhatLiesOnTheBoard) {
    // 10 x 10: a 150 x 150 board at scale 15, the marker 1,350 x 135 at 0, 15.
    writeConfig({"[photo]", "photo_width=10", "photo_height=10", "照片字体大小=9", "照片标记距左边距离=0",
                 "照片标记距底端距离=0"});
    start();
    ASSERT_EQ(marker(), (Geometry{0, 15, 150, 135}));
    ASSERT_EQ(markerPicture(), QSize(150, 135));

    // A photo of 0.1 x 0.1, typed: the marker 135,000 x 13,500 with its top 13,350 above the board.
    form().edit("编辑框_生成照片的宽度").setText("0.1");
    form().edit("编辑框_生成照片的高度").setText("0.1");
    leave("编辑框_生成照片的高度");
    EXPECT_EQ(marker(), (Geometry{0, 0, 150, 150}));
    EXPECT_EQ(markerPicture(), QSize(150, 150));
    // The distances still come from the whole marker.
    dragMarker(QPoint(2, 2), QPoint(0, 0));
    EXPECT_EQ(text("编辑框_照片标记_距左边"), "0");
    EXPECT_EQ(text("编辑框_照片标记_距底端"), "0");
    releaseProgram();

    // The same from quillmar.ini, and a marker wholly off the board draws nothing.
    writeConfig({"[photo]", "photo_width=0.1", "photo_height=0.1", "照片字体大小=9"});
    start();
    EXPECT_EQ(marker().width * marker().height, 0);
    EXPECT_TRUE(markerPicture().isEmpty());
}

// A marker hanging over the board's edge: only the part on the board is drawn, and a drag
// brings the rest into view with distances taken from the whole marker.
TEST_F(PhotoPageTest, AMarkerOverTheEdgeComesIntoViewWhenDragged) {
    writeConfig({"[photo]", "照片标记距左边距离=200"});  // 300 x 400: the marker 100 x 10 at 100, 180
    start();
    EXPECT_EQ(marker(), (Geometry{100, 180, 50, 10}));
    EXPECT_EQ(markerPicture(), QSize(50, 10));
    dragMarker(QPoint(5, 3), QPoint(-60, 0));
    EXPECT_EQ(marker(), (Geometry{40, 180, 100, 10}));
    EXPECT_EQ(markerPicture(), QSize(100, 10));
    EXPECT_EQ(text("编辑框_照片标记_距左边"), "80");
    EXPECT_EQ(text("编辑框_照片标记_距底端"), "20");
}

}  // namespace
