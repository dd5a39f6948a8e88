// Benchmarks of sorting and exporting the record window's result list, 100,000 rows x 11
// columns in the real list (its form loaded offscreen):
//  - Sort/Number, Sort/Text, Sort/Date: 排序列表 on a column of whole numbers, of names
//    (pinyin order) and of dates as the list shows them, from a shuffled order each time;
//  - Export/WithPhotos, Export/PhotoLess: the export's file bytes built from the list (a
//    photo test per row, one row in 50 having a photo) and written to its file;
//    Export/BytesOnly: the bytes without the writing.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "text/gbk_text.h"
#include "platform/ui/application.h"
#include "platform/ui/form.h"
#include "query/list_export.h"
#include "query/result_sort.h"

namespace {

constexpr int kRows = 100000;
const std::string kDir = "/tmp/lookup-bench-sort-export";

enum Column { kNumber = 0, kName = 1, kClass = 2, kDate = 3, kShuffle = 4 };

uint64_t seed = 777;
uint64_t nextRandom(uint64_t n) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return (seed >> 33) % n;
}

// The list of the record window's form, filled once.
ui::ReportList& filledList() {
    static ui::Form form;
    static ui::ReportList list = [] {
        form.load(":/query/forms/采像窗口.ui");
        ui::ReportList l = form.reportList("list");
        for (int c = 0; c < 11; ++c) l.addColumn("field" + std::to_string(c), 105);
        const char* surnames[] = {"张", "王", "李", "赵", "刘",   "陈",
                                  "杨", "黄", "周", "吴", "欧阳", "司马"};
        const char* given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强",
                               "磊", "军", "洋", "勇", "艳", "杰"};
        std::vector<std::string> row(11);
        for (int r = 0; r < kRows; ++r) {
            row[kNumber] = std::to_string(static_cast<int64_t>(nextRandom(2000000)) - 1000000);
            row[kName] = codepage::utf8ToGbk(std::string(surnames[nextRandom(12)]) +
                                             given[nextRandom(13)] + given[nextRandom(13)]);
            row[kClass] = codepage::utf8ToGbk(r % 2 ? "一班" : "二班");
            row[kDate] = gbk::toText(gbk::DateTime{
                1950 + static_cast<int>(nextRandom(80)), 1 + static_cast<int>(nextRandom(12)),
                1 + static_cast<int>(nextRandom(28)), static_cast<int>(nextRandom(24)), 0,
                static_cast<int>(nextRandom(60))});
            row[kShuffle] = std::to_string(nextRandom(1u << 30));
            for (int c = 5; c < 11; ++c) row[c] = "x" + std::to_string(r % 97);
            l.appendRow(std::span<const std::string>(row));
        }
        QCoreApplication::processEvents();
        return l;
    }();
    return list;
}

void sortColumn(benchmark::State& state, int column, int sortType) {
    ui::ReportList& list = filledList();
    for (auto _ : state) {
        state.PauseTiming();
        query::排序列表(list, kShuffle, 1, 0);
        state.ResumeTiming();
        query::排序列表(list, column, 1, sortType);
    }
    state.counters["rows"] = list.rowCount();
}

void exportList(benchmark::State& state, bool photoLessOnly, bool write) {
    ui::ReportList& list = filledList();
    const std::string photos = kDir + "/photo";
    // One row in 50 has a photo.
    for (int r = 0; r < kRows; r += 50) {
        const std::string file = photos + "/" + codepage::gbkToUtf8(list.cellText(r, kClass)) +
                                 "/" + codepage::gbkToUtf8(list.cellText(r, kNumber)) + "_" +
                                 codepage::gbkToUtf8(list.cellText(r, kName)) + ".jpg";
        std::filesystem::create_directories(std::filesystem::path(file).parent_path());
        std::ofstream(file) << "jpeg";
    }
    query::ExportSource source;
    for (int k = 0; k < 10; ++k) source.captions.push_back("field" + std::to_string(k));
    source.cell = [&list](int row, int column) { return list.cellText(row, column); };
    source.photoFolder = codepage::utf8ToGbk(photos);
    size_t bytes = 0;
    for (auto _ : state) {
        source.rowCount = list.rowCount();
        const std::string text = query::exportText(source, photoLessOnly);
        bytes = text.size();
        if (write && !query::writeExportFile(codepage::utf8ToGbk(kDir), "export.txt", text))
            state.SkipWithError("the export file could not be written");
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ui::Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::filesystem::create_directories(kDir);
    benchmark::RegisterBenchmark("Sort/Number", sortColumn, kNumber, 0)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Sort/Text", sortColumn, kName, 1)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Sort/Date", sortColumn, kDate, 2)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Export/WithPhotos", exportList, false, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Export/PhotoLess", exportList, true, true)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Export/BytesOnly", exportList, false, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
