#include "chance/prize_table.h"

#include <vector>

#include "chance/exact_chance.h"

namespace quarvel::chance {

namespace {

// A prize in 元: a whole number 0 … 10^10 written in digits only.
std::optional<std::int64_t> amountOf(const std::string& text) {
    if (text.empty() || text.size() > 11) return std::nullopt;
    std::int64_t v = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9') return std::nullopt;
        v = v * 10 + (ch - '0');
    }
    if (v > 10'000'000'000) return std::nullopt;
    return v;
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(sep, from);
        std::string part =
            text.substr(from, at == std::string::npos ? std::string::npos : at - from);
        const auto first = part.find_first_not_of(" \t");
        const auto last = part.find_last_not_of(" \t");
        parts.push_back(first == std::string::npos ? std::string{}
                                                   : part.substr(first, last - first + 1));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
}

}  // namespace

const std::string& levelName(int level) {
    static const std::array<std::string, kPrizeLevels + 1> names = {
        "未中奖", "一等奖", "二等奖", "三等奖", "四等奖", "五等奖", "六等奖", "七等奖"};
    return names[static_cast<std::size_t>(level >= 1 && level <= kPrizeLevels ? level : 0)];
}

int prizeLevel(int regular, int special) {
    // Seven regular numbers matched leave no room in the bet for the special one.
    if (regular == 7) return 1;
    if (regular < 4 || regular > 6) return 0;
    return 2 * (7 - regular) + (special != 0 ? 0 : 1);
}

double levelChance(int level) {
    // Ways the draw's seven regular numbers and its special one meet a fixed bet: kb of the bet
    // among the regular numbers, then the special one among the bet's 7 − kb others (sb = 1) or
    // among the 16 + kb numbers outside them both (sb = 0).
    const double ways = static_cast<double>(choose(kNumbers, kRegular)) * (kNumbers - kRegular);
    double p = 0;
    for (int kb = 0; kb <= kRegular; ++kb)
        for (int sb = 0; sb <= 1; ++sb) {
            if (prizeLevel(kb, sb) != level) continue;
            const std::int64_t specials = sb == 1 ? kRegular - kb : kNumbers - 2 * kRegular + kb;
            p += static_cast<double>(choose(kRegular, kb) *
                                     choose(kNumbers - kRegular, kRegular - kb) * specials) /
                 ways;
        }
    return p;
}

double PrizeTable::expectedFixedReturn() const {
    double e = 0;
    for (int level = kFloatingLevels + 1; level <= kPrizeLevels; ++level)
        e += static_cast<double>(fixed[static_cast<std::size_t>(level)]) * levelChance(level);
    return e;
}

std::string PrizeTable::fixedText() const {
    std::string t;
    for (int level = kFloatingLevels + 1; level <= kPrizeLevels; ++level) {
        if (!t.empty()) t += ',';
        t += std::to_string(fixed[static_cast<std::size_t>(level)]);
    }
    return t;
}

std::string PrizeTable::floatingText() const {
    std::string t;
    for (const auto& [issue, amounts] : floating) {
        if (!t.empty()) t += ';';
        t += std::to_string(issue) + ':' + std::to_string(amounts[0]) + ',' +
             std::to_string(amounts[1]) + ',' + std::to_string(amounts[2]);
    }
    return t;
}

std::optional<std::string> PrizeTable::setFixedText(const std::string& text) {
    const auto parts = split(text, ',');
    if (parts.size() != kPrizeLevels - kFloatingLevels)
        return "固定奖金应为四等奖至七等奖的四个金额，用逗号分开，例如 200,50,10,5。";
    std::array<std::int64_t, kPrizeLevels + 1> next = fixed;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const auto v = amountOf(parts[i]);
        if (!v) return "奖金“" + parts[i] + "”不是 0 到 10000000000 之间的整数（元）。";
        next[i + kFloatingLevels + 1] = *v;
    }
    fixed = next;
    return std::nullopt;
}

std::optional<std::string> PrizeTable::setFloatingText(const std::string& text) {
    std::map<std::int32_t, std::array<std::int64_t, kFloatingLevels>> next;
    for (const std::string& entry : split(text, ';')) {
        if (entry.empty()) continue;
        const std::size_t colon = entry.find(':');
        const auto issue =
            colon == std::string::npos ? std::nullopt : amountOf(entry.substr(0, colon));
        if (!issue || *issue < 1000 || *issue > 99'999'999)
            return "浮动奖金“" + entry + "”应写成 期号:一等奖,二等奖,三等奖。";
        const auto parts = split(entry.substr(colon + 1), ',');
        if (parts.size() != kFloatingLevels)
            return "浮动奖金“" + entry + "”应有一等奖、二等奖、三等奖三个金额。";
        std::array<std::int64_t, kFloatingLevels> amounts{};
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const auto v = amountOf(parts[i]);
            if (!v) return "奖金“" + parts[i] + "”不是 0 到 10000000000 之间的整数（元）。";
            amounts[i] = *v;
        }
        next[static_cast<std::int32_t>(*issue)] = amounts;
    }
    floating = std::move(next);
    return std::nullopt;
}

PrizeTable PrizeTable::load(store::SettingsStore& settings) {
    PrizeTable t;
    if (const auto v = settings.get(kPrizeTableKey)) {
        PrizeTable read;
        if (!read.setFixedText(*v)) t.fixed = read.fixed;
    }
    if (const auto v = settings.get(kFloatingPrizesKey)) {
        PrizeTable read;
        if (!read.setFloatingText(*v)) t.floating = std::move(read.floating);
    }
    return t;
}

bool PrizeTable::save(store::SettingsStore& settings) const {
    const bool fixedSaved = settings.save(kPrizeTableKey, fixedText());
    return settings.save(kFloatingPrizesKey, floatingText()) && fixedSaved;
}

}  // namespace quarvel::chance
