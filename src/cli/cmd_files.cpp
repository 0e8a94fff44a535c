// Commands on history files: import, export and trimming.
#include <iostream>

#include "cli/command.h"
#include "history_io/atomic_file.h"
#include "history_io/history_service.h"
#include "history_io/import.h"
#include "history_io/trimming.h"
#include "platform/program_folders.h"

namespace quarvel::cli {
namespace {

io::ImportParams paramsOf(const Context& c) {
    io::ImportParams p;
    p.rules = io::RowRules::fromBases(c.bases);
    return p;
}

// The history check's findings, one line each (cmd_check.cpp prints them the same way).
void printFindings(Context& c, const std::vector<io::Finding>& findings) {
    for (const auto& f : findings) c.out << io::findingLine(f) << "\n";
}

int merge(Context& c, const std::filesystem::path& path) {
    const io::MergeResult r = io::HistoryService(c.db).mergeFile(path, paramsOf(c));
    if (!r.layout.empty()) c.out << r.layout << "\n";
    if (!r.ok()) {
        c.err << "quarvel-cli import: " << r.outcome.reason() << "\n";
        return 1;
    }
    c.out << "added " << r.added << " draws, " << r.alreadyStored << " already stored";
    if (r.repeatedInFile > 0) c.out << ", " << r.repeatedInFile << " repeated in the file";
    c.out << "\n";
    // Stored draws the file holds with other numbers: kept as stored, listed to be looked at.
    for (const auto& d : r.differing) {
        c.out << "不同\t" << d.issue << "\t";
        for (int n : d.stored) c.out << (n < 10 ? "0" : "") << n << ' ';
        c.out << "\t";
        for (int n : d.file) c.out << (n < 10 ? "0" : "") << n << ' ';
        c.out << "\n";
    }
    printFindings(c, r.findings);
    return 0;
}

int import(Context& c) {
    const bool merging = !c.args.empty() && c.args[0] == "--merge";
    if (c.args.size() != (merging ? 2u : 1u)) throw UsageError("import takes one file");
    const std::filesystem::path path = platform::pathFromArgument(c.args.back());  // as given
    if (merging) return merge(c, path);
    const io::ImportResult r = io::HistoryService(c.db).importFile(path, paramsOf(c));
    if (!r.layout.empty()) c.out << r.layout << "\n";
    if (!r.ok()) {
        c.err << "quarvel-cli import: " << r.outcome.reason() << "\n";
        return 1;
    }
    c.out << "stored " << r.drawsStored << " draws, skipped " << r.linesSkipped << " lines";
    // Where the skipped lines are, so that they can be mended in the file.
    for (std::size_t i = 0; i < r.firstSkippedLines.size(); ++i)
        c.out << (i == 0 ? " (line " : ", ") << r.firstSkippedLines[i];
    if (!r.firstSkippedLines.empty())
        c.out << (r.linesSkipped > r.firstSkippedLines.size() ? ", ...)" : ")");
    c.out << "\n";
    // The history it replaced, to be imported back when the file was the wrong one.
    if (!r.backup.empty()) c.out << "backup " << r.backup.string() << "\n";
    printFindings(c, r.findings);
    return 0;
}

int exportCmd(Context& c) {
    if (!c.args.empty()) throw UsageError("export takes no arguments");
    const auto path = io::HistoryService(c.db).exportText();
    if (!path) {
        c.err << "quarvel-cli export: " << path.outcome.text() << "\n";
        return 1;
    }
    c.out << path->string() << "\n";
    return 0;
}

int report(Context& c, const char* name, const io::TrimResult& r) {
    if (!r.ok()) {
        c.err << "quarvel-cli " << name << ": " << r.outcome.reason() << "\n";
        return 1;
    }
    c.out << "kept " << r.drawsKept << " draws\n";
    if (!r.backup.empty()) c.out << "backup " << r.backup.string() << "\n";
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

RegisterCommand importCmdReg("import", "import [--merge] FILE", import);
RegisterCommand exportCmdReg("export", "export", exportCmd);
RegisterCommand trimToReg("trim-to", "trim-to ISSUE", trimTo);
RegisterCommand trimLastReg("trim-last", "trim-last N", trimLast);

}  // namespace
}  // namespace quarvel::cli
