#include "cli/search_options.h"

#include <stdexcept>

#include "store/draw_record.h"
#include "store/whole_number.h"

namespace quarvel::cli {

int positionValue(const std::string& text, int type, int sxBase) {
    if (type == 1)
        for (std::size_t k = 0; k < store::kZodiacNames.size(); ++k)
            if (text == store::kZodiacNames[k]) return sxBase + static_cast<int>(k);
    const auto v = store::readWholeNumber32(text);
    if (!v || *v < -32768 || *v > 32767)
        throw UsageError("the value \"" + text + "\" is not a whole number" +
                         (type == 1 ? std::string(" or a zodiac name") : std::string()));
    return static_cast<int>(*v);
}

void throwOutcome(const store::Outcome& why) {
    if (why.kind == store::OutcomeKind::Failed) throw std::runtime_error(why.text());
    throw UsageError(why.text());
}

std::int32_t parseAsOf(const std::string& text) {
    const auto issue = store::readWholeNumber32(text);
    if (!issue) throw UsageError("--as-of takes an issue number: \"" + text + "\"");
    return *issue;
}

std::optional<chance::AsOfCut> asOfCut(Context& c, std::optional<std::int32_t> asOf) {
    if (!asOf) return std::nullopt;
    return checkedValue(chance::cutAt(c.db, *asOf));
}

namespace {

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

SearchOptions parseSearchOptions(Context& c, const std::vector<std::string>& args,
                                 std::size_t first, SearchKind kind) {
    SearchOptions o;
    search::Criteria& cr = o.criteria;
    cr.sxBase = c.bases.sx;
    cr.dsBase = c.bases.ds;
    cr.rangeStart = std::to_string(c.db.firstIssue().value_or(0));
    cr.rangeEnd = std::to_string(c.db.lastIssue().value_or(0));
    o.kText = std::to_string(c.saved.intZhWSetup);
    std::vector<std::pair<int, std::string>> positions;
    std::vector<std::string> values;
    bool haveValues = false;
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (a == "--type") {
            const long long t = parseWholeNumber(value(), "--type");
            if (t < 0 || t > 5) throw UsageError("--type takes 0 to 5");
            cr.type = static_cast<int>(t);
        } else if (a == "--fixed" && kind != SearchKind::Trend) {
            cr.fixed = true;
        } else if (a == "--no-special") {
            cr.countSpecial = false;
        } else if (a == "--range") {
            const std::string& r = value();
            const std::size_t colon = r.find(':');
            if (colon == std::string::npos) throw UsageError("--range takes START:END");
            cr.rangeStart = r.substr(0, colon);
            cr.rangeEnd = r.substr(colon + 1);
        } else if (a == "--as-of") {
            o.asOf = parseAsOf(value());
        } else if (a == "--pos" && kind == SearchKind::Search) {
            const std::string& pv = value();
            const std::size_t eq = pv.find('=');
            if (eq == std::string::npos) throw UsageError("--pos takes P=TEXT");
            const long long p = parseWholeNumber(pv.substr(0, eq), "the position");
            if (p < 1 || p > 8) throw UsageError("positions run from 1 to 8");
            positions.emplace_back(static_cast<int>(p), pv.substr(eq + 1));
        } else if (a == "--pm" && kind == SearchKind::Partial) {
            o.pm = true;
        } else if (a == "-k" && kind == SearchKind::Partial) {
            o.kText = value();
        } else if (a == "--values" && kind == SearchKind::Partial) {
            values = splitCommas(value());
            if (values.size() != 8)
                throw UsageError("--values takes eight texts separated by commas");
            haveValues = true;
        } else {
            throw UsageError("unknown argument " + a);
        }
    }
    // Values are read once the type is known, as a zodiac name depends on it.
    for (const auto& [p, text] : positions) {
        const auto i = static_cast<std::size_t>(p - 1);
        cr.selected[i] = true;
        cr.texts[i] = text;
        cr.values[i] = positionValue(text, cr.type, cr.sxBase);
    }
    if (kind == SearchKind::Partial) {
        if (!haveValues) throw UsageError("partial needs --values T1,...,T8");
        for (std::size_t i = 0; i < 8; ++i) {
            cr.texts[i] = values[i];
            cr.values[i] = positionValue(values[i], cr.type, cr.sxBase);
        }
    }
    return o;
}

}  // namespace quarvel::cli
