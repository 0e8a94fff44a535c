#include "search/input_checks.h"

#include <algorithm>
#include <array>
#include <vector>

#include "store/whole_number.h"

namespace quarvel::search {

std::string positionCaption(int position) {
    if (position == kPositions) return "特位";
    return "平" + std::to_string(position) + "位";
}

std::string typeCaption(int type) {
    static const std::array<const char*, 6> names = {"号码", "生肖", "头数",
                                                     "尾数", "合数", "段数"};
    if (type < 0 || type >= static_cast<int>(names.size())) return "数值";
    return names[static_cast<std::size_t>(type)];
}

namespace {

bool blank(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

std::optional<std::string> checkPositionValues(const Criteria& c, std::span<const int> positions,
                                               bool typed) {
    const auto range = valueRange(c.type, c.sxBase, c.dsBase);
    const std::string type = typeCaption(c.type);
    const std::string allowed = range ? "（" + type + "的范围是 " + std::to_string(range->low) +
                                            "～" + std::to_string(range->high) + "）"
                                      : std::string();
    for (const int p : positions) {
        const auto i = static_cast<std::size_t>(p - 1);
        if (blank(c.texts[i])) {
            std::string why = positionCaption(p) + "没有填写";
            why += type + allowed;
            return why + "。";
        }
        int value = c.values[i];
        if (typed) {
            const auto read = store::readWholeNumber32(c.texts[i]);
            if (!read)
                return positionCaption(p) + "填写的“" + c.texts[i] + "”不是整数" + allowed + "。";
            value = *read;
        }
        if (range && !range->contains(value)) {
            std::string why = positionCaption(p) + "的" + type;
            why += " " + std::to_string(value) + " 超出范围";
            return why + allowed + "，请改正后再检索。";
        }
    }
    return std::nullopt;
}

std::optional<std::string> checkUntickedTexts(const Criteria& c) {
    for (int p = 1; p <= kPositions; ++p) {
        const auto i = static_cast<std::size_t>(p - 1);
        if (!c.selected[i] && !blank(c.texts[i]))
            return positionCaption(p) + "填写了“" + c.texts[i] + "”，但没有勾选" +
                   positionCaption(p) + "：请勾选该位，或清空该位的输入框。";
    }
    return std::nullopt;
}

std::optional<std::string> checkSearchInput(const Criteria& c, bool typed) {
    if (typed)
        if (auto why = checkUntickedTexts(c)) return why;
    std::vector<int> chosen;
    for (int p = 1; p <= kPositions; ++p)
        if (c.selected[static_cast<std::size_t>(p - 1)]) chosen.push_back(p);
    return checkPositionValues(c, chosen, typed);
}

std::optional<std::string> checkPartialInput(const Criteria& c, bool flatOnly, bool typed) {
    std::vector<int> inPlay;
    for (int p = 1; p <= (flatOnly ? kPositions - 1 : kPositions); ++p) inPlay.push_back(p);
    return checkPositionValues(c, inPlay, typed);
}

std::optional<std::string> checkGroupSize(int size, int ticked) {
    if (size < kMinGroupSize || size > kMaxGroupSize)
        return "组合位数 " + std::to_string(size) + " 超出范围（组合位数的范围是 " +
               std::to_string(kMinGroupSize) + "～" + std::to_string(kMaxGroupSize) + "）。";
    if (size > ticked)
        return "组合位数是 " + std::to_string(size) + "，但组合检索只勾选了 " +
               std::to_string(ticked) + " 个，凑不成一组（请至少勾选 " + std::to_string(size) +
               " 个）。";
    return std::nullopt;
}

}  // namespace quarvel::search
