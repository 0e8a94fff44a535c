// Commands on the stored history itself: add, row, list, delete-last, clear, compact.
#include <iostream>

#include "cli/command.h"
#include "history_io/history_service.h"
#include "store/numbering.h"

namespace quarvel::cli {
namespace {

// A change not made: its outcome, and exit status 2 for refused input, 1 otherwise.
int refusal(Context& c, const char* name, const store::Outcome& why, int status = 1) {
    c.err << "quarvel-cli " << name << ": " << why.text() << "\n";
    return status;
}

// Names the backup a removing command wrote, so that a script can restore it with import.
void reportBackup(Context& c, const std::filesystem::path& backup) {
    if (!backup.empty()) c.out << "backup " << backup.string() << "\n";
}

int add(Context& c) {
    if (c.args.size() != 9) throw UsageError("add takes an issue and eight numbers");
    const long long issue = parseWholeNumber(c.args[0], "the issue");
    if (!store::isIssueInBounds(issue))
        throw UsageError("the issue must lie between 1 and " + std::to_string(store::kMaxIssue));
    std::array<int, 8> numbers{};
    for (int p = 0; p < 8; ++p) {
        const long long n = parseWholeNumber(c.args[p + 1], "number " + std::to_string(p + 1));
        numbers[p] = n < 0 || n > 99 ? -1 : static_cast<int>(n);  // out of range either way
    }
    // Numbers that are no draw are bad arguments, refused before the history is looked at.
    if (auto why = io::checkNewDraw(issue, numbers); !why.ok()) return refusal(c, "add", why, 2);
    const auto r = io::HistoryService(c.db).addDraw(
        static_cast<std::int32_t>(issue), numbers, io::RowRules::fromBases(c.bases), currentYear());
    if (!r.ok()) return refusal(c, "add", r.outcome);
    c.out << "stored " << issue << "\n";
    return 0;
}

int row(Context& c) {
    if (c.args.size() != 1) throw UsageError("row takes one issue");
    const long long issue = parseWholeNumber(c.args[0], "the issue");
    store::Snapshot s = c.db.drawsOfIssue(issue);
    if (s.recordCount() == 0) {
        c.err << "no draw with issue " << issue << "\n";
        return 1;
    }
    bool first = true;
    for (s.moveFirst(); !s.eof(); s.moveNext()) {
        if (!first) c.out << "\n";
        first = false;
        for (const auto& name : store::lishiColumns())
            c.out << name << "=" << s.textField(name) << "\n";
    }
    return 0;
}

int list(Context& c) {
    if (!c.args.empty()) throw UsageError("list takes no arguments");
    store::Snapshot sorted = c.db.historyList();
    c.out << store::historyListGrid(sorted).toTsv();
    return 0;
}

int deleteLast(Context& c) {
    if (!c.args.empty()) throw UsageError("delete-last takes no arguments");
    const auto r = io::HistoryService(c.db).deleteLast();
    if (!r.ok()) return refusal(c, "delete-last", r.outcome);
    if (!r.issue) {
        c.out << "the history is empty\n";
        return 0;
    }
    c.out << "deleted " << *r.issue << "\n";
    reportBackup(c, r.backup);
    // The draw is deleted either way; a compaction that could not run is only reported.
    if (!r.compactionFailure.empty())
        c.err << "quarvel-cli delete-last: not compacted: " << r.compactionFailure << "\n";
    return 0;
}

int clear(Context& c) {
    if (!c.args.empty()) throw UsageError("clear takes no arguments");
    const auto r = io::HistoryService(c.db).clear();
    if (!r.ok()) return refusal(c, "clear", r.outcome);
    c.out << "cleared\n";
    reportBackup(c, r.backup);
    return 0;
}

int compact(Context& c) {
    if (!c.args.empty()) throw UsageError("compact takes no arguments");
    const auto r = io::HistoryService(c.db).compact();
    if (!r.ok()) return refusal(c, "compact", r.outcome);
    c.out << "compacted " << c.db.dbPath().string() << "\n";
    return 0;
}

RegisterCommand addCmd("add", "add ISSUE N1 N2 N3 N4 N5 N6 N7 N8", add);
RegisterCommand rowCmd("row", "row ISSUE", row);
RegisterCommand listCmd("list", "list", list);
RegisterCommand deleteCmd("delete-last", "delete-last", deleteLast);
RegisterCommand clearCmd("clear", "clear", clear);
RegisterCommand compactCmd("compact", "compact", compact);

}  // namespace
}  // namespace quarvel::cli
