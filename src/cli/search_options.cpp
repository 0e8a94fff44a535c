#include "cli/search_options.h"

#include <tuple>

#include "store/draw_record.h"
#include "store/whole_number.h"

namespace quarvel::cli {

int positionValue(const std::string& text, int type, int sxBase) {
    if (type == 1)
        for (std::size_t k = 0; k < store::kZodiacNames.size(); ++k)
            if (text == store::kZodiacNames[k]) return sxBase + static_cast<int>(k);
    const auto v = store::readWholeNumber32(text);
    if (!v || *v < -32768 || *v > 32767)
        throw UsageError("值“" + text + "”不是整数" + (type == 1 ? "或生肖名" : ""));
    return static_cast<int>(*v);
}

namespace {

// Functions, not constants: the command tables are built while the program's statics are.
OptionEntry fixed() { return {"--fixed", {}, {}, "固定位（默认自由位）"}; }
OptionEntry pos() {
    return {"--pos", {}, "P=TEXT", "第 P 位（1..8）检索 TEXT（号码、代码或生肖名）", 1, 0, true};
}
OptionEntry pm() { return {"--pm", {}, {}, "分部检索平码（默认平特）"}; }
OptionEntry k() { return {"-k", {}, "K", "分部位数"}; }
OptionEntry values(bool required) {
    return {"--values", {}, "T1,...,T8", "分部检索的八个位置值，逗号分隔", 1, 0, false, required};
}
OptionEntry partial() { return {"--partial", {}, {}, "分部检索（默认检索）"}; }

std::vector<std::string> splitCommas(const std::string& s) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t comma = s.find(',', from);
        out.push_back(s.substr(from, comma - from));
        if (comma == std::string::npos) return out;
        from = comma + 1;
    }
}

}  // namespace

OptionTable searchOptionTable(SearchKind kind) {
    switch (kind) {
        case SearchKind::Search:
            return {opt::type(), fixed(), opt::noSpecial(), opt::range(), opt::asOf(), pos()};
        case SearchKind::Partial:
            return {opt::type(), fixed(),      opt::noSpecial(), pm(),
                    k(),         values(true), opt::range(),     opt::asOf()};
        case SearchKind::Trend:
            break;
    }
    return {opt::type(), opt::noSpecial(), opt::range(), opt::asOf()};
}

OptionTable patternOptionTable() {
    return {partial(), opt::type(), fixed(), opt::noSpecial(), opt::range(), opt::asOf(),
            pos(),     pm(),        k(),     values(false)};
}

SearchOptions readSearchOptions(Context& c, SearchKind kind) {
    const Arguments& a = c.args;
    // Options of the other kind, in the commands that take both.
    const char* partialOnly[] = {"--pm", "-k", "--values"};
    if (kind == SearchKind::Search)
        for (const char* name : partialOnly)
            if (a.has(name)) throw UsageError(std::string(name) + " 只用于分部检索（--partial）");
    if (kind == SearchKind::Partial) {
        if (a.has("--pos")) throw UsageError("--pos 只用于检索，分部检索用 --values");
        if (!a.has("--values")) throw UsageError("分部检索缺少选项 --values");
    }
    SearchOptions o;
    search::Criteria& cr = o.criteria;
    const store::Bases rows = storedRowBases(c);
    cr.sxBase = rows.sx;
    cr.dsBase = rows.ds;
    cr.rangeStart = std::to_string(c.db.firstIssue().value_or(0));
    cr.rangeEnd = std::to_string(c.db.lastIssue().value_or(0));
    o.kText = a.text("-k").value_or(std::to_string(c.saved.intZhWSetup));
    cr.type = static_cast<int>(a.number("--type", cr.type));
    cr.fixed = a.has("--fixed");
    cr.countSpecial = !a.has("--no-special");
    o.pm = a.has("--pm");
    if (const auto r = a.text("--range"))
        std::tie(cr.rangeStart, cr.rangeEnd) = rangeTexts("--range", *r);
    o.asOf = asOfIssue(a);
    // Values are read once the type is known, as a zodiac name depends on it.
    for (const std::string& pv : a.all("--pos")) {
        const std::size_t eq = pv.find('=');
        if (eq == std::string::npos) throw UsageError("--pos 须写成 位置=值，不是“" + pv + "”");
        const auto p = store::readWholeNumber(pv.substr(0, eq));
        if (!p || *p < 1 || *p > 8) throw UsageError("--pos 的位置须是 1 到 8，不是“" + pv + "”");
        const auto i = static_cast<std::size_t>(*p - 1);
        cr.selected[i] = true;
        cr.texts[i] = pv.substr(eq + 1);
        cr.values[i] = positionValue(cr.texts[i], cr.type, cr.sxBase);
    }
    if (const auto v = a.text("--values")) {
        const std::vector<std::string> values = splitCommas(*v);
        if (values.size() != 8) throw UsageError("--values 须是逗号分隔的八个值");
        for (std::size_t i = 0; i < 8; ++i) {
            cr.texts[i] = values[i];
            cr.values[i] = positionValue(values[i], cr.type, cr.sxBase);
        }
    }
    return o;
}

}  // namespace quarvel::cli
