// Program-wide services: running a program and waiting, the program directory, the
// window icon from bytes, animated pictures, the busy cursor.
#include <QBuffer>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMovie>
#include <QTemporaryDir>

#include "runtime_test_support.h"

using namespace runtime_test;

namespace {

class Services : public RuntimeTest {};

// The Windows faces the forms and quillmar.ini name must come out as faces with Chinese
// glyphs, whatever the fallback order of the machine.
TEST_F(Services, WindowsFontNamesStandForInstalledChineseFaces) {
    for (const char* name : {"楷体_GB2312", "楷体", "黑体", "宋体"}) {
        const QString family = QFontInfo(QFont(QString::fromUtf8(name), 12)).family();
        EXPECT_TRUE(QFontDatabase::writingSystems(family).contains(QFontDatabase::SimplifiedChinese))
            << name << " resolves to " << family.toStdString();
    }
}

// Qt's standard dialogs and buttons showed English texts in programs that speak Chinese
// everywhere else; Qt's Chinese translations are loaded whatever the system locale (the
// tests run in the C locale).
TEST_F(Services, QtsOwnDialogTextsAreChinese) {
    ASSERT_TRUE(QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_zh_CN.qm"))
        << "Qt's Chinese translations are missing: setup.sh installs qt6-translations-l10n";
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    EXPECT_EQ(QCoreApplication::translate("QFontDialog", "Select Font"), QStringLiteral("选择字体"));
}

TEST_F(Services, RunAndWaitReportsWhetherTheProgramStarted) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString marker = dir.filePath(QStringLiteral("设置已运行"));
    // A quoted program path with Chinese in it, as the query program builds it.
    const QString script = dir.filePath(QStringLiteral("设置"));
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nsleep 0.2\ntouch \"$(dirname \"$0\")/设置已运行\"\nexit 3\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(ui::runAndWait("\"" + codepage::fromQString(script) + "\""));
    EXPECT_TRUE(QFile::exists(marker));  // waited for its end
    EXPECT_FALSE(ui::runAndWait("\"" + codepage::fromQString(dir.filePath(QStringLiteral("没有"))) + "\""));
    EXPECT_FALSE(ui::runAndWait(""));
}

TEST_F(Services, ProgramDirectoryIsTheWorkingDirectory) {
    const std::string dir = ui::programDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(dir.back(), '/');
    EXPECT_EQ(codepage::toQString(dir), QDir::currentPath());
}

TEST_F(Services, IconsAnimationsAndCursor) {
    ui::Form f;
    ASSERT_TRUE(f.load(form("测试窗口.ui")));
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, "PNG"));
    EXPECT_TRUE(f.setIcon(png.toStdString()));
    EXPECT_FALSE(f.window()->windowIcon().isNull());
    EXPECT_FALSE(f.setIcon("no icon"));
    EXPECT_FALSE(f.setIconFile("/no/such.ico"));

    // A two-frame 1 x 1 GIF.
    static const unsigned char gif[] = {
        'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF,
        0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0,
        0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x4C, 1, 0, 0x3B};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("动画.gif"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(reinterpret_cast<const char*>(gif), sizeof gif);
    out.close();
    ui::PictureBox picture = f.picture("图片框1");
    ASSERT_TRUE(picture.setAnimation(path.toStdString()));
    EXPECT_TRUE(picture.hasPicture());
    QMovie* movie = static_cast<QLabel*>(picture.widget())->movie();
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->state(), QMovie::Running);
    picture.clear();
    EXPECT_FALSE(picture.hasPicture());

    ui::showBusyCursor();
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui::restoreCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ui::restoreCursor();  // one restore too many is harmless
}

}  // namespace
