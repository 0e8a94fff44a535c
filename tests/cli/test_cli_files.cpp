#include <gtest/gtest.h>

#include "support/cli_sandbox.h"

using quarvel::testing::TempDir;

namespace {

struct CliFiles : ::testing::Test, quarvel::testing::CliSandbox {
    std::string listed() const { return cli({"list"}).out; }
};

TEST_F(CliFiles, ImportExportAndTrimRoundTrip) {
    const auto imported = cli({"import", quarvel::testing::dataFile("import/mixed.txt").string()});
    ASSERT_EQ(imported.status, 0) << imported.err;
    // The history check follows: the file lacks 2013003 and holds 2013004 twice.
    EXPECT_EQ(imported.out,
              "已读入 8 期历史号码，2 行不是有效的号码（第 7、8 "
              "行），已跳过。\n缺期\t2013003\n重复\t2013004\n");

    const auto exported = cli({"export"});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const std::string exportedTo = "历史号码已导出到 ";
    ASSERT_EQ(exported.out.rfind(exportedTo, 0), 0u) << exported.out;
    const std::string path =
        exported.out.substr(exportedTo.size(), exported.out.size() - exportedTo.size() - 1);
    const auto file = dir.path() / u8"更新至2013008期历史号码.txt";  // UTF-8 on every system
    EXPECT_EQ(path, file.string());
    const std::string text = quarvel::testing::readFile(file);
    EXPECT_EQ(text.substr(0, 34), "2013001 12 18 21 25 28 30 09 11 \r\n");

    // Reading the export back gives the same list.
    const std::string before = listed();
    ASSERT_EQ(cli({"import", path}).status, 0);
    EXPECT_EQ(listed(), before);

    const auto trimmed = cli({"trim-to", "2013004"});
    ASSERT_EQ(trimmed.status, 0) << trimmed.err;
    // The trim names the backup of the eight draws it replaced.
    const std::string backupLine = trimmed.out.substr(trimmed.out.find('\n') + 1);
    EXPECT_EQ(trimmed.out.substr(0, trimmed.out.find('\n') + 1),
              "已保留到 2013004 期，共 4 期。\n");
    const std::string told = "原历史已备份到 ";
    // In the system's own spelling: C:\...\备份\ on Windows.
    const std::string folder =
        (dir.path() / u8"备份").string() + char(std::filesystem::path::preferred_separator);
    ASSERT_EQ(backupLine.rfind(told + folder, 0), 0u) << trimmed.out;
    EXPECT_EQ(listed().find("2013005"), std::string::npos);

    ASSERT_EQ(cli({"trim-last", "2"}).status, 0);
    const std::string rest = listed();
    EXPECT_NE(rest.find("2013002\t"), std::string::npos);
    EXPECT_EQ(rest.find("2013004"), std::string::npos);
    // Importing that backup brings the eight draws back.
    const std::string end = "。\n";
    ASSERT_EQ(cli({"import",
                   backupLine.substr(told.size(), backupLine.size() - told.size() - end.size())})
                  .status,
              0);
    EXPECT_EQ(listed(), before);
}

TEST_F(CliFiles, BadArgumentsExit2AndFileFailuresExit1) {
    ASSERT_EQ(cli({"add", "2013001", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
    for (const auto& args : std::vector<std::vector<std::string>>{{"import"},
                                                                  {"import", "a.txt", "b.txt"},
                                                                  {"import", "--merge"},
                                                                  {"export", "x"},
                                                                  {"trim-to"},
                                                                  {"trim-to", "0"},
                                                                  {"trim-to", "abc"},
                                                                  {"trim-last", "-1"},
                                                                  {"trim-last", "2", "3"}}) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_FALSE(r.err.empty());
    }
    const auto missing = cli({"import", (dir.path() / "missing.txt").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("missing.txt"), std::string::npos);
    EXPECT_NE(listed().find("2013001\t1\t2"), std::string::npos);  // untouched
}

TEST_F(CliFiles, MergeAddsMissingDrawsAndCheckListsHolesAndRepeats) {
    const auto own = dir.path() / "own.txt";
    quarvel::testing::writeFile(
        own,
        "2026001 01 02 03 04 05 06 07 08\r\n2026002 02 03 04 05 06 07 08 09\r\n"
        "2026003 03 04 05 06 07 08 09 10\r\n2026003 04 05 06 07 08 09 10 11\r\n");
    const auto imported = cli({"import", own.string()});
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, "已读入 4 期历史号码\n重复\t2026003\n");

    const auto json = dir.path() / "more";  // no name ending: the content tells
    quarvel::testing::writeFile(
        json,
        R"([{"issue": "2026006", "date": "2026-01-10", "red": ["11","12","13","14","15","16","17"], "special": "18"},
{"issue": "2026004", "date": "2026-01-06", "red": ["21","22","23","24","25","26","27"], "special": "28"},
{"issue": "2026002", "date": "2026-01-03", "red": ["01","02","03","04","05","06","07"], "special": "30"}])");
    const auto merged = cli({"import", "--merge", json.string()});
    ASSERT_EQ(merged.status, 0) << merged.err;
    EXPECT_EQ(merged.out,
              "识别为 JSON（日期列、特码单列、新的在前），3 期，2026002–2026006\n"
              "已合并：添加 2 期，0 期已经保存\n"
              "不同\t2026002\t02 03 04 05 06 07 08 09 \t01 02 03 04 05 06 07 30 \n"
              "重复\t2026003\n缺期\t2026005\n");

    const auto checked = cli({"check"});
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.out, "重复\t2026003\n缺期\t2026005\n");
    EXPECT_NE(checked.err.find("缺 1 期（2026005）"), std::string::npos) << checked.err;
}

}  // namespace
