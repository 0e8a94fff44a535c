#pragma once
// quarvel-cli commands: each command file registers its commands here with the table of its
// options; program.cpp parses the program's own options and dispatches. One parser reads every
// command's arguments from its table, checks them and prints the command's --help; one mapping
// turns how a command ended into the exit status and the message.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "store/draw_record.h"
#include "store/history_db.h"
#include "store/outcome.h"
#include "store/settings.h"

namespace quarvel::cli {

// Bad arguments: the program prints the message (Chinese) and the command's usage, exit 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A command that ended with what the core answered: refused or failed, exit 1.
class OutcomeError : public std::runtime_error {
  public:
    explicit OutcomeError(store::Outcome why)
        : std::runtime_error(why.sentence), outcome(std::move(why)) {}
    store::Outcome outcome;
};

// One option of a command's table.
struct OptionEntry {
    std::string name;   // "--type", "-k"
    std::string alias;  // another name for it ("-h" for "--help"), may be empty
    std::string value;  // what it takes as shown in the help ("0..5", "A:B"); empty: a flag
    std::string help;   // one Chinese line
    // A whole number from `min` to `max` when min <= max; any text otherwise.
    long long min = 1;
    long long max = 0;
    bool repeat = false;    // may be given more than once (--pos)
    bool required = false;  // must be given
};
using OptionTable = std::vector<OptionEntry>;

// What a command takes: its options, then its operands (the words that are no option).
struct CommandForm {
    std::string help = {};      // what the command does, one Chinese line
    std::string operands = {};  // as shown in the usage line, e.g. "ISSUE N1 ... N8"
    std::size_t minOperands = 0;
    std::size_t maxOperands = 0;
    OptionTable options = {};
};

// The arguments of one command as its table read them.
class Arguments {
  public:
    bool has(const std::string& name) const { return values_.count(name) > 0; }
    // The value given last, or none.
    std::optional<std::string> text(const std::string& name) const;
    // Every value in the order given.
    std::vector<std::string> all(const std::string& name) const;
    // The whole number of a ranged option (checked by the parser), or `fallback`.
    long long number(const std::string& name, long long fallback) const;
    std::vector<std::string> operands;

    void add(const std::string& name, std::string value) {
        values_[name].push_back(std::move(value));
    }

  private:
    std::map<std::string, std::vector<std::string>> values_;
};

// Reads `args` by `form`: every option known, every value present and within its range, the
// operands counted, required options given (UsageError otherwise). Operands may stand before,
// between and after options; a word such as -5 that names no option is an operand.
Arguments parseArguments(const CommandForm& form, const std::vector<std::string>& args);
// The same reading up to the first operand, which with all after it is left as the operands
// (the program's own options end at the command).
Arguments readArguments(const CommandForm& form, const std::vector<std::string>& args,
                        bool stopAtOperand);
// "name [options] operands", then one line per option: the usage and --help of a command.
std::string usageLine(const std::string& name, const CommandForm& form);
void printCommandHelp(std::ostream& out, const std::string& name, const CommandForm& form);

// The options shared by several commands, each defined once.
namespace opt {
OptionEntry type();       // --type 0..5
OptionEntry noSpecial();  // --no-special
OptionEntry range();      // --range A:B
OptionEntry asOf();       // --as-of X
}  // namespace opt

// "A:B" of --range and --test as the texts on either side of the colon (UsageError otherwise).
std::pair<std::string, std::string> rangeTexts(const std::string& option, const std::string& text);
// The issue of --as-of.
std::optional<std::int32_t> asOfIssue(const Arguments& a);

struct Context {
    std::string name;      // the command's
    store::HistoryDb& db;  // opened before the command runs
    store::SettingsStore& settings;
    store::Settings saved;  // settings as loaded
    store::Bases bases;     // saved bases, overridden by --sx-base / --ds-base: rows built now
    Arguments args;         // the command's own arguments, read by its table
    std::ostream& out;
    std::ostream& err;
    std::optional<store::Bases> rowBases = {};  // read by storedRowBases on first use
};

// The bases the stored rows are coded in (`bases` where the rows do not tell): what every
// analysis reads values and names in, whatever the settings say.
store::Bases storedRowBases(Context& c);

// A command returns its exit status: 0 when done, else through `ending`; what it refuses it may
// throw instead (OutcomeError, UsageError).
using CommandFn = std::function<int(Context&)>;

struct CommandInfo {
    CommandFn run;
    CommandForm form;
};

std::map<std::string, CommandInfo>& commandRegistry();

struct RegisterCommand {
    RegisterCommand(const std::string& name, CommandForm form, CommandFn fn) {
        commandRegistry()[name] = CommandInfo{std::move(fn), std::move(form)};
    }
};

// How a command ended, as the exit status: 0 done, 1 refused or failed (the outcome's text on
// the error stream after the command's name), 2 bad arguments.
int ending(Context& c, const store::Outcome& why);
// The value, or the command ends with the outcome (OutcomeError).
[[noreturn]] void throwOutcome(const store::Outcome& why);
template <class T>
T checkedValue(store::Checked<T> checked) {
    if (!checked) throwOutcome(checked.outcome);
    return std::move(*checked);
}

// The value of an argument, or the command ends as called with bad arguments (UsageError with
// the refusal's sentence).
template <class T>
T argumentValue(store::Checked<T> checked) {
    if (!checked) throw UsageError(checked.outcome.sentence);
    return std::move(*checked);
}

// Exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kRefusedOrFailed = 1;
inline constexpr int kBadArguments = 2;

// A strict whole number (UsageError naming `what` when not one).
long long parseWholeNumber(const std::string& text, const std::string& what);

// The calendar year of the local clock.
int currentYear();

}  // namespace quarvel::cli
