// Commands on the stored history itself: add, row, list, delete-last, clear, compact.
#include <iostream>
#include <set>

#include "cli/command.h"
#include "store/numbering.h"

namespace quarvel::cli {
namespace {

using store::Transaction;

int add(Context& c) {
    if (c.args.size() != 9) throw UsageError("add takes an issue and eight numbers");
    const long long issue = parseWholeNumber(c.args[0], "the issue");
    if (issue < 1 || issue > INT32_MAX) throw UsageError("the issue must be a positive 32-bit number");
    std::array<int, 8> numbers{};
    std::set<int> seen;
    for (int p = 0; p < 8; ++p) {
        const long long n = parseWholeNumber(c.args[p + 1], "number " + std::to_string(p + 1));
        if (n < 1 || n > 30) throw UsageError("number " + std::to_string(p + 1) + " must lie between 01 and 30");
        if (!seen.insert(static_cast<int>(n)).second) throw UsageError("number " + c.args[p + 1] + " is repeated");
        numbers[p] = static_cast<int>(n);
    }
    if (c.db.drawCount() >= static_cast<std::size_t>(store::kMaxDraws))
        throw std::runtime_error("the history already holds the most draws it can number");
    const auto row = store::buildDrawRow(static_cast<std::int32_t>(issue), static_cast<std::int32_t>(issue), numbers,
                                         store::ZodiacCodes::startup(c.bases.sx), c.bases.ds);
    Transaction tx(c.db.db());
    store::appendDrawRow(c.db.rsLishi(), row);
    c.db.renumberIdx();
    tx.commit();
    c.db.reopenSort();
    c.out << "stored " << issue << "\n";
    return 0;
}

int row(Context& c) {
    if (c.args.size() != 1) throw UsageError("row takes one issue");
    const long long issue = parseWholeNumber(c.args[0], "the issue");
    store::Snapshot s = c.db.db().snapshot("SELECT * FROM lishi WHERE SQQH = " + std::to_string(issue) + " ORDER BY RowSeq");
    if (s.recordCount() == 0) {
        c.err << "no draw with issue " << issue << "\n";
        return 1;
    }
    bool first = true;
    for (s.moveFirst(); !s.eof(); s.moveNext()) {
        if (!first) c.out << "\n";
        first = false;
        for (const auto& name : store::lishiColumns()) c.out << name << "=" << s.textField(name) << "\n";
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
    {
        Transaction tx(c.db.db());
        store::UpdatableCursor cur = c.db.db().openUpdatable(store::kSortedHistorySql);
        cur.moveLast();
        if (cur.bof()) {
            c.out << "the history is empty\n";
            return 0;
        }
        const auto issue = cur.intField("SQQH");
        cur.deleteCurrent();
        tx.commit();
        c.out << "deleted " << issue << "\n";
    }
    c.db.compact();
    return 0;
}

int clear(Context& c) {
    if (!c.args.empty()) throw UsageError("clear takes no arguments");
    Transaction tx(c.db.db());
    store::delrec(c.db.rsLishi());
    tx.commit();
    c.out << "cleared\n";
    return 0;
}

int compact(Context& c) {
    if (!c.args.empty()) throw UsageError("compact takes no arguments");
    c.db.compact();
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
