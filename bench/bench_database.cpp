// Benchmarks of the database component: 100,000 rows x 11 columns of each file kind,
// and the two forms of .xlsx (inline strings, a shared-string table) at 65,535 and
// 1,000,000 rows.
//
// For every kind: a first load (open + "select * from [T] " + fetch every field as the
// record window does), the same with a LIKE condition, and then, on the loaded table, the
// second open of the unchanged file with select-all (also stepping through the rows
// without reading their fields, the engine's share), LIKE on a text and on a date column,
// and DISTINCT. For comparison, the sqlite3 shell importing the same CSV rows (.import) with
// and without the LIKE, Python's xlrd reading and filtering the .xls, and the peak memory of
// a whole dbquery run per kind against the file's size; and the field names the settings
// program reads from a workbook's first row.
//
// The sqlite3 shell imports a UTF-8 copy of the CSV with as many rows as the file
// measured: SQLite's LIKE reads UTF-8, and GBK bytes made it match several times the
// rows. Before any timing, each kind's LIKE must find as many rows, of as many, as the
// shell does on its CSV; the run stops otherwise, since a yardstick doing other work
// measures nothing.
//
// Data is made at start in /tmp/lookup-bench: the CSVs here, the dBASE, .xls and .xlsx
// files by make_bench_files.py (kept between runs; .xls holds 65,535 rows, the most a
// sheet can), the Access file by unpacking the shared fixture (skipped when absent).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "common/field_listing.h"
#include "text/codepage.h"
#include "platform/database/external_database.h"
#include "platform/database/table_cache.h"

namespace {

const std::string kDir = "/tmp/lookup-bench/";
constexpr int kRows = 100000;
constexpr int kSheetRows = 65535;       // the most an .xls sheet holds
constexpr int kLargeRows = 1000000;

struct Source {
    std::string kind;
    std::string connection;  // GBK, as the programs build it
    std::string table;       // GBK, bracketed
    std::string file;        // for the size
    std::string likeField, distinctField;  // GBK
    std::string dateField;                 // GBK; empty where the kind keeps dates as text
    std::string yardstick;                 // the UTF-8 CSV of the same rows, for the sqlite3 shell
    bool firstLoadOnly = false;            // the large files: first loads and memory only
};

std::string toGbk(const char* utf8) { return codepage::utf8ToGbk(utf8); }

// Deterministic rows: names from common surnames and given-name characters, four
// classes, dates of birth as text, a score missing in every 17th row. A shorter file
// holds the first rows of a longer one.
void writeCsv(const std::string& path, int rows) {
    const char* surnames[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄", "周", "吴", "欧阳", "司马"};
    const char* given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟", "涛"};
    const char* classes[] = {"一班", "二班", "三班", "四班"};
    const char* streets[] = {"人民路", "解放路", "中山路", "建设路", "和平街"};
    uint64_t seed = 12345;
    auto next = [&seed](uint64_t n) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return (seed >> 33) % n;
    };
    std::string out = "序号,姓名,班级,性别,出生日期,成绩,学号,地址,电话,备注,邮箱\r\n";
    char buffer[512];
    for (int i = 1; i <= rows; ++i) {
        std::string name = std::string(surnames[next(12)]) + given[next(15)] + (next(2) ? given[next(15)] : "");
        std::string score = i % 17 == 0 ? "" : std::to_string(40 + next(60)) + "." + std::to_string(next(10));
        std::snprintf(buffer, sizeof buffer, "%d,%s,%s,%s,%04d-%02d-%02d,%s,%d,%s%d号,%llu,%s,pupil%d@example.com\r\n", i,
                      name.c_str(), classes[next(4)], next(2) ? "男" : "女", 2008 + static_cast<int>(next(6)),
                      1 + static_cast<int>(next(12)), 1 + static_cast<int>(next(28)), score.c_str(), 20260000 + i,
                      streets[next(5)], 1 + static_cast<int>(next(300)), 13800000000ULL + next(100000000),
                      i % 5 == 0 ? "note" : "", i);
        out += buffer;
    }
    std::ofstream(path, std::ios::binary) << codepage::utf8ToGbk(out);
}

bool exists(const std::string& path) { return std::filesystem::exists(path); }

// The GBK CSV of `rows` rows, made when missing.
std::string csvOf(int rows) {
    const std::string path = kDir + (rows == kRows ? "pupils.csv" : "pupils_" + std::to_string(rows) + ".csv");
    if (!exists(path)) writeCsv(path, rows);
    return path;
}

// The same CSV in UTF-8, what the sqlite3 shell is given.
std::string utf8CsvOf(int rows) {
    const std::string gbk = csvOf(rows);
    const std::string path = gbk.substr(0, gbk.size() - 4) + "_utf8.csv";
    if (!exists(path)) {
        std::ifstream in(gbk, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(path, std::ios::binary) << codepage::gbkToUtf8(bytes);
    }
    return path;
}

// Runs make_bench_files.py for the kinds of `csv` not yet made; `files` are the files
// they make, in order.
void makeFiles(const std::string& csv, const std::vector<std::pair<std::string, std::string>>& kindsAndFiles) {
    std::string missing;
    for (const auto& [kind, file] : kindsAndFiles)
        if (!exists(file)) missing += " " + kind;
    if (missing.empty()) return;
    std::fprintf(stderr, "making%s of %s with make_bench_files.py (once)...\n", missing.c_str(), csv.c_str());
    const std::string command = "/usr/bin/python3 " LOOKUP_BENCH_DIR "/make_bench_files.py " + csv + " " + kDir + missing;
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "make_bench_files.py failed\n");
}
double megabytes(const std::string& path) {
    return exists(path) ? static_cast<double>(std::filesystem::file_size(path)) / 1e6 : 0;
}

long query(const Source& source, const std::string& sql, std::string& error, bool fetch = true);

// Writes every row of the source as UTF-8 CSV, the field names first, each value as the
// record window shows it.
void exportCsv(const Source& source, const std::string& path) {
    db::ExternalDatabase database;
    const int set = database.open(source.connection) ? database.openRecordSet("select * from " + source.table + " ") : 0;
    if (set == 0) return;
    auto quoted = [](const std::string& gbk) {
        std::string field = "\"";
        for (char c : codepage::gbkToUtf8(gbk)) field += c == '"' ? std::string("\"\"") : std::string(1, c);
        return field + "\"";
    };
    std::string out, line;
    for (const auto& n : database.fieldNames(set)) line += (line.empty() ? "" : ",") + quoted(n);
    out += line + "\r\n";
    for (; !database.atEnd(set); database.moveNext(set)) {
        line.clear();
        for (int c = 1; c <= database.fieldCount(set); ++c) line += (c > 1 ? "," : "") + quoted(database.fieldText(set, c));
        out += line + "\r\n";
    }
    std::ofstream(path, std::ios::binary) << out;
}

std::vector<Source> prepareSources() {
    std::filesystem::create_directories(kDir);
    const std::string csv = csvOf(kRows);
    makeFiles(csv, {{"dbf", kDir + "pupils.dbf"}, {"xls", kDir + "pupils.xls"}, {"xlsx", kDir + "pupils.xlsx"}});
    for (int rows : {kSheetRows, kLargeRows}) {
        const std::string stem = kDir + "pupils_" + std::to_string(rows);
        makeFiles(csvOf(rows), {{"xlsx", stem + ".xlsx"}, {"xlsx_shared", stem + "_shared.xlsx"}});
    }
    const std::string mdb = kDir + "pupils_100k.mdb";
    const std::string packed = LOOKUP_SHARED_DIR "/fixtures/mdb/pupils_100k.mdb.gz";
    if (!exists(mdb) && exists(packed)) std::system(("gunzip -c " + packed + " > " + mdb).c_str());

    const std::string name = toGbk("姓名"), klass = toGbk("班级"), born = toGbk("出生日期");
    std::vector<Source> sources;
    sources.push_back({"text", "ODBC;DBQ=" + kDir + ";Driver={Microsoft Text Driver (*.txt; *.csv)};Extensions=asc,csv,tab,txt;Persist Security Info=False;",
                       "[pupils.csv]", csv, name, klass, "", utf8CsvOf(kRows)});
    if (exists(kDir + "pupils.dbf"))
        sources.push_back({"dbase", "ODBC;DBQ=" + kDir + ";Driver={Microsoft dBASE Driver (*.dbf)};DriverID=277;",
                           "[pupils.dbf]", kDir + "pupils.dbf", "xm", "bj", "csrq", utf8CsvOf(kRows)});
    auto addWorkbook = [&](const std::string& kind, const std::string& file, int rows) {
        if (exists(file))
            sources.push_back({kind, "ODBC;DBQ=" + file + ";Driver={Microsoft Excel Driver (*.xls)};", "[Sheet1$]",
                               file, name, klass, born, utf8CsvOf(rows), rows == kLargeRows});
    };
    addWorkbook("xls", kDir + "pupils.xls", kSheetRows);
    addWorkbook("xlsx", kDir + "pupils.xlsx", kRows);
    for (int rows : {kSheetRows, kLargeRows}) {
        const std::string stem = kDir + "pupils_" + std::to_string(rows);
        addWorkbook("xlsx_inline_" + std::to_string(rows), stem + ".xlsx", rows);
        addWorkbook("xlsx_shared_" + std::to_string(rows), stem + "_shared.xlsx", rows);
    }
    if (exists(mdb))
        sources.push_back({"access", "ODBC;DBQ=" + mdb + ";DefaultDir=/tmp/lookup-bench;Driver={Microsoft Access Driver (*.mdb)};FIL=MS Access;",
                           "[" + toGbk("学生名单") + "]", mdb, name, klass, born, kDir + "pupils_100k_mdb_utf8.csv"});
    // The Access fixture holds rows of its own: the shell imports them as read here.
    if (exists(mdb) && !exists(sources.back().yardstick)) exportCsv(sources.back(), sources.back().yardstick);
    return sources;
}

// Opens, runs and reads every field of every row as text (or, without `fetch`, only
// steps through the rows); the row count, -1 on failure.
long query(const Source& source, const std::string& sql, std::string& error, bool fetch) {
    db::ExternalDatabase database;
    if (!database.open(source.connection)) return error = database.lastError(), -1;
    const int set = database.openRecordSet(sql);
    if (set == 0) return error = database.lastError(), -1;
    const int fields = database.fieldCount(set);
    long rows = 0;
    for (; !database.atEnd(set); database.moveNext(set), ++rows)
        for (int c = 1; fetch && c <= fields; ++c) benchmark::DoNotOptimize(database.fieldText(set, c));
    return rows;
}

void runQuery(benchmark::State& state, const Source& source, const std::string& sql, bool firstLoad,
              bool fetch = true) {
    std::string error;
    long rows = 0;
    if (!firstLoad && query(source, sql, error) < 0) {  // load once, outside the timing
        state.SkipWithError(codepage::gbkToUtf8(error).c_str());
        return;
    }
    for (auto _ : state) {
        if (firstLoad) {
            state.PauseTiming();
            db::TableCache::instance().clear();
            state.ResumeTiming();
        }
        rows = query(source, sql, error, fetch);
        if (rows < 0) {
            state.SkipWithError(codepage::gbkToUtf8(error).c_str());
            return;
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// The sqlite3 shell reading the same CSV into an in-memory database.
void sqliteShellImport(benchmark::State& state) {
    const std::string script = kDir + "import.sql";
    std::ofstream(script) << ".mode csv\n.import " << utf8CsvOf(kRows) << " t\nselect count(*) from t;\n";
    for (auto _ : state) {
        if (std::system(("sqlite3 :memory: < " + script + " > /dev/null").c_str()) != 0) {
            state.SkipWithError("sqlite3 shell failed");
            return;
        }
    }
}

// The LIKE of first_load_like as the sqlite3 shell runs it.
const char* const kShellLike = "姓名 like '%张%'";

// The sqlite3 shell importing the UTF-8 CSV of `rows` rows into an in-memory database and
// running the LIKE of first_load_like on them: the yardstick for a first load.
void sqliteShellImportLike(benchmark::State& state, const std::string& csv) {
    const std::string script = csv + ".sql";
    std::ofstream(script) << ".mode csv\n.import " << csv << " t\n.mode list\nselect * from t where " << kShellLike
                          << ";\n";
    for (auto _ : state) {
        if (std::system(("sqlite3 :memory: < " + script + " > /dev/null").c_str()) != 0) {
            state.SkipWithError("sqlite3 shell failed");
            return;
        }
    }
}

// The sqlite3 shell's count of the rows of a UTF-8 CSV and of those its LIKE finds;
// false when the shell fails.
bool shellCounts(const std::string& csv, long& all, long& hits) {
    const std::string script = csv + ".count.sql";
    std::ofstream(script) << ".mode csv\n.import " << csv << " t\n.mode list\n.separator ' '\n"
                          << "select count(*), total(" << kShellLike << ") from t;\n";
    FILE* pipe = ::popen(("sqlite3 :memory: < " + script).c_str(), "r");
    if (!pipe) return false;
    double total = -1;
    const bool read = std::fscanf(pipe, "%ld %lf", &all, &total) == 2;
    hits = static_cast<long>(total);
    return ::pclose(pipe) == 0 && read;
}

// Python's xlrd (Debian's python3-xlrd) reading the .xls and filtering the same rows,
// the plain reader the .xls first load is measured against. Interpreter start included.
void xlrdReadLike(benchmark::State& state) {
    const std::string script = kDir + "xlrd_like.py";
    std::ofstream(script) << "import sys, xlrd\n"
                             "sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
                             "hits = [sheet.row_values(r) for r in range(1, sheet.nrows) if '\\u5f20' in str(sheet.cell_value(r, 1))]\n"
                             "print(len(hits))\n";
    for (auto _ : state) {
        if (std::system(("/usr/bin/python3 " + script + " " + kDir + "pupils.xls > /dev/null").c_str()) != 0) {
            state.SkipWithError("python3-xlrd missing or failed");
            return;
        }
    }
}

// Peak resident memory of a whole dbquery run (load, select all, print), as dbquery
// reports it; -1 when the run fails.
long peakRssKb(const std::string& connection, const std::string& sql) {
    const std::string command = "'" LOOKUP_DBQUERY "' '" + codepage::gbkToUtf8(connection) + "' '" +
                                codepage::gbkToUtf8(sql) + "' 2>&1 >/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    char line[512];
    long kb = -1;
    while (std::fgets(line, sizeof line, pipe))
        if (const char* at = std::strstr(line, "peak memory ")) kb = std::atol(at + 12);
    return ::pclose(pipe) == 0 ? kb : -1;
}

// Peak memory against the file's size; "baseline" is dbquery on a one-row file, the cost
// of the program itself.
void peakMemory(benchmark::State& state, const Source& source) {
    const std::string tiny = kDir + "tiny/";
    std::filesystem::create_directories(tiny);
    std::ofstream(tiny + "one.csv") << "a\r\n1\r\n";
    long rss = 0, baseline = 0;
    for (auto _ : state) {
        rss = peakRssKb(source.connection, "select * from " + source.table + " ");
        baseline = peakRssKb("ODBC;DBQ=" + tiny + ";Driver={Microsoft Text Driver (*.txt; *.csv)};",
                             "select * from [one.csv] ");
    }
    if (rss < 0 || baseline < 0) {
        state.SkipWithError("dbquery failed");
        return;
    }
    const double file = megabytes(source.file);
    state.counters["file_MB"] = file;
    state.counters["peak_rss_MB"] = rss / 1e3;
    state.counters["baseline_MB"] = baseline / 1e3;
    state.counters["rss_per_file"] = rss / 1e3 / file;
    state.counters["net_per_file"] = (rss - baseline) / 1e3 / file;
}

std::string likeQuery(const Source& source) {
    return "select * from " + source.table + " where [" + source.likeField + "] like '%" + toGbk("张") + "%'";
}

// Every kind must read as many rows, and find as many with the LIKE, as the sqlite3 shell
// does on the CSV it is measured against; otherwise the comparison is of different work.
bool yardsticksAgree(const std::vector<Source>& sources) {
    bool agree = true;
    for (const Source& s : sources) {
        long shellAll = -1, shellHits = -1;
        std::string error;
        const long all = query(s, "select * from " + s.table + " ", error, false);
        const long hits = query(s, likeQuery(s), error, false);
        db::TableCache::instance().clear();
        if (!shellCounts(s.yardstick, shellAll, shellHits) || all != shellAll || hits != shellHits) {
            std::fprintf(stderr, "%s: %ld rows, %ld found; the sqlite3 shell on its CSV: %ld rows, %ld found%s%s\n",
                         s.kind.c_str(), all, hits, shellAll, shellHits, error.empty() ? "" : " - ",
                         codepage::gbkToUtf8(error).c_str());
            agree = false;
        }
    }
    if (!agree) std::fprintf(stderr, "the yardstick does not do the same work: no timing\n");
    return agree;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    static const std::vector<Source> sources = prepareSources();
    if (!yardsticksAgree(sources)) return 1;
    benchmark::RegisterBenchmark("sqlite3_shell_import/csv", sqliteShellImport)->Unit(benchmark::kMillisecond)->Iterations(3);
    // The yardsticks of the first loads: the CSVs of the rows each file holds (65,535
    // for .xls and the smaller .xlsx files; the Access fixture's own rows), through the
    // sqlite3 shell, and the .xls through xlrd.
    std::set<std::string> yardsticks;
    for (const Source& s : sources)
        if (yardsticks.insert(s.yardstick).second)
            benchmark::RegisterBenchmark(("sqlite3_shell_import_like/" + std::filesystem::path(s.yardstick).stem().string()).c_str(),
                                         [csv = s.yardstick](benchmark::State& st) { sqliteShellImportLike(st, csv); })
                ->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
    if (exists(kDir + "pupils.xls"))
        benchmark::RegisterBenchmark("xlrd_read_like/xls", xlrdReadLike)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
    for (const Source& s : sources) {
        const std::string all = "select * from " + s.table + " ";
        const std::string like = likeQuery(s);
        const std::string distinct = "select DISTINCT " + s.distinctField + " from " + s.table;
        auto add = [&s](const std::string& what, const std::string& sql, bool firstLoad) {
            auto* b = benchmark::RegisterBenchmark((what + "/" + s.kind).c_str(), [&s, sql, firstLoad](benchmark::State& st) {
                runQuery(st, s, sql, firstLoad);
            });
            b->Unit(benchmark::kMillisecond);
            if (firstLoad) b->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
        };
        add("first_load_select_all", all, true);
        add("first_load_like", like, true);
        benchmark::RegisterBenchmark(("peak_memory/" + s.kind).c_str(), [&s](benchmark::State& st) { peakMemory(st, s); })
            ->Unit(benchmark::kMillisecond)->Iterations(1);
        if (s.firstLoadOnly) continue;
        add("repeat_open_select_all", all, false);
        benchmark::RegisterBenchmark(("repeat_open_select_all_rows_only/" + s.kind).c_str(),
                                     [&s, all](benchmark::State& st) { runQuery(st, s, all, false, false); })
            ->Unit(benchmark::kMillisecond);
        add("repeat_open_like", like, false);
        add("repeat_open_distinct", distinct, false);
        // A search of a date column by the year the list shows.
        if (!s.dateField.empty()) {
            const std::string likeDate = all + "where [" + s.dateField + "] like '%2013%'";
            add("repeat_open_like_date", likeDate, false);
            benchmark::RegisterBenchmark(("repeat_open_like_date_rows_only/" + s.kind).c_str(),
                                         [&s, likeDate](benchmark::State& st) { runQuery(st, s, likeDate, false, false); })
                ->Unit(benchmark::kMillisecond);
        }
    }
    // The settings program's field names of a workbook: row 1 alone, read as stored.
    for (const char* kind : {"xls", "xlsx"})
        if (exists(kDir + "pupils." + kind))
            benchmark::RegisterBenchmark((std::string("workbook_field_names/") + kind).c_str(),
                                         [file = kDir + "pupils." + kind](benchmark::State& st) {
                                             std::vector<std::string> names;
                                             for (auto _ : st) 列出Excel字段(file, 1, names);
                                             st.counters["fields"] = static_cast<double>(names.size());
                                         })
                ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
