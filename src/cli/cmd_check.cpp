// The history check and the zodiac new-year table from the command line.
//
// check: one line per finding, tab-separated ("缺期\t2026089", "重复\t2013100",
// "期数偏少\t2019\t70", "无生肖年分界\t2027"), the summary sentence on stderr; exit 0 whatever it
// finds, 1 when the history cannot be read. new-year-table: the table in force (defaults and the
// saved NewYearTable entries), one "YEAR\tLAST-SERIAL" line per year.
#include <ostream>

#include "cli/command.h"
#include "history_io/history_check.h"
#include "history_io/history_service.h"
#include "store/new_year_table.h"

namespace quarvel::cli {
namespace {

int check(Context& c) {
    if (!c.args.empty()) throw UsageError("check takes no arguments");
    const auto findings = io::HistoryService(c.db).check();
    if (!findings) {
        c.err << "quarvel-cli check: " << findings.outcome.text() << "\n";
        return 1;
    }
    for (const auto& f : *findings) c.out << io::findingLine(f) << "\n";
    c.err << io::checkSummary(*findings) << "\n";
    return 0;
}

int newYearTable(Context& c) {
    if (!c.args.empty()) throw UsageError("new-year-table takes no arguments");
    for (const auto& [year, serial] : store::newYearTableInForce())
        c.out << year << "\t" << serial << "\n";
    return 0;
}

const RegisterCommand checkReg("check", "check", check);
const RegisterCommand tableReg("new-year-table", "new-year-table", newYearTable);

}  // namespace
}  // namespace quarvel::cli
