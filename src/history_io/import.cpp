#include "history_io/import.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "history_io/atomic_file.h"
#include "history_io/removal_guard.h"
#include "store/numbering.h"

namespace quarvel::io {

namespace {

std::string readAll(std::istream& in, const std::filesystem::path& path) {
    std::string bytes;
    char chunk[1 << 16];
    // istream::read turns a failing stream buffer into badbit rather than an exception.
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        throw IoError("reading " + path.string() + " stopped after " +
                      std::to_string(bytes.size()) +
                      " bytes: the file could not be read to its end");
    return bytes;
}

// The text format holds no NUL byte: a file with one is a database, a picture, a program.
bool holdsNulByte(const std::string& bytes) { return bytes.find('\0') != std::string::npos; }

// A history file is mostly draws; a notes file or a stray file with a draw line in it is not.
bool mostlyDraws(const HistoryText& t) { return t.drawLines * 2 >= t.drawLines + t.skippedLines; }

ImportPreview previewOf(const std::vector<HistoryDraw>& fileDraws,
                        const std::vector<HistoryDraw>& stored) {
    ImportPreview p;
    p.fileDraws = fileDraws.size();
    p.storedDraws = stored.size();
    std::unordered_set<std::int32_t> issues;
    for (const auto& d : fileDraws) {
        issues.insert(d.issue);
        p.firstIssue = p.firstIssue == 0 ? d.issue : std::min(p.firstIssue, d.issue);
        p.lastIssue = std::max(p.lastIssue, d.issue);
    }
    for (const auto& d : stored) p.lostDraws += issues.count(d.issue) == 0 ? 1 : 0;
    return p;
}

// What the import checks once the file is read, before and again inside the transaction.
struct Prepared {
    std::string bytes;
    bool refuseJunk = false;
    const std::vector<HistoryDraw>* seen = nullptr;  // the history the user was asked about
    std::filesystem::path backupWritten;             // its backup, written before asking
};

}  // namespace

std::string importLossQuestion(const ImportPreview& p) {
    return "文件中有 " + std::to_string(p.fileDraws) + " 期（" + std::to_string(p.firstIssue) +
           "～" + std::to_string(p.lastIssue) + "），读入后现有的 " +
           std::to_string(p.storedDraws) + " 期中有 " + std::to_string(p.lostDraws) +
           " 期将不再保存；" + backupSentence(p.backup) + "确实要读入吗？";
}

bool hasTextFileName(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (name.size() < 3) return false;
    const std::string tail = name.substr(name.size() - 3);
    for (std::size_t i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != "txt"[i]) return false;
    return true;
}

namespace {

store::DbFault faultOf(const std::exception& e) {
    const auto* db = dynamic_cast<const store::DbError*>(&e);
    return db ? db->fault() : store::DbFault::Other;
}

// What the user reads for a reason whose detail says what exactly happened.
std::string sentenceOf(ImportError e) {
    switch (e) {
        case ImportError::Unreadable:
            return "历史号码文件无法读取，历史号码未改变。";
        case ImportError::TooManyDraws:
            return "文件中的历史号码超过 " + std::to_string(store::kMaxDraws) +
                   " 期，历史号码未改变。";
        case ImportError::NoDraws:
            return "文件中没有一期有效的历史号码，历史号码未改变。";
        case ImportError::Cancelled:
            return "没有读入，历史号码未改变。";
        default:
            return "历史号码无法保存，历史号码未改变。";
    }
}

ImportResult refusal(ImportError e, const std::string& detail,
                     store::DbFault fault = store::DbFault::Other) {
    ImportResult r;
    r.error = e;
    const bool failed = e == ImportError::Unreadable || e == ImportError::StoreFailed;
    r.outcome = {failed ? store::OutcomeKind::Failed : store::OutcomeKind::Refused,
                 sentenceOf(e),
                 detail + "; the history is unchanged",
                 {},
                 fault};
    return r;
}

// A refusal whose Chinese sentence says it all.
ImportResult refusalSaying(ImportError e, std::string sentence,
                           store::OutcomeKind kind = store::OutcomeKind::Refused) {
    ImportResult r;
    r.error = e;
    r.outcome = {kind, std::move(sentence), {}, {}, store::DbFault::Other};
    return r;
}

// The file's own refusals, the same before the question and inside the transaction.
std::optional<ImportResult> refuseText(const HistoryText& text, const std::filesystem::path& path,
                                       const ReplaceChecks& checks, bool refuseJunk) {
    if (text.drawLines > static_cast<std::size_t>(store::kMaxDraws))
        return refusal(ImportError::TooManyDraws,
                       path.string() + " holds " + std::to_string(text.drawLines) +
                           " draws, more than the " + std::to_string(store::kMaxDraws) +
                           " the history can hold");
    if (checks.refuseEmpty && text.draws.empty())
        return refusal(ImportError::NoDraws, path.string() + " holds no draw (" +
                                                 std::to_string(text.skippedLines) +
                                                 " lines skipped)");
    if (refuseJunk && !mostlyDraws(text))
        return refusalSaying(
            ImportError::NotHistoryText,
            notHistoryTextSentence(text.drawLines, text.drawLines + text.skippedLines));
    // A file written a moment ago from known draws must read back as exactly those, or
    // replacing the history with it would lose or alter draws.
    if (checks.expected && text.draws != *checks.expected)
        return refusal(ImportError::Unreadable,
                       path.string() + " does not read back as the draws written to it");
    return std::nullopt;
}

HistoryText parse(const std::string& bytes, std::int64_t previousIssue) {
    return readHistoryText(std::string_view(bytes), previousIssue,
                           static_cast<std::size_t>(store::kMaxDraws));
}

ImportResult replaceFromBytes(store::HistoryDb& db, const std::filesystem::path& path,
                              const ImportParams& params, const ReplaceChecks& checks,
                              const Prepared& prepared) {
    ImportResult r;
    HistoryText text;
    try {
        // The carried issue starts after the newest stored draw, read inside the write
        // transaction: another program that adds or trims meanwhile waits, or goes first.
        const store::LargePageCache wholeHistory(db.db());
        store::Transaction tx(db.db());
        const std::int64_t next = std::int64_t{db.lastIssue().value_or(0)} + 1;
        text = parse(prepared.bytes, next);
        r.linesSkipped = text.skippedLines;
        r.firstSkippedLines = text.firstSkippedLines;
        r.blankLines = text.blankLines;
        if (auto refused = refuseText(text, path, checks, prepared.refuseJunk)) {
            refused->linesSkipped = r.linesSkipped;
            refused->firstSkippedLines = r.firstSkippedLines;
            return *refused;
        }
        // The user agreed to replace the history as it was shown; another program changed it.
        if (prepared.seen && storedDrawsFromTable(db) != *prepared.seen)
            return refusalSaying(ImportError::Refused,
                                 "读入前历史号码已被其他程序改变，文件没有读入，请重新读入。",
                                 store::OutcomeKind::Stale);
        if (!prepared.backupWritten.empty()) {
            r.backup = prepared.backupWritten;
            if (auto why = integrityRefusal(db); !why.empty())
                return refusalSaying(ImportError::Refused, why + backupSentence(r.backup));
        } else if (!checks.backupCommand.empty()) {
            const RemovalGuard guard = guardRemoval(db, checks.backupCommand);
            if (!guard.ok()) return refusalSaying(ImportError::Refused, guard.refusal);
            r.backup = guard.backup;
        }

        replaceHistory(db, text.draws, params.rules);
        tx.commit();
    } catch (const std::exception& e) {
        // The sorted history is read again when next asked for, showing the rows that survived.
        db.historyChanged();
        ImportResult failed =
            refusal(ImportError::StoreFailed,
                    "the draws could not be stored: " + store::userText(e), faultOf(e));
        failed.backup = r.backup;
        return failed;
    }
    db.historyChanged();
    r.drawsStored = text.draws.size();
    return r;
}

std::optional<ImportResult> readBytes(const std::filesystem::path& path, const ImportParams& params,
                                      std::string& bytes) {
    try {
        auto in = params.open ? params.open(path) : openFileForReading(path);
        bytes = readAll(*in, path);
    } catch (const IoError& e) {
        return refusal(ImportError::Unreadable, e.what());
    }
    return std::nullopt;
}

}  // namespace

std::string notHistoryTextSentence(std::size_t drawLines, std::size_t lines) {
    return "文件中只有 " + std::to_string(drawLines) + " 行是号码，共 " + std::to_string(lines) +
           " 行，不像历史号码文件，未读入。";
}

ImportResult replaceHistoryFromFile(store::HistoryDb& db, const std::filesystem::path& path,
                                    const ImportParams& params, const ReplaceChecks& checks) {
    // The file is read whole before the history is touched; a read error stops here.
    Prepared prepared;
    if (auto refused = readBytes(path, params, prepared.bytes)) return *refused;
    return replaceFromBytes(db, path, params, checks, prepared);
}

ImportResult importHistoryFile(store::HistoryDb& db, const std::filesystem::path& path,
                               const ImportParams& params) {
    if (!hasTextFileName(path))
        return refusalSaying(ImportError::NotATextFile,
                             path.string() + " 不是文本文件（*.txt），历史号码未改变。");
    Prepared prepared;
    prepared.refuseJunk = true;
    if (auto refused = readBytes(path, params, prepared.bytes)) return *refused;
    if (holdsNulByte(prepared.bytes))
        return refusalSaying(ImportError::NotHistoryText,
                             "文件中有不是文字的字节（NUL），不像历史号码文件，未读入。");
    const ReplaceChecks checks{.backupCommand = "import"};

    std::vector<HistoryDraw> seen;
    if (params.confirmLoss) {
        // Read once without the write lock, so that the question waits for the user without
        // keeping other programs from the history; the transaction then checks that the
        // history is still the one asked about.
        try {
            seen = storedDrawsFromTable(db);
        } catch (const std::exception& e) {
            return refusal(ImportError::StoreFailed,
                           "the history could not be read: " + store::userText(e), faultOf(e));
        }
        const HistoryText text =
            parse(prepared.bytes, std::int64_t{seen.empty() ? 0 : seen.back().issue} + 1);
        if (auto refused = refuseText(text, path, checks, true)) return *refused;
        ImportPreview preview = previewOf(text.draws, seen);
        if (preview.lostDraws > 0) {
            try {
                preview.backup = writeHistoryBackup(db, seen, "import");
            } catch (const IoError& e) {
                return refusalSaying(ImportError::Refused, "原历史无法备份到“" +
                                                               std::string(kBackupFolder) +
                                                               "”文件夹（" + e.what() + "）。");
            }
            if (!params.confirmLoss(preview))
                return refusal(ImportError::Cancelled, "the user kept the history");
            prepared.seen = &seen;
            prepared.backupWritten = preview.backup;
        }
    }
    return replaceFromBytes(db, path, params, checks, prepared);
}

}  // namespace quarvel::io
