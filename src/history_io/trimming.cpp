#include "history_io/trimming.h"

#include <limits>
#include <vector>

#include "history_io/atomic_file.h"
#include "history_io/history_file.h"
#include "history_io/text_format.h"
#include "store/whole_number.h"

namespace quarvel::io {

namespace {

// Reads the stored draws, keeps those `choose` leaves, writes them to lsbf.txt and rebuilds
// the history from that file, all inside one write transaction: what is read is exactly what is
// replaced, also while other programs change the history. Compacts only after a rebuild.
template <class Choose>
TrimResult trimWith(store::HistoryDb& db, const ImportParams& params, Choose choose) {
    TrimResult t;
    try {
        store::Transaction tx(db.db());
        const std::vector<HistoryDraw> kept = choose(storedDraws(db));
        for (const auto& d : kept) {
            if (!writableAsHistoryLine(d.issue, d.numbers)) {
                t.errorText =
                    "draw " + std::to_string(d.issue) +
                    " cannot be written in the history text format; the history is unchanged";
                return t;
            }
        }
        std::vector<std::string> lines;
        lines.reserve(kept.size());
        for (const auto& d : kept) lines.push_back(historyLine(d.issue, d.numbers));
        writeFileAtomically(backupPath(db), crlfLines(lines));

        const ImportResult r = replaceHistoryFromFile(db, backupPath(db), params,
                                                      {.refuseEmpty = false, .expected = &kept});
        if (!r.ok()) {
            t.errorText = r.errorText;
            return t;
        }
        tx.commit();
        t.rebuilt = true;
        t.drawsKept = r.drawsStored;
    } catch (const IoError& e) {
        t.errorText = std::string(e.what()) + "; the history is unchanged";
    } catch (const std::exception& e) {
        t.errorText = "the history could not be read: " + store::userText(e);
    }
    db.historyChanged();
    if (!t.rebuilt) return t;
    try {
        db.compact();
        t.compacted = true;
    } catch (const std::exception& e) {
        t.warning = "the history was trimmed but not compacted: " + store::userText(e);
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

std::optional<int> parseKeptYears(std::string_view text) {
    const auto v = store::readWholeNumber(text);
    if (!v || *v < 2 || *v > 16) return std::nullopt;
    return static_cast<int>(*v);
}

TrimResult trimToIssue(store::HistoryDb& db, std::int32_t lastKept, const ImportParams& params) {
    if (lastKept <= 0) return {};
    return trimWith(db, params, [&](std::vector<HistoryDraw> draws) {
        std::erase_if(draws, [&](const HistoryDraw& d) { return d.issue > lastKept; });
        return draws;
    });
}

TrimResult trimLastDraws(store::HistoryDb& db, std::int32_t count, const ImportParams& params) {
    if (count <= 0) return {};
    return trimWith(db, params, [&](std::vector<HistoryDraw> draws) {
        draws.resize(static_cast<std::size_t>(count) >= draws.size()
                         ? 0
                         : draws.size() - static_cast<std::size_t>(count));
        return draws;
    });
}

ImportResult rebuildFromBackup(store::HistoryDb& db, const ImportParams& params) {
    return replaceHistoryFromFile(db, backupPath(db), params, {.refuseEmpty = false});
}

}  // namespace quarvel::io
