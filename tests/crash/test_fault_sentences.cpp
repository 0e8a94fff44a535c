// Every kind of fault of the surroundings is told by quarvel-cli in its own Chinese sentence,
// with no English or SQL in it; the technical detail follows the sentence in brackets.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "store/engine.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace quarvel;
namespace qt = quarvel::testing;
using quarvel::testing::CliResult;
using quarvel::testing::TempDir;

std::vector<std::string> cliArgs(const fs::path& data, std::vector<std::string> command) {
    std::vector<std::string> all = {QUARVEL_CLI_PATH, "--data-dir", data.string(),
                                    "--settings-file", "/dev/null/none.ini"};
    all.insert(all.end(), command.begin(), command.end());
    return all;
}

void makeHistory(const fs::path& data, std::size_t draws) {
    fs::create_directories(data);
    store::HistoryDb db(data);
    db.open();
    qt::addDraws(db, qt::randomDraws(draws, 31));
}

// The sentence of the last error line: after "quarvel-cli <command>: ", before the detail's
// bracket, with the paths in the data folder (up to a blank) and the program's name taken out.
std::string sentenceOf(const std::string& err, const fs::path& data) {
    std::string line = err.substr(0, err.find_last_not_of('\n') + 1);
    line.erase(0, line.rfind('\n') + 1);  // the last line: the command's own
    if (const auto colon = line.find(": "); colon != std::string::npos) line.erase(0, colon + 2);
    line = line.substr(0, line.find("（"));
    for (std::size_t at; (at = line.find(data.string())) != std::string::npos;)
        line.erase(at, line.find(' ', at) - at);
    for (std::size_t at; (at = line.find("quarvel")) != std::string::npos;)
        line.erase(at, line.compare(at, 11, "quarvel.mdb") == 0 ? 11 : 7);
    return line;
}

bool hasLatinLetters(const std::string& s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); });
}

// A tmpfs of its own, or nothing where mounting is not allowed.
struct SmallDisk {
    fs::path at;
    bool mounted = false;
    SmallDisk(fs::path where, const char* size) : at(std::move(where)) {
        fs::create_directories(at);
        mounted =
            ::mount("tmpfs", at.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted) ::umount2(at.c_str(), MNT_DETACH);
    }
};

// A history on a small disk filled to the last byte.
bool fullDisk(const fs::path& data, std::unique_ptr<SmallDisk>& disk) {
    disk = std::make_unique<SmallDisk>(data, "400k");
    if (!disk->mounted) return false;
    makeHistory(data, 60);
    fs::create_directories(data / "备份");
    std::ofstream(data / "filler", std::ios::binary) << std::string(2 << 20, 'x');
    return true;
}

}  // namespace

TEST(FaultSentences, EachKindIsSaidInItsOwnChineseSentence) {
    const std::vector<std::string> add = {"add", "2099001", "01", "02", "03",
                                          "04",  "05",      "06", "07", "08"};
    struct Case {
        const char* kind;
        // Prepares `data`; false when the fault cannot be made here (the case is skipped).
        std::function<bool(const fs::path& data, std::unique_ptr<SmallDisk>& disk)> prepare;
        std::vector<std::string> command;
        std::string says;
        std::vector<std::string> runAs = {};  // a command the program runs under
    } cases[] = {
        {"full disk", fullDisk, {"export"}, "磁盘已满"},
        {"full disk before a removal", fullDisk, {"delete-last"}, "磁盘已满"},
        {"folder not writable",
         [](const fs::path& data, std::unique_ptr<SmallDisk>&) {
             if (::getuid() != 0) return false;  // the trial runs the program as another user
             makeHistory(data, 20);
             const auto x = fs::perms::group_exec | fs::perms::others_exec;
             fs::permissions(data.parent_path(), fs::perms::owner_all | x);
             fs::permissions(data, fs::perms::owner_all | x);
             fs::permissions(data / "quarvel.mdb", fs::perms::all & ~(fs::perms::owner_exec | x));
             return true;
         },
         add,
         "文件夹不能写入",
         {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}},
        {"file read-only",
         [](const fs::path& data, std::unique_ptr<SmallDisk>&) {
             makeHistory(data, 20);
             fs::permissions(data / "quarvel.mdb", fs::perms::owner_read);
             return true;
         },
         add, "只读"},
        {"file is a folder",
         [](const fs::path& data, std::unique_ptr<SmallDisk>&) {
             return fs::create_directories(data / "quarvel.mdb");
         },
         {"list"},
         "是一个文件夹"},
        {"damaged",
         [](const fs::path& data, std::unique_ptr<SmallDisk>&) {
             makeHistory(data, 400);
             std::fstream f(data / "quarvel.mdb", std::ios::in | std::ios::out | std::ios::binary);
             f.seekp(static_cast<std::streamoff>(fs::file_size(data / "quarvel.mdb") / 2 / 4096 *
                                                 4096));
             f << std::string(2 * 4096, '\xff');
             return true;
         },
         {"list"},
         "已损坏"},
        {"not a quarvel history",
         [](const fs::path& data, std::unique_ptr<SmallDisk>&) {
             fs::create_directories(data);
             qt::writeFile(data / "quarvel.mdb", "a letter, not a history\r\n");
             return true;
         },
         {"list"},
         "历史数据库文件不是"},
    };
    for (auto& c : cases) {
        TempDir dir;
        const fs::path data = dir.path() / "data";
        std::unique_ptr<SmallDisk> disk;
        if (!c.prepare(data, disk)) {
            std::cout << "[ skipped  ] " << c.kind << ": cannot be made here\n";
            continue;
        }
        std::vector<std::string> command = c.runAs;
        const auto args = cliArgs(data, c.command);
        command.insert(command.end(), args.begin(), args.end());
        const CliResult r = qt::runCommand(command);
        EXPECT_EQ(r.status, 1) << c.kind << ": " << r.out;
        const std::string sentence = sentenceOf(r.err, data);
        EXPECT_NE(sentence.find(c.says), std::string::npos) << c.kind << ": " << r.err;
        EXPECT_FALSE(hasLatinLetters(sentence)) << c.kind << ": " << r.err;
        EXPECT_NE(r.err.find("（"), std::string::npos) << c.kind << ": the detail follows";
    }
}

// A database held by another program: the in-use sentence, nothing changed.
TEST(FaultSentences, AHistoryInUseIsSaidSo) {
    TempDir dir;
    makeHistory(dir.path(), 20);
    store::Database other = store::Database::open(dir.path() / "quarvel.mdb");
    store::Transaction holding(other);
    other.execute("UPDATE Lishi SET intTh = 1");
    const auto r = qt::runCommand(cliArgs(dir.path(), {"delete-last"}));
    EXPECT_EQ(r.status, 1);
    const std::string sentence = sentenceOf(r.err, dir.path());
    EXPECT_NE(sentence.find("正被另一个程序使用"), std::string::npos) << r.err;
    EXPECT_FALSE(hasLatinLetters(sentence)) << r.err;
}
