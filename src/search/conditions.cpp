#include "search/conditions.h"

namespace quarvel::search {

Conditions::Conditions(const DrawTable& table, const Criteria& criteria)
    : table_(table), criteria_(criteria) {}

std::string Conditions::lettersFor(const Criteria& c) {
    const char letter = attributeLetter(c.type);
    std::string letters(1, letter == 'D' ? 'A' : letter);  // the hit grid's column
    if (!c.fixed)
        letters += freeLetter(c.type);
    else if (letter == 'G')
        letters += "EF";  // the digit sum compares head + tail
    return letters;
}

bool Conditions::fixedStateable() const {
    const char letter = attributeLetter(criteria_.type);
    if (letter == 'G') return table_.has('E') && table_.has('F');
    if (letter == 'D') return table_.has('A');
    return table_.has(letter);
}

const RowSet& Conditions::freeMatch(const FreeTerm& term) const {
    auto [it, fresh] = cache_.try_emplace({false, term.value, term.count});
    if (fresh) {
        // The scratch copy holds positions 1..7, or 1..8 when the special number counts; the
        // number string's *vv* asks for any occurrence.
        const int positions = criteria_.countSpecial ? 8 : 7;
        it->second = table_.countAtLeast(freeLetter(criteria_.type), positions, term.value,
                                         std::max(term.count, 1));
    }
    return it->second;
}

const RowSet& Conditions::fixedMatch(int position, int value) const {
    auto [it, fresh] = cache_.try_emplace({true, position, value});
    if (!fresh) return it->second;
    const char letter = attributeLetter(criteria_.type);
    if (letter == 'G') {
        // ([LpE] + [LpF]) = v
        const auto head = table_.column('E', position);
        const auto tail = table_.column('F', position);
        RowSet set(table_.size(), false);
        for (std::size_t r = 0; r < table_.size(); ++r)
            if (head[r] != DrawTable::kNull && tail[r] != DrawTable::kNull &&
                head[r] + tail[r] == value)
                set.set(r);
        it->second = std::move(set);
    } else if (letter == 'D') {
        // ([LpA] MOD 2) = v, the remainder taking the sign of the number as SQL's does
        const auto number = table_.column('A', position);
        RowSet set(table_.size(), false);
        for (std::size_t r = 0; r < table_.size(); ++r)
            if (number[r] != DrawTable::kNull && number[r] % 2 == value) set.set(r);
        it->second = std::move(set);
    } else {
        it->second = table_.equals(letter, position, value);
    }
    return it->second;
}

RowSet Conditions::matchAll(const std::vector<int>& positions, Counting counting,
                            int& refused) const {
    RowSet out(table_.size(), true);
    bool stateable = true;
    const auto valueOf = [&](int p) { return criteria_.values[static_cast<std::size_t>(p - 1)]; };
    if (criteria_.fixed) {
        for (int p : positions) {
            if (!fixedStateable()) {
                ++refused;
                stateable = false;
            } else {
                out &= fixedMatch(p, valueOf(p));
            }
        }
    } else {
        std::vector<int> values;
        values.reserve(positions.size());
        for (int p : positions) values.push_back(valueOf(p));
        for (const auto& term :
             freeTerms(criteria_.type, values, counting, criteria_.sxBase, criteria_.dsBase)) {
            if (!term)
                stateable = false;
            else
                out &= freeMatch(*term);
        }
    }
    return stateable ? out : RowSet(table_.size(), false);
}

}  // namespace quarvel::search
