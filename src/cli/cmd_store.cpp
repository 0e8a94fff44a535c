// Commands on the stored history itself: add, row, list, delete-last, clear, compact.
#include <iostream>

#include "cli/command.h"
#include "history_io/history_service.h"
#include "history_io/removal_guard.h"
#include "store/numbering.h"

namespace quarvel::cli {
namespace {

// Names the backup a removing command wrote, so that a script can restore it with import.
void reportBackup(Context& c, const std::filesystem::path& backup) {
    if (!backup.empty()) c.out << io::backupSentence(backup) << "\n";
}

int add(Context& c) {
    const auto& a = c.args.operands;
    const long long issue = parseWholeNumber(a[0], "期号");
    if (!store::isIssueInBounds(issue))
        throw UsageError("期号须在 1 到 " + std::to_string(store::kMaxIssue) + " 之间");
    std::array<int, 8> numbers{};
    for (int p = 0; p < 8; ++p) {
        const long long n = parseWholeNumber(a[static_cast<std::size_t>(p) + 1],
                                             "第 " + std::to_string(p + 1) + " 个号码");
        numbers[p] = n < 0 || n > 99 ? -1 : static_cast<int>(n);  // out of range either way
    }
    // Numbers that are no draw are refused before the history is looked at.
    if (auto why = io::checkNewDraw(issue, numbers); !why.ok()) return ending(c, why);
    const auto r = io::HistoryService(c.db).addDraw(
        static_cast<std::int32_t>(issue), numbers, io::RowRules::fromBases(c.bases), currentYear());
    if (!r.ok()) return ending(c, r.outcome);
    c.out << "已保存 " << issue << " 期\n";
    return kDone;
}

int row(Context& c) {
    const long long issue = parseWholeNumber(c.args.operands[0], "期号");
    store::Snapshot s = c.db.drawsOfIssue(issue);
    if (s.recordCount() == 0)
        return ending(c,
                      store::Outcome::refused("没有 " + std::to_string(issue) + " 期的历史号码"));
    bool first = true;
    for (s.moveFirst(); !s.eof(); s.moveNext()) {
        if (!first) c.out << "\n";
        first = false;
        for (const auto& name : store::lishiColumns())
            c.out << name << "=" << s.textField(name) << "\n";
    }
    return kDone;
}

int list(Context& c) {
    store::Snapshot sorted = c.db.historyList();
    c.out << store::historyListGrid(sorted).toTsv();
    return kDone;
}

int deleteLast(Context& c) {
    const auto r = io::HistoryService(c.db).deleteLast();
    if (!r.ok()) return ending(c, r.outcome);
    if (!r.issue) {
        c.out << "没有可删除的历史号码\n";
        return kDone;
    }
    c.out << "已删除 " << *r.issue << " 期\n";
    reportBackup(c, r.backup);
    // The draw is deleted either way; a compaction that could not run is only reported.
    if (!r.compactionFailure.empty())
        c.err << "quarvel-cli delete-last: 压缩数据库失败：" << r.compactionFailure << "\n";
    return kDone;
}

int clear(Context& c) {
    const auto r = io::HistoryService(c.db).clear();
    if (!r.ok()) return ending(c, r.outcome);
    c.out << "历史号码已清空。\n";
    reportBackup(c, r.backup);
    return kDone;
}

int compact(Context& c) {
    const auto r = io::HistoryService(c.db).compact();
    if (!r.ok()) return ending(c, r.outcome);
    c.out << "数据库已压缩：" << c.db.dbPath().string() << "\n";
    return kDone;
}

const RegisterCommand kAdd("add",
                           {"保存一期历史号码：期号和八个号码（平1位 … 平7位、特码）",
                            "ISSUE N1 N2 N3 N4 N5 N6 N7 N8", 9, 9},
                           add);
const RegisterCommand kRow("row", {"列出一期历史号码的全部字段", "ISSUE", 1, 1}, row);
const RegisterCommand kList("list", {"列出历史号码"}, list);
const RegisterCommand kDelete("delete-last", {"删除最后一期历史号码（先备份）"}, deleteLast);
const RegisterCommand kClear("clear", {"清空历史号码（先备份）"}, clear);
const RegisterCommand kCompact("compact", {"压缩数据库"}, compact);

}  // namespace
}  // namespace quarvel::cli
