// The query program started from a copy of this test program in folders that matter: one
// whose name GBK cannot hold, beside a sibling with "?" in its place, and one whose path is
// longer than the system allows. The copy runs without the tests' stand-in directory, so
// the folder is the one the system gives for the running program.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "query_test_support.h"

using namespace querytest;

namespace {

class ProgramFolderTest : public QueryProgramTest {};

// What a run of the copy ended with.
struct ChildRun {
    int exitCode = -1;
    std::string errors;
};

// Runs `program` (a copy of this test program) with the working directory reached by one
// chdir per step, so that its path may be longer than the system takes in one call.
ChildRun runFrom(const std::vector<std::string>& steps, const std::string& program) {
    int fds[2];
    if (::pipe(fds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        for (const std::string& step : steps)
            if (::chdir(step.c_str()) != 0) ::_exit(120);
        ::dup2(fds[1], 2);
        ::execl(program.c_str(), program.c_str(), "--gtest_also_run_disabled_tests",
                "--gtest_filter=ProgramFolderTest.DISABLED_StartInTheFolderOfThisProgram", nullptr);
        ::_exit(121);
    }
    ::close(fds[1]);
    ChildRun run;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) run.errors.append(buffer, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    return run;
}

// Copies this test program to `name` in the folder open as `folder`.
bool copyThisProgram(int folder, const char* name) {
    const int in = ::open("/proc/self/exe", O_RDONLY);
    const int out = ::openat(folder, name, O_WRONLY | O_CREAT | O_TRUNC, 0755);
    bool ok = in >= 0 && out >= 0;
    char buffer[1 << 16];
    for (ssize_t n; ok && (n = ::read(in, buffer, sizeof buffer)) > 0;) ok = ::write(out, buffer, static_cast<size_t>(n)) == n;
    if (in >= 0) ::close(in);
    if (out >= 0 && ::close(out) != 0) ok = false;
    return ok;
}

// The run in the copy: the program starts as from its entry, in its own folder.
TEST_F(ProgramFolderTest, DISABLED_StartInTheFolderOfThisProgram) {
    paths::overrideProgramDirectory("");
    ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);  // no data file: the end
    query::startProgram();
    QTest::qWait(3000);
    std::exit(3);  // the program should have ended before
}

// In "app😀" the program took "app?" for its folder: it found the sibling's quillmar.ini,
// created none of its own and opened the sibling's data.
TEST_F(ProgramFolderTest, AFolderNameGbkCannotHoldIsTheFolderTheProgramUses) {
    const std::string sibling = root_ + "/app?";
    std::filesystem::create_directories(sibling);
    const std::string siblingConfig = gbkLines({"[database]", "dbname=名单.csv", "[reg]", "logo=别人"});
    writeBytes(sibling + "/quillmar.ini", siblingConfig);
    writeBytes(sibling + "/名单.csv", gbkLines({"序号,姓名,班级", "X1,别人,三班"}));

    const std::string own = useProgramFolder("app😀");
    const int folder = ::open(own.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    ASSERT_TRUE(copyThisProgram(folder, "test_query"));
    ::close(folder);

    const ChildRun run = runFrom({root_}, own + "/test_query");
    // A fresh folder: the default file is created, its example is missing, the program ends.
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(read("quillmar.ini"), readBytes(std::string(LOOKUP_SOURCE_DIR) + "/tests/common/data/default_quillmar.ini"));
    EXPECT_EQ(readBytes(sibling + "/quillmar.ini"), siblingConfig);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(sibling), {}), 2);
    EXPECT_FALSE(std::filesystem::exists(root_ + "/quillmar.ini"));
}

// A chain of folders open one inside the other, deeper than a path may name at once;
// removed, with the files named, when it goes.
class DeepFolders {
public:
    DeepFolders(const std::string& base, int levels, char letter) : names_(levels, std::string(200, letter)) {
        fds_.push_back(::open(base.c_str(), O_RDONLY | O_DIRECTORY));
        for (const std::string& name : names_) {
            ::mkdirat(fds_.back(), name.c_str(), 0755);
            fds_.push_back(::openat(fds_.back(), name.c_str(), O_RDONLY | O_DIRECTORY));
        }
    }
    ~DeepFolders() {
        for (const char* file : {"test_query", "quillmar.ini"}) ::unlinkat(fds_.back(), file, 0);
        for (size_t i = names_.size(); i > 0; --i) {
            ::close(fds_[i]);
            ::unlinkat(fds_[i - 1], names_[i - 1].c_str(), AT_REMOVEDIR);
        }
        ::close(fds_[0]);
    }
    bool ok() const { return std::all_of(fds_.begin(), fds_.end(), [](int fd) { return fd >= 0; }); }
    int innermost() const { return fds_.back(); }
    const std::vector<std::string>& names() const { return names_; }
    bool holds(const char* file) const { return ::faccessat(innermost(), file, F_OK, 0) == 0; }

private:
    std::vector<std::string> names_;
    std::vector<int> fds_;
};

// A program folder longer than the system allows made the working directory the program
// directory, without a word: the default quillmar.ini was created there.
TEST_F(ProgramFolderTest, AFolderPathLongerThanTheSystemAllowsEndsTheProgramSayingWhy) {
    DeepFolders working(root_, 19, 'w');  // about 3,850 bytes: the working directory
    ASSERT_TRUE(working.ok());
    std::vector<std::string> steps{root_};
    steps.insert(steps.end(), working.names().begin(), working.names().end());
    // The program's folder lies one more step down: its path passes 4,095 bytes.
    const int work = working.innermost();
    ASSERT_EQ(::mkdirat(work, std::string(250, 'p').c_str(), 0755), 0);
    const int folder = ::openat(work, std::string(250, 'p').c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    ASSERT_TRUE(copyThisProgram(folder, "test_query"));

    const ChildRun run = runFrom(steps, std::string(250, 'p') + "/test_query");
    EXPECT_EQ(run.exitCode, 255) << run.errors;
    EXPECT_NE(run.errors.find("运行时出错! 无法得知本程序所在的文件夹：它的路径比系统允许的更长。"), std::string::npos)
        << run.errors;
    EXPECT_FALSE(working.holds("quillmar.ini")) << "created in the working directory";
    EXPECT_NE(::faccessat(folder, "quillmar.ini", F_OK, 0), 0);

    ::unlinkat(folder, "test_query", 0);
    ::unlinkat(folder, "quillmar.ini", 0);
    ::close(folder);
    ::unlinkat(work, std::string(250, 'p').c_str(), AT_REMOVEDIR);
}

// A 4,082-byte folder had room for quillmar.ini but not for the temporary file it is made
// through: no default file, and the end came as a missing data file.
TEST_F(ProgramFolderTest, AFolderWithoutRoomForTheConfigurationFileEndsTheProgramSayingWhy) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string folder = root_;
    while (folder.size() < 4082) {
        const size_t left = 4082 - folder.size();
        folder += "/" + std::string(left > 250 ? 200 : left - 1, 'd');
    }
    std::filesystem::create_directories(folder);
    ASSERT_EQ(folder.size(), 4082u);
    paths::overrideProgramDirectory(folder);
    EXPECT_EXIT(
        {
            query::startProgram();
            std::exit(3);
        },
        ::testing::ExitedWithCode(255), "运行时出错! 本程序所在文件夹的路径太长（4082字节）");
    EXPECT_FALSE(std::filesystem::exists(folder + "/quillmar.ini"));
}

}  // namespace
