#include <gtest/gtest.h>

#include "store/history_db.h"
#include "store/stored_bases.h"
#include "support/test_support.h"

using namespace quarvel::store;
using quarvel::testing::TempDir;

namespace {

// A stored row by its eight zodiac codes and eight segment codes; -1 stores NULL, -2 the text
// 'x' (which SQLite orders above every number).
struct CodeRow {
    std::array<int, 8> zodiac, segment;
};

void storeRows(HistoryDb& db, const std::vector<CodeRow>& rows) {
    int issue = 2013000;
    for (const auto& r : rows) {
        std::string names = "SQQH", values = std::to_string(++issue);
        for (int p = 1; p <= 8; ++p) {
            const auto code = [](int v) {
                return v == -1 ? std::string("NULL") : v == -2 ? "'x'" : std::to_string(v);
            };
            names += ", L" + std::to_string(p) + "B, L" + std::to_string(p) + "H";
            values += ", " + code(r.zodiac[p - 1]) + ", " + code(r.segment[p - 1]);
        }
        db.db().executeNative("INSERT INTO Lishi (" + names + ") VALUES (" + values + ")");
    }
}

constexpr std::array<int, 8> kMid = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr std::array<int, 8> kLow = {0, 2, 3, 4, 5, 6, 7, 8};       // a code only base 0 writes
constexpr std::array<int, 8> kHigh = {1, 2, 3, 4, 5, 6, 7, 12};     // zodiac 12: base 1 only
constexpr std::array<int, 8> kSegHigh = {1, 2, 3, 4, 5, 6, 7, 10};  // segment 10: base 1 only
constexpr std::array<int, 8> kLowWithNull = {0, 2, 3, 4, 5, 6, 7, -1};
constexpr std::array<int, 8> kText = {1, 2, 3, 4, 5, 6, 7, -2};

// `n` rows of middle codes, `row` in place of those at `places`.
std::vector<CodeRow> middleRows(int n, const std::vector<std::pair<int, CodeRow>>& places) {
    std::vector<CodeRow> rows(static_cast<std::size_t>(n), CodeRow{kMid, kMid});
    for (const auto& [at, row] : places) rows[static_cast<std::size_t>(at)] = row;
    return rows;
}

struct BasesCase {
    const char* name;
    std::vector<CodeRow> rows;
    Bases assumed, told;
};

}  // namespace

// The base each code kind is written in, told by the end codes of the rows with all eight codes
// stored (the oldest and newest draws first), and the assumed base wherever the rows do not
// tell.
TEST(StoredBases, EndCodesTellTheBaseOtherwiseTheAssumedOne) {
    const std::vector<BasesCase> cases = {
        {"empty history", {}, {1, 0}, {1, 0}},
        {"no end code stored", {{kMid, kMid}}, {0, 1}, {0, 1}},
        {"lowest codes: base 0", {{kMid, kMid}, {kLow, kLow}}, {1, 1}, {0, 0}},
        {"highest codes: base 1", {{kHigh, kSegHigh}}, {0, 0}, {1, 1}},
        {"each kind on its own", {{kLow, kSegHigh}}, {1, 0}, {0, 1}},
        {"both ends mixed", {{kLow, kLow}, {kHigh, kSegHigh}}, {0, 1}, {0, 1}},
        {"a row with a NULL code tells nothing", {{kLowWithNull, kLowWithNull}}, {1, 1}, {1, 1}},
        {"a text code compares as SQLite compares it",
         {{kMid, kMid}, {kText, kMid}},
         {0, 0},
         {1, 0}},
        // A long history: the oldest and newest hundred draws are read first.
        {"the ends tell, a row between them is not read",
         middleRows(250, {{0, {kHigh, kSegHigh}}, {125, {kLow, kLow}}}),
         {0, 0},
         {1, 1}},
        {"the ends tell nothing: the whole history is read",
         middleRows(250, {{125, {kLow, kLow}}}),
         {1, 1},
         {0, 0}},
        {"each kind told where it shows",
         middleRows(250, {{249, {kLow, kMid}}, {125, {kMid, kSegHigh}}}),
         {1, 0},
         {0, 1}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        HistoryDb db(dir.path());
        db.open();
        storeRows(db, c.rows);
        const Bases got = storedBases(db.db(), c.assumed);
        EXPECT_EQ(got.sx, c.told.sx) << c.name;
        EXPECT_EQ(got.ds, c.told.ds) << c.name;
    }
}

// The kept bases are read again when this program says the history changed, when another
// connection commits, or when the assumed bases differ.
TEST(StoredBases, KeptUntilTheHistoryMayHaveChanged) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    StoredBasesCache cache;
    EXPECT_EQ(cache.get(db, {1, 1}).sx, 1);
    storeRows(db, {{kLow, kMid}});
    db.historyChanged();
    EXPECT_EQ(cache.get(db, {1, 1}).sx, 0);
    {
        HistoryDb other(dir.path());
        other.open();
        other.db().executeNative("DELETE FROM Lishi");
    }
    EXPECT_EQ(cache.get(db, {1, 1}).sx, 1);
    storeRows(db, {{kHigh, kMid}});
    db.historyChanged();
    EXPECT_EQ(cache.get(db, {0, 1}).sx, 1);
    db.db().executeNative("DELETE FROM Lishi");
    EXPECT_EQ(cache.get(db, {0, 0}).sx, 0);
}

// The standing table cursor reads its rows when first used: rows appended before that, through
// it or by another connection, are all there, and what it appends afterwards is counted once.
TEST(StandingCursor, ReadsItsRowsWhenFirstUsed) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    HistoryDb other(dir.path());
    other.open();
    storeRows(other, {{kMid, kMid}});
    TableCursor& rs = db.rsLishi();
    rs.addNew();
    rs.set("SQQH", Value{std::int64_t{2013002}});
    rs.update();
    EXPECT_EQ(rs.recordCount(), 2u);
    rs.addNew();
    rs.set("SQQH", Value{std::int64_t{2013003}});
    rs.update();
    EXPECT_EQ(rs.recordCount(), 3u);
    rs.moveLast();
    EXPECT_EQ(rs.intField("SQQH"), 2013003);
}
