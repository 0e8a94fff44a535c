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
#include "history_io/history_service.h"
#include "store/draw_record.h"

namespace quarvel::app {

namespace {

const QString kEntryTitle = QStringLiteral("号码有误");

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void MainWindow::storeTypedDraw() {
    if (refuseWhileUpdating()) return;
    const auto typed = history_->typedNumbers();
    for (int k = 0; k < 8; ++k) {
        if (typed[k]) continue;
        const QString place =
            k == 7 ? QStringLiteral("特码") : QStringLiteral("第%1个号码").arg(k + 1);
        // Nothing is stored and the boxes keep what was typed, so that it can be corrected.
        ctx_.dialogs->message(
            kEntryTitle,
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
    const auto issue = io::parseTrimInput(issueText.toStdString());
    if (!issue || *issue > io::kMaxIssue) {
        ctx_.dialogs->message(
            QStringLiteral("期号有误"),
            QStringLiteral("下期期号“%1”不是 1 到 %2 之间的整数，本期号码没有保存。")
                .arg(issueText.trimmed())
                .arg(io::kMaxIssue));
        return;
    }
    std::array<int, 8> numbers{};
    for (int k = 0; k < 8; ++k) numbers[k] = *typed[k];
    const auto result = io::HistoryService(db_).addDraw(
        *issue, numbers, io::RowRules{ctx_.zodiacCodes, ctx_.saved.DsIni},
        QDate::currentDate().year());
    if (!result.ok) {
        ctx_.dialogs->message(result.badInput ? kEntryTitle : QStringLiteral("保存失败"),
                              fromStd(result.message) + QStringLiteral("本期号码没有保存。"));
        return;
    }
    history_->entryStored();
    AddHaoma();
    QihaoXianshi();
    // After the list and issue boxes, so that on the history tab the stored draw is the
    // reference draw; on the manual tab the typed values are read again.
    try {
        criteria_->refreshPositionValues();
    } catch (const std::exception&) {
    }
    notify(QStringLiteral("已保存 %1 期").arg(*issue));
}

void MainWindow::deleteLastDraw() {
    if (refuseWhileUpdating()) return;
    io::ChangeResult result;
    {
        BusyCursor busy;
        result = io::HistoryService(db_).deleteLast();
    }
    if (!result.ok) {
        // Refused or failed: nothing was deleted, and nothing is rebuilt or compacted.
        ctx_.dialogs->message(QStringLiteral("删除失败"),
                              fromStd(result.message) + QStringLiteral("历史号码未改变。"));
        return;
    }
    try {
        criteria_->refreshPositionValues();
    } catch (const std::exception&) {
    }
    AddHaoma();
    QihaoXianshi();
    history_->focusFirstBox();
    QString done = result.issue ? QStringLiteral("已删除 %1 期").arg(*result.issue)
                                : QStringLiteral("没有可删除的历史号码");
    if (!result.compactionFailure.empty())
        done += QStringLiteral("（压缩数据库失败：%1）").arg(fromStd(result.compactionFailure));
    notify(done);
}

void MainWindow::clearHistory() {
    if (refuseWhileUpdating()) return;
    if (!ctx_.dialogs->question(QStringLiteral("确认清空"),
                                QStringLiteral("确定要清空所有的历史号码吗？")))
        return;
    io::ChangeResult result;
    {
        BusyCursor busy;
        result = io::HistoryService(db_).clear();
    }
    if (!result.ok) {
        ctx_.dialogs->message(QStringLiteral("清空失败"),
                              fromStd(result.message) + QStringLiteral("历史号码未改变。"));
        return;
    }
    notify(QStringLiteral("历史号码已清空"));
    // The next issue and the range boxes keep their texts until the next QihaoXianshi.
    AddHaoma();
}

void MainWindow::chooseZodiacBase(int i) {
    ctx_.saved.SxIni = i;
    ctx_.saveSetting("SxIni", std::to_string(i));
    for (int k = 0; k < 2; ++k) mnuSxcs_[k]->setChecked(k == i);
    ctx_.zodiacCodes = store::ZodiacCodes::forMenuChoice(i, ctx_.zodiacYear);
    criteria_->relabelGroupBoxes();
}

void MainWindow::chooseSegmentBase(int i) {
    ctx_.saved.DsIni = i;
    ctx_.saveSetting("DsIni", std::to_string(i));
    for (int k = 0; k < 2; ++k) mnuDscs_[k]->setChecked(k == i);
    criteria_->relabelGroupBoxes();  // segment boxes are captioned with their codes
}

}  // namespace quarvel::app
