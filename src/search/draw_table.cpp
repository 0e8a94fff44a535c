#include "search/draw_table.h"

#include <algorithm>
#include <bit>
#include <variant>

#include "store/history_db.h"

namespace quarvel::search {

RowSet::RowSet(std::size_t rows, bool all) : words_((rows + 63) / 64, all ? ~std::uint64_t{0} : 0) {
    if (all && rows % 64 != 0) words_.back() = (std::uint64_t{1} << (rows % 64)) - 1;
}

RowSet& RowSet::operator&=(const RowSet& other) {
    for (std::size_t w = 0; w < words_.size(); ++w) words_[w] &= other.words_[w];
    return *this;
}

RowSet& RowSet::operator|=(const RowSet& other) {
    for (std::size_t w = 0; w < words_.size(); ++w) words_[w] |= other.words_[w];
    return *this;
}

std::vector<std::size_t> RowSet::members() const {
    std::vector<std::size_t> out;
    for (std::size_t w = 0; w < words_.size(); ++w)
        for (std::uint64_t word = words_[w]; word != 0; word &= word - 1)
            out.push_back(w * 64 + static_cast<std::size_t>(std::countr_zero(word)));
    return out;
}

namespace {

bool stored(const std::string& column) {
    const auto& all = store::lishiColumns();
    return std::find(all.begin(), all.end(), column) != all.end();
}

// Whether the columns of a fixed operand exist (type 6's letter has none).
bool operandStored(int type) {
    const char letter = attributeLetter(type);
    if (letter == 'G') return stored("L1E") && stored("L1F");
    if (letter == 'D') return stored("L1A");
    return stored(std::string("L1") + letter);
}

// The column the hit grid reads for a position: the number for parity, else the type's letter.
std::string gridColumn(int type, int position) {
    const char letter = attributeLetter(type);
    return "L" + std::to_string(position) + (letter == 'D' ? 'A' : letter);
}

// A plain fixed operand is the grid's own column; the digit sum and parity are selected as
// computed columns of their own.
bool operandIsGridColumn(int type) {
    const char letter = attributeLetter(type);
    return letter != 'G' && letter != 'D';
}

std::string scratchAlias() { return "P6"; }
std::string operandAlias(int type, int position) {
    return operandIsGridColumn(type) ? gridColumn(type, position) : "C" + std::to_string(position);
}

std::string selectionFor(const Criteria& c) {
    std::string sql = "SELECT [IDX], [SQQH]";
    for (int p = 1; p <= kPositions; ++p)
        if (stored(gridColumn(c.type, p))) sql += ", [" + gridColumn(c.type, p) + "]";
    if (!c.fixed) {
        sql += ", " + scratchSource(freeColumn(c.type), c.countSpecial) + " AS " + scratchAlias();
    } else if (operandStored(c.type) && !operandIsGridColumn(c.type)) {
        for (int p = 1; p <= kPositions; ++p)
            sql += ", " + fixedOperand(c.type, p) + " AS " + operandAlias(c.type, p);
    }
    return sql + " FROM [Lishi] ORDER BY [IDX]";
}

// `value = v` as SQL compares: only a number equals a number.
bool equalsNumber(const store::Value& value, int v) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) return *i == v;
    if (const auto* d = std::get_if<double>(&value)) return *d == v;
    return false;
}

}  // namespace

DrawTable::DrawTable(store::Database& db, const Criteria& criteria)
    : criteria_(criteria), rows_(db.snapshot(selectionFor(criteria))) {
    sqqhCol_ = rows_.columnIndex("SQQH");
    scratchCol_ = rows_.columnIndex(scratchAlias());
    for (int p = 1; p <= kPositions; ++p)
        operandCol_[static_cast<std::size_t>(p - 1)] =
            criteria.fixed ? rows_.columnIndex(operandAlias(criteria.type, p)) : -1;
}

RowSet DrawTable::inRange(std::int32_t start, std::int32_t end) const {
    RowSet out(size(), false);
    for (std::size_t r = 0; r < size(); ++r) {
        const store::Value& issue = rows_.row(r)[static_cast<std::size_t>(sqqhCol_)];
        if (store::isNull(issue)) continue;
        const std::int64_t i = store::toInt(issue);
        if (i >= start && i <= end) out.set(r);
    }
    return out;
}

const RowSet& DrawTable::freeMatch(const std::string& pattern) const {
    auto [it, fresh] = cache_.try_emplace("F" + pattern);
    if (!fresh) return it->second;
    // The patterns are *text*: the text anywhere in the scratch copy.
    std::string text;
    for (char ch : pattern)
        if (ch != '*') text += ch;
    RowSet set(size(), false);
    for (std::size_t r = 0; r < size(); ++r) {
        const store::Value& v = rows_.row(r)[static_cast<std::size_t>(scratchCol_)];
        if (!store::isNull(v) && store::toText(v).find(text) != std::string::npos) set.set(r);
    }
    return it->second = std::move(set);
}

const RowSet& DrawTable::fixedMatch(int position, int value) const {
    auto [it, fresh] =
        cache_.try_emplace("C" + std::to_string(position) + "=" + std::to_string(value));
    if (!fresh) return it->second;
    const auto col = static_cast<std::size_t>(operandCol_[static_cast<std::size_t>(position - 1)]);
    RowSet set(size(), false);
    for (std::size_t r = 0; r < size(); ++r)
        if (equalsNumber(rows_.row(r)[col], value)) set.set(r);
    return it->second = std::move(set);
}

RowSet DrawTable::matchAll(const std::vector<int>& positions, Counting counting,
                           int& refused) const {
    RowSet out(size(), true);
    bool stateable = true;
    const auto valueOf = [&](int p) { return criteria_.values[static_cast<std::size_t>(p - 1)]; };
    if (criteria_.fixed) {
        for (int p : positions) {
            if (operandCol_[static_cast<std::size_t>(p - 1)] < 0) {
                ++refused;
                stateable = false;
            } else {
                out &= fixedMatch(p, valueOf(p));
            }
        }
    } else {
        std::vector<int> values;
        for (int p : positions) values.push_back(valueOf(p));
        for (const auto& pattern :
             freePatterns(criteria_.type, values, counting, criteria_.sxBase, criteria_.dsBase)) {
            if (!pattern)
                stateable = false;
            else
                out &= freeMatch(*pattern);
        }
    }
    return stateable ? out : RowSet(size(), false);
}

}  // namespace quarvel::search
