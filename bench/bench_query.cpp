// Benchmarks of the query program's searches on 100,000 rows x 11 columns of each file
// kind, through its real windows (offscreen):
//  - FirstSearch: the query window's search for "*" on a file not read before (the table
//    cache emptied): record window created, file loaded, list filled, row 0 shown;
//  - RepeatSearchName / RepeatSearchAll: the record window's second search on the loaded
//    table, for one name (LIKE over every row, a few hundred hits) and for "*";
//  - FillList: 填充列表 alone on an opened record set of every row;
//  - ReadRecords: the same record set read field by field as the fill reads it, without
//    the list: the share of the fill that is the database component's.
//
// Data lies in /tmp/lookup-bench-query (kept between runs): the CSV written here, the
// dBASE and .xls files made from it by make_bench_files.py (dBASE field names XH, XM, ...,
// which the display fields must spell exactly) (.xls holds 65,535 rows, the
// most a sheet can), the Access file unpacked from the shared fixture (9 columns; two
// display fields repeat to make 11). Kinds whose file cannot be made are left out.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "common/paths.h"
#include "platform/database/table_cache.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "query/globals.h"
#include "query/program.h"
#include "query/query_window.h"
#include "query/record_window.h"
#include "query/start_window.h"

namespace {

const std::string kDir = "/tmp/lookup-bench-query/";
constexpr int kRows = 100000;

struct Kind {
    std::string name;       // benchmark label
    std::string file;       // data file (local path)
    std::vector<std::string> display;  // display1..10 and 标记字段 (UTF-8)
    std::string searchField, searchName;  // UTF-8
    bool asksPassword = false;
};

// The rows make_bench_files.py expects: 序号, 姓名, 班级, 性别, 出生日期, 成绩 (sometimes
// empty), 学号, 地址, 电话, 备注 (sometimes empty), 邮箱.
void writeCsv(const std::string& path) {
    const char* surnames[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄", "周", "吴", "欧阳", "司马"};
    const char* given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟", "涛"};
    const char* classes[] = {"一班", "二班", "三班", "四班"};
    uint64_t seed = 4242;
    auto next = [&seed](uint64_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((seed >> 33) % n);
    };
    std::string out = "序号,姓名,班级,性别,出生日期,成绩,学号,地址,电话,备注,邮箱\r\n";
    char line[512];
    for (int i = 1; i <= kRows; ++i) {
        const std::string name = std::string(surnames[next(12)]) + given[next(15)] + (next(2) ? given[next(15)] : "");
        const std::string score = i % 17 == 0 ? "" : std::to_string(40 + next(60)) + "." + std::to_string(next(10));
        std::snprintf(line, sizeof line, "%d,%s,%s,%s,%04d-%02d-%02d,%s,%d,人民路%d号,%lld,%s,p%d@example.com\r\n", i,
                      name.c_str(), classes[next(4)], next(2) ? "男" : "女", 2008 + next(6), 1 + next(12),
                      1 + next(28), score.c_str(), 20260000 + i, 1 + next(300), 13800000000LL + next(100000000),
                      i % 5 == 0 ? "note" : "", i);
        out += line;
    }
    std::ofstream(path, std::ios::binary) << codepage::utf8ToGbk(out);
}

std::vector<Kind> prepareKinds() {
    std::filesystem::create_directories(kDir);
    const std::string csv = kDir + "pupils.csv";
    if (!std::filesystem::exists(csv)) writeCsv(csv);
    std::string missing;
    for (const char* kind : {"dbf", "xls"})
        if (!std::filesystem::exists(kDir + "pupils." + kind)) missing += std::string(" ") + kind;
    if (!missing.empty()) {
        std::fprintf(stderr, "making%s with make_bench_files.py (once)...\n", missing.c_str());
        const std::string command =
            "/usr/bin/python3 " LOOKUP_BENCH_DIR "/make_bench_files.py " + csv + " " + kDir + missing;
        if (std::system(command.c_str()) != 0) std::fprintf(stderr, "make_bench_files.py failed\n");
    }
    const std::string mdb = kDir + "pupils_100k.mdb";
    const std::string packed = LOOKUP_SHARED_DIR "/fixtures/mdb/pupils_100k.mdb.gz";
    if (!std::filesystem::exists(mdb) && std::filesystem::exists(packed))
        std::system(("gunzip -c " + packed + " > " + mdb).c_str());

    const std::vector<std::string> chinese = {"序号", "姓名", "班级", "性别", "出生日期", "成绩",
                                              "学号", "地址", "电话", "备注", "邮箱"};
    std::vector<Kind> kinds;
    kinds.push_back({"csv", csv, chinese, "姓名", "欧阳伟"});
    if (std::filesystem::exists(kDir + "pupils.dbf"))
        kinds.push_back({"dbf", kDir + "pupils.dbf",
                         {"XH", "XM", "BJ", "XB", "CSRQ", "CJ", "XUEHAO", "DZ", "DH", "BZ", "YX"}, "XM", "欧阳伟"});
    if (std::filesystem::exists(kDir + "pupils.xls")) kinds.push_back({"xls", kDir + "pupils.xls", chinese, "姓名", "欧阳伟"});
    if (std::filesystem::exists(mdb))
        kinds.push_back({"mdb", mdb,
                         {"序号", "姓名", "班级", "性别", "出生日期", "成绩", "学号", "在校", "备注", "姓名", "班级"},
                         "姓名", "王",
                         true});
    return kinds;
}

std::string G(const std::string& utf8) { return codepage::utf8ToGbk(utf8); }

void pumpUntil(const std::function<bool()>& done) {
    for (int k = 0; k < 100000 && !done(); ++k) QCoreApplication::processEvents();
}

// Starts the program on `kind` (once per kind): its own program directory and quillmar.ini.
query::查询窗口& programFor(const Kind& kind) {
    static std::string current;
    if (current == kind.name && query::queryWindow()) return *query::queryWindow();
    query::releaseWindows();
    query::释放全局变量();
    const std::string dir = kDir + "program-" + kind.name;
    std::filesystem::create_directories(dir);
    std::string ini = "[database]\r\ndbname=" + kind.file + "\r\n[search]\r\nsearchname1=" + kind.searchField +
                      "\r\n[display]\r\n";
    for (int k = 1; k <= 10; ++k) ini += "display" + std::to_string(k) + "=" + kind.display[k - 1] + "\r\n";
    ini += "[photo]\r\n标记字段=" + kind.display[10] + "\r\n[reg]\r\nlogo=bench\r\n";
    std::ofstream(dir + "/quillmar.ini", std::ios::binary | std::ios::trunc) << G(ini);
    paths::overrideProgramDirectory(dir);
    ui::dialogs::script::reset();
    if (kind.asksPassword) ui::dialogs::script::answerInput(std::string());
    query::startProgram();
    pumpUntil([] { return query::queryWindow() && !query::startWindow()->form().isLoaded(); });
    current = kind.name;
    return *query::queryWindow();
}

void closeRecordWindow(query::查询窗口& window) {
    if (query::采像窗口* record = window.recordWindow()) record->form().destroy();
    pumpUntil([&] { return window.recordWindow() == nullptr; });
}

query::采像窗口& openRecordWindow(query::查询窗口& window) {
    if (!window.recordWindow()) {
        window.form().edit("编辑框1").setText("*");
        window.按钮1_被单击_查询();
    }
    return *window.recordWindow();
}

void firstSearch(benchmark::State& state, const Kind& kind) {
    query::查询窗口& window = programFor(kind);
    for (auto _ : state) {
        state.PauseTiming();
        closeRecordWindow(window);
        db::TableCache::instance().clear();
        window.form().edit("编辑框1").setText("*");
        state.ResumeTiming();
        window.按钮1_被单击_查询();
    }
    state.counters["rows"] = query::行计数;
}

void repeatSearch(benchmark::State& state, const Kind& kind, const std::string& textUtf8) {
    query::采像窗口& record = openRecordWindow(programFor(kind));
    record.form().edit("查询编辑框").setText(G(textUtf8));
    for (auto _ : state) record.查询按钮_被单击();
    state.counters["rows"] = query::行计数;
}

void fillList(benchmark::State& state, const Kind& kind) {
    query::采像窗口& record = openRecordWindow(programFor(kind));
    for (auto _ : state) {
        state.PauseTiming();
        query::结果记录集 = record.外部数据库1.openRecordSet("select * from " + query::当前表名 + " ");
        state.ResumeTiming();
        record.填充列表();
    }
    state.counters["rows"] = query::行计数;
}

void readRecords(benchmark::State& state, const Kind& kind) {
    query::采像窗口& record = openRecordWindow(programFor(kind));
    db::ExternalDatabase& database = record.外部数据库1;
    long cells = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int set = database.openRecordSet("select * from " + query::当前表名 + " ");
        std::vector<int> numbers;
        const std::vector<std::string> names = database.fieldNames(set);
        for (const std::string& field : query::显示字段数组)
            for (size_t k = 0; k < names.size(); ++k)
                if (names[k] == field) {
                    numbers.push_back(static_cast<int>(k) + 1);
                    break;
                }
        state.ResumeTiming();
        cells = 0;
        for (; !database.atEnd(set); database.moveNext(set))
            for (int number : numbers) {
                benchmark::DoNotOptimize(database.fieldText(set, number));
                ++cells;
            }
        database.closeRecordSet(set);
    }
    state.counters["cells"] = static_cast<double>(cells);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    static const std::vector<Kind> kinds = prepareKinds();
    for (const Kind& kind : kinds) {
        benchmark::RegisterBenchmark(("FirstSearch/" + kind.name).c_str(), firstSearch, kind)
            ->Unit(benchmark::kMillisecond)->Iterations(3);
        benchmark::RegisterBenchmark(("RepeatSearchName/" + kind.name).c_str(), repeatSearch, kind, kind.searchName)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("RepeatSearchAll/" + kind.name).c_str(), repeatSearch, kind, std::string("*"))
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("FillList/" + kind.name).c_str(), fillList, kind)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("ReadRecords/" + kind.name).c_str(), readRecords, kind)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    query::releaseWindows();
    benchmark::Shutdown();
    return 0;
}
