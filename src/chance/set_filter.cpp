#include "chance/set_filter.h"

#include <bit>
#include <cstdio>

#include "chance/exact_chance.h"
#include "search/criteria.h"

namespace quarvel::chance {

namespace {

// The shapes a condition may give as a range A-B.
bool takesRange(int kind) {
    return kind == kSum || kind == kSpan || kind == kAc || kind == kConsecutive || kind == kRepeat;
}

std::vector<std::string> splitList(std::string text) {
    // A full-width comma counts as a comma.
    for (std::size_t at; (at = text.find("，")) != std::string::npos;)
        text.replace(at, std::string_view("，").size(), ",");
    std::vector<std::string> items;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(',', from);
        std::string item =
            text.substr(from, at == std::string::npos ? std::string::npos : at - from);
        const auto first = item.find_first_not_of(' ');
        items.push_back(first == std::string::npos
                            ? std::string{}
                            : item.substr(first, item.find_last_not_of(' ') - first + 1));
        if (at == std::string::npos) return items;
        from = at + 1;
    }
}

bool wholeNumber(const std::string& s, int& v) {
    if (s.empty() || s.size() > 3 || s.find_first_not_of("0123456789") != std::string::npos)
        return false;
    v = std::stoi(s);
    return true;
}

bool possible(int kind, int value) {
    // Seven numbers of 1 … 30 sum to 28 (1 … 7) at least, 189 (24 … 30) at most.
    if (kind == kSum) return value >= 28 && value <= 189;
    return value >= 0 && (kind == kRepeat ? value <= kRegular : shapeClass(kind, value) >= 0);
}

std::string joinNumbers(NumberMask m) {
    std::string t;
    for (const int n : numbersOf(m)) t += (t.empty() ? "" : ",") + search::twoDigits(n);
    return t;
}

// The allowed values of every shape: the conditions on it together, every value without one.
std::array<std::bitset<kShapeValueLimit>, kShapeKinds> allowedByKind(const SetFilter& f) {
    std::array<std::bitset<kShapeValueLimit>, kShapeKinds> a;
    for (auto& b : a) b.set();
    for (const ShapeCondition& c : f.shapes) a[static_cast<std::size_t>(c.kind)] &= c.allowed;
    return a;
}

// Calls `keep(mask)` for every set of seven numbers passing the filter, in ascending order.
// The shapes grow with the set one number at a time; 重号 counts against `previous`.
template <class Keep>
void enumerateKept(const SetFilter& f, NumberMask previous, Keep&& keep) {
    const auto allowed = allowedByKind(f);
    struct Level {
        int sum, odd, big, road, zone, consecutive;
        std::uint32_t diffs;
        NumberMask mask;
    };
    std::array<Level, kRegular + 1> at{};
    std::array<int, kRegular> chosen{};
    auto grow = [&](auto& self, int depth, int from) -> void {
        const Level& l = at[static_cast<std::size_t>(depth)];
        if (depth == kRegular) {
            if ((l.mask & f.include) != f.include) return;
            const int values[kShapeKinds] = {l.sum,
                                             chosen[kRegular - 1] - chosen[0],
                                             l.odd,
                                             l.big,
                                             l.road,
                                             l.zone,
                                             l.consecutive,
                                             std::popcount(l.mask & previous),
                                             std::popcount(l.diffs) - (kRegular - 1)};
            for (int k = 0; k < kShapeKinds; ++k)
                if (!allowed[static_cast<std::size_t>(k)][static_cast<std::size_t>(values[k])])
                    return;
            keep(l.mask);
            return;
        }
        for (int n = from; n <= kNumbers - (kRegular - 1 - depth); ++n) {
            if (f.exclude >> n & 1) continue;
            Level& next = at[static_cast<std::size_t>(depth + 1)];
            next = l;
            next.sum += n;
            next.odd += n % 2;
            next.big += n >= 16;
            next.road += n % 3 == 0 ? 64 : n % 3 == 1 ? 8 : 1;
            next.zone += n <= 10 ? 64 : n <= 20 ? 8 : 1;
            next.consecutive += depth > 0 && chosen[static_cast<std::size_t>(depth - 1)] == n - 1;
            for (int i = 0; i < depth; ++i)
                next.diffs |= std::uint32_t{1} << (n - chosen[static_cast<std::size_t>(i)]);
            next.mask |= NumberMask{1} << n;
            chosen[static_cast<std::size_t>(depth)] = n;
            self(self, depth + 1, n + 1);
        }
    };
    grow(grow, 0, 1);
}

}  // namespace

std::vector<int> shapeValues(int kind) {
    std::vector<int> v;
    for (int value = 0; value < kShapeValueLimit; ++value)
        if (possible(kind, value)) v.push_back(value);
    return v;
}

ShapeCondition shapeCondition(int kind, const std::vector<int>& values) {
    ShapeCondition c;
    c.kind = kind;
    for (const int v : values) c.allowed.set(static_cast<std::size_t>(v));
    // The values ascending; for the shapes with a range, runs of three or more as A-B.
    std::string list;
    const std::vector<int> all = shapeValues(kind);
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (!c.allowed[static_cast<std::size_t>(all[i])]) continue;
        std::size_t last = i;
        while (takesRange(kind) && last + 1 < all.size() && all[last + 1] == all[last] + 1 &&
               c.allowed[static_cast<std::size_t>(all[last + 1])])
            ++last;
        list += list.empty() ? "" : ",";
        if (last >= i + 2) {
            list += std::to_string(all[i]) + "-" + std::to_string(all[last]);
            i = last;
        } else {
            list += shapeText(kind, all[i]);
        }
    }
    c.text = std::string(kShapeNames[static_cast<std::size_t>(kind)]) + "=" + list;
    return c;
}

store::Checked<ShapeCondition> parseShapeCondition(const std::string& text) {
    const std::size_t eq = text.find('=');
    const std::string name = text.substr(0, eq);
    int kind = 0;
    while (kind < kShapeKinds && name != kShapeNames[static_cast<std::size_t>(kind)]) ++kind;
    if (eq == std::string::npos || kind == kShapeKinds) {
        std::string names;
        for (const char* n : kShapeNames) names += (names.empty() ? "" : "、") + std::string(n);
        return store::Outcome::refused("形态条件“" + text + "”应写成 名称=值，名称为 " + names +
                                       " 之一。");
    }
    ShapeCondition c;
    c.kind = kind;
    c.text = text;
    for (const std::string& item : splitList(text.substr(eq + 1))) {
        const std::size_t dash = item.find('-');
        int a = 0, b = 0;
        if (takesRange(kind) && dash != std::string::npos && dash > 0 &&
            wholeNumber(item.substr(0, dash), a) && wholeNumber(item.substr(dash + 1), b) &&
            a <= b) {
            for (int v = a; v <= b && v < kShapeValueLimit; ++v)
                if (possible(kind, v)) c.allowed.set(static_cast<std::size_t>(v));
            continue;
        }
        bool found = false;
        for (const int v : shapeValues(kind))
            if (shapeText(kind, v) == item) {
                c.allowed.set(static_cast<std::size_t>(v));
                found = true;
            }
        if (!found) {
            std::string why = "形态条件“" + text;
            why += "”中的“" + item;
            why += "”不是" + name;
            why += takesRange(kind) ? "的值，也不是“小-大”形式的范围。" : "的值。";
            return store::Outcome::refused(why);
        }
    }
    return c;
}

store::Checked<NumberMask> parseNumberList(const std::string& text, const std::string& what) {
    std::string t = text;
    for (char& ch : t)
        if (ch == ' ') ch = ',';
    NumberMask m = 0;
    for (const std::string& item : splitList(t)) {
        if (item.empty()) continue;
        int n = 0;
        if (!wholeNumber(item, n) || n < 1 || n > kNumbers) {
            std::string why = what + "中的“";
            why += item + "”不是 01 到 30 之间的号码。";
            return store::Outcome::refused(why);
        }
        m |= NumberMask{1} << n;
    }
    if (m == 0) return store::Outcome::refused(what + "没有给出号码。");
    return m;
}

bool SetFilter::usesRepeat() const {
    for (const ShapeCondition& c : shapes)
        if (c.kind == kRepeat) return true;
    return false;
}

std::optional<std::string> SetFilter::refusal() const {
    if (include & exclude)
        return "号码 " + joinNumbers(include & exclude) + " 不能既是胆码又是杀码。";
    if (std::popcount(include) > kRegular) return "胆码最多 7 个。";
    return std::nullopt;
}

std::vector<std::string> SetFilter::conditionTexts() const {
    std::vector<std::string> t;
    for (const ShapeCondition& c : shapes) t.push_back(c.text);
    if (include) t.push_back("胆=" + joinNumbers(include));
    if (exclude) t.push_back("杀=" + joinNumbers(exclude));
    return t;
}

std::string ConditionRecord::missRateText() const {
    return draws == 0 ? "-" : percentText(draws - passed, draws, 2);
}

std::vector<ConditionRecord> filterRecords(const SetFilter& f,
                                           const std::vector<ShapeDraw>& history,
                                           std::int32_t start, std::int32_t end) {
    const std::vector<std::string> texts = f.conditionTexts();
    std::vector<ConditionRecord> records(texts.size() + 1);
    for (std::size_t i = 0; i < texts.size(); ++i) records[i].text = texts[i];
    records.back().text = "全部条件";
    for (std::size_t i = 0; i < history.size(); ++i) {
        const ShapeDraw& d = history[i];
        if (d.issue < start || d.issue > end) continue;
        const ShapeValues v = shapeOf(d.numbers, i == 0 ? nullptr : &history[i - 1].numbers);
        NumberMask mask = 0;
        for (const int n : d.numbers) mask |= NumberMask{1} << (n & 31);
        bool all = true, judged = true;
        auto record = [&](std::size_t r, bool canJudge, bool pass) {
            if (!canJudge) {
                judged = false;
                return;
            }
            ++records[r].draws;
            records[r].passed += pass;
            all = all && pass;
        };
        std::size_t r = 0;
        for (const ShapeCondition& c : f.shapes) {
            const int value = v[static_cast<std::size_t>(c.kind)];
            record(r++, value >= 0,
                   value >= 0 && value < kShapeValueLimit &&
                       c.allowed[static_cast<std::size_t>(value)]);
        }
        if (f.include) record(r++, true, (mask & f.include) == f.include);
        if (f.exclude) record(r++, true, (mask & f.exclude) == 0);
        if (judged) {
            ++records.back().draws;
            records.back().passed += all;
        }
    }
    return records;
}

store::Checked<FilterResult> runFilter(const SetFilter& f, const std::vector<ShapeDraw>& history,
                                       std::int32_t start, std::int32_t end, bool keepSets) {
    NumberMask previous = 0;
    bool any = false;
    for (const ShapeDraw& d : history)
        if (d.issue >= start && d.issue <= end) {
            previous = 0;
            for (const int n : d.numbers) previous |= NumberMask{1} << (n & 31);
            any = true;
        }
    if (f.usesRepeat() && !any)
        return store::Outcome::refused("所选范围内没有开奖号码，无法按重号筛选。");
    FilterResult result;
    if (keepSets) {
        enumerateKept(f, previous, [&](NumberMask m) { result.sets.push_back(m); });
        result.kept = static_cast<std::int64_t>(result.sets.size());
    } else {
        enumerateKept(f, previous, [&](NumberMask) { ++result.kept; });
    }
    result.records = filterRecords(f, history, start, end);
    return result;
}

std::string filterConclusion(std::int64_t kept) {
    return "按开奖规则，下一期的 7 个平码是 2035800 "
           "组中的任何一组，机会均等；所以下一期落在保留的 " +
           std::to_string(kept) + " 组中的机会恰为 " + std::to_string(kept) + "/2035800（" +
           percentText(static_cast<double>(kept), kAllSets, 4) +
           "%），无论条件怎样选都是如此。条件只决定留下哪些组，误杀率只说明过去的开奖。";
}

std::vector<std::string> FilterResult::lines() const {
    std::vector<std::string> out;
    out.push_back("保留\t" + std::to_string(kept) + "\t共\t" + std::to_string(kAllSets) +
                  "\t占比\t" + percentText(static_cast<double>(kept), kAllSets, 4) + "%");
    for (const ConditionRecord& r : records)
        out.push_back("条件\t" + r.text + "\t历史通过\t" + std::to_string(r.passed) +
                      "\t历史期数\t" + std::to_string(r.draws) + "\t误杀率\t" + r.missRateText() +
                      (r.draws == 0 ? "" : "%"));
    out.push_back("结论\t" + filterConclusion(kept));
    return out;
}

}  // namespace quarvel::chance
