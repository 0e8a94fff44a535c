#include "history_io/removal_guard.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <system_error>

#include "history_io/atomic_file.h"
#include "history_io/export.h"
#include "history_io/text_format.h"
#include "store/engine.h"
#include "store/numbering.h"
#include "store/outcome.h"
#include "store/sql_translate.h"
#include "store/system_calls.h"

namespace quarvel::io {

namespace fs = std::filesystem;

namespace {

// "YYYYMMDD-HHMMSS" of the local time now.
std::string timeStamp() {
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    const std::tm local = store::localCalendarTime(t);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

bool allDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The name of a backup this program writes: YYYYMMDD-HHMMSS-<command>[-N].txt, one name only.
bool backupName(std::string_view name) {
    return name.size() >= 21 && name.ends_with(".txt") && name[8] == '-' && name[15] == '-' &&
           allDigits(name.substr(0, 8)) && allDigits(name.substr(9, 6)) &&
           name.find_first_of("/\\") == std::string_view::npos;
}

// The record of the backups this program wrote, oldest first: the order they were written in,
// whatever the clock said. Names that are no backup name are not taken from it.
std::vector<std::string> readBackupRecord(const fs::path& folder) {
    std::vector<std::string> names;
    std::ifstream in(folder / kBackupRecord, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (backupName(line)) names.push_back(line);
    }
    return names;
}

// Beyond the newest kBackupsKept recorded backups, the oldest are removed: only plain files of
// the recorded names (a link or folder put in one's place is left alone and forgotten), never
// the one just written. The shorter record is written first, so that a record that cannot be
// written removes nothing.
void pruneBackups(const fs::path& folder, const std::vector<std::string>& record,
                  const std::string& justWritten) {
    std::vector<std::string> kept;
    std::vector<fs::path> removed;
    const std::size_t excess = record.size() > kBackupsKept ? record.size() - kBackupsKept : 0;
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (i >= excess || record[i] == justWritten) {
            kept.push_back(record[i]);
            continue;
        }
        std::error_code ec;
        if (fs::is_regular_file(fs::symlink_status(folder / record[i], ec)))
            removed.push_back(folder / record[i]);
    }
    writeFileAtomically(folder / kBackupRecord, crlfLines(kept));
    for (const auto& file : removed) {
        std::error_code ec;
        fs::remove(file, ec);  // one that cannot be removed stays, as a file of the user's
    }
}

}  // namespace

fs::path backupFolder(const store::HistoryDb& db) { return db.dataDir() / utf8Path(kBackupFolder); }

namespace {

constexpr const char* kDrawColumns =
    "SELECT SQQH, L1A, L2A, L3A, L4A, L5A, L6A, L7A, L8A FROM Lishi";

// The draws that `sql` gives. With `issuesInRange`, false as soon as an SQQH is not a whole
// number within the issues' range: its place among the others is for SQLite's ORDER BY to tell.
bool readDraws(store::HistoryDb& db, const std::string& sql, bool issuesInRange,
               std::vector<HistoryDraw>& out) {
    store::Prepared st(db.db(), sql);
    const auto number = [&st](int col) -> std::int64_t {
        if (st.isInteger(col)) return st.integer(col);
        return store::toInt(st.column(col));
    };
    while (st.step()) {
        if (issuesInRange &&
            (!st.isInteger(0) || st.integer(0) != static_cast<std::int32_t>(st.integer(0))))
            return false;
        HistoryDraw d;
        d.issue = static_cast<std::int32_t>(number(0));
        for (int p = 0; p < kNumbersPerDraw; ++p) d.numbers[p] = static_cast<int>(number(p + 1));
        out.push_back(d);
    }
    return true;
}

}  // namespace

std::vector<HistoryDraw> storedDrawsFromTable(store::HistoryDb& db) {
    // Read straight from the statement, not through a copy of every cell: this runs before each
    // import of a full history. The table is read in its own order (RowSeq, the order rows were
    // stored) and put in issue order here without SQLite's sort; it is usually in issue order
    // already. Equal issues keep the table's order, as ORDER BY SQQH, RowSeq gives them.
    std::vector<HistoryDraw> out;
    if (readDraws(db, std::string(kDrawColumns) + " NOT INDEXED ORDER BY RowSeq", true, out)) {
        const auto byIssue = [](const HistoryDraw& x, const HistoryDraw& y) {
            return x.issue < y.issue;
        };
        if (!std::is_sorted(out.begin(), out.end(), byIssue))
            std::stable_sort(out.begin(), out.end(), byIssue);
        return out;
    }
    out.clear();
    readDraws(db, std::string(kDrawColumns) + " NOT INDEXED ORDER BY SQQH, RowSeq", false, out);
    return out;
}

fs::path writeHistoryBackup(store::HistoryDb& db, const std::vector<HistoryDraw>& draws,
                            std::string_view command) {
    std::vector<std::string> lines;
    lines.reserve(draws.size());
    for (const auto& d : draws) {
        if (!writableAsHistoryLine(d.issue, d.numbers))
            throw IoError("第 " + std::to_string(d.issue) +
                          " 期不能写成历史号码文本（七位期号、两位号码），无法备份");
        lines.push_back(historyLine(d.issue, d.numbers));
    }
    const fs::path folder = backupFolder(db);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec)
        throw IoError((ec == std::errc::no_space_on_device ? "磁盘已满，无法建立“" : "无法建立“") +
                          std::string(kBackupFolder) + "”文件夹。",
                      "cannot create the folder " + folder.string() + " (" + ec.message() + ")");

    const std::string stem = timeStamp() + "-" + std::string(command);
    fs::path target = folder / (stem + ".txt");
    for (int n = 2; fs::exists(fs::symlink_status(target, ec)); ++n)
        target = folder / (stem + "-" + std::to_string(n) + ".txt");
    writeFileAtomically(target, crlfLines(lines));
    // Recorded once written: the record holds only backups that exist. A record that cannot be
    // written keeps every backup (none is removed without it), the new one included.
    std::vector<std::string> record = readBackupRecord(folder);
    const std::string written = target.filename().string();
    record.erase(std::remove(record.begin(), record.end(), written), record.end());
    record.push_back(written);
    try {
        pruneBackups(folder, record, written);
    } catch (const IoError&) {
    }
    return target;
}

std::optional<std::string> integrityFault(store::Database& db) {
    store::Snapshot s = db.snapshot("PRAGMA integrity_check");
    std::string answer;
    for (std::size_t r = 0; r < s.recordCount() && r < 3; ++r)
        answer += (answer.empty() ? "" : "; ") + store::toText(s.row(r).at(0));
    if (s.recordCount() == 1 && answer == "ok") return std::nullopt;
    return answer.empty() ? std::string("no answer") : answer;
}

namespace {

constexpr const char* kDamagedSentence = "历史数据库文件已损坏。";

// The check itself may fail on a badly damaged file: that failure is its answer.
std::optional<std::string> checkedFault(store::HistoryDb& db) {
    try {
        return integrityFault(db.db());
    } catch (const std::exception& e) {
        return std::string(e.what());
    }
}

}  // namespace

RemovalGuard guardRemoval(store::HistoryDb& db, std::string_view command) {
    RemovalGuard g;
    std::string readFailure;
    try {
        g.stored = storedDrawsFromTable(db);
    } catch (const std::exception& e) {
        const store::Outcome why = store::Outcome::failed(e);
        readFailure = why.sentence;
        g.detail = why.detail;
    }
    std::string backupFailure;
    if (readFailure.empty() && !g.stored.empty()) {
        try {
            g.backup = writeHistoryBackup(db, g.stored, command);
        } catch (const IoError& e) {
            backupFailure = e.what();
            g.detail = e.detail();
        }
    }
    // Checked after the backup, so that a damaged file still leaves the draws it can give.
    if (const auto fault = checkedFault(db)) {
        g.refusal = kDamagedSentence + backupSentence(g.backup);
        g.detail = "PRAGMA integrity_check: " + *fault;
    } else if (!readFailure.empty()) {
        g.refusal = "历史号码无法读出，无法备份：" + readFailure;
    } else if (!backupFailure.empty()) {
        g.refusal = "原历史无法备份到“" + std::string(kBackupFolder) + "”文件夹：" + backupFailure;
    }
    return g;
}

std::uint64_t historyFingerprint(const store::TextGrid& list) {
    // FNV-1a over every cell of every draw row, each cell and row closed by a byte no cell holds.
    std::uint64_t h = 1469598103934665603ull;
    const auto add = [&h](unsigned char c) {
        h ^= c;
        h *= 1099511628211ull;
    };
    for (std::size_t r = 1; r < list.cells.size(); ++r) {
        for (const auto& cell : list.cells[r]) {
            for (unsigned char c : cell) add(c);
            add(0x1f);
        }
        add(0x1e);
    }
    return h;
}

SeenHistory seenHistoryOf(const store::TextGrid& list) {
    SeenHistory seen;
    seen.draws = list.cells.empty() ? 0 : list.cells.size() - 1;
    if (seen.draws > 0 && !list.cells.back().empty())
        seen.newest = static_cast<std::int32_t>(store::toInt(store::Value(list.cells.back()[0])));
    seen.fingerprint = historyFingerprint(list);
    return seen;
}

std::string staleRefusal(store::HistoryDb& db, const SeenHistory* seen) {
    if (!seen) return {};
    const auto newest = db.lastIssue();
    const std::size_t draws = db.drawCount();
    bool same = newest == seen->newest && draws == seen->draws;
    if (same && seen->fingerprint)
        same = historyFingerprint(store::historyListGrid(db.db())) == *seen->fingerprint;
    if (same) return {};
    return "历史号码已被其他程序改变（现在" +
           (newest
                ? "最新一期是 " + std::to_string(*newest) + "，共 " + std::to_string(draws) + " 期"
                : std::string("没有历史号码")) +
           "），没有执行。";
}

std::string integrityRefusal(store::HistoryDb& db) {
    const auto fault = checkedFault(db);
    return fault ? std::string(kDamagedSentence) : std::string();
}

std::string backupSentence(const fs::path& backup) {
    if (backup.empty()) return {};
    const auto u8 = backup.u8string();
    return "原历史已备份到 " + std::string(u8.begin(), u8.end()) + "。";
}

}  // namespace quarvel::io
