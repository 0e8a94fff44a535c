#include "search/marking.h"

#include <algorithm>

#include "store/engine.h"

namespace quarvel::search {

namespace {
std::string positionColumn(int position, char letter) {
    return "[L" + std::to_string(position) + letter + "]";
}
std::string digitSumOperand(int position) {
    return "(" + positionColumn(position, 'E') + " + " + positionColumn(position, 'F') + ")";
}
std::string parityOperand(int position) { return "(" + positionColumn(position, 'A') + " MOD 2)"; }
}  // namespace

std::string trimmedColumn(const std::string& column) {
    return "LEFT([" + column + "],LEN([" + column + "])-4)";
}

std::string scratchSource(const std::string& column, bool countSpecial) {
    return countSpecial ? "[" + column + "]" : trimmedColumn(column);
}

std::string fixedOperand(int type, int position) {
    const char letter = attributeLetter(type);
    if (letter == 'G') return digitSumOperand(position);
    if (letter == 'D') return parityOperand(position);
    return positionColumn(position, letter);
}

namespace sql {

namespace {
const char* const kAddOne = "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE ";

std::string quotedPattern(const std::string& pattern) { return "\"" + pattern + "\""; }
}  // namespace

std::string reset() { return "UPDATE [Lishi] SET [intTh]=0"; }

std::string trim(const std::string& column) {
    return "UPDATE [Lishi] SET [txtHisP6]= " + trimmedColumn(column);
}

std::string copy(const std::string& column) {
    return "UPDATE [Lishi] SET [txtHisP6]= [" + column + "]";
}

std::string freeOnColumn(const std::string& column, const std::string& pattern) {
    return kAddOne + ("[" + column + "] LIKE ") + quotedPattern(pattern);
}

std::string freeOnScratch(const std::string& pattern) {
    return kAddOne + std::string("[txtHisP6] LIKE ") + quotedPattern(pattern);
}

std::string fixedDigitSum(int position, int value) {
    return kAddOne + (digitSumOperand(position) + " = " + std::to_string(value));
}

std::string fixedParity(int position, int value) {
    return kAddOne + (parityOperand(position) + " = " + std::to_string(value));
}

std::string fixedPlain(int position, char letter, int value) {
    return kAddOne + (positionColumn(position, letter) + " = " + std::to_string(value));
}

std::string clearUnion() { return "UPDATE [Lishi] SET [bolOk]= FALSE"; }

std::string addToUnion(int required) {
    return "UPDATE [Lishi] SET [bolOk]= TRUE WHERE [intTh] = " + std::to_string(required);
}

}  // namespace sql

OccurrenceCounters::OccurrenceCounters(int type, int sxBase, int dsBase)
    : range_(counterRange(type, sxBase, dsBase)) {
    if (range_) counts_.assign(static_cast<std::size_t>(range_->high - range_->low + 1), 0);
}

void OccurrenceCounters::clear() { std::fill(counts_.begin(), counts_.end(), 0); }

std::optional<int> OccurrenceCounters::increment(int value) {
    if (!range_ || !range_->contains(value)) return std::nullopt;
    return ++counts_[static_cast<std::size_t>(value - range_->low)];
}

std::optional<int> OccurrenceCounters::count(int value) const {
    if (!range_ || !range_->contains(value)) return std::nullopt;
    return counts_[static_cast<std::size_t>(value - range_->low)];
}

std::string freePattern(int type, int value, int count) {
    const std::string cnt = std::to_string(count);
    switch (type) {
        case 1:
        case 4:
            return "*" + cnt + "X" + twoDigits(value) + "*";
        case 2:
        case 3:
            return "*" + cnt + "X" + std::to_string(value) + "*";
        case 5:
            // Segment tokens are plain decimal, so 1X1 is also the start of 1X10; every token
            // of the (trimmed or whole) string keeps its closing space, which settles it.
            return "*" + cnt + "X" + std::to_string(value) + " *";
        default:
            return "*" + twoDigits(value) + "*";
    }
}

std::string fixedCondition(int type, int position, int value) {
    const char letter = attributeLetter(type);
    if (letter == 'G') return sql::fixedDigitSum(position, value);
    if (letter == 'D') return sql::fixedParity(position, value);
    return sql::fixedPlain(position, letter, value);
}

std::vector<std::optional<FreeTerm>> freeTerms(int type, const std::vector<int>& values,
                                               Counting counting, int sxBase, int dsBase) {
    OccurrenceCounters counters(type, sxBase, dsBase);
    if (counting == Counting::WholeSet && counters.counted())
        for (int v : values) counters.increment(v);
    std::vector<std::optional<FreeTerm>> out;
    for (int v : values) {
        int cnt = 0;
        if (counters.counted()) {
            const auto c =
                counting == Counting::Running ? counters.increment(v) : counters.count(v);
            if (!c) {
                out.emplace_back();  // cannot be counted: no condition, the set matches nothing
                continue;
            }
            cnt = *c;
        }
        out.emplace_back(FreeTerm{v, cnt});
    }
    return out;
}

std::vector<std::optional<std::string>> freePatterns(int type, const std::vector<int>& values,
                                                     Counting counting, int sxBase, int dsBase) {
    std::vector<std::optional<std::string>> out;
    for (const auto& term : freeTerms(type, values, counting, sxBase, dsBase)) {
        if (term)
            out.emplace_back(freePattern(type, term->value, term->count));
        else
            out.emplace_back();
    }
    return out;
}

std::vector<std::string> freeConditions(int type, const std::vector<int>& values, Counting counting,
                                        bool onScratch, const std::string& column, int sxBase,
                                        int dsBase) {
    std::vector<std::string> out;
    for (const auto& pattern : freePatterns(type, values, counting, sxBase, dsBase)) {
        if (!pattern) continue;
        out.push_back(onScratch ? sql::freeOnScratch(*pattern)
                                : sql::freeOnColumn(column, *pattern));
    }
    return out;
}

namespace {
void append(std::vector<std::string>& to, const std::vector<std::string>& from) {
    to.insert(to.end(), from.begin(), from.end());
}
}  // namespace

std::string searchLabel(const Criteria& c) {
    std::string label;
    for (std::size_t i = 0; i < kPositions; ++i)
        if (c.selected[i]) label += (c.fixed ? twoDigits(c.values[i]) : c.texts[i]) + " ";
    return label;
}

ConditionSet markSingle(const Criteria& c) {
    ConditionSet set;
    const std::string column = freeColumn(c.type);
    set.statements.push_back(sql::reset());
    set.label = searchLabel(c);
    std::vector<int> values;
    for (int p = 1; p <= kPositions; ++p) {
        const auto i = static_cast<std::size_t>(p - 1);
        if (!c.selected[i]) continue;
        ++set.required;
        if (c.fixed)
            set.statements.push_back(fixedCondition(c.type, p, c.values[i]));
        else
            values.push_back(c.values[i]);
    }
    if (!c.fixed) {
        const bool onScratch = !c.countSpecial;
        if (onScratch) set.statements.push_back(sql::trim(column));
        append(set.statements, freeConditions(c.type, values, Counting::Running, onScratch, column,
                                              c.sxBase, c.dsBase));
    }
    return set;
}

ConditionSet markUnion(const Criteria& c, const std::vector<std::vector<int>>& sets,
                       Counting counting) {
    ConditionSet out;
    const std::string column = freeColumn(c.type);
    out.statements.push_back(sql::clearUnion());
    if (!c.fixed) out.statements.push_back(c.countSpecial ? sql::copy(column) : sql::trim(column));
    for (const auto& members : sets) {
        out.statements.push_back(sql::reset());
        if (c.fixed) {
            for (int p : members)
                out.statements.push_back(
                    fixedCondition(c.type, p, c.values[static_cast<std::size_t>(p - 1)]));
        } else {
            std::vector<int> values;
            values.reserve(members.size());
            for (int p : members) values.push_back(c.values[static_cast<std::size_t>(p - 1)]);
            append(out.statements,
                   freeConditions(c.type, values, counting, true, column, c.sxBase, c.dsBase));
        }
        out.required = static_cast<int>(members.size());
        out.statements.push_back(sql::addToUnion(out.required));
    }
    return out;
}

MarkingReport runMarking(store::Database& db, const std::vector<std::string>& statements) {
    MarkingReport report;
    store::Transaction tx(db);
    for (const auto& s : statements) {
        try {
            db.execute(s);
            ++report.executed;
        } catch (const store::DbError&) {
            ++report.failed;  // skipped, as every marking step is on its own
        }
    }
    tx.commit();
    return report;
}

}  // namespace quarvel::search
