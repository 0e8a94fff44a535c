#include "history_io/import.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "history_io/atomic_file.h"
#include "history_io/layout_reader.h"
#include "history_io/removal_guard.h"
#include "history_io/row_appender.h"
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

// A history file is mostly draws; a notes file or a stray file with a draw line in it is not.
bool mostlyDraws(const HistoryText& t) { return t.drawLines * 2 >= t.drawLines + t.skippedLines; }

ImportPreview previewOf(const std::vector<HistoryDraw>& fileDraws,
                        const std::vector<HistoryDraw>& stored) {
    ImportPreview p;
    p.fileDraws = fileDraws.size();
    p.storedDraws = stored.size();
    // Every draw the file holds under an issue; a stored draw stays only when the file holds it
    // with the same numbers.
    std::unordered_map<std::int32_t, std::vector<const HistoryDraw*>> byIssue;
    for (const auto& d : fileDraws) {
        byIssue[d.issue].push_back(&d);
        p.firstIssue = p.firstIssue == 0 ? d.issue : std::min(p.firstIssue, d.issue);
        p.lastIssue = std::max(p.lastIssue, d.issue);
    }
    for (const auto& d : stored) {
        const auto it = byIssue.find(d.issue);
        if (it == byIssue.end())
            ++p.lostDraws;
        else if (std::none_of(it->second.begin(), it->second.end(),
                              [&d](const HistoryDraw* f) { return f->numbers == d.numbers; }))
            ++p.changedDraws;
    }
    return p;
}

// What the import checks once the file is read, before and again inside the transaction.
struct Prepared {
    std::string bytes;
    std::filesystem::path path;
    bool anyLayout = false;  // the import reads every layout; the rebuild only its own text
    bool refuseJunk = false;
    const std::vector<HistoryDraw>* seen = nullptr;  // the history the user was asked about
    std::filesystem::path backupWritten;             // its backup, written before asking
};

}  // namespace

std::string importLossQuestion(const ImportPreview& p) {
    std::string q = p.layout.empty() ? std::string() : p.layout + "。\n";
    if (p.lostDraws == 0 && p.changedDraws == 0)
        return q +
               (p.storedDraws == 0 ? std::string()
                                   : "读入后将替换现有的 " + std::to_string(p.storedDraws) +
                                         " 期历史号码，其中没有一期丢失或改变。") +
               "确实要读入吗？";
    q += "文件中有 " + std::to_string(p.fileDraws) + " 期（" + std::to_string(p.firstIssue) + "～" +
         std::to_string(p.lastIssue) + "），读入后现有的 " + std::to_string(p.storedDraws) +
         " 期中有 ";
    if (p.lostDraws > 0) q += std::to_string(p.lostDraws) + " 期将不再保存";
    if (p.lostDraws > 0 && p.changedDraws > 0) q += "、";
    if (p.changedDraws > 0) q += std::to_string(p.changedDraws) + " 期的号码将改变";
    return q + "；" + backupSentence(p.backup) + "确实要读入吗？";
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

RecognisedHistory parse(const Prepared& p, std::int64_t previousIssue) {
    if (p.anyLayout)
        return readAnyHistory(p.bytes, p.path, previousIssue,
                              static_cast<std::size_t>(store::kMaxDraws));
    RecognisedHistory own;
    own.text = readHistoryText(std::string_view(p.bytes), previousIssue,
                               static_cast<std::size_t>(store::kMaxDraws));
    return own;
}

// The refusal of bytes that are no list of draws in any layout.
std::optional<ImportResult> refuseNotText(const RecognisedHistory& r) {
    if (!r.notText) return std::nullopt;
    ImportResult out;
    out.error = ImportError::NotHistoryText;
    out.outcome = {store::OutcomeKind::Refused,
                   r.detail.starts_with("a NUL")
                       ? "文件中有不是文字的字节（NUL），不像历史号码文件，未读入。"
                       : "表格文件无法读取，不像历史号码文件，未读入。",
                   r.detail,
                   {},
                   store::DbFault::Other};
    return out;
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
        const RecognisedHistory recognised = parse(prepared, next);
        if (auto refused = refuseNotText(recognised)) return *refused;
        text = recognised.text;
        if (recognised.kind != FileKind::OwnText) r.layout = recognitionSentence(recognised);
        r.linesSkipped = text.skippedLines;
        r.firstSkippedLines = text.firstSkippedLines;
        r.blankLines = text.blankLines;
        if (auto refused = refuseText(text, path, checks, prepared.refuseJunk)) {
            refused->linesSkipped = r.linesSkipped;
            refused->firstSkippedLines = r.firstSkippedLines;
            refused->layout = r.layout;
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
    prepared.path = path;
    if (auto refused = readBytes(path, params, prepared.bytes)) return *refused;
    return replaceFromBytes(db, path, params, checks, prepared);
}

ImportResult importHistoryFile(store::HistoryDb& db, const std::filesystem::path& path,
                               const ImportParams& params) {
    Prepared prepared;
    prepared.path = path;
    prepared.anyLayout = true;
    prepared.refuseJunk = true;
    if (auto refused = readBytes(path, params, prepared.bytes)) return *refused;
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
        const RecognisedHistory recognised =
            parse(prepared, std::int64_t{seen.empty() ? 0 : seen.back().issue} + 1);
        if (auto refused = refuseNotText(recognised)) return *refused;
        const HistoryText& text = recognised.text;
        if (auto refused = refuseText(text, path, checks, true)) return *refused;
        ImportPreview preview = previewOf(text.draws, seen);
        const bool loses = preview.lostDraws > 0 || preview.changedDraws > 0;
        if (recognised.kind != FileKind::OwnText) preview.layout = recognitionSentence(recognised);
        if (loses || !preview.layout.empty()) {
            try {
                if (loses) preview.backup = writeHistoryBackup(db, seen, "import");
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

namespace quarvel::io {

namespace {

// What a merge of `file` into `stored` does (nothing stored yet); the draws to add in `adds`.
MergeResult planMerge(const std::vector<HistoryDraw>& file, const std::vector<HistoryDraw>& stored,
                      std::vector<HistoryDraw>* adds) {
    MergeResult m;
    std::unordered_map<std::int32_t, const HistoryDraw*> byIssue;
    for (const auto& d : stored) byIssue.emplace(d.issue, &d);
    std::unordered_map<std::int32_t, bool> fromFile;
    for (const auto& d : file) {
        if (const auto it = byIssue.find(d.issue); it != byIssue.end()) {
            if (it->second->numbers == d.numbers)
                ++m.alreadyStored;
            else
                m.differing.push_back({d.issue, it->second->numbers, d.numbers});
            continue;
        }
        if (!fromFile.emplace(d.issue, true).second) {
            ++m.repeatedInFile;
            continue;
        }
        ++m.added;
        if (adds) adds->push_back(d);
    }
    return m;
}

MergeResult mergeRefused(const ImportResult& r) {
    MergeResult m;
    m.error = r.error;
    m.outcome = r.outcome;
    m.layout = r.layout;
    m.linesSkipped = r.linesSkipped;
    return m;
}

}  // namespace

std::string mergeQuestion(const MergeResult& p) {
    std::string q = p.layout.empty() ? std::string() : p.layout + "。\n";
    q += "将添加 " + std::to_string(p.added) + " 期历史中没有的号码";
    if (p.alreadyStored > 0) q += "，" + std::to_string(p.alreadyStored) + " 期已经保存";
    if (!p.differing.empty())
        q += "；" + std::to_string(p.differing.size()) + " 期与已保存的号码不同，保留已保存的";
    return q + "。确实要合并吗？";
}

std::string mergeSummary(const MergeResult& r) {
    std::string s = "已合并：添加 " + std::to_string(r.added) + " 期，" +
                    std::to_string(r.alreadyStored) + " 期已经保存";
    if (r.repeatedInFile > 0) s += "，文件中重复 " + std::to_string(r.repeatedInFile) + " 期";
    return s;
}

MergeResult mergeHistoryFile(store::HistoryDb& db, const std::filesystem::path& path,
                             const ImportParams& params,
                             const std::function<bool(const MergeResult&)>& confirm) {
    Prepared prepared;
    prepared.path = path;
    prepared.anyLayout = true;
    if (auto refused = readBytes(path, params, prepared.bytes)) return mergeRefused(*refused);
    const ReplaceChecks checks;
    auto readFile = [&](std::int64_t next, MergeResult& into) -> std::optional<RecognisedHistory> {
        RecognisedHistory recognised = parse(prepared, next);
        std::optional<ImportResult> refused = refuseNotText(recognised);
        if (!refused) refused = refuseText(recognised.text, path, checks, true);
        if (refused) {
            into = mergeRefused(*refused);
            return std::nullopt;
        }
        if (recognised.kind != FileKind::OwnText) into.layout = recognitionSentence(recognised);
        into.linesSkipped = recognised.text.skippedLines;
        return recognised;
    };
    MergeResult r;
    try {
        if (confirm) {
            // Asked without the write lock; the transaction below works on the history as it
            // is then, and only adds.
            const std::vector<HistoryDraw> seen = storedDrawsFromTable(db);
            MergeResult asked;
            const auto file =
                readFile(std::int64_t{seen.empty() ? 0 : seen.back().issue} + 1, asked);
            if (!file) return asked;
            MergeResult preview = planMerge(file->text.draws, seen, nullptr);
            preview.layout = asked.layout;
            if (!confirm(preview)) {
                preview.error = ImportError::Cancelled;
                preview.outcome = store::Outcome::refused("没有合并，历史号码未改变。");
                return preview;
            }
        }
        store::Transaction tx(db.db());
        if (auto why = integrityRefusal(db); !why.empty())
            return mergeRefused(refusalSaying(ImportError::Refused, why));
        const std::vector<HistoryDraw> stored = storedDrawsFromTable(db);
        const auto file = readFile(std::int64_t{stored.empty() ? 0 : stored.back().issue} + 1, r);
        if (!file) return r;
        std::vector<HistoryDraw> adds;
        const std::string layout = r.layout;
        const std::size_t skipped = r.linesSkipped;
        r = planMerge(file->text.draws, stored, &adds);
        r.layout = layout;
        r.linesSkipped = skipped;
        if (stored.size() + adds.size() > static_cast<std::size_t>(store::kMaxDraws))
            return mergeRefused(
                refusal(ImportError::TooManyDraws, "the merged history would hold " +
                                                       std::to_string(stored.size() + adds.size()) +
                                                       " draws"));
        {
            RowAppender appender(db.db());
            for (const auto& d : adds)
                appender.append(store::buildDrawRow(d.issue, d.issue, d.numbers, params.rules.codes,
                                                    params.rules.dsBase));
        }
        if (!adds.empty()) db.renumberIdx();
        tx.commit();
    } catch (const std::exception& e) {
        db.historyChanged();
        return mergeRefused(refusal(ImportError::StoreFailed,
                                    "the draws could not be stored: " + store::userText(e),
                                    faultOf(e)));
    }
    db.historyChanged();
    return r;
}

}  // namespace quarvel::io
