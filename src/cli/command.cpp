#include "cli/command.h"

#include <ctime>
#include <ostream>
#include <sstream>

#include "store/stored_bases.h"
#include "store/system_calls.h"
#include "store/whole_number.h"

namespace quarvel::cli {

std::map<std::string, CommandInfo>& commandRegistry() {
    static std::map<std::string, CommandInfo> registry;
    return registry;
}

std::optional<std::string> Arguments::text(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second.back();
}

std::vector<std::string> Arguments::all(const std::string& name) const {
    const auto found = values_.find(name);
    return found == values_.end() ? std::vector<std::string>{} : found->second;
}

long long Arguments::number(const std::string& name, long long fallback) const {
    const auto t = text(name);
    return t ? *store::readWholeNumber(*t) : fallback;
}

namespace {

const OptionEntry* findOption(const OptionTable& table, const std::string& word) {
    for (const OptionEntry& o : table)
        if (word == o.name || (!o.alias.empty() && word == o.alias)) return &o;
    return nullptr;
}

void checkValue(const OptionEntry& o, const std::string& value) {
    if (o.min > o.max) return;
    const auto v = store::readWholeNumber(value);
    if (!v || *v < o.min || *v > o.max)
        throw UsageError(o.name + " 须是 " + std::to_string(o.min) + " 到 " +
                         std::to_string(o.max) + " 之间的整数，不是“" + value + "”");
}

}  // namespace

// Reads options and operands from `args`; with `stopAtOperand` the first operand and all after
// it are left as operands unread (the program's own options stop at the command).
Arguments readArguments(const CommandForm& form, const std::vector<std::string>& args,
                        bool stopAtOperand) {
    Arguments a;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const std::size_t eq = word.rfind("--", 0) == 0 ? word.find('=') : std::string::npos;
        const std::string name = word.substr(0, eq);
        const OptionEntry* o = findOption(form.options, name);
        if (!o) {
            if (word.rfind("--", 0) == 0 && word != "--") throw UsageError("不认识的选项 " + word);
            if (stopAtOperand) {
                a.operands.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
                return a;
            }
            a.operands.push_back(word);
            continue;
        }
        std::string value;
        if (o->value.empty()) {
            if (eq != std::string::npos) throw UsageError(o->name + " 后面不带值");
        } else if (eq != std::string::npos) {
            value = word.substr(eq + 1);
        } else {
            if (i + 1 >= args.size())
                throw UsageError(o->name + " 后面需要一个值（" + o->value + "）");
            value = args[++i];
        }
        checkValue(*o, value);
        a.add(o->name, std::move(value));
    }
    return a;
}

Arguments parseArguments(const CommandForm& form, const std::vector<std::string>& args) {
    Arguments a = readArguments(form, args, false);
    for (const OptionEntry& o : form.options)
        if (o.required && !a.has(o.name)) throw UsageError("缺少选项 " + o.name);
    if (a.operands.size() > form.maxOperands) {
        if (form.maxOperands == 0) throw UsageError("不认识的参数 " + a.operands.front());
        throw UsageError("多余的参数 " + a.operands[form.maxOperands]);
    }
    if (a.operands.size() < form.minOperands) throw UsageError("缺少参数 " + form.operands);
    return a;
}

std::string usageLine(const std::string& name, const CommandForm& form) {
    std::string line = name;
    const auto append = [&line](const std::string& word) {
        line += (line.empty() ? "" : " ") + word;
    };
    for (const OptionEntry& o : form.options) {
        std::string word = o.name;
        if (!o.value.empty()) word += " " + o.value;
        if (o.repeat) word += " ...";
        append(o.required ? word : "[" + word + "]");
    }
    if (!form.operands.empty()) append(form.operands);
    return line;
}

void printCommandHelp(std::ostream& out, const std::string& name, const CommandForm& form) {
    out << "用法：quarvel-cli " << usageLine(name, form) << "\n";
    out << form.help << "\n";
    if (form.options.empty()) return;
    out << "选项：\n";
    for (const OptionEntry& o : form.options) {
        std::string word = o.alias.empty() ? o.name : o.alias + ", " + o.name;
        if (!o.value.empty()) word += " " + o.value;
        out << "  " << word << std::string(word.size() < 24 ? 24 - word.size() : 1, ' ') << o.help
            << "\n";
    }
}

namespace opt {
OptionEntry type() {
    return {"--type", {}, "0..5", "搜索类型：0 号码，1 生肖，2 头数，3 尾数，4 合数，5 段数", 0, 5};
}
OptionEntry noSpecial() { return {"--no-special", {}, {}, "特码不计入"}; }
OptionEntry range() { return {"--range", {}, "A:B", "检索起止期数（默认全部历史）"}; }
OptionEntry asOf() { return {"--as-of", {}, "X", "按截止 X 期的历史计算"}; }
}  // namespace opt

std::pair<std::string, std::string> rangeTexts(const std::string& option, const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) throw UsageError(option + " 须写成 起:止，不是“" + text + "”");
    return {text.substr(0, colon), text.substr(colon + 1)};
}

std::optional<std::int32_t> asOfIssue(const Arguments& a) {
    const auto t = a.text("--as-of");
    if (!t) return std::nullopt;
    const auto issue = store::readWholeNumber32(*t);
    if (!issue) throw UsageError("--as-of 须是期号，不是“" + *t + "”");
    return *issue;
}

store::Bases storedRowBases(Context& c) {
    if (!c.rowBases) c.rowBases = store::storedBases(c.db.db(), c.bases);
    return *c.rowBases;
}

int ending(Context& c, const store::Outcome& why) {
    if (why.ok()) return kDone;
    c.err << "quarvel-cli " << c.name << ": ";
    if (!why.title.empty()) c.err << why.title << "：";
    c.err << why.text() << "\n";
    return kRefusedOrFailed;
}

void throwOutcome(const store::Outcome& why) { throw OutcomeError(why); }

long long parseWholeNumber(const std::string& text, const std::string& what) {
    const auto v = store::readWholeNumber(text);
    if (!v) throw UsageError(what + "须是整数，不是“" + text + "”");
    return *v;
}

int currentYear() {
    const std::time_t now = std::time(nullptr);
    return store::localCalendarTime(now).tm_year + 1900;
}

}  // namespace quarvel::cli
