#include "history_io/removal_guard.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>

#include "history_io/atomic_file.h"
#include "history_io/export.h"
#include "history_io/text_format.h"
#include "store/engine.h"
#include "store/sql_translate.h"

namespace quarvel::io {

namespace fs = std::filesystem;

namespace {

// "YYYYMMDD-HHMMSS" of the local time now.
std::string timeStamp() {
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

bool allDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Where a file of the backup folder stands among the backups: its time stamp, then the number
// after the command ("-2" for the second of one second, 1 without it), and for backups of
// different commands in one second the time the file was written. Files of any other name are
// the user's own and never removed.
struct BackupKey {
    std::string stamp;
    long sequence = 1;
    fs::file_time_type written{};
    bool operator<(const BackupKey& o) const {
        if (stamp != o.stamp) return stamp < o.stamp;
        if (written != o.written) return written < o.written;
        return sequence < o.sequence;
    }
};

std::optional<BackupKey> backupKeyOf(const std::string& name) {
    if (name.size() < 21 || !name.ends_with(".txt") || name[8] != '-' || name[15] != '-')
        return std::nullopt;
    if (!allDigits(std::string_view(name).substr(0, 8)) ||
        !allDigits(std::string_view(name).substr(9, 6)))
        return std::nullopt;
    BackupKey key{name.substr(0, 15)};
    const std::string stem = name.substr(16, name.size() - 20);  // the command, maybe "-N"
    const auto dash = stem.rfind('-');
    if (dash != std::string::npos && allDigits(std::string_view(stem).substr(dash + 1)))
        key.sequence = std::stol(stem.substr(dash + 1));
    return key;
}

void removeOldBackups(const fs::path& folder) {
    std::vector<std::pair<BackupKey, fs::path>> backups;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        if (auto key = backupKeyOf(it->path().filename().string())) {
            key->written = it->last_write_time(ec);
            backups.emplace_back(*key, it->path());
        }
    }
    if (backups.size() <= kBackupsKept) return;
    std::sort(backups.begin(), backups.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    // A backup that cannot be removed only stays longer; the new one is written.
    for (std::size_t i = 0; i + kBackupsKept < backups.size(); ++i)
        fs::remove(backups[i].second, ec);
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
        throw IoError("cannot create the folder " + folder.string() + " (" + ec.message() + ")");

    const std::string stem = timeStamp() + "-" + std::string(command);
    fs::path target = folder / (stem + ".txt");
    for (int n = 2; fs::exists(fs::symlink_status(target, ec)); ++n)
        target = folder / (stem + "-" + std::to_string(n) + ".txt");
    writeFileAtomically(target, crlfLines(lines));
    removeOldBackups(folder);
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

std::string damagedSentence(const std::string& detail) {
    return "历史数据库文件已损坏（" + detail + "）。";
}

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
        readFailure = store::userText(e);
    }
    std::string backupFailure;
    if (readFailure.empty() && !g.stored.empty()) {
        try {
            g.backup = writeHistoryBackup(db, g.stored, command);
        } catch (const IoError& e) {
            backupFailure = e.what();
        }
    }
    // Checked after the backup, so that a damaged file still leaves the draws it can give.
    if (const auto fault = checkedFault(db)) {
        g.refusal = damagedSentence(*fault) + backupSentence(g.backup);
    } else if (!readFailure.empty()) {
        g.refusal = "历史号码无法读出，无法备份：" + readFailure;
    } else if (!backupFailure.empty()) {
        g.refusal =
            "原历史无法备份到“" + std::string(kBackupFolder) + "”文件夹（" + backupFailure + "）。";
    }
    return g;
}

std::string staleRefusal(store::HistoryDb& db, const SeenHistory* seen) {
    if (!seen) return {};
    const auto newest = db.lastIssue();
    const std::size_t draws = db.drawCount();
    if (newest == seen->newest && draws == seen->draws) return {};
    return "历史号码已被其他程序改变（现在" +
           (newest
                ? "最新一期是 " + std::to_string(*newest) + "，共 " + std::to_string(draws) + " 期"
                : std::string("没有历史号码")) +
           "），没有执行。";
}

std::string integrityRefusal(store::HistoryDb& db) {
    const auto fault = checkedFault(db);
    return fault ? damagedSentence(*fault) : std::string();
}

std::string backupSentence(const fs::path& backup) {
    if (backup.empty()) return {};
    const auto u8 = backup.u8string();
    return "原历史已备份到 " + std::string(u8.begin(), u8.end()) + "。";
}

}  // namespace quarvel::io
