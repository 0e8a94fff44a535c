// The online update from the command line: update [--host URL] [--year-now Y] [--timeout S].
//
// Prints one tab-separated line per year requested: the year, the number of draws added and the
// first serial looked up, or the year, "没有读到" and why. Then the window's sentence of the draws
// added, of the old history discarded with its backup, and when the update stopped before the
// newest draw, where and why (nothing after that issue is stored).
// Exit status: 0 when the history is brought up to the newest draw on the pages; 1 when the
// update stopped early (the draws reported as added are stored), was refused (no results site,
// kept years out of range) or the store failed; 2 for bad arguments.
#include <chrono>

#include "cli/command.h"
#include "history_io/history_service.h"
#include "history_io/removal_guard.h"
#include "platform/page_fetch.h"

namespace quarvel::cli {
namespace {

int update(Context& c) {
    io::UpdateParams params;
    params.host = c.args.text("--host").value_or(c.saved.ResultsHost);
    params.keptYears = c.saved.IniSerchDay;
    params.bases = c.bases;
    params.yearNow = static_cast<int>(c.args.number("--year-now", currentYear()));
    platform::QtPageSource source;
    if (c.args.has("--timeout"))
        source.setTimeLimit(std::chrono::seconds(c.args.number("--timeout", 0)));

    const io::UpdateResult r = io::HistoryService(c.db).update(source, params);
    if (!r.ran()) return ending(c, r.outcome);
    int read = 0;
    for (const auto& y : r.years) {
        if (y.read()) {
            ++read;
            c.out << y.year << "\t新增 " << y.added << " 期\t从第 " << y.firstSerial << " 期查起";
            if (y.rejected > 0) c.out << "\t" << y.rejected << " 期读不出";
            c.out << "\n";
        } else {
            c.out << y.year << "\t没有读到\t" << y.page.text() << "\n";
        }
    }
    c.out << "在线更新：新增 " << r.added << " 期\n";
    if (r.discarded) {
        c.out << "超过保留年数的历史号码已删除（" << params.yearNow - params.keptYears
              << " 年以前：";
        for (const auto& [year, draws] : r.removed.years)
            c.out << " " << year << " 年 " << draws << " 期";
        c.out << "）。" << io::backupSentence(r.backup) << "\n";
    }
    if (!r.complete()) c.out << io::updateStopMessage(r) << "\n";
    if (!r.years.empty() && read == 0) c.err << "quarvel-cli update: 没有读到任何页面\n";
    for (const auto& f : r.findings) c.out << io::findingLine(f) << "\n";
    return r.complete() ? kDone : kRefusedOrFailed;
}

const RegisterCommand kUpdate("update",
                              {"在线更新：从开奖结果网站读入最新的历史号码",
                               {},
                               0,
                               0,
                               {{"--host", {}, "URL", "开奖结果网站（默认按设置）"},
                                {"--year-now", {}, "YEAR", "当前年份", 1000, 9999},
                                {"--timeout", {}, "SECONDS", "每个页面的时间限制（秒）", 1, 3600}}},
                              update);

}  // namespace
}  // namespace quarvel::cli
