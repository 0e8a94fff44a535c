#include "history_io/history_service.h"

#include "store/draw_record.h"

namespace quarvel::io {

namespace {

// Compaction after a change that succeeded; its failure does not undo the change.
void compactAfter(store::HistoryDb& db, ChangeResult& r) {
    try {
        db.compact();
    } catch (const std::exception& e) {
        r.compactionFailure = store::userText(e);
    }
}

ChangeResult refused(std::string why) {
    ChangeResult r;
    r.message = std::move(why);
    return r;
}

TrimResult trimRefused(std::string why) {
    TrimResult t;
    t.errorText = std::move(why);
    return t;
}

ChangeResult badInput(std::string why) {
    ChangeResult r = refused(std::move(why));
    r.badInput = true;
    return r;
}

}  // namespace

std::int32_t zodiacIssueFor(std::int32_t issue, int calendarYear) {
    return issue / 1000 >= 1000 ? issue : calendarYear * 1000 + 999;
}

std::string HistoryService::checkOpen() {
    if (!db_.isOpen()) return "历史数据库没有打开。";
    try {
        db_.reopenIfReplaced();
    } catch (const std::exception& e) {
        return store::userText(e);
    }
    return {};
}

ChangeResult HistoryService::addDraw(std::int32_t issue, const std::array<int, 8>& numbers,
                                     const RowRules& rules, int calendarYear) {
    if (issue < 1 || issue > kMaxIssue)
        return badInput("期号 " + std::to_string(issue) + " 不在 1 到 " +
                        std::to_string(kMaxIssue) + " 之间。");
    if (auto why = store::drawRefusal(numbers); !why.empty()) return badInput(why);
    if (auto why = checkOpen(); !why.empty()) return refused(why);
    ChangeResult r;
    try {
        store::Transaction tx(db_.db());
        // Counted inside the write transaction, so that two programs adding at once cannot
        // pass the limit together.
        if (db_.drawCount() >= static_cast<std::size_t>(store::kMaxDraws))
            return refused("历史号码已达到最多的 " + std::to_string(store::kMaxDraws) +
                           " 期，不能再保存。");
        store::appendDrawRow(
            db_.rsLishi(), store::buildDrawRow(issue, zodiacIssueFor(issue, calendarYear), numbers,
                                               rules.codes, rules.dsBase));
        db_.renumberIdx();
        tx.commit();
    } catch (const std::exception& e) {
        return refused(store::userText(e));
    }
    db_.historyChanged();
    r.ok = true;
    r.issue = issue;
    return r;
}

ChangeResult HistoryService::deleteLast() {
    if (auto why = checkOpen(); !why.empty()) return refused(why);
    ChangeResult r;
    try {
        store::Transaction tx(db_.db());
        auto cursor = db_.db().openUpdatable(store::kSortedHistorySql);
        cursor.moveLast();
        if (cursor.onRow()) {
            r.issue = static_cast<std::int32_t>(cursor.intField("SQQH"));
            cursor.deleteCurrent();  // one row only, also when two share the newest issue
        }
        tx.commit();
    } catch (const std::exception& e) {
        db_.historyChanged();
        return refused(store::userText(e));
    }
    r.ok = true;
    db_.historyChanged();
    if (r.issue) compactAfter(db_, r);
    return r;
}

ChangeResult HistoryService::clear() {
    if (auto why = checkOpen(); !why.empty()) return refused(why);
    try {
        store::Transaction tx(db_.db());
        store::delrec(db_.rsLishi());
        tx.commit();
    } catch (const std::exception& e) {
        return refused(store::userText(e));
    }
    db_.historyChanged();
    ChangeResult r;
    r.ok = true;
    return r;
}

ChangeResult HistoryService::compact() {
    if (auto why = checkOpen(); !why.empty()) return refused(why);
    try {
        db_.compact();
    } catch (const std::exception& e) {
        return refused(store::userText(e));
    }
    ChangeResult r;
    r.ok = true;
    return r;
}

ImportResult HistoryService::importFile(const std::filesystem::path& path,
                                        const ImportParams& params) {
    if (auto why = checkOpen(); !why.empty()) {
        ImportResult r;
        r.error = ImportError::StoreFailed;
        r.errorText = why;
        return r;
    }
    return importHistoryFile(db_, path, params);
}

TrimResult HistoryService::trimToIssue(std::int32_t lastKept, const ImportParams& params) {
    if (auto why = checkOpen(); !why.empty()) return trimRefused(why);
    return io::trimToIssue(db_, lastKept, params);
}

TrimResult HistoryService::trimLastDraws(std::int32_t count, const ImportParams& params) {
    if (auto why = checkOpen(); !why.empty()) return trimRefused(why);
    return io::trimLastDraws(db_, count, params);
}

ImportResult HistoryService::rebuild(const ImportParams& params) {
    if (auto why = checkOpen(); !why.empty()) {
        ImportResult r;
        r.error = ImportError::StoreFailed;
        r.errorText = why;
        return r;
    }
    return rebuildFromBackup(db_, params);
}

UpdateResult HistoryService::update(PageSource& source, const UpdateParams& params) {
    UpdateResult r;
    if (auto why = checkOpen(); !why.empty()) {
        r.refusal = why;
        return r;
    }
    try {
        return runOnlineUpdate(db_, source, params);
    } catch (const std::exception& e) {
        r.refusal = store::userText(e) + "历史号码未改变。";
        return r;
    }
}

}  // namespace quarvel::io
