// The online update from the command line: update [--host URL] [--year-now Y] [--timeout S].
//
// Prints one tab-separated line per year requested: the year, the number of draws added and the
// first serial looked up, or the year, "failed" and why. Then "added N" (draws stored) and, when
// the age check acted, "discarded" (the old history was replaced) or "restored" (the kept window
// could not be read whole, so the old history was kept). When the update stopped before the
// newest draw, a "stopped at ISSUE" line says where and why; nothing after that issue is stored.
// Exit status: 0 when the history is brought up to the newest draw on the pages; 1 when the
// update stopped early (the draws reported as added are stored), was refused (no results site,
// kept years out of range) or the store failed; 2 for bad arguments.
#include <chrono>

#include "cli/command.h"
#include "history_io/history_service.h"
#include "platform/page_fetch.h"

namespace quarvel::cli {
namespace {

std::string stopReason(const io::UpdateResult& r) {
    switch (r.stop) {
        case io::UpdateStop::PageFailed:
            return "the page of " + std::to_string(r.stopIssue / 1000) + " failed: " + r.stopDetail;
        case io::UpdateStop::NoDraws:
            return "the page of " + std::to_string(r.stopIssue / 1000) +
                   " holds no draw of its year";
        case io::UpdateStop::Missing:
            return "not on the page, while later draws are";
        case io::UpdateStop::Unreadable:
            return "its numbers on the page cannot be a draw";
        case io::UpdateStop::None:
            break;
    }
    return {};
}

int update(Context& c) {
    io::UpdateParams params;
    params.host = c.saved.ResultsHost;
    params.keptYears = c.saved.IniSerchDay;
    params.bases = c.bases;
    params.yearNow = currentYear();
    platform::QtPageSource source;
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        const std::string& opt = c.args[i];
        if (i + 1 >= c.args.size())
            throw UsageError(opt == "--host" || opt == "--year-now" || opt == "--timeout"
                                 ? opt + " needs a value"
                                 : "unknown argument " + opt);
        const std::string& value = c.args[++i];
        if (opt == "--host") {
            params.host = value;
        } else if (opt == "--year-now") {
            const long long y = parseWholeNumber(value, "the year");
            if (y < 1000 || y > 9999) throw UsageError("the year must have four digits");
            params.yearNow = static_cast<int>(y);
        } else if (opt == "--timeout") {
            const long long s = parseWholeNumber(value, "the time limit");
            if (s < 1 || s > 3600)
                throw UsageError("the time limit must lie between 1 and 3600 seconds");
            source.setTimeLimit(std::chrono::seconds(s));
        } else {
            throw UsageError("unknown argument " + opt);
        }
    }

    const io::UpdateResult r = io::HistoryService(c.db).update(source, params);
    if (!r.ran()) {
        c.err << "quarvel-cli update: " << r.outcome.text() << "\n";
        return 1;
    }
    int read = 0;
    for (const auto& y : r.years) {
        if (y.read()) {
            ++read;
            c.out << y.year << "\t" << y.added << "\tfrom " << y.firstSerial;
            if (y.rejected > 0) c.out << "\t" << y.rejected << " unreadable";
            c.out << "\n";
        } else {
            c.out << y.year << "\tfailed\t" << y.page.text() << "\n";
        }
    }
    c.out << "added " << r.added << "\n";
    if (r.discarded) {
        c.out << "discarded the history older than " << params.yearNow - params.keptYears << ":";
        for (const auto& [year, draws] : r.removed.years)
            c.out << " " << year << " (" << draws << ")";
        c.out << "\n";
        if (!r.backup.empty()) c.out << "backup " << r.backup.string() << "\n";
    }
    if (r.restored)
        c.out
            << "restored: the kept years could not be read whole, the history is kept as it was\n";
    if (r.limitReached) c.out << "the history is full; later draws were left out\n";
    if (r.stop != io::UpdateStop::None)
        c.out << "stopped at " << r.stopIssue << "\t" << stopReason(r) << "\n";
    if (!r.years.empty() && read == 0) c.err << "quarvel-cli update: no page could be read\n";
    for (const auto& f : r.findings) c.out << io::findingLine(f) << "\n";
    return r.complete() ? 0 : 1;
}

const RegisterCommand reg("update", "update [--host URL] [--year-now YEAR] [--timeout SECONDS]",
                          update);

}  // namespace
}  // namespace quarvel::cli
