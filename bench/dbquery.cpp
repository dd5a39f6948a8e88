// dbquery CONNECTION-STRING SQL: a developer's probe of the database component.
//
// Opens the connection string as the programs would (both arguments in UTF-8 on the
// command line, handed on as GBK), runs the statement, and prints the field names and
// then every row as TAB-separated UTF-8 lines, each value as the record window shows it.
// The elapsed milliseconds, and the peak memory of the process, go to standard error. Exit status 1 when the open or the
// statement fails (the component's message on standard error), 2 on bad usage.
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <string>

#include "text/codepage.h"
#include "platform/database/external_database.h"
#include "platform/database/fast_codec.h"

// The process's peak resident memory in kB (VmHWM), 0 when unknown. Unlike getrusage it
// does not count what a forking parent had before the exec.
static long peakMemoryKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CONNECTION-STRING SQL\n", argv[0]);
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&start] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    db::ExternalDatabase database;
    auto fail = [&](const char* what) {
        std::fprintf(stderr, "%s: %s\n%.1f ms\n", what, codepage::gbkToUtf8(database.lastError()).c_str(), elapsed());
        return 1;
    };
    if (!database.open(codepage::utf8ToGbk(argv[1]))) return fail("open failed");
    const int set = database.openRecordSet(codepage::utf8ToGbk(argv[2]));
    if (set == 0) return fail("statement failed");

    std::string line;
    const auto names = database.fieldNames(set);
    for (size_t i = 0; i < names.size(); ++i) line += (i ? "\t" : "") + names[i];
    std::fputs((codepage::gbkToUtf8(line) + "\n").c_str(), stdout);
    long rows = 0;
    std::string utf8;  // the component's memoised conversion: the reference one costs more than the query
    for (; !database.atEnd(set); database.moveNext(set), ++rows) {
        line.clear();
        for (int c = 1; c <= static_cast<int>(names.size()); ++c) {
            if (c > 1) line += '\t';
            line += database.fieldText(set, c);
        }
        line += '\n';
        utf8.clear();
        db::codec::appendGbkAsUtf8(line, utf8);
        std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    }
    std::fflush(stdout);
    std::fprintf(stderr, "%ld rows, %.1f ms, peak memory %ld kB\n", rows, elapsed(), peakMemoryKb());
    return 0;
}
