// Changing the history from the window itself: the manual entry of the newest draw, deleting
// the last draw, clearing the history; and the zodiac and segment base menus.

#include <QAction>
#include <QDate>
#include <QLineEdit>

#include "app/busy_cursor.h"
#include "app/criteria_panel.h"
#include "app/dialogs.h"
#include "app/history_panel.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "history_io/history_service.h"
#include "store/draw_record.h"
#include "store/numbering.h"
#include "store/whole_number.h"

namespace quarvel::app {

void MainWindow::storeTypedDraw() {
    if (refuseWhileUpdating()) return;
    const auto typed = history_->typedNumbers();
    for (int k = 0; k < 8; ++k) {
        if (typed[k]) continue;
        const QString place =
            k == 7 ? QStringLiteral("特码") : QStringLiteral("第%1个号码").arg(k + 1);
        // Nothing is stored and the boxes keep what was typed, so that it can be corrected.
        ctx_.dialogs->message(
            QString::fromUtf8(io::kNewDrawRefusalTitle),
            QStringLiteral("%1没有输入完整（每个号码两位数字，例如 05）。本期号码没有保存。")
                .arg(place));
        return;
    }
    if (!ctx_.historyOpen()) {
        ctx_.dialogs->message(QStringLiteral("保存失败"),
                              QStringLiteral("历史数据库没有打开。本期号码没有保存。"));
        return;
    }
    // The draw is stored under the issue the next-issue box shows, as the user may have
    // corrected it; untouched, it holds the next issue after the newest draw.
    const QString issueText = history_->nextIssueBox()->text();
    const auto issue = store::readWholeNumber(issueText.toStdString());
    if (!issue || !store::isIssueInBounds(*issue)) {
        ctx_.dialogs->message(
            QStringLiteral("期号有误"),
            QStringLiteral("下期期号“%1”不是 1 到 %2 之间的整数，本期号码没有保存。")
                .arg(issueText.trimmed())
                .arg(store::kMaxIssue));
        return;
    }
    // Another program changed the history since the list was shown: the next issue the user
    // saw may be wrong now (a trim elsewhere), so the draw waits for the user to look again.
    if (refreshIfChangedElsewhere()) {
        const QString why =
            QStringLiteral(
                "历史号码已被其他程序改变，列表和下期期号（%1）已更新。本期号码没有保存，"
                "请核对后重新输入最后一个号码。")
                .arg(history_->nextIssueBox()->text());
        ctx_.dialogs->message(QStringLiteral("保存失败"), why);
        notify(why);
        return;
    }
    std::array<int, 8> numbers{};
    for (int k = 0; k < 8; ++k) numbers[k] = *typed[k];
    const auto result = io::HistoryService(db_).addDraw(
        static_cast<std::int32_t>(*issue), numbers,
        io::RowRules{ctx_.zodiacCodes, ctx_.saved.DsIni}, QDate::currentDate().year(), &seen_);
    if (!result.ok()) {
        const store::Outcome& why = result.outcome;
        const QString sentence = fromStd(why.sentence) + QStringLiteral("本期号码没有保存。");
        ctx_.dialogs->detailedMessage(
            why.title.empty() ? QStringLiteral("保存失败") : fromStd(why.title), sentence,
            fromStd(why.detail));
        // Another program changed the history meanwhile: show the history as it is now.
        if (why.kind == store::OutcomeKind::Stale) afterHistoryReplaced();
        notify(sentence);
        return;
    }
    history_->entryStored();
    AddHaoma();
    QihaoXianshi();
    // After the list and issue boxes, so that on the history tab the stored draw is the
    // reference draw; on the manual tab the typed values are read again. A history that cannot
    // be read is told in the status line by the panel itself.
    criteria_->refreshPositionValues();
    notify(QStringLiteral("已保存 %1 期").arg(*issue));
}

void MainWindow::deleteLastDraw() {
    if (refuseWhileUpdating()) return;
    io::ChangeResult result;
    {
        BusyCursor busy;
        result = io::HistoryService(db_).deleteLast(&seen_);
    }
    if (!result.ok()) {
        // Refused or failed: nothing was deleted, and nothing is rebuilt or compacted.
        refuseChange(QStringLiteral("删除失败"), result.outcome);
        return;
    }
    criteria_->refreshPositionValues();
    AddHaoma();
    QihaoXianshi();
    history_->focusFirstBox();
    QString done = result.issue ? QStringLiteral("已删除 %1 期").arg(*result.issue)
                                : QStringLiteral("没有可删除的历史号码");
    if (!result.compactionFailure.empty())
        done += QStringLiteral("（压缩数据库失败：%1）").arg(fromStd(result.compactionFailure));
    notify(done + QStringLiteral("。") + fromStd(io::backupSentence(result.backup)));
}

// A removal refused or failed: the sentence in a message (the detail behind its button) and in
// the status bar; a history changed elsewhere is shown as it is now.
void MainWindow::refuseChange(const QString& title, const store::Outcome& why) {
    const QString sentence = fromStd(why.sentence) + QStringLiteral("历史号码未改变。");
    ctx_.dialogs->detailedMessage(title, sentence, fromStd(why.detail));
    if (why.kind == store::OutcomeKind::Stale) afterHistoryReplaced();
    notify(sentence);
}

bool MainWindow::refreshIfChangedElsewhere() {
    if (!ctx_.historyOpen()) return false;
    try {
        if (!db_.replacedOnDisk() && db_.db().contentStamp() == seenStamp_) return false;
    } catch (const std::exception&) {
        return false;  // the next command says what is wrong with the file
    }
    afterHistoryReplaced();
    notify(QStringLiteral("历史号码已被其他程序改变，列表已更新（共 %1 期）。").arg(seen_.draws));
    return true;
}

void MainWindow::clearHistory() {
    if (refuseWhileUpdating()) return;
    if (!ctx_.dialogs->question(QStringLiteral("确认清空"),
                                QStringLiteral("确定要清空所有的历史号码吗？")))
        return;
    io::ChangeResult result;
    {
        BusyCursor busy;
        result = io::HistoryService(db_).clear(&seen_);
    }
    if (!result.ok()) {
        refuseChange(QStringLiteral("清空失败"), result.outcome);
        return;
    }
    notify(QStringLiteral("历史号码已清空。") + fromStd(io::backupSentence(result.backup)));
    // The next issue and the range boxes keep their texts until the next QihaoXianshi.
    AddHaoma();
}

void MainWindow::chooseZodiacBase(int i) {
    const store::Bases before = ctx_.rowBases();
    ctx_.saved.SxIni = i;
    for (int k = 0; k < 2; ++k) mnuSxcs_[k]->setChecked(k == i);
    ctx_.zodiacCodes = store::ZodiacCodes::forMenuChoice(i, ctx_.zodiacYear);
    if (before.sx != i) offerCodeRebuild(QStringLiteral("生肖"), before.sx, 12);
    // Saved last, so that a setting that cannot be written is the notice left in the status bar.
    ctx_.saveSetting("SxIni", std::to_string(i));
    criteria_->relabelGroupBoxes();
}

void MainWindow::chooseSegmentBase(int i) {
    const store::Bases before = ctx_.rowBases();
    ctx_.saved.DsIni = i;
    for (int k = 0; k < 2; ++k) mnuDscs_[k]->setChecked(k == i);
    if (before.ds != i) offerCodeRebuild(QStringLiteral("段数"), before.ds, 10);
    ctx_.saveSetting("DsIni", std::to_string(i));
    criteria_->relabelGroupBoxes();  // segment boxes are captioned with their codes
}

// The stored rows carry codes of the other base. Rebuilt, every draw is built again under the
// bases now set, with the zodiac table of a start (base + name index) that the stored rows,
// the boxes, the trend chart and quarvel-cli all read codes by; the draws entered from then on
// get the same table. Declined, the stored rows keep their codes and only draws stored from
// now on get the new ones.
void MainWindow::offerCodeRebuild(const QString& attribute, int storedBase, int classes) {
    if (!ctx_.historyOpen() || refuseWhileUpdating()) return;
    const QString old = QStringLiteral("%1~%2").arg(storedBase).arg(storedBase + classes - 1);
    const bool rebuild = ctx_.dialogs->question(
        QStringLiteral("重建历史代码"),
        QStringLiteral(
            "已保存的历史号码的%1代码是按参数%2编的，与新的参数不同。\n\n"
            "现在按新的参数重建全部历史号码的代码吗？重建前的历史号码先备份到 lsbf.txt。\n"
            "选择“取消”：已保存的历史号码保留原来的代码，只有以后保存的号码使用新的参数。")
            .arg(attribute, old));
    if (!rebuild) {
        notify(QStringLiteral(
                   "已保存的历史号码仍保留原来的%1代码（%2），只有以后保存的号码使用新的参数。")
                   .arg(attribute, old));
        return;
    }
    ctx_.zodiacCodes = store::ZodiacCodes::startup(ctx_.saved.SxIni);
    io::TrimResult result;
    {
        BusyCursor busy;
        io::ImportParams params;
        params.rules = io::RowRules{ctx_.zodiacCodes, ctx_.saved.DsIni};
        result = io::HistoryService(db_).rebuildCodes(params);
    }
    afterHistoryReplaced();
    if (!result.rebuilt) {
        ctx_.dialogs->detailedMessage(
            QStringLiteral("重建失败"),
            QStringLiteral("历史号码的代码没有重建，已保存的历史号码保留原来的%1代码（%2）。\n\n%3")
                .arg(attribute, old, fromStd(result.outcome.sentence)),
            fromStd(result.outcome.detail));
        notify(QStringLiteral("历史号码的代码没有重建，已保存的历史号码保留原来的%1代码（%2）。")
                   .arg(attribute, old));
        return;
    }
    notify(QStringLiteral("已按新的参数重建 %1 期历史号码的代码").arg(result.drawsKept) +
           (result.compacted ? QString() : QStringLiteral("（数据库没有压缩）")));
}

}  // namespace quarvel::app
