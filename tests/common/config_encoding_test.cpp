// quillmar.ini saved in another encoding, not a regular file, or carrying extended
// attributes: read as the same file in GBK, written back whole in GBK or refused saying
// why, never opened when it is a FIFO, and its ACL kept across a rewrite.
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/config_file.h"
#include "common/config_messages.h"
#include "text/codepage.h"
#include "support/child_process.h"
#include "temp_dir.h"
#include "utf16_bytes.h"

namespace {

std::string G(const char* utf8) { return codepage::utf8ToGbk(utf8); }

class ConfigEncodingTest : public TempDirTest {
protected:
    std::string ini() const { return path("quillmar.ini"); }
    std::string read(const std::string& section, const std::string& key) const {
        return config::readKey(ini(), section, key, "DEF");
    }
};

const char kUtf8Text[] = "; 注释\n[reg]\r\nlogo=学生查询\r\n[search]\r\nsearchname1=姓名\r\n";

// Regression: a UTF-8 file (a mark hid its first section) and an unmarked UTF-16 one read
// as all defaults, and 设置 then emptied the 14 field keys.
TEST_F(ConfigEncodingTest, Utf8AndUnmarkedUtf16FilesReadTheirKeys) {
    const std::u16string utf16 = u"; 注释\n[reg]\r\nlogo=学生查询\r\n[search]\r\nsearchname1=姓名\r\n";
    for (const std::string& bytes : {std::string(kUtf8Text), "\xEF\xBB\xBF" + std::string(kUtf8Text),
                                     utf16Bytes(utf16, false, ""), utf16Bytes(utf16, true, "")}) {
        SCOPED_TRACE(bytes.substr(0, 4));
        writeBytes(ini(), bytes);
        EXPECT_EQ(read("reg", "logo"), G("学生查询"));
        EXPECT_EQ(read("search", "searchname1"), G("姓名"));
        EXPECT_EQ(read("search", "searchname2"), "DEF");
    }
}

// Regression: 确定 wrote GBK lines into a UTF-8 or UTF-16 file, adding keys a second time
// and leaving a file of two encodings.
TEST_F(ConfigEncodingTest, AFileInAnotherEncodingIsWrittenBackWholeInGbk) {
    const std::u16string utf16 = u"; 注释\n[reg]\r\nlogo=学生查询\r\n[search]\r\nsearchname1=姓名\r\n";
    const std::string expected = G("; 注释\n[reg]\r\nlogo=新\r\n[search]\r\nsearchname1=姓名\r\nsearchname2=班级\r\n");
    for (const std::string& bytes : {std::string(kUtf8Text), "\xEF\xBB\xBF" + std::string(kUtf8Text),
                                     utf16Bytes(utf16, false, "\xFF\xFE"), utf16Bytes(utf16, true, ""),
                                     utf16Bytes(utf16, false, "")}) {
        SCOPED_TRACE(bytes.substr(0, 4));
        writeBytes(ini(), bytes);
        config::WriteProblem problem;
        ASSERT_TRUE(config::writeKeys(ini(), {{"reg", "logo", G("新")}, {"search", "searchname2", G("班级")}},
                                      &problem));
        EXPECT_EQ(problem.cause, config::WriteProblem::Cause::None);
        EXPECT_EQ(readBytes(ini()), expected);
    }
}

TEST_F(ConfigEncodingTest, AFileWithACharacterGbkCannotHoldIsRefusedSayingWhich) {
    const std::string utf8 = "[reg]\r\nlogo=\xF0\x9F\x98\x80\r\n";  // an emoji
    const std::u16string utf16 = u"[reg]\r\nlogo=\xD83D\r\n";           // a lone surrogate
    struct Case {
        std::string bytes;
        const char* encoding;
        char32_t character;
    };
    for (const Case& c : {Case{utf8, "UTF-8", 0x1F600}, Case{utf16Bytes(utf16, false, "\xFF\xFE"), "UTF-16", 0xD83D}}) {
        SCOPED_TRACE(c.encoding);
        writeBytes(ini(), c.bytes);
        config::WriteProblem problem;
        EXPECT_FALSE(config::writeKeys(ini(), {{"reg", "logo", "x"}}, &problem));
        EXPECT_EQ(readBytes(ini()), c.bytes);
        EXPECT_EQ(problem.cause, config::WriteProblem::Cause::NotGbk);
        EXPECT_EQ(problem.encoding, c.encoding);
        EXPECT_EQ(problem.character, c.character);
        EXPECT_EQ(problem.line, 2u);
    }
    const std::string message = config::notSavedMessage(G("/x/quillmar.ini"), config::WriteProblem{
        config::WriteProblem::Cause::NotGbk, "UTF-8", 0x1F600, 2});
    EXPECT_EQ(message, G("设置没有保存：配置文件/x/quillmar.ini是UTF-8编码的，第2行的字符U+1F600"
                         "无法用GBK(ANSI)编码保存，本程序只写GBK编码的配置文件。\n请删去或换掉这个字符后再设置。"));
}

// Regression: 确定 blocked for good opening a quillmar.ini that is a FIFO.
TEST_F(ConfigEncodingTest, AFifoIsRefusedWithoutBeingOpened) {
    ASSERT_EQ(::mkfifo(ini().c_str(), 0644), 0);
    std::filesystem::create_symlink("quillmar.ini", path("link.ini"));
    // In a child that an alarm ends, so that a blocking open fails the test instead of hanging it.
    const std::string outcome = runInChild([&]() -> std::string {
        ::alarm(10);
        std::string out;
        for (const std::string& p : {ini(), path("link.ini")}) {
            config::WriteProblem problem;
            const bool written = config::writeKeys(p, {{"reg", "logo", "x"}}, &problem);
            out += written ? "written " : problem.cause == config::WriteProblem::Cause::NotRegularFile ? "fifo " : "other ";
            out += config::readKey(p, "reg", "logo", "DEF") + " ";
            out += config::isUnusableFile(p) ? "unusable;" : "usable;";
        }
        return out;
    });
    EXPECT_EQ(outcome, "fifo DEF unusable;fifo DEF unusable;");
    EXPECT_FALSE(config::isUnusableFile(path("missing.ini")));
    writeBytes(path("plain.ini"), "[reg]\r\n");
    EXPECT_FALSE(config::isUnusableFile(path("plain.ini")));
    config::WriteProblem fifo;
    fifo.cause = config::WriteProblem::Cause::NotRegularFile;
    EXPECT_NE(config::notSavedMessage(ini(), fifo).find(G("不是普通文件")), std::string::npos);
}

// A POSIX access ACL as the kernel stores it: user::rw- user:<uid>:r-- group::r-- mask::r-- other::---.
std::string aclGrantingReadTo(uint32_t uid) {
    std::string acl;
    auto put = [&acl](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) acl += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(2, 4);  // version
    const uint32_t entries[][3] = {{0x01, 6, 0xFFFFFFFF}, {0x02, 4, uid}, {0x04, 4, 0xFFFFFFFF},
                                   {0x10, 4, 0xFFFFFFFF}, {0x20, 0, 0xFFFFFFFF}};
    for (const auto& e : entries) put(e[0], 2), put(e[1], 2), put(e[2], 4);
    return acl;
}

std::string attribute(const std::string& file, const char* name) {
    char value[256];
    const ssize_t n = ::getxattr(file.c_str(), name, value, sizeof value);
    return n < 0 ? std::string("(none)") : std::string(value, static_cast<size_t>(n));
}

// Regression: the rewrite through a temporary file dropped the file's ACL and extended
// attributes (only mode and owner were carried over).
TEST_F(ConfigEncodingTest, ARewriteKeepsExtendedAttributesAndTheAcl) {
    writeBytes(ini(), "[reg]\r\nlogo=a\r\n");
    if (::setxattr(ini().c_str(), "user.origin", "peer", 4, 0) != 0)
        GTEST_SKIP() << "this file system refuses extended attributes (" << std::strerror(errno) << ")";
    ASSERT_EQ(::setxattr(ini().c_str(), "user.empty", "", 0, 0), 0);
    const std::string acl = aclGrantingReadTo(12345);
    const bool withAcl = ::setxattr(ini().c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
    const unsigned mode = modeOf(ini());

    ASSERT_TRUE(config::writeKey(ini(), "reg", "logo", "b"));
    EXPECT_EQ(readBytes(ini()), "[reg]\r\nlogo=b\r\n");
    EXPECT_EQ(attribute(ini(), "user.origin"), "peer");
    EXPECT_EQ(attribute(ini(), "user.empty"), "");
    EXPECT_EQ(modeOf(ini()), mode);
    if (!withAcl) GTEST_SKIP() << "this file system refuses ACLs; the user attributes were kept";
    EXPECT_EQ(attribute(ini(), "system.posix_acl_access"), acl);
}

}  // namespace
