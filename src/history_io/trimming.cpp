#include "history_io/trimming.h"

#include <limits>
#include <vector>

#include "history_io/atomic_file.h"
#include "history_io/history_file.h"
#include "history_io/removal_guard.h"
#include "history_io/text_format.h"
#include "store/whole_number.h"

namespace quarvel::io {

namespace {

TrimResult refusedTrim(std::int32_t value) {
    TrimResult t;
    t.outcome = store::Outcome::refused(trimInputRefusal(std::to_string(value)));
    return t;
}

// The history was left as it was: `why` (Chinese, may be empty) and `sentence` for the user,
// the technical `detail` apart.
store::Outcome notChanged(const char* sentence, store::OutcomeKind kind, const std::string& why,
                          std::string detail = {}, store::DbFault fault = store::DbFault::Other) {
    return {kind, why + sentence, std::move(detail), {}, fault};
}

// Reads the stored draws, backs them up to 备份/, keeps those `choose` leaves, writes them to
// lsbf.txt and rebuilds the history from that file, all inside one write transaction: what is
// read is exactly what is replaced, also while other programs change the history. Refused when
// the history is not the one the user saw or the file is damaged. Compacts only after a rebuild.
template <class Choose>
TrimResult trimWith(store::HistoryDb& db, const ImportParams& params, const SeenHistory* seen,
                    const char* command, const char* sentence, Choose choose) {
    using store::OutcomeKind;
    TrimResult t;
    try {
        const store::LargePageCache wholeHistory(db.db());
        store::Transaction tx(db.db());
        if (std::string why = staleRefusal(db, seen); !why.empty()) {
            t.outcome = notChanged(sentence, OutcomeKind::Stale, why);
            return t;
        }
        RemovalGuard guard = guardRemoval(db, command);
        t.backup = guard.backup;
        if (!guard.ok()) {
            t.outcome = notChanged(sentence, OutcomeKind::Refused, guard.refusal, guard.detail);
            return t;
        }
        const std::vector<HistoryDraw> kept = choose(std::move(guard.stored));
        for (const auto& d : kept) {
            if (!writableAsHistoryLine(d.issue, d.numbers)) {
                t.outcome = notChanged(sentence, OutcomeKind::Refused,
                                       "第 " + std::to_string(d.issue) +
                                           " 期不能写成历史号码文本（七位期号、两位号码）。");
                return t;
            }
        }
        std::vector<std::string> lines;
        lines.reserve(kept.size());
        for (const auto& d : kept) lines.push_back(historyLine(d.issue, d.numbers));
        writeFileAtomically(backupPath(db), crlfLines(lines));

        const ImportResult r =
            replaceHistoryFromFile(db, backupPath(db), params,
                                   {.refuseEmpty = false, .expected = &kept, .backupCommand = {}});
        if (!r.ok()) {
            t.outcome = notChanged(sentence, r.outcome.kind, r.outcome.sentence, r.outcome.detail,
                                   r.outcome.fault);
            return t;
        }
        tx.commit();
        t.rebuilt = true;
        t.drawsKept = r.drawsStored;
    } catch (const std::exception& e) {
        const store::Outcome failed = store::Outcome::failed(e);
        t.outcome =
            notChanged(sentence, OutcomeKind::Failed, failed.sentence, failed.detail, failed.fault);
    }
    db.historyChanged();
    if (!t.rebuilt) return t;
    try {
        db.compact();
        t.compacted = true;
    } catch (const std::exception& e) {
        t.warning = "（数据库没有压缩：" + store::Outcome::failed(e).sentence + "）";
    }
    return t;
}

}  // namespace

std::filesystem::path backupPath(const store::HistoryDb& db) {
    return db.dataDir() / kBackupFileName;
}

std::optional<std::int32_t> parseTrimInput(std::string_view text) {
    const auto v = store::readWholeNumber(text);
    if (!v || *v <= 0 || *v > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::string trimInputRefusal(std::string_view answer) {
    while (!answer.empty() && (answer.front() == ' ' || answer.front() == '\t'))
        answer.remove_prefix(1);
    while (!answer.empty() && (answer.back() == ' ' || answer.back() == '\t'))
        answer.remove_suffix(1);
    return "“" + std::string(answer) + "”不是大于 0 的期数，历史号码未改变。";
}

bool trimKeepsNothing(TrimKind kind, std::int32_t value, std::optional<std::int32_t> first,
                      std::size_t stored) {
    if (stored == 0) return false;
    if (kind == TrimKind::ToIssue) return first && value < *first;
    return value >= 0 && static_cast<std::size_t>(value) >= stored;
}

std::optional<int> parseKeptYears(std::string_view text) {
    const auto v = store::readWholeNumber(text);
    if (!v || *v < 2 || *v > 16) return std::nullopt;
    return static_cast<int>(*v);
}

TrimResult trimToIssue(store::HistoryDb& db, std::int32_t lastKept, const ImportParams& params,
                       const SeenHistory* seen) {
    if (lastKept <= 0) return refusedTrim(lastKept);
    return trimWith(db, params, seen, "trim-to", kNotTrimmed, [&](std::vector<HistoryDraw> draws) {
        std::erase_if(draws, [&](const HistoryDraw& d) { return d.issue > lastKept; });
        return draws;
    });
}

TrimResult trimLastDraws(store::HistoryDb& db, std::int32_t count, const ImportParams& params,
                         const SeenHistory* seen) {
    if (count <= 0) return refusedTrim(count);
    return trimWith(db, params, seen, "trim-last", kNotTrimmed,
                    [&](std::vector<HistoryDraw> draws) {
                        draws.resize(static_cast<std::size_t>(count) >= draws.size()
                                         ? 0
                                         : draws.size() - static_cast<std::size_t>(count));
                        return draws;
                    });
}

TrimResult rebuildCodes(store::HistoryDb& db, const ImportParams& params) {
    return trimWith(db, params, nullptr, "rebuild", kNotRebuilt,
                    [](std::vector<HistoryDraw> draws) { return draws; });
}

ImportResult rebuildFromBackup(store::HistoryDb& db, const ImportParams& params) {
    return replaceHistoryFromFile(db, backupPath(db), params,
                                  {.refuseEmpty = false, .backupCommand = "rebuild"});
}

}  // namespace quarvel::io
