// Benchmarks of a candidate keystroke in the record window (offscreen) over 20,000
// distinct names, with the pinyin option and without:
//  - Keystroke: one changed search text (typed initials, or a typed surname without the
//    option) on the open candidate record set, list filled and shown;
//  - FirstKeystroke: the same just after the search box got the focus (which read the
//    record set's values); with the option, the values' initials are asked of the library
//    at this first run;
//  - Frame: Keystroke and the events it leaves, the list's layout and paint among them;
//  - GotFocus: the search box getting the focus: connection, distinct-value record set and
//    the reading of its values.
// Before timing, each case's list is checked against the plain reading: every record of
// a fresh distinct-value record set, 取拼音 called for the typed text and the value, the
// matches added one by one to the sorted list (texts, order and item data must agree).
//
// Data lies in /tmp/lookup-bench-candidates (kept between runs).
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>
#include <string>
#include <vector>

#include "common/paths.h"
#include "text/codepage.h"
#include "text/gbk_text.h"
#include "platform/ui/application.h"
#include "query/globals.h"
#include "query/pinyin_reading.h"
#include "query/program.h"
#include "query/query_window.h"
#include "query/record_window.h"
#include "query/start_window.h"

namespace {

const std::string kDir = "/tmp/lookup-bench-candidates/";
constexpr int kNames = 20000;

std::string G(const std::string& utf8) { return codepage::utf8ToGbk(utf8); }

// 20,000 distinct names of a surname and one or two given characters, in a shuffled order.
void writeNames(const std::string& path) {
    const std::vector<std::string> surnames = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄", "周", "吴",
                                               "徐", "孙", "胡", "朱", "高", "林", "何", "郭", "马", "罗",
                                               "梁", "宋", "郑", "谢", "韩", "唐", "冯", "于", "董", "萧",
                                               "单", "曾", "解", "欧阳", "司马", "诸葛"};
    const std::vector<std::string> given = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋",
                                            "勇", "艳", "杰", "娟", "涛", "明", "超", "秀", "霞", "平",
                                            "刚", "桂", "英", "华", "玉", "兰", "飞", "鹏", "晨", "宇"};
    std::vector<std::string> names;
    for (const std::string& s : surnames)
        for (const std::string& a : given) {
            names.push_back(s + a);
            for (const std::string& b : given) names.push_back(s + a + b);
        }
    uint64_t seed = 2026;
    for (size_t k = names.size() - 1; k > 0; --k) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        std::swap(names[k], names[(seed >> 33) % (k + 1)]);
    }
    names.resize(kNames);
    std::string out = "序号,姓名,班级\r\n";
    for (int i = 0; i < kNames; ++i) out += std::to_string(i + 1) + "," + names[i] + ",一班\r\n";
    std::ofstream(path, std::ios::binary) << G(out);
}

void pumpUntil(bool (*done)()) {
    for (int k = 0; k < 100000 && !done(); ++k) QCoreApplication::processEvents();
}

// The program on the names, its record window open on every record.
query::采像窗口& recordWindow() {
    static query::采像窗口* record = nullptr;
    if (record) return *record;
    std::filesystem::create_directories(kDir);
    if (!std::filesystem::exists(kDir + "names.csv")) writeNames(kDir + "names.csv");
    std::ofstream(kDir + "quillmar.ini", std::ios::binary | std::ios::trunc)
        << G("[database]\r\ndbname=names.csv\r\n[search]\r\nsearchname1=姓名\r\n[display]\r\n"
             "display1=序号\r\ndisplay3=班级\r\ndisplay4=姓名\r\n[reg]\r\nlogo=bench\r\n");
    paths::overrideProgramDirectory(kDir.substr(0, kDir.size() - 1));
    query::startProgram();
    pumpUntil([] { return query::queryWindow() && !query::startWindow()->form().isLoaded(); });
    query::查询窗口& window = *query::queryWindow();
    window.form().edit("编辑框1").setText("*");
    window.按钮1_被单击_查询();
    record = window.recordWindow();
    return *record;
}

// What the list must hold for `typed`: every record of a fresh record set of the distinct
// names, matched as the candidate run describes, each with its number among the matches in
// record order as item data.
std::vector<std::pair<std::string, int64_t>> expected(const std::string& typed, bool pinyin) {
    db::ExternalDatabase database;
    database.open("ODBC;DBQ=" + query::dbname + ";Driver={Microsoft Text Driver (*.txt; *.csv)};");
    const int set = database.openRecordSet("select DISTINCT " + query::searchname1 + " from " + query::当前表名);
    std::vector<std::pair<std::string, int64_t>> matches;
    for (database.moveFirst(set); !database.atEnd(set); database.moveNext(set)) {
        const std::string v = database.fieldText(set, 1);
        const std::string a = pinyin ? query::取拼音(typed) : typed;
        const std::string b = pinyin ? query::取拼音(v) : v;
        if (gbk::beginsWith(b, a)) matches.emplace_back(v, static_cast<int64_t>(matches.size()));
    }
    return matches;
}

std::vector<std::pair<std::string, int64_t>> contents(ui::ListBox list) {
    std::vector<std::pair<std::string, int64_t>> items;
    for (int k = 0; k < list.count(); ++k) items.emplace_back(list.itemText(k), list.itemData(k));
    return items;
}

// The list must hold what adding the plain reading's matches one by one to the sorted list
// gives: the same texts in the same order with the same item data. Leaves the list so.
bool checkList(ui::ListBox list, const std::string& typed, bool pinyin) {
    const auto shown = contents(list);
    list.clear();
    for (const auto& [text, data] : expected(typed, pinyin)) list.addItem(text, data);
    if (shown == contents(list)) return true;
    std::fprintf(stderr, "the list for %s differs from the plain reading\n", codepage::gbkToUtf8(typed).c_str());
    return false;
}

// Two texts typed in turn, so that every keystroke is a counted change.
// With `frame`, the keystroke includes the events it leaves (the list's layout and paint).
void keystroke(benchmark::State& state, bool pinyin, std::string firstUtf8, std::string secondUtf8, bool cold,
               bool frame) {
    query::采像窗口& record = recordWindow();
    ui::Form& form = record.form();
    form.checkBox("声母查询选择框").setChecked(pinyin);
    ui::EditBox box = form.edit("查询编辑框");
    ui::ListBox list = form.listBox("列表框1");
    const std::string texts[2] = {G(firstUtf8), G(secondUtf8)};
    box.setFocus();
    for (const std::string& text : texts) {
        box.setText(text);
        if (!checkList(list, text, pinyin)) {
            state.SkipWithError("wrong candidates");
            return;
        }
    }
    int turn = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            form.button("查询按钮").setFocus();
            box.setFocus();
            state.ResumeTiming();
        }
        box.setText(texts[turn]);
        if (frame) QCoreApplication::processEvents();
        turn ^= 1;
    }
    state.counters["candidates"] = list.count();
}

void gotFocus(benchmark::State& state) {
    query::采像窗口& record = recordWindow();
    ui::Form& form = record.form();
    for (auto _ : state) {
        state.PauseTiming();
        form.button("查询按钮").setFocus();
        state.ResumeTiming();
        form.edit("查询编辑框").setFocus();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    struct Case {
        const char* name;
        bool pinyin;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"Pinyin/OneInitial", true, "z", "w"},
        {"Pinyin/TwoInitials", true, "zw", "wm"},
        {"Pinyin/TypedHanzi", true, "张伟", "王芳"},
        {"Pinyin/EveryValue", true, "?", "!"},
        {"AsTyped/Surname", false, "张", "王"},
    };
    for (const Case& c : cases) {
        benchmark::RegisterBenchmark((std::string("Keystroke/") + c.name).c_str(), keystroke, c.pinyin,
                                     std::string(c.first), std::string(c.second), false, false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("FirstKeystroke/") + c.name).c_str(), keystroke, c.pinyin,
                                     std::string(c.first), std::string(c.second), true, false)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("Frame/") + c.name).c_str(), keystroke, c.pinyin,
                                     std::string(c.first), std::string(c.second), false, true)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("GotFocus", gotFocus)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    query::releaseWindows();
    benchmark::Shutdown();
    return 0;
}
