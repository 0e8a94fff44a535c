// Commands on history files: import, export and trimming.
#include <iostream>

#include "cli/command.h"
#include "history_io/atomic_file.h"
#include "history_io/export.h"
#include "history_io/history_service.h"
#include "history_io/import.h"
#include "history_io/trimming.h"

namespace quarvel::cli {
namespace {

io::ImportParams paramsOf(const Context& c) {
    io::ImportParams p;
    p.rules = io::RowRules::fromBases(c.bases);
    return p;
}

int import(Context& c) {
    if (c.args.size() != 1) throw UsageError("import takes one file");
    const auto path = io::utf8Path(c.args[0]);
    if (!io::hasTextFileName(path)) throw UsageError("the file name must end in txt: " + c.args[0]);
    const io::ImportResult r = io::HistoryService(c.db).importFile(path, paramsOf(c));
    if (!r.ok()) {
        c.err << "quarvel-cli import: " << r.errorText << "\n";
        return 1;
    }
    c.out << "stored " << r.drawsStored << " draws, skipped " << r.linesSkipped << " lines";
    // Where the skipped lines are, so that they can be mended in the file.
    for (std::size_t i = 0; i < r.firstSkippedLines.size(); ++i)
        c.out << (i == 0 ? " (line " : ", ") << r.firstSkippedLines[i];
    if (!r.firstSkippedLines.empty())
        c.out << (r.linesSkipped > r.firstSkippedLines.size() ? ", ...)" : ")");
    c.out << "\n";
    return 0;
}

int exportCmd(Context& c) {
    if (!c.args.empty()) throw UsageError("export takes no arguments");
    c.out << io::exportHistory(c.db).string() << "\n";
    return 0;
}

int report(Context& c, const char* name, const io::TrimResult& r) {
    if (!r.ok()) {
        c.err << "quarvel-cli " << name << ": " << r.errorText << "\n";
        return 1;
    }
    c.out << "kept " << r.drawsKept << " draws\n";
    if (!r.warning.empty()) c.err << "quarvel-cli " << name << ": " << r.warning << "\n";
    return 0;
}

std::int32_t positiveArgument(Context& c, const char* what) {
    if (c.args.size() != 1) throw UsageError(std::string("takes one ") + what);
    const auto v = io::parseTrimInput(c.args[0]);
    if (!v)
        throw UsageError(std::string(what) +
                         " must be a positive 32-bit whole number: " + c.args[0]);
    return *v;
}

int trimTo(Context& c) {
    const std::int32_t issue = positiveArgument(c, "issue");
    return report(c, "trim-to", io::HistoryService(c.db).trimToIssue(issue, paramsOf(c)));
}

int trimLast(Context& c) {
    const std::int32_t n = positiveArgument(c, "count");
    return report(c, "trim-last", io::HistoryService(c.db).trimLastDraws(n, paramsOf(c)));
}

RegisterCommand importCmdReg("import", "import FILE", import);
RegisterCommand exportCmdReg("export", "export", exportCmd);
RegisterCommand trimToReg("trim-to", "trim-to ISSUE", trimTo);
RegisterCommand trimLastReg("trim-last", "trim-last N", trimLast);

}  // namespace
}  // namespace quarvel::cli
