// Commands on history files: import, export and trimming.
#include <iostream>

#include "cli/command.h"
#include "history_io/atomic_file.h"
#include "history_io/history_service.h"
#include "history_io/import.h"
#include "history_io/removal_guard.h"
#include "history_io/trimming.h"
#include "platform/program_folders.h"

namespace quarvel::cli {
namespace {

io::ImportParams paramsOf(const Context& c) {
    io::ImportParams p;
    p.rules = io::RowRules::fromBases(c.bases);
    return p;
}

// The history a command replaced, to be imported back when that was a mistake.
void reportBackup(Context& c, const std::filesystem::path& backup) {
    if (!backup.empty()) c.out << io::backupSentence(backup) << "\n";
}

// The history check's findings, one line each (cmd_check.cpp prints them the same way).
void printFindings(Context& c, const std::vector<io::Finding>& findings) {
    for (const auto& f : findings) c.out << io::findingLine(f) << "\n";
}

int merge(Context& c, const std::filesystem::path& path) {
    const io::MergeResult r = io::HistoryService(c.db).mergeFile(path, paramsOf(c));
    if (!r.layout.empty()) c.out << r.layout << "\n";
    if (!r.ok()) return ending(c, r.outcome);
    c.out << io::mergeSummary(r) << "\n";
    // Stored draws the file holds with other numbers: kept as stored, listed to be looked at.
    for (const auto& d : r.differing) {
        c.out << "不同\t" << d.issue << "\t";
        for (int n : d.stored) c.out << (n < 10 ? "0" : "") << n << ' ';
        c.out << "\t";
        for (int n : d.file) c.out << (n < 10 ? "0" : "") << n << ' ';
        c.out << "\n";
    }
    printFindings(c, r.findings);
    return kDone;
}

int import(Context& c) {
    const std::string& name = c.args.operands[0];
    const std::filesystem::path path = platform::pathFromArgument(name);  // as given
    if (c.args.has("--merge")) return merge(c, path);
    const io::ImportResult r = io::HistoryService(c.db).importFile(path, paramsOf(c));
    if (r.error == io::ImportError::NotATextFile) throw UsageError("文件名须以 txt 结尾：" + name);
    if (!r.layout.empty()) c.out << r.layout << "\n";
    if (!r.ok()) return ending(c, r.outcome);
    c.out << "已读入 " << r.drawsStored << " 期历史号码";
    // Where the skipped lines are, so that they can be mended in the file.
    if (r.linesSkipped > 0) {
        c.out << "，" << r.linesSkipped << " 行不是有效的号码（第 ";
        for (std::size_t i = 0; i < r.firstSkippedLines.size(); ++i)
            c.out << (i == 0 ? "" : "、") << r.firstSkippedLines[i];
        c.out << " 行" << (r.linesSkipped > r.firstSkippedLines.size() ? "等" : "")
              << "），已跳过。";
    }
    c.out << "\n";
    reportBackup(c, r.backup);
    printFindings(c, r.findings);
    return kDone;
}

int exportCmd(Context& c) {
    const auto path = io::HistoryService(c.db).exportText();
    if (!path) return ending(c, path.outcome);
    c.out << "历史号码已导出到 " << path->string() << "\n";
    return kDone;
}

std::int32_t positiveOperand(Context& c, const char* what) {
    const auto v = io::parseTrimInput(c.args.operands[0]);
    if (!v) throw UsageError(std::string(what) + "须是正整数，不是“" + c.args.operands[0] + "”");
    return *v;
}

int reportTrim(Context& c, const io::TrimResult& r, const std::string& done) {
    if (!r.ok()) return ending(c, r.outcome);
    c.out << done << "\n";
    reportBackup(c, r.backup);
    if (!r.warning.empty()) c.err << "quarvel-cli " << c.name << ": " << r.warning << "\n";
    return kDone;
}

int trimTo(Context& c) {
    const std::int32_t issue = positiveOperand(c, "期号");
    const auto r = io::HistoryService(c.db).trimToIssue(issue, paramsOf(c));
    return reportTrim(
        c, r,
        "已保留到 " + std::to_string(issue) + " 期，共 " + std::to_string(r.drawsKept) + " 期。");
}

int trimLast(Context& c) {
    const std::int32_t n = positiveOperand(c, "期数");
    const auto r = io::HistoryService(c.db).trimLastDraws(n, paramsOf(c));
    return reportTrim(
        c, r,
        "已删除最后 " + std::to_string(n) + " 期，保留 " + std::to_string(r.drawsKept) + " 期。");
}

const RegisterCommand kImport(
    "import",
    {"从历史号码文本文件读入历史号码（先备份原历史）；--merge 只加入缺少的期",
     "FILE",
     1,
     1,
     {{"--merge", {}, {}, "只加入历史中缺少的期"}}},
    import);
const RegisterCommand kExport("export", {"历史号码导出到文本文件 lsbf.txt"}, exportCmd);
const RegisterCommand kTrimTo("trim-to", {"删除到指定期：只保留到 ISSUE 期", "ISSUE", 1, 1},
                              trimTo);
const RegisterCommand kTrimLast("trim-last", {"删除最后 N 期历史号码", "N", 1, 1}, trimLast);

}  // namespace
}  // namespace quarvel::cli
