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
    const auto findings = io::HistoryService(c.db).check();
    if (!findings) return ending(c, findings.outcome);
    for (const auto& f : *findings) c.out << io::findingLine(f) << "\n";
    c.err << io::checkSummary(*findings) << "\n";
    return kDone;
}

int newYearTable(Context& c) {
    for (const auto& [year, serial] : store::newYearTableInForce())
        c.out << year << "\t" << serial << "\n";
    return kDone;
}

const RegisterCommand checkReg("check",
                               {"检查历史号码：缺期、重复、期数偏少、无生肖年分界，每项一行"},
                               check);
const RegisterCommand tableReg("new-year-table",
                               {"生肖年分界表：每年一行，年份与该年最后一期的序号"}, newYearTable);

}  // namespace
}  // namespace quarvel::cli
