// The resources compiled into lookup: the three forms load and hold every control the
// handlers look up by name (of the right kind, parent and place), and the icon, the
// animated pictures and the tune are readable.
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QUiLoader>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_query";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

std::unique_ptr<QWidget> loadForm(const QString& name) {
    ensureApplication();
    QFile file(":/query/forms/" + name + ".ui");
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    QUiLoader loader;
    return std::unique_ptr<QWidget>(loader.load(&file));
}

struct Expected {
    const char* name;
    const char* className;
    const char* parent;  // object name of the parent widget
    QRect place;
};

void expectControls(QWidget* form, const std::vector<Expected>& controls) {
    for (const Expected& e : controls) {
        auto* w = form->findChild<QWidget*>(QString::fromUtf8(e.name));
        ASSERT_NE(w, nullptr) << e.name;
        EXPECT_STREQ(w->metaObject()->className(), e.className) << e.name;
        ASSERT_NE(w->parentWidget(), nullptr) << e.name;
        EXPECT_EQ(w->parentWidget()->objectName(), QString::fromUtf8(e.parent)) << e.name;
        EXPECT_EQ(w->geometry(), e.place) << e.name;
    }
}

TEST(QueryForms, StartWindow) {
    auto form = loadForm("启动窗口");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->size(), QSize(344, 173));
    expectControls(form.get(), {{"标签1", "QLabel", "启动窗口", {16, 14, 136, 48}},
                                {"图片框1", "QLabel", "启动窗口", {227, 8, 64, 97}},
                                {"图片框2", "QLabel", "启动窗口", {8, 86, 184, 40}}});
}

TEST(QueryForms, QueryWindow) {
    auto form = loadForm("查询窗口");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->size(), QSize(603, 353));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowIcon().isNull());
    expectControls(form.get(), {
        {"选择列表框1", "QListWidget", "查询窗口", {8, 8, 200, 280}},
        {"标签_表名提示", "QLabel", "查询窗口", {24, 296, 272, 16}},
        {"配置按钮", "QPushButton", "查询窗口", {346, 294, 88, 24}},
        {"按钮1", "QPushButton", "查询窗口", {464, 101, 112, 24}},
        {"分组框2", "QGroupBox", "查询窗口", {216, 8, 368, 280}},
        {"编辑框1", "QLineEdit", "分组框2", {24, 16, 192, 24}},
        {"列表框1", "QListWidget", "分组框2", {24, 40, 128, 184}},
        {"单选框4", "QRadioButton", "分组框2", {27, 49, 149, 24}},
        {"单选框5", "QRadioButton", "分组框2", {27, 85, 149, 24}},
        {"单选框6", "QRadioButton", "分组框2", {27, 121, 149, 24}},
        {"选择框1", "QCheckBox", "分组框2", {232, 10, 128, 20}},
        {"选择框3", "QCheckBox", "分组框2", {232, 26, 80, 20}},
        {"精确查找选择框", "QCheckBox", "分组框2", {232, 42, 80, 20}},
        {"数值处理选择框", "QCheckBox", "分组框2", {232, 57, 128, 20}},
        {"选择框_去除单引号", "QCheckBox", "分组框2", {232, 72, 128, 20}},
        {"按钮_校正文本文件", "QPushButton", "分组框2", {256, 128, 96, 24}},
        {"选择框2", "QCheckBox", "分组框2", {213, 202, 136, 24}},
        {"标签1", "QLabel", "分组框2", {16, 242, 328, 24}},
    });
    EXPECT_TRUE(form->findChild<QWidget*>("列表框1")->isHidden());
    EXPECT_TRUE(form->findChild<QWidget*>("按钮_校正文本文件")->isHidden());
    EXPECT_TRUE(form->findChild<QWidget*>("单选框4")->property("checked").toBool());
}

TEST(QueryForms, RecordWindow) {
    auto form = loadForm("采像窗口");
    ASSERT_TRUE(form);
    EXPECT_EQ(form->size(), QSize(995, 274));
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("欢迎进入采像界面！"));
    expectControls(form.get(), {
        {"分组框_搜索", "QGroupBox", "采像窗口", {2, 4, 280, 184}},
        {"查询编辑框", "QLineEdit", "分组框_搜索", {8, 13, 160, 24}},
        {"查询按钮", "QPushButton", "分组框_搜索", {46, 38, 104, 24}},
        {"列表框1", "QListWidget", "分组框_搜索", {8, 36, 128, 140}},
        {"单选框4", "QRadioButton", "分组框_搜索", {11, 66, 105, 18}},
        {"单选框6", "QRadioButton", "分组框_搜索", {11, 122, 105, 18}},
        {"声母查询选择框", "QCheckBox", "分组框_搜索", {121, 65, 157, 18}},
        {"选择框_去除单引号", "QCheckBox", "分组框_搜索", {121, 125, 128, 18}},
        {"按钮_listset", "QPushButton", "分组框_搜索", {164, 153, 104, 24}},
        {"分组框_记录单", "QGroupBox", "采像窗口", {288, 7, 192, 232}},
        {"分组框_列表框", "QGroupBox", "采像窗口", {491, -1, 493, 241}},
        {"图片框1", "QLabel", "分组框_库中照片", {13, 11, 120, 160}},
        {"标签_图片1说明", "QLabel", "分组框_库中照片", {8, 181, 128, 27}},
        {"list", "QTableView", "分组框_列表框", {165, 40, 311, 201}},
        {"组合框_排序类型", "QComboBox", "分组框_列表框", {300, 9, 90, 20}},
        {"按钮_导出列表", "QPushButton", "分组框_列表框", {393, 8, 60, 24}},
        {"进度条_列表", "QProgressBar", "分组框_列表框", {14, 221, 481, 16}},
        {"标签_标记字段", "QLabel", "分组框_列表框", {195, 98, 24, 24}},
    });
    for (int k = 1; k <= 10; ++k) {
        const int top = 11 + 22 * (k - 1);
        const std::string label = "标签" + std::to_string(k), edit = "编辑框" + std::to_string(k);
        expectControls(form.get(), {{label.c_str(), "QLabel", "分组框_记录单", {0, top, 60, 20}},
                                    {edit.c_str(), "QLineEdit", "分组框_记录单", {69, top, 120, 20}}});
    }
    EXPECT_EQ(form->findChild<QGroupBox*>("分组框_记录单")->title(), QString::fromUtf8("记录单"));
    EXPECT_TRUE(form->findChild<QWidget*>("进度条_列表")->isHidden());
    EXPECT_TRUE(form->findChild<QWidget*>("声母查询选择框")->property("checked").toBool());
    EXPECT_EQ(form->findChild<QWidget*>("组合框_排序类型")->property("currentText").toString(),
              QString::fromUtf8("1-文本型排序"));
}

TEST(QueryResources, IconPicturesAndTune) {
    ensureApplication();
    QIcon icon(":/query/lookup.ico");
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_EQ(sizes.size(), 12);
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(128, 128)));

    for (auto [path, size] : {std::pair{":/query/pictures/walker.gif", QSize(45, 87)},
                              std::pair{":/query/pictures/progress.gif", QSize(280, 13)}}) {
        QImageReader reader(path);
        EXPECT_EQ(reader.size(), size) << path;
        EXPECT_TRUE(reader.supportsAnimation()) << path;
        EXPECT_GT(reader.imageCount(), 1) << path;
    }

    QFile tune(":/query/tune.mid");
    ASSERT_TRUE(tune.open(QIODevice::ReadOnly));
    const QByteArray smf = tune.readAll();
    ASSERT_GT(smf.size(), 22);
    EXPECT_TRUE(smf.startsWith(QByteArray("MThd\0\0\0\6", 8)));
    EXPECT_EQ(smf.mid(14, 4), QByteArray("MTrk"));
    EXPECT_TRUE(smf.endsWith(QByteArray("\xFF\x2F\x00", 3)));  // end of track
}

}  // namespace
