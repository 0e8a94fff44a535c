// Real histories: merging a file into the stored draws, the history check, the zodiac new-year
// table since 2018 and the user's own entries, and the import's question about what changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "history_io/history_check.h"
#include "history_io/history_service.h"
#include "store/new_year_table.h"
#include "support/test_support.h"

namespace io = quarvel::io;
namespace store = quarvel::store;
namespace qt = quarvel::testing;

namespace {

struct RealHistories : ::testing::Test {
    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
    io::ImportParams params;
    void SetUp() override { db.open(); }
    void TearDown() override { store::setNewYearEntries({}); }
    std::filesystem::path write(const std::string& name, const std::string& text) {
        qt::writeFile(dir.path() / name, text);
        return dir.path() / name;
    }
};

std::string csvOf(const std::vector<qt::Draw>& draws) {
    std::string s = "期号,日期,号码\r\n";
    for (const auto& d : draws) {
        s += std::to_string(d.issue) + ",2020-01-01";
        for (int n : d.numbers) s += (n < 10 ? ",0" : ",") + std::to_string(n);
        s += "\r\n";
    }
    return s;
}

TEST_F(RealHistories, MergeAddsOnlyMissingIssuesAndListsTheDifferingOnes) {
    const auto stored = qt::randomDraws(10, 1, 2020001);  // 2020001..2020010
    qt::addDraws(db, stored);
    auto file = qt::randomDraws(12, 2, 2020005);  // 2020005..2020016
    for (std::size_t i = 0; i < 6; ++i) file[i].numbers = stored[4 + i].numbers;  // the same
    file[2].numbers = qt::randomDraws(1, 9, 2020007)[0].numbers;                  // differs
    file.push_back(file.back());  // an issue twice in the file
    const auto before = io::storedDraws(db);

    std::optional<io::MergeResult> asked;
    const auto r = io::HistoryService(db).mergeFile(write("new.csv", csvOf(file)), params,
                                                    [&](const io::MergeResult& p) {
                                                        asked = p;
                                                        return true;
                                                    });
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    ASSERT_TRUE(asked);
    EXPECT_EQ(io::mergeQuestion(*asked),
              "识别为 CSV（有表头、日期列、UTF-8），13 期，2020005–2020016。\n将添加 6 "
              "期历史中没有的号码，5 "
              "期已经保存；1 期与已保存的号码不同，保留已保存的。确实要合并吗？");
    EXPECT_EQ(r.added, 6u);
    EXPECT_EQ(r.alreadyStored, 5u);
    EXPECT_EQ(r.repeatedInFile, 1u);
    ASSERT_EQ(r.differing.size(), 1u);
    EXPECT_EQ(r.differing[0].issue, 2020007);
    EXPECT_EQ(r.differing[0].stored, stored[6].numbers);
    const auto after = io::storedDraws(db);
    ASSERT_EQ(after.size(), 16u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));  // stored draws kept
    EXPECT_EQ(after.back().issue, 2020016);
    EXPECT_TRUE(r.findings.empty());
    store::Snapshot idx = db.db().snapshot("SELECT max(IDX) AS m FROM lishi");
    idx.moveFirst();
    EXPECT_EQ(idx.intField("m"), 16);

    // Declined, nothing changes.
    const auto none =
        io::HistoryService(db).mergeFile(write("more.csv", csvOf(qt::randomDraws(3, 4, 2020020))),
                                         params, [](const io::MergeResult&) { return false; });
    EXPECT_EQ(none.error, io::ImportError::Cancelled);
    EXPECT_EQ(io::storedDraws(db).size(), 16u);
}

TEST(HistoryCheck, FindsHolesRepeatsThinYearsAndUncoveredNewYears) {
    std::vector<std::int32_t> issues;
    for (int y = 2016; y <= 2019; ++y)
        for (int k = 1; k <= (y == 2018 ? 40 : 150); ++k) issues.push_back(y * 1000 + k);
    issues.erase(std::find(issues.begin(), issues.end(), 2017089));  // a planted hole
    issues.push_back(2016100);                                       // a planted repeat
    issues.push_back(2031005);  // an early draw of a year the table does not hold
    using K = io::FindingKind;
    const auto found = io::checkIssues(issues);
    const std::vector<io::Finding> expected = {{K::Repeated, 2016100, 2, 0},
                                               {K::Missing, 2017089, 0, 0},
                                               {K::ThinYear, 2018, 40, 149},
                                               {K::NoNewYear, 2031, 0, 0}};
    EXPECT_EQ(found, expected);
    EXPECT_EQ(io::findingLine(found[0]), "重复\t2016100");
    EXPECT_EQ(io::findingLine(found[1]), "缺期\t2017089");
    EXPECT_EQ(io::findingLine(found[2]), "期数偏少\t2018\t40");
    EXPECT_EQ(
        io::checkSummary(found),
        "历史检查：缺 1 期（2017089），重复 1 期（2016100），期数明显少于前后年份的 1 年（2018）。"
        "生肖年分界表中没有 2031 "
        "年，这些年份春节前的号码按新的生肖年计算，请在“生肖年分界”中补上。");
    EXPECT_EQ(io::checkSummary({}), "历史检查：没有发现缺期或重复。");
}

TEST(NewYearTable, EarlyDrawsFrom2018To2026BelongToThePreviousZodiacYear) {
    const std::map<int, int> since2018 = {{2018, 20}, {2019, 14}, {2020, 9},
                                          {2021, 17}, {2022, 12}, {2023, 8},
                                          {2024, 17}, {2025, 11}, {2026, 19}};
    const auto codes = store::ZodiacCodes::startup(1);
    for (const auto& [year, last] : since2018) {
        const std::int32_t early = year * 1000 + last, after = early + 1;
        EXPECT_EQ(store::zodiacYear(early), year - 1) << early;
        EXPECT_EQ(store::zodiacYear(after), year) << after;
        // Number 01 is the zodiac of its year: one code lower before the Spring Festival.
        const auto before = store::buildDrawRow(early, early, {1, 2, 3, 4, 5, 6, 7, 8}, codes, 1);
        const auto since = store::buildDrawRow(after, after, {1, 2, 3, 4, 5, 6, 7, 8}, codes, 1);
        EXPECT_EQ(before.b[0], 1 + (year - 1 - 1972) % 12) << early;
        EXPECT_EQ(since.b[0], 1 + (year - 1972) % 12) << after;
    }
    EXPECT_EQ(store::zodiacYear(2013016), 2012);  // the years the table always had stay
    EXPECT_EQ(store::zodiacYear(2013017), 2013);
    EXPECT_EQ(store::zodiacYear(2027001), 2027);  // not in the table: no shift
}

TEST_F(RealHistories, TheUsersEntriesExtendTheTableAndStoredRowsOfAnotherTableAreFound) {
    const auto parsed = store::parseNewYearEntries("2027=9; 2028=14");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(store::newYearEntriesText(*parsed), "2027=9;2028=14");
    for (const char* bad : {"2027", "2027=x", "1900=3", "2027=61", "2027=9;x"})
        EXPECT_FALSE(store::parseNewYearEntries(bad)) << bad;
    store::NewYearTable typed;
    EXPECT_EQ(store::readNewYearTableInput("2027 9\n2028：14\n", typed), "");
    EXPECT_EQ(typed, *parsed);
    EXPECT_NE(store::readNewYearTableInput("2027 9\n2028 ?\n", typed).find("第 2 行"),
              std::string::npos);

    // Rows of 2027 built before the entry, then the entry: the early ones are found.
    qt::addDraws(db, qt::randomDraws(30, 5, 2027001));
    EXPECT_TRUE(store::rowsBuiltWithOtherNewYear(db.db(), 1).empty());
    store::setNewYearEntries(*parsed);
    EXPECT_EQ(store::zodiacYear(2027009), 2026);
    EXPECT_EQ(store::rowsBuiltWithOtherNewYear(db.db(), 1),
              (std::map<int, std::size_t>{{2027, 9}}));
    // The code rebuild builds them under the table in force.
    const auto rebuilt = io::HistoryService(db).rebuildCodes(params);
    ASSERT_TRUE(rebuilt.ok()) << rebuilt.outcome.text();
    EXPECT_TRUE(store::rowsBuiltWithOtherNewYear(db.db(), 1).empty());
    EXPECT_EQ(store::newYearEntriesBeyondDefaults(store::newYearTableInForce()), *parsed);
}

TEST_F(RealHistories, AnyNameImportsAndTheQuestionCountsChangedDrawsAsWellAsLostOnes) {
    const auto stored = qt::randomDraws(20, 3, 2020001);
    qt::addDraws(db, stored);
    auto file = stored;
    file.pop_back();                                              // one goes
    file[3].numbers = qt::randomDraws(1, 8, 2020004)[0].numbers;  // two change
    file[4].numbers = qt::randomDraws(1, 12, 2020005)[0].numbers;
    std::optional<io::ImportPreview> asked;
    params.confirmLoss = [&](const io::ImportPreview& p) {
        asked = p;
        return true;
    };
    const auto r = io::HistoryService(db).importFile(write("history.dat", csvOf(file)), params);
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->lostDraws, 1u);
    EXPECT_EQ(asked->changedDraws, 2u);
    const std::string q = io::importLossQuestion(*asked);
    EXPECT_EQ(
        q.rfind("识别为 CSV（有表头、日期列、UTF-8），19 期，2020001–2020019。\n文件中有 19 期", 0),
        0u)
        << q;
    EXPECT_NE(q.find("现有的 20 期中有 1 期将不再保存、2 期的号码将改变；原历史已备份到"),
              std::string::npos)
        << q;
    EXPECT_EQ(r.layout, "识别为 CSV（有表头、日期列、UTF-8），19 期，2020001–2020019");
    EXPECT_EQ(io::storedDraws(db).size(), 19u);
}

}  // namespace
