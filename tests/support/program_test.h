// What the two programs' window tests share: one form runtime for the test program
// (offscreen unless the environment says otherwise), a fresh program directory per test
// in a temporary folder (quillmar.ini and data files are written there), scripted dialog
// answers that must all be used, and small helpers for GBK bytes and files.
#pragma once

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/paths.h"
#include "text/codepage.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"

namespace programtest {

inline std::string G(std::string_view utf8) { return codepage::utf8ToGbk(utf8); }
inline std::string utf8(const std::string& gbk) { return codepage::gbkToUtf8(gbk); }

inline std::string readBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& file, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Lines given in UTF-8, written in GBK with CR LF, as Windows peers write them.
inline std::string gbkLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += G(line) + "\r\n";
    return bytes;
}

// A small JPEG of one colour, as the capture program would leave it.
inline std::string jpegBytes(int width = 60, int height = 80) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return data.toStdString();
}

// The form runtime of the test program, started once and never torn down (QApplication
// must not outlive Qt's own statics at exit).
inline void startRuntime() {
    static int argc = 1;
    static char name[] = "program_test";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static ui::Application* application = new ui::Application(argc, argv);
    (void)application;
}

// A test with its own program directory. Subclasses release their program's windows and
// variables in releaseProgram(), which runs before the directory goes.
class ProgramFolderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { startRuntime(); }

    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "lookup-program-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = root_ = pattern;
        paths::overrideProgramDirectory(dir_);
        ui::dialogs::script::begin();
    }

    void TearDown() override {
        releaseProgram();
        QTest::qWait(1);  // let destroyed widgets go
        EXPECT_EQ(ui::dialogs::script::pending(), 0) << "a scripted answer was not used";
        ui::dialogs::script::reset();
        paths::overrideProgramDirectory("");
        std::error_code ec;
        // Write bits back first, so that read-only leftovers go too.
        for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ec))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }

    virtual void releaseProgram() {}

    // Makes the folder `nameUtf8` inside the temporary folder the program directory (for
    // names that matter, such as one GBK cannot hold); returns it as a local path.
    std::string useProgramFolder(const std::string& nameUtf8) {
        dir_ = root_ + "/" + nameUtf8;
        std::filesystem::create_directories(dir_);
        paths::overrideProgramDirectory(dir_);
        return dir_;
    }

    // A file in the program directory (name in UTF-8), as a local path.
    std::string local(const std::string& name) const { return dir_ + "/" + name; }
    // The same as the programs hold it (GBK).
    std::string gbkPath(const std::string& name) const { return codepage::fromLocalPath(local(name)); }
    void write(const std::string& name, const std::string& bytes) const { writeBytes(local(name), bytes); }
    std::string read(const std::string& name) const { return readBytes(local(name)); }

    // quillmar.ini from UTF-8 lines.
    void writeConfig(const std::vector<std::string>& lines) const { write("quillmar.ini", gbkLines(lines)); }

    // A copy of a file of the repository (path relative to its root); false when missing.
    bool copyFromSource(const std::string& relative, const std::string& name) const {
        const std::string from = std::string(LOOKUP_SOURCE_DIR) + "/" + relative;
        if (!std::filesystem::exists(from)) return false;
        std::filesystem::create_directories(std::filesystem::path(local(name)).parent_path());
        std::filesystem::copy_file(from, local(name), std::filesystem::copy_options::overwrite_existing);
        return true;
    }
    // The same from the shared fixtures beside the checkout.
    bool copyFromShared(const std::string& relative, const std::string& name) const {
        const std::string from = std::string(LOOKUP_SHARED_DIR) + "/" + relative;
        if (!std::filesystem::exists(from)) return false;
        std::filesystem::copy_file(from, local(name), std::filesystem::copy_options::overwrite_existing);
        return true;
    }

    std::string dir_;
    std::string root_;  // the temporary folder, removed at the end
};

}  // namespace programtest
