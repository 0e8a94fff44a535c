#include "history_io/trimming.h"

#include <limits>
#include <vector>

#include "history_io/atomic_file.h"
#include "history_io/history_file.h"
#include "history_io/text_format.h"
#include "store/whole_number.h"

namespace quarvel::io {

namespace {

TrimResult trimTo(store::HistoryDb& db, std::vector<HistoryDraw> kept, const ImportParams& params) {
    TrimResult t;
    for (const auto& d : kept) {
        if (!writableAsHistoryLine(d.issue, d.numbers)) {
            t.errorText = "draw " + std::to_string(d.issue) +
                          " cannot be written in the history text format; the history is unchanged";
            return t;
        }
    }
    std::vector<std::string> lines;
    lines.reserve(kept.size());
    for (const auto& d : kept) lines.push_back(historyLine(d.issue, d.numbers));
    try {
        writeFileAtomically(backupPath(db), crlfLines(lines));
    } catch (const IoError& e) {
        t.errorText = std::string(e.what()) + "; the history is unchanged";
        return t;
    }

    const ImportResult r = replaceHistoryFromFile(db, backupPath(db), params, {.refuseEmpty = false, .expected = &kept});
    if (!r.ok()) {
        t.errorText = r.errorText;
        return t;
    }
    t.rebuilt = true;
    t.drawsKept = r.drawsStored;
    try {
        db.compact();
        t.compacted = true;
    } catch (const std::exception& e) {
        t.errorText = std::string("the history was trimmed but not compacted: ") + e.what();
    }
    return t;
}

TrimResult unreadableHistory(const std::exception& e) {
    TrimResult t;
    t.errorText = std::string("the history could not be read: ") + e.what();
    return t;
}

}  // namespace

std::filesystem::path backupPath(const store::HistoryDb& db) { return db.dataDir() / kBackupFileName; }

std::optional<std::int32_t> parseTrimInput(std::string_view text) {
    const auto v = store::readWholeNumber(text);
    if (!v || *v <= 0 || *v > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::optional<int> parseKeptYears(std::string_view text) {
    const auto v = store::readWholeNumber(text);
    if (!v || *v < 2 || *v > 16) return std::nullopt;
    return static_cast<int>(*v);
}

TrimResult trimToIssue(store::HistoryDb& db, std::int32_t lastKept, const ImportParams& params) {
    if (lastKept <= 0) return {};
    std::vector<HistoryDraw> kept;
    try {
        for (const auto& d : storedDraws(db)) {
            if (d.issue > lastKept) break;  // issue order: everything after is later
            kept.push_back(d);
        }
    } catch (const std::exception& e) {
        return unreadableHistory(e);
    }
    return trimTo(db, std::move(kept), params);
}

TrimResult trimLastDraws(store::HistoryDb& db, std::int32_t count, const ImportParams& params) {
    if (count <= 0) return {};
    std::vector<HistoryDraw> kept;
    try {
        kept = storedDraws(db);
    } catch (const std::exception& e) {
        return unreadableHistory(e);
    }
    kept.resize(static_cast<std::size_t>(count) >= kept.size() ? 0 : kept.size() - static_cast<std::size_t>(count));
    return trimTo(db, std::move(kept), params);
}

ImportResult rebuildFromBackup(store::HistoryDb& db, const ImportParams& params) {
    return replaceHistoryFromFile(db, backupPath(db), params, {.refuseEmpty = false});
}

}  // namespace quarvel::io
