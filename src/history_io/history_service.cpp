#include "history_io/history_service.h"

#include "history_io/export.h"
#include "store/draw_record.h"
#include "store/numbering.h"

namespace quarvel::io {

namespace {

using store::Outcome;

// Compaction after a change that succeeded; its failure does not undo the change.
void compactAfter(store::HistoryDb& db, ChangeResult& r) {
    try {
        db.compact();
    } catch (const std::exception& e) {
        r.compactionFailure = store::userText(e);
    }
}

ChangeResult changeRefused(Outcome why) {
    ChangeResult r;
    r.outcome = std::move(why);
    return r;
}

TrimResult trimRefused(const Outcome& why) {
    TrimResult t;
    t.outcome = Outcome::failed(why.sentence + kNotTrimmed, why.detail, why.fault);
    return t;
}

ImportResult importRefused(const Outcome& why) {
    ImportResult r;
    r.error = ImportError::StoreFailed;
    r.outcome =
        Outcome::failed(why.sentence + "历史号码无法保存，历史号码未改变。", why.detail, why.fault);
    return r;
}

// A command that reports its own failures, guarded against anything it lets through.
template <class Result, class Run>
Result guarded(Run run, Result (*refusedAs)(const Outcome&)) {
    try {
        return run();
    } catch (const std::exception& e) {
        return refusedAs(Outcome::failed(e));
    }
}

}  // namespace

std::int32_t zodiacIssueFor(std::int32_t issue, int calendarYear) {
    return issue / 1000 >= 1000 ? issue : calendarYear * 1000 + 999;
}

Outcome checkNewDraw(std::int64_t issue, const std::array<int, 8>& numbers) {
    if (!store::isIssueInBounds(issue))
        return Outcome::refused("期号 " + std::to_string(issue) + " 不在 1 到 " +
                                    std::to_string(store::kMaxIssue) + " 之间。",
                                kNewDrawRefusalTitle);
    if (auto why = store::drawRefusal(numbers); !why.empty())
        return Outcome::refused(std::move(why), kNewDrawRefusalTitle);
    return Outcome::done();
}

Outcome HistoryService::checkOpen() {
    if (!db_.isOpen()) return Outcome::failed("历史数据库没有打开。");
    try {
        db_.reopenIfReplaced();
    } catch (const std::exception& e) {
        return Outcome::failed(e);
    }
    return Outcome::done();
}

ChangeResult HistoryService::addDraw(std::int32_t issue, const std::array<int, 8>& numbers,
                                     const RowRules& rules, int calendarYear,
                                     const SeenHistory* seen) {
    if (auto why = checkNewDraw(issue, numbers); !why.ok()) return changeRefused(why);
    if (auto why = checkOpen(); !why.ok()) return changeRefused(why);
    try {
        store::Transaction tx(db_.db());
        if (std::string why = staleRefusal(db_, seen); !why.empty())
            return changeRefused(Outcome::stale(std::move(why)));
        // Counted inside the write transaction, so that two programs adding at once cannot
        // pass the limit together, nor store one issue twice.
        if (db_.drawCount() >= static_cast<std::size_t>(store::kMaxDraws))
            return changeRefused(Outcome::refused(
                "历史号码已达到最多的 " + std::to_string(store::kMaxDraws) + " 期，不能再保存。"));
        store::Snapshot same =
            db_.db().snapshot("SELECT count(*) FROM lishi WHERE SQQH = " + std::to_string(issue));
        same.moveFirst();
        if (store::toInt(same.row(0).at(0)) > 0)
            return changeRefused(
                Outcome::stale("第 " + std::to_string(issue) + " 期已经保存过了。"));
        if (auto why = integrityRefusal(db_); !why.empty())
            return changeRefused(Outcome::refused(why));
        store::appendDrawRow(
            db_.rsLishi(), store::buildDrawRow(issue, zodiacIssueFor(issue, calendarYear), numbers,
                                               rules.codes, rules.dsBase));
        db_.renumberIdx();
        tx.commit();
    } catch (const std::exception& e) {
        return changeRefused(Outcome::failed(e));
    }
    db_.historyChanged();
    ChangeResult r;
    r.issue = issue;
    return r;
}

// Inside the write transaction: the stale check, then the backup and the whole-file check.
// False with `r.outcome` set to the refusal when nothing may be removed.
static bool mayRemove(store::HistoryDb& db, const SeenHistory* seen, const char* command,
                      ChangeResult& r) {
    if (std::string why = staleRefusal(db, seen); !why.empty()) {
        r.outcome = Outcome::stale(std::move(why));
        return false;
    }
    const RemovalGuard guard = guardRemoval(db, command);
    r.backup = guard.backup;
    if (!guard.ok()) {
        r.outcome = Outcome::refused(guard.refusal);
        r.outcome.detail = guard.detail;
    }
    return guard.ok();
}

ChangeResult HistoryService::deleteLast(const SeenHistory* seen) {
    if (auto why = checkOpen(); !why.ok()) return changeRefused(why);
    ChangeResult r;
    try {
        store::Transaction tx(db_.db());
        if (!mayRemove(db_, seen, "delete-last", r)) return r;
        auto cursor = db_.db().openUpdatable(store::kSortedHistorySql);
        cursor.moveLast();
        if (cursor.onRow()) {
            r.issue = static_cast<std::int32_t>(cursor.intField("SQQH"));
            cursor.deleteCurrent();  // one row only, also when two share the newest issue
        }
        tx.commit();
    } catch (const std::exception& e) {
        db_.historyChanged();
        return changeRefused(Outcome::failed(e));
    }
    db_.historyChanged();
    if (r.issue) compactAfter(db_, r);
    return r;
}

ChangeResult HistoryService::clear(const SeenHistory* seen) {
    if (auto why = checkOpen(); !why.ok()) return changeRefused(why);
    ChangeResult r;
    try {
        store::Transaction tx(db_.db());
        if (!mayRemove(db_, seen, "clear", r)) return r;
        store::delrec(db_.rsLishi());
        tx.commit();
    } catch (const std::exception& e) {
        r.outcome = Outcome::failed(e);
        return r;
    }
    db_.historyChanged();
    return r;
}

ChangeResult HistoryService::compact() {
    if (auto why = checkOpen(); !why.ok()) return changeRefused(why);
    try {
        db_.compact();
    } catch (const std::exception& e) {
        return changeRefused(Outcome::failed(e));
    }
    return {};
}

// The history check after a change; a check that cannot read the history finds nothing (the
// change itself is told as it went).
static std::vector<Finding> checkAfter(store::HistoryDb& db) {
    try {
        return checkStoredHistory(db);
    } catch (const std::exception&) {
        return {};
    }
}

ImportResult HistoryService::importFile(const std::filesystem::path& path,
                                        const ImportParams& params) {
    if (auto why = checkOpen(); !why.ok()) return importRefused(why);
    ImportResult r = guarded([&] { return importHistoryFile(db_, path, params); }, importRefused);
    if (r.ok()) r.findings = checkAfter(db_);
    return r;
}

MergeResult HistoryService::mergeFile(const std::filesystem::path& path, const ImportParams& params,
                                      const std::function<bool(const MergeResult&)>& confirm) {
    MergeResult r;
    if (auto why = checkOpen(); !why.ok()) {
        r.error = ImportError::StoreFailed;
        r.outcome = why;
        return r;
    }
    try {
        r = mergeHistoryFile(db_, path, params, confirm);
    } catch (const std::exception& e) {
        r.error = ImportError::StoreFailed;
        r.outcome = Outcome::failed(e);
        return r;
    }
    if (r.ok()) r.findings = checkAfter(db_);
    return r;
}

store::Checked<std::vector<Finding>> HistoryService::check() {
    if (auto why = checkOpen(); !why.ok()) return why;
    try {
        return checkStoredHistory(db_);
    } catch (const std::exception& e) {
        return Outcome::failed(e);
    }
}

TrimResult HistoryService::trimToIssue(std::int32_t lastKept, const ImportParams& params,
                                       const SeenHistory* seen) {
    if (auto why = checkOpen(); !why.ok()) return trimRefused(why);
    return guarded([&] { return io::trimToIssue(db_, lastKept, params, seen); }, trimRefused);
}

TrimResult HistoryService::trimLastDraws(std::int32_t count, const ImportParams& params,
                                         const SeenHistory* seen) {
    if (auto why = checkOpen(); !why.ok()) return trimRefused(why);
    return guarded([&] { return io::trimLastDraws(db_, count, params, seen); }, trimRefused);
}

TrimResult HistoryService::rebuildCodes(const ImportParams& params) {
    auto refused = [](const Outcome& why) {
        TrimResult t = trimRefused(why);
        t.outcome.sentence = why.sentence + kNotRebuilt;
        return t;
    };
    if (auto why = checkOpen(); !why.ok()) return refused(why);
    try {
        return io::rebuildCodes(db_, params);
    } catch (const std::exception& e) {
        return refused(Outcome::failed(e));
    }
}

ImportResult HistoryService::rebuild(const ImportParams& params) {
    if (auto why = checkOpen(); !why.ok()) return importRefused(why);
    return guarded([&] { return rebuildFromBackup(db_, params); }, importRefused);
}

UpdateResult HistoryService::update(PageSource& source, const UpdateParams& params) {
    UpdateResult r;
    if (auto why = checkOpen(); !why.ok()) {
        r.outcome = why;
        return r;
    }
    try {
        UpdateResult done = runOnlineUpdate(db_, source, params);
        if (done.ran()) done.findings = checkAfter(db_);
        return done;
    } catch (const std::exception& e) {
        const Outcome failed = Outcome::failed(e);
        r.outcome =
            Outcome::failed(failed.sentence + "历史号码未改变。", failed.detail, failed.fault);
        return r;
    }
}

store::Checked<TrimPreview> HistoryService::previewTrim(TrimKind kind, std::int32_t value) {
    if (auto why = checkOpen(); !why.ok()) return why;
    try {
        TrimPreview p;
        p.stored = db_.drawCount();
        p.keepsNothing = trimKeepsNothing(kind, value, db_.firstIssue(), p.stored);
        return p;
    } catch (const std::exception& e) {
        return Outcome::failed(e);
    }
}

store::Checked<std::filesystem::path> HistoryService::exportText() {
    if (auto why = checkOpen(); !why.ok()) return why;
    try {
        return exportHistory(db_);
    } catch (const std::exception& e) {
        return Outcome::failed(e);
    }
}

}  // namespace quarvel::io
