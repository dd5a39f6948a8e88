// The event rules the programs' handlers rely on, driven on real widgets of a test form.
#include <QAbstractButton>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>

#include <vector>

#include "platform/ui/tray_icon.h"
#include "runtime_test_support.h"

using namespace runtime_test;

namespace {

class EventRules : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        ASSERT_TRUE(f.load(form("测试窗口.ui")));
    }
    ui::Form f;
    std::vector<std::string> log;
};

TEST_F(EventRules, ProgramSetTextRaisesContentChangedOnceAtOnceEvenWhenUnchanged) {
    ui::EditBox edit = f.edit("编辑框1");
    std::vector<std::string> seen;
    f.on("编辑框1", ui::Event::ContentChanged, [&] { seen.push_back(edit.text()); });
    edit.setText(G("三班"));
    ASSERT_EQ(seen.size(), 1u);  // before setText returned
    EXPECT_EQ(seen[0], G("三班"));
    edit.setText(G("三班"));
    EXPECT_EQ(seen.size(), 2u);
    // The generic caption setter of an edit box is the same operation.
    f.control("编辑框1").setCaption("x");
    EXPECT_EQ(seen.size(), 3u);
    ui::processPendingEvents();
    EXPECT_EQ(seen.size(), 3u);  // nothing queued behind it
}

// Regression: a long value set by the program showed its end ("aredados y helados"); an
// edit box (and an editable combo box) shows a filled-in text from its start.
TEST_F(EventRules, ProgramSetTextShowsTheStartOfALongText) {
    const std::string longText = "Ana Trujillo Emparedados y helados " + G("三班的学生名单与照片");
    ui::EditBox edit = f.edit("编辑框2");
    auto* line = qobject_cast<QLineEdit*>(edit.widget());
    edit.setFocus();
    QTest::keyClicks(line, "abc");
    ASSERT_EQ(line->cursorPosition(), 3);
    edit.setText(longText);
    EXPECT_EQ(line->cursorPosition(), 0);
    EXPECT_EQ(edit.selectionStart(), 0);
    EXPECT_LT(line->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), 10);  // the start is in view
    // A content-changed handler that places the caret has the last word.
    f.on("编辑框2", ui::Event::ContentChanged, [&] { edit.setSelectionStart(4); });
    edit.setText(longText);
    EXPECT_EQ(edit.selectionStart(), 4);

    ui::ComboBox combo = f.combo("组合框1");
    combo.setText(longText);
    auto* comboLine = qobject_cast<QComboBox*>(combo.widget())->lineEdit();
    ASSERT_NE(comboLine, nullptr);
    EXPECT_EQ(comboLine->cursorPosition(), 0);
    EXPECT_EQ(combo.text(), longText);
}

TEST_F(EventRules, UserTypingRaisesContentChangedPerChange) {
    ui::EditBox edit = f.edit("编辑框2");
    int changes = 0;
    std::vector<int> chars;
    f.on("编辑框2", ui::Event::ContentChanged, [&] { ++changes; });
    f.on("编辑框2", ui::Event::CharTyped, [&](int c) { chars.push_back(c); });
    edit.setFocus();
    QTest::keyClicks(edit.widget(), "ab");
    EXPECT_EQ(changes, 2);
    // Chinese typed as a key with text, then as an input method's commit.
    QTest::sendKeyEvent(QTest::Press, edit.widget(), Qt::Key_unknown, QStringLiteral("班"), Qt::NoModifier);
    EXPECT_EQ(changes, 3);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("级"));
    QCoreApplication::sendEvent(edit.widget(), &commit);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(edit.text(), G("ab班级"));
    // An ANSI window gets a GBK character as lead byte, then trail byte.
    const std::string ban = G("班");
    ASSERT_EQ(chars.size(), 6u);
    EXPECT_EQ(chars[2], static_cast<unsigned char>(ban[0]));
    EXPECT_EQ(chars[3], static_cast<unsigned char>(ban[1]));
    QTest::keyClick(edit.widget(), Qt::Key_Backspace);
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(edit.text(), G("ab班"));
}

TEST_F(EventRules, ProgramChangesOfChecksCombosTabsAndListsRaiseNothing) {
    int events = 0;
    for (const char* name : {"选择框1", "单选框1", "单选框2", "组合框_排序类型", "组合框1", "选择夹1",
                             "列表框1", "选择列表框1"})
        for (ui::Event e : {ui::Event::Clicked, ui::Event::ItemSelected, ui::Event::PageChanged,
                            ui::Event::ContentChanged})
            f.on(name, e, [&] { ++events; });
    f.checkBox("选择框1").setChecked(true);
    f.radio("单选框2").setChecked(true);
    EXPECT_FALSE(f.radio("单选框1").isChecked());  // one group, one checked
    ui::ComboBox combo = f.combo("组合框_排序类型");
    combo.addItem(G("0-数字型排序"), 0);
    combo.addItem(G("1-文本型排序"), 1);
    combo.setCurrentIndex(1);
    f.combo("组合框1").addItem("x");
    f.combo("组合框1").setText("typed");
    f.tabs("选择夹1").setCurrentPage(1);
    EXPECT_EQ(f.tabs("选择夹1").currentPage(), 1);
    f.listBox("列表框1").addItem("a");
    f.listBox("列表框1").setCurrentIndex(0);
    f.checkList("选择列表框1").addItem("[t]", 1);
    f.checkList("选择列表框1").setChecked(0, true);
    f.checkList("选择列表框1").setCurrentIndex(0);
    ui::processPendingEvents();
    EXPECT_EQ(events, 0);

    // The user's click does raise it.
    QTest::mouseClick(f.checkBox("选择框1").widget(), Qt::LeftButton);
    EXPECT_EQ(events, 1);
    EXPECT_FALSE(f.checkBox("选择框1").isChecked());
}

TEST_F(EventRules, ComboSelectionClampsAndKeepsItemValues) {
    ui::ComboBox combo = f.combo("组合框_排序类型");
    EXPECT_EQ(combo.currentIndex(), -1);
    for (int i = 0; i < 4; ++i) combo.addItem(G("项") + std::to_string(i), 10 + i);
    EXPECT_EQ(combo.currentIndex(), -1);  // adding selects nothing
    EXPECT_EQ(combo.currentValue(), -1);
    combo.setCurrentIndex(99);
    EXPECT_EQ(combo.currentIndex(), 3);
    EXPECT_EQ(combo.currentValue(), 13);
    combo.setCurrentIndex(-1);
    EXPECT_EQ(combo.currentIndex(), -1);
    combo.setCurrentIndex(2);
    combo.setCurrentIndex(-7);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.itemValue(4), -1);
    EXPECT_EQ(combo.itemText(-1), "");
    // The user's choice raises item selected.
    int chosen = -1;
    f.on("组合框_排序类型", ui::Event::ItemSelected, [&](int i) { chosen = i; });
    auto* qcombo = static_cast<QComboBox*>(combo.widget());
    combo.setFocus();
    QTest::keyClick(qcombo, Qt::Key_Down);
    EXPECT_EQ(chosen, 0);
}

TEST_F(EventRules, FocusMoveRunsLostThenGotBeforeTheMoverGoesOn) {
    f.on("编辑框1", ui::Event::GotFocus, [&] { log.push_back("got1"); });
    f.on("编辑框1", ui::Event::LostFocus, [&] { log.push_back("lost1"); });
    f.on("编辑框2", ui::Event::GotFocus, [&] { log.push_back("got2"); });
    f.on("按钮1", ui::Event::Clicked, [&] {
        log.push_back("before");
        f.edit("编辑框2").setFocus();
        log.push_back("after");
    });
    f.edit("编辑框1").setFocus();
    ASSERT_EQ(log, (std::vector<std::string>{"got1"}));
    log.clear();
    // Clicked from the keyboard, so the button does not take the focus first.
    static_cast<QAbstractButton*>(f.button("按钮1").widget())->click();
    EXPECT_EQ(log, (std::vector<std::string>{"before", "lost1", "got2", "after"}));
    EXPECT_TRUE(f.edit("编辑框2").hasFocus());
}

TEST_F(EventRules, KeysArriveWithWindowsCodes) {
    std::vector<int> pressed, released, typed;
    f.on("编辑框2", ui::Event::KeyPressed, [&](int k) { pressed.push_back(k); });
    f.on("编辑框2", ui::Event::KeyReleased, [&](int k) { released.push_back(k); });
    f.on("按钮1", ui::Event::CharTyped, [&](int c) { typed.push_back(c); });
    ui::EditBox edit = f.edit("编辑框2");
    edit.setFocus();
    for (Qt::Key k : {Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Space, Qt::Key_Up, Qt::Key_Down, Qt::Key_A})
        QTest::keyClick(edit.widget(), k);
    const std::vector<int> codes{13, 8, 32, 38, 40, 65};
    EXPECT_EQ(pressed, codes);
    EXPECT_EQ(released, codes);
    // Keys a control passes on to its parent are not raised again there.
    int parentKeys = 0;
    f.on("分组框1", ui::Event::KeyPressed, [&] { ++parentKeys; });
    f.radio("单选框1").setFocus();
    QTest::keyClick(f.radio("单选框1").widget(), Qt::Key_Return);
    EXPECT_EQ(parentKeys, 0);

    f.button("按钮1").setFocus();
    QTest::keyClick(f.button("按钮1").widget(), Qt::Key_Return);
    EXPECT_EQ(typed, std::vector<int>{13});
}

TEST_F(EventRules, LeftButtonPressAndReleaseOverAControl) {
    std::vector<std::string> seen;
    f.on("图片框1", ui::Event::LeftButtonPressed, [&] { seen.push_back("down"); });
    f.on("图片框1", ui::Event::LeftButtonReleased, [&] { seen.push_back("up"); });
    QWidget* picture = f.picture("图片框1").widget();
    QTest::mousePress(picture, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(picture, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(picture, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(seen, (std::vector<std::string>{"down", "up"}));
}

TEST_F(EventRules, ListItemSelectedByTheUserAlsoForTheSameItem) {
    ui::CheckListBox tables = f.checkList("选择列表框1");
    for (const char* t : {"[a]", "[b]", "[c]"}) tables.addItem(t);
    std::vector<int> chosen;
    f.on("选择列表框1", ui::Event::ItemSelected, [&](int i) { chosen.push_back(i); });
    auto* list = static_cast<QListWidget*>(tables.widget());
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(chosen, (std::vector<int>{1, 1, 2}));
    EXPECT_EQ(tables.currentIndex(), 2);
    // Marks are the program's: set and clear, outside the list nothing.
    tables.setChecked(2, true);
    tables.setChecked(7, true);
    tables.setChecked(-1, true);
    EXPECT_TRUE(tables.isChecked(2));
    EXPECT_FALSE(tables.isChecked(0));
    EXPECT_EQ(tables.itemText(5), "");
}

// currentIndex() read the selection, which Qt moves only after the current-row signal: a
// handler saw -1 or the previous item after a mouse click.
TEST_F(EventRules, CurrentIndexIsTheChosenItemInsideTheItemSelectedHandler) {
    for (const char* name : {"选择列表框1", "列表框1"}) {
        SCOPED_TRACE(name);
        ui::ListBox list = f.listBox(name);
        for (const char* t : {"a", "b", "c"}) list.addItem(t);
        std::vector<std::pair<int, int>> seen;  // (event's index, currentIndex() then)
        f.on(name, ui::Event::ItemSelected, [&](int i) { seen.emplace_back(i, list.currentIndex()); });
        auto* widget = static_cast<QListWidget*>(list.widget());
        auto click = [&](int row) {
            QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, widget->visualItemRect(widget->item(row)).center());
        };
        click(1);
        click(2);
        click(2);
        QTest::keyClick(widget, Qt::Key_Up);
        const std::vector<std::pair<int, int>> expected{{1, 1}, {2, 2}, {2, 2}, {1, 1}};
        EXPECT_EQ(seen, expected);
        EXPECT_EQ(ui::CheckListBox(&f, widget).currentIndex(), 1);
        list.clear();
        EXPECT_EQ(list.currentIndex(), -1);
    }
}

TEST_F(EventRules, SortedListBoxKeepsChineseOrder) {
    ui::ListBox list = f.listBox("列表框1");
    ASSERT_TRUE(list.isSorted());
    for (const char* v : {"张三", "李四", "Bob", "alice", "王五"}) list.addItem(G(v), 7);
    std::vector<std::string> order;
    for (int i = 0; i < list.count(); ++i) order.push_back(codepage::gbkToUtf8(list.itemText(i)));
    EXPECT_EQ(order, (std::vector<std::string>{"alice", "Bob", "李四", "王五", "张三"}));
    EXPECT_EQ(list.itemData(0), 7);
    EXPECT_EQ(list.itemText(9), "");
    list.setCurrentIndex(9);
    EXPECT_EQ(list.currentIndex(), -1);
    list.clear();
    EXPECT_EQ(list.count(), 0);
}

// Many items at once land where one by one puts them: equal texts (by the list's
// case-blind order) keep the order given, each with its own item data.
TEST_F(EventRules, SortedListBoxTakesManyItemsInTheSamePlaces) {
    ui::ListBox list = f.listBox("列表框1");
    std::vector<std::string> texts;
    for (const char* v : {"张三", "zhang", "1班", "Zhang", "李四", "", "ZHANG", "张三", "阿", "b", "A"})
        texts.push_back(G(v));
    const std::vector<std::string> more{G("阿"), "a"};
    auto contents = [&list] {
        std::vector<std::pair<std::string, int64_t>> items;
        for (int i = 0; i < list.count(); ++i) items.emplace_back(list.itemText(i), list.itemData(i));
        return items;
    };
    for (size_t k = 0; k < texts.size(); ++k) list.addItem(texts[k], static_cast<int64_t>(k) + 5);
    const auto firstOneByOne = contents();
    for (size_t k = 0; k < more.size(); ++k) list.addItem(more[k], static_cast<int64_t>(k));
    const auto oneByOne = contents();
    list.clear();
    list.addItems(texts, 5);
    EXPECT_EQ(contents(), firstOneByOne);
    // Into a list that has items already, each goes to its place as well.
    list.addItems(more, 0);
    EXPECT_EQ(contents(), oneByOne);

    // A subset of the texts taken in the order sortOrder gives once for all of them lands
    // where adding the subset one by one puts it: what a caller listing matches relies on.
    // Texts the codec cannot read whole (a cut character, a lone lead byte before ASCII)
    // keep their own reading beside the others.
    texts.push_back("ab\xD5");
    texts.push_back("\x81 a");
    texts.push_back(G("张三"));
    const std::vector<int> order = list.sortOrder(texts);
    for (size_t skip : {size_t{0}, size_t{1}, size_t{3}}) {
        list.clear();
        std::vector<std::string> subset;
        std::vector<int64_t> data;
        for (int k : order) {
            if (static_cast<size_t>(k) % 4 == skip) continue;
            subset.push_back(texts[static_cast<size_t>(k)]);
            data.push_back(k * 10);
        }
        list.addItemsInOrder(subset, data);
        const auto inOrder = contents();
        list.clear();
        for (size_t k = 0; k < texts.size(); ++k)
            if (k % 4 != skip) list.addItem(texts[k], static_cast<int64_t>(k) * 10);
        EXPECT_EQ(inOrder, contents()) << "without every fourth text from " << skip;
    }
}

TEST_F(EventRules, PageChangedAndHeaderClickedComeFromTheUser) {
    int page = -1, column = -1;
    f.on("选择夹1", ui::Event::PageChanged, [&](int p) { page = p; });
    f.on("list", ui::Event::HeaderClicked, [&](int c) { column = c; });
    auto* tabs = static_cast<QTabWidget*>(f.tabs("选择夹1").widget());
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    EXPECT_EQ(page, 1);

    ui::ReportList list = f.reportList("list");
    list.addColumn(G("姓名"), 105, ui::ReportList::Align::Centre);
    list.addColumn(G("班级"), 105, ui::ReportList::Align::Centre);
    auto* header = static_cast<QTableView*>(list.widget())->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    EXPECT_EQ(column, 1);
}

TEST_F(EventRules, CopiedControlRunsTheOriginalsHandlers) {
    ui::RadioButton original = f.radio("单选框1");
    original.setTag("1");
    std::vector<std::string> tags;
    f.on("单选框1", ui::Event::Clicked, [&] { tags.push_back(f.eventSource().tag()); });
    ui::RadioButton copy = f.copy(original);
    ASSERT_TRUE(copy.isValid());
    EXPECT_FALSE(copy.isVisible());
    EXPECT_EQ(copy.caption(), original.caption());
    EXPECT_EQ(copy.width(), 120);
    EXPECT_EQ(copy.tag(), "1");
    copy.setTag("2");
    copy.setLeft(original.left() + copy.width());
    copy.setVisible(true);
    QTest::mouseClick(copy.widget(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(original.widget(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(tags, (std::vector<std::string>{"2", "1"}));
    EXPECT_FALSE(copy.isChecked());  // same group as the original
    EXPECT_FALSE(f.eventSource().isValid());
}

TEST_F(EventRules, ProgressBarAboveMaximumShowsFull) {
    ui::ProgressBar bar = f.progressBar("进度条_列表");
    bar.setRange(0, 100);
    bar.setPosition(450);
    EXPECT_EQ(bar.position(), 450);
    EXPECT_EQ(static_cast<QProgressBar*>(bar.widget())->value(), 100);
    bar.setPosition(501 % 500);
    EXPECT_EQ(static_cast<QProgressBar*>(bar.widget())->value(), 1);
}

// Every position painted the bar at once, which made a long fill spend its time painting.
TEST_F(EventRules, ProgressBarRepaintsWhenEventsRunNotAtEachPosition) {
    ui::ProgressBar bar = f.progressBar("进度条_列表");
    auto* widget = static_cast<QProgressBar*>(bar.widget());
    bar.setVisible(true);
    ui::processPendingEvents();
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    widget->installEventFilter(&counter);
    bar.setRange(0, 10);
    std::vector<int> values;
    QObject::connect(widget, &QProgressBar::valueChanged, widget, [&](int v) { values.push_back(v); });
    for (int p = 1; p <= 5; ++p) bar.setPosition(p);
    EXPECT_EQ(counter.paints, 0);
    EXPECT_EQ(values, (std::vector<int>{1, 2, 3, 4, 5}));  // each value still set at once
    EXPECT_EQ(widget->value(), 5);
    ASSERT_TRUE(waitFor([&] { return counter.paints > 0; }));
    EXPECT_TRUE(widget->updatesEnabled());
    widget->removeEventFilter(&counter);
}

// --- the window's life ---

class WindowLife : public RuntimeTest {};

TEST_F(WindowLife, CreatedRunsInsideTheLoad) {
    ui::Form f;
    bool ran = false;
    f.on(ui::WindowEvent::Created, [&] {
        ran = true;
        EXPECT_TRUE(f.isLoaded());
        EXPECT_EQ(f.edit("编辑框1").text(), G("样例"));
        f.setCaption(G("标题"));
    });
    ASSERT_TRUE(f.load(form("测试窗口.ui")));
    EXPECT_TRUE(ran);
    EXPECT_EQ(f.caption(), G("标题"));
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(f.load(form("测试窗口.ui")));  // already loaded
    ui::Form missing;
    EXPECT_FALSE(missing.load(form("没有这个窗口.ui")));
    EXPECT_FALSE(missing.isLoaded());
}

TEST_F(WindowLife, CreatedHandlerMayKeepTheWindowHidden) {
    ui::Form f;
    f.on(ui::WindowEvent::Created, [&] { f.setVisible(false); });
    ASSERT_TRUE(f.load(form("小窗口.ui")));
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(f.isLoaded());
}

TEST_F(WindowLife, DestroyTakesEffectAfterTheRunningHandler) {
    ui::Form f;
    std::vector<std::string> seen;
    f.on(ui::WindowEvent::AboutToBeDestroyed, [&] { seen.push_back("destroyed"); });
    f.on("按钮_关闭", ui::Event::Clicked, [&] {
        f.destroy();
        f.destroy();  // twice is once
        seen.push_back(f.isLoaded() ? "still loaded" : "gone");
        f.button("按钮_关闭").setCaption("x");
    });
    ASSERT_TRUE(f.load(form("小窗口.ui")));
    QTest::mouseClick(f.button("按钮_关闭").widget(), Qt::LeftButton);
    EXPECT_EQ(seen, std::vector<std::string>{"still loaded"});
    ASSERT_TRUE(waitFor([&] { return !f.isLoaded(); }));
    EXPECT_EQ(seen, (std::vector<std::string>{"still loaded", "destroyed"}));
    EXPECT_EQ(f.window(), nullptr);
}

// Regression: a window closed while a handler let events run (a long list fill repaints)
// was destroyed inside that handler, under code that still used it.
TEST_F(WindowLife, AWindowClosedWhileAHandlerLetsEventsRunGoesWhenThatHandlerReturns) {
    ui::Form f;
    std::vector<std::string> seen;
    f.on(ui::WindowEvent::AboutToBeDestroyed, [&] { seen.push_back("destroyed"); });
    f.on("按钮_关闭", ui::Event::Clicked, [&] {
        f.window()->close();
        ui::processPendingEvents();
        QTest::qWait(5);
        seen.push_back(f.isLoaded() ? "still loaded" : "gone");
    });
    ASSERT_TRUE(f.load(form("小窗口.ui")));
    QTest::mouseClick(f.button("按钮_关闭").widget(), Qt::LeftButton);
    EXPECT_EQ(seen, (std::vector<std::string>{"still loaded", "destroyed"}));
    EXPECT_FALSE(f.isLoaded());
}

TEST_F(WindowLife, OwnedWindowsGoBeforeTheirOwner) {
    ui::Form owner, owned;
    std::vector<std::string> order;
    owner.on(ui::WindowEvent::AboutToBeDestroyed, [&] { order.push_back("owner"); });
    owned.on(ui::WindowEvent::AboutToBeDestroyed, [&] { order.push_back("owned"); });
    ASSERT_TRUE(owner.load(form("测试窗口.ui")));
    ASSERT_TRUE(owned.load(form("小窗口.ui"), &owner));
    EXPECT_EQ(owned.owner(), &owner);
    owner.setVisible(false);
    EXPECT_TRUE(owned.isVisible());  // hiding the owner leaves the owned window shown
    owner.destroy();
    ASSERT_TRUE(waitFor([&] { return !owner.isLoaded(); }));
    EXPECT_FALSE(owned.isLoaded());
    EXPECT_EQ(order, (std::vector<std::string>{"owned", "owner"}));
}

// An owned window came up at (0, 0) instead of where its form places it.
TEST_F(WindowLife, WindowsKeepTheirFormPositionOwnedOrNot) {
    ui::Form owner, owned, alone;
    ASSERT_TRUE(owner.load(form("测试窗口.ui")));
    ASSERT_TRUE(owned.load(form("定位窗口.ui"), &owner));
    ASSERT_TRUE(alone.load(form("定位窗口.ui")));
    ui::processPendingEvents();
    for (ui::Form* f : {&owned, &alone}) {
        EXPECT_EQ(f->window()->pos(), QPoint(50, 60));
        EXPECT_EQ(f->window()->size(), QSize(200, 100));
        EXPECT_EQ(f->left(), 50);
        EXPECT_EQ(f->top(), 60);
    }
}

TEST_F(WindowLife, FirstActivationArrivesOnceWhereNothingActivatesWindows) {
    ui::Form f;
    int activations = 0;
    f.on(ui::WindowEvent::FirstActivated, [&] { ++activations; });
    ASSERT_TRUE(f.load(form("小窗口.ui")));
    ASSERT_TRUE(waitFor([&] { return activations > 0; }));
    f.setVisible(false);
    f.setVisible(true);
    ui::processPendingEvents();
    QTest::qWait(20);
    EXPECT_EQ(activations, 1);
}

TEST_F(WindowLife, LoopEndsWithZeroWhenTheLastWindowIsGone) {
    ui::Form first, second;
    bool cleaned = false;
    ui::atExit([&] { cleaned = true; });
    first.on(ui::WindowEvent::FirstActivated, [&] {
        // The start window's pattern: open the next window, then go.
        ASSERT_TRUE(second.load(form("小窗口.ui")));
        first.destroy();
    });
    second.on(ui::WindowEvent::FirstActivated, [&] { second.destroy(); });
    ASSERT_TRUE(first.load(form("测试窗口.ui")));
    EXPECT_EQ(app().exec(), 0);
    EXPECT_FALSE(first.isLoaded());
    EXPECT_FALSE(second.isLoaded());
    EXPECT_TRUE(cleaned);
    EXPECT_EQ(app().exec(), 0);  // no window: returns at once
}

TEST_F(WindowLife, ClosingTheWindowDestroysIt) {
    ui::Form f;
    int destroyed = 0;
    f.on(ui::WindowEvent::AboutToBeDestroyed, [&] { ++destroyed; });
    ASSERT_TRUE(f.load(form("小窗口.ui")));
    f.window()->close();
    ASSERT_TRUE(waitFor([&] { return !f.isLoaded(); }));
    EXPECT_EQ(destroyed, 1);
}

TEST_F(WindowLife, WindowPropertiesHold) {
    ui::Form f;
    ASSERT_TRUE(f.load(form("测试窗口.ui")));
    f.setFixedSize();
    EXPECT_EQ(f.window()->minimumSize(), f.window()->maximumSize());
    EXPECT_FALSE(f.window()->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    f.setRoundedRegion();
    const QRegion mask = f.window()->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));  // corner cut off
    EXPECT_TRUE(mask.contains(QPoint(f.width() / 2, f.height() / 2)));
    EXPECT_TRUE(mask.contains(QPoint(f.width() / 2, 1)));
    f.setTopMost(true);
    EXPECT_TRUE(f.isTopMost());
    EXPECT_TRUE(f.isVisible());
    f.setTopMost(false);
    EXPECT_FALSE(f.isTopMost());
    f.setVisible(false);
    f.showNormal();  // a hidden window stays hidden
    EXPECT_FALSE(f.isVisible());
}

TEST_F(WindowLife, TrayIconTipAndEvents) {
    ui::Form f;
    std::vector<int> types;
    f.on(ui::WindowEvent::TrayEvent, [&](int t) { types.push_back(t); });
    ASSERT_TRUE(f.load(form("小窗口.ui")));
    // 61 ASCII bytes then a two-byte character: the character would be cut, so it goes.
    const std::string tip = std::string(61, 'x') + G("班级");
    f.setTrayIcon(tip);
    EXPECT_TRUE(f.hasTrayIcon());
    EXPECT_EQ(f.trayTip(), std::string(61, 'x'));
    EXPECT_EQ(ui::trayTipOf(std::string(60, 'y') + G("班级")), std::string(60, 'y') + G("班"));
    for (int t : {1, 2, 3, 4}) f.raiseTrayEvent(t);
    EXPECT_EQ(types, (std::vector<int>{1, 2, 3}));
    f.destroy();
    ASSERT_TRUE(waitFor([&] { return !f.isLoaded(); }));
    EXPECT_FALSE(f.hasTrayIcon());
}

TEST_F(WindowLife, MarkerFollowsTheMouseUntilTheButtonIsReleased) {
    ui::Form f;
    ASSERT_TRUE(f.load(form("测试窗口.ui")));
    ui::PictureBox marker = f.picture("图片框_数字");
    f.on("图片框_数字", ui::Event::LeftButtonPressed, [&] { ui::dragUntilButtonReleased(marker); });
    QWidget* board = f.board("画板_结果照片").widget();
    QTimer::singleShot(10, [&] {
        QTest::mouseMove(board, QPoint(40, 60));
        QTest::mouseRelease(board, Qt::LeftButton, {}, QPoint(40, 60));
    });
    // Pressed at (20, 103) of the board (5, 3 inside the marker), let go at (40, 60).
    QTest::mousePress(marker.widget(), Qt::LeftButton, {}, QPoint(5, 3));
    EXPECT_EQ(marker.left(), 15 + 20);
    EXPECT_EQ(marker.top(), 100 - 43);
}

}  // namespace

namespace {

// A handler bound to a control the form lacks would never run; the load refuses the form.
TEST(FormBinding, AHandlerForAControlTheFormLacksFailsTheLoad) {
    app();
    ui::Form misspelt;
    misspelt.on("按钮1", ui::Event::Clicked, [] {});
    misspelt.on("按钮_不存在", ui::Event::Clicked, [] {});
    misspelt.on("编辑框_也不存在", ui::Event::ContentChanged, [] {});
    EXPECT_FALSE(misspelt.load(form("测试窗口.ui")));
    EXPECT_FALSE(misspelt.isLoaded());
    EXPECT_NE(misspelt.loadError().find("按钮_不存在"), std::string::npos) << misspelt.loadError();
    EXPECT_NE(misspelt.loadError().find("编辑框_也不存在"), std::string::npos);
    EXPECT_EQ(misspelt.loadError().find("按钮1"), std::string::npos);

    misspelt.on("按钮_不存在", ui::Event::Clicked, std::function<void()>());  // unbinding counts
    misspelt.on("编辑框_也不存在", ui::Event::ContentChanged, std::function<void()>());
    EXPECT_TRUE(misspelt.load(form("测试窗口.ui")));
    EXPECT_EQ(misspelt.loadError(), "");
}

}  // namespace
