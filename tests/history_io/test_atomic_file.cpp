#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <optional>

#include "history_io/atomic_file.h"
#include "store/history_db.h"
#include "support/test_support.h"

namespace quarvel {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#ifndef _WIN32
mode_t modeOf(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(::stat(p.c_str(), &st), 0);
    return st.st_mode & 07777;
}
#endif

TEST(AtomicFile, WritesExactBytesAndLeavesNothingElse) {
    TempDir dir;
    const auto target = dir.path() / "更新至2013150期历史号码.txt";
    const std::string bytes("line\r\n\0binary\xFF", 14);
    io::writeFileAtomically(target, bytes);
    EXPECT_EQ(testing::readFile(target), bytes);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{target.filename().string()});

    io::writeFileAtomically(target, "");  // an empty file is still a file
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(target), 0u);
}

// Permission bits, fifos and links are POSIX matters.
#ifndef _WIN32
TEST(AtomicFile, ReplacingKeepsTheFilesPermissionsAndNewFilesFollowTheUmask) {
    TempDir dir;
    const auto target = dir.path() / "lishi.xls";
    testing::writeFile(target, "old");
    ::chmod(target.c_str(), 0640);
    io::writeFileAtomically(target, "new contents");
    EXPECT_EQ(testing::readFile(target), "new contents");
    EXPECT_EQ(modeOf(target), 0640u);

    const mode_t mask = ::umask(022);
    io::writeFileAtomically(dir.path() / "fresh.txt", "x");
    ::umask(mask);
    EXPECT_EQ(modeOf(dir.path() / "fresh.txt"), 0644u);
}
#endif

class AtomicFileFailure : public ::testing::TestWithParam<io::WriteStep> {};

TEST_P(AtomicFileFailure, KeepsTheExistingTargetAndRemovesTheTemporary) {
    TempDir dir;
    const auto target = dir.path() / "Jiansuo.xls";
    testing::writeFile(target, "the earlier export");
    {
        io::ScopedWriteFailure failure(GetParam());
        try {
            io::writeFileAtomically(target, std::string(100000, 'n'));
            ADD_FAILURE() << "the write reported success";
        } catch (const io::IoError& e) {
            EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(testing::readFile(target), "the earlier export");
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"Jiansuo.xls"});

    io::writeFileAtomically(target, "after");  // the failure ends with its scope
    EXPECT_EQ(testing::readFile(target), "after");
}

INSTANTIATE_TEST_SUITE_P(EveryStep, AtomicFileFailure,
                         ::testing::Values(io::WriteStep::Create, io::WriteStep::Write,
                                           io::WriteStep::Sync, io::WriteStep::Rename));

// Each failure is said in its Chinese sentence naming the file; the system's reason, in
// English, is kept apart as the detail.
TEST(AtomicFile, UnwritablePlacesAreRefusedWithTheReason) {
    TempDir dir;
    const auto folder = dir.path() / "Jieguo.xls";  // a folder where the file should go
    fs::create_directory(folder);
    testing::writeFile(folder / "inside", "kept");
    const auto target = dir.path() / "lsbf.txt";
    struct Case {
        fs::path path;
        std::optional<io::WriteStep> failing;
        const char* says;
        const char* detail;
    } cases[] = {
        {dir.path() / "missing" / "lishi.xls", {}, "不存在", "does not exist"},
        {folder, {}, "是一个文件夹", "folder"},
        {fs::path(), {}, "没有给出文件名", "no file name"},
        {dir.path() / "", {}, "没有给出文件名", "no file name"},
        {target, io::WriteStep::Write, "磁盘已满", "No space left on device"},
        {target, io::WriteStep::Create, "不能写入", "Permission denied"},
        {target, io::WriteStep::Rename, "是只读的或不允许替换", "Permission denied"},
        {target, io::WriteStep::Sync, "无法保存", "Input/output error"},
    };
    for (const auto& c : cases) {
        std::optional<io::ScopedWriteFailure> failure;
        if (c.failing) failure.emplace(*c.failing);
        try {
            io::writeFileAtomically(c.path, "x");
            ADD_FAILURE() << c.path << ": no error";
        } catch (const io::IoError& e) {
            const std::string sentence = e.what();
            EXPECT_NE(sentence.find(c.says), std::string::npos) << sentence;
            EXPECT_NE(e.detail().find(c.detail), std::string::npos) << e.detail();
            EXPECT_EQ(sentence.find(c.detail), std::string::npos) << sentence;
        }
    }
    EXPECT_EQ(testing::readFile(folder / "inside"), "kept");
}

#ifndef _WIN32
TEST(AtomicFile, OnlyRegularFilesAreReplacedAndLinksAreFollowed) {
    TempDir dir;
    const auto pipe = dir.path() / "lishi.xls";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    EXPECT_THROW(io::writeFileAtomically(pipe, "x"), io::IoError);
    EXPECT_TRUE(fs::is_fifo(pipe));

    const auto real = dir.path() / "real.txt";
    const auto link = dir.path() / "link.txt";
    testing::writeFile(real, "old");
    fs::create_symlink(real, link);
    io::writeFileAtomically(link, "through the link");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(testing::readFile(real), "through the link");

    const auto dangling = dir.path() / "dangling.txt";
    fs::create_symlink(dir.path() / "gone.txt", dangling);
    EXPECT_THROW(io::writeFileAtomically(dangling, "x"), io::IoError);
    EXPECT_FALSE(fs::exists(dir.path() / "gone.txt"));
}
#endif

// Every way an output file could land on the history: a link or a hard link onto quarvel.mdb,
// its journal, the copy quarvelTmp.mdb by name (also while still empty), any SQLite file.
TEST(AtomicFile, NothingIsWrittenOntoTheHistoryOrItsFiles) {
    QUARVEL_SKIP_ON_WINDOWS("links");
    TempDir dir;
    const auto db = dir.path() / "quarvel.mdb";
    {
        store::HistoryDb history(dir.path());
        history.open();
    }
    const std::string before = testing::readFile(db);
    fs::create_symlink(db, dir.path() / "遗漏曲线.png");
    fs::create_symlink(dir.path() / "遗漏曲线.png", dir.path() / "chain.png");
    fs::create_hard_link(db, dir.path() / "lishi.xls");
    testing::writeFile(dir.path() / "quarvel.mdb-journal", "");
    testing::writeFile(dir.path() / "quarvelTmp.mdb", "");
    fs::copy_file(db, dir.path() / "other.sqlite");
    for (const char* name :
         {"遗漏曲线.png", "chain.png", "lishi.xls", "quarvel.mdb", "quarvel.mdb-journal",
          "quarvel.mdb-wal", "quarvelTmp.mdb", "other.sqlite"}) {
        try {
            io::writeFileAtomically(dir.path() / name, "PNG");
            ADD_FAILURE() << name << " was written";
        } catch (const io::IoError& e) {
            EXPECT_NE(std::string(e.what()).find("历史数据库文件"), std::string::npos) << name;
        }
    }
    EXPECT_EQ(testing::readFile(db), before);
    EXPECT_EQ(testing::readFile(dir.path() / "quarvelTmp.mdb"), "");
}

TEST(CrlfLines, EveryLineEndsWithCrLf) {
    EXPECT_EQ(io::crlfLines({}), "");
    EXPECT_EQ(io::crlfLines({""}), "\r\n");
    EXPECT_EQ(io::crlfLines({"2013001 01 02", "", "末行"}), "2013001 01 02\r\n\r\n末行\r\n");
}

}  // namespace
}  // namespace quarvel
