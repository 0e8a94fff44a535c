// Changing the history from the window itself: the manual entry of the newest draw, deleting
// the last draw, clearing the history; and the zodiac and segment base menus.

#include <QDate>
#include <QAction>
#include <QLineEdit>
#include <set>

#include "app/busy_cursor.h"
#include "app/criteria_panel.h"
#include "app/dialogs.h"
#include "app/history_panel.h"
#include "app/main_window.h"
#include "store/draw_record.h"

namespace quarvel::app {

namespace {

const QString kEntryTitle = QStringLiteral("号码有误");

// Why the typed draw cannot be stored; empty when it can.
QString entryRefusal(const std::array<std::optional<int>, 8>& typed) {
    std::set<int> seen;
    for (int k = 0; k < 8; ++k) {
        const QString place = k == 7 ? QStringLiteral("特码") : QStringLiteral("第%1个号码").arg(k + 1);
        if (!typed[k]) return QStringLiteral("%1没有输入完整（每个号码两位数字，例如 05）。").arg(place);
        const int n = *typed[k];
        if (n < 1 || n > 30) return QStringLiteral("%1 %2 不在 01 到 30 之间。").arg(place).arg(n, 2, 10, QChar('0'));
        if (!seen.insert(n).second)
            return QStringLiteral("%1 %2 与前面的号码重复。").arg(place).arg(n, 2, 10, QChar('0'));
    }
    return {};
}

}  // namespace

void MainWindow::storeTypedDraw() {
    if (refuseWhileUpdating()) return;
    const auto typed = history_->typedNumbers();
    QString refusal = entryRefusal(typed);
    if (refusal.isEmpty() && !ctx_.historyOpen()) refusal = QStringLiteral("历史数据库没有打开。");
    if (!refusal.isEmpty()) {
        // Nothing is stored and the boxes keep what was typed, so that it can be corrected.
        ctx_.dialogs->message(kEntryTitle, refusal + QStringLiteral("本期号码没有保存。"));
        return;
    }
    std::array<int, 8> numbers{};
    for (int k = 0; k < 8; ++k) numbers[k] = *typed[k];
    const std::int32_t issue = nextIssue_;
    // The zodiac year follows the next-issue box as shown (the user may have changed it).
    bool ok = false;
    std::int32_t zodiacIssue = history_->nextIssueBox()->text().trimmed().toInt(&ok);
    if (!ok || zodiacIssue < 1) zodiacIssue = issue;
    // A box without a real year (an empty history shows issue 1) takes the calendar's zodiac
    // year, as start-up does; serial 999 lies past every new-year threshold.
    if (zodiacIssue / 1000 < 1000) zodiacIssue = QDate::currentDate().year() * 1000 + 999;
    try {
        store::Transaction tx(db_.db());
        store::appendDrawRow(db_.rsLishi(), store::buildDrawRow(issue, zodiacIssue, numbers, ctx_.zodiacCodes,
                                                                ctx_.saved.DsIni));
        db_.renumberIdx();
        tx.commit();
    } catch (const std::exception& e) {
        ctx_.dialogs->message(QStringLiteral("保存失败"),
                              QStringLiteral("本期号码没有保存：%1").arg(QString::fromStdString(e.what())));
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
    notify(QStringLiteral("已保存 %1 期").arg(issue));
}

void MainWindow::deleteLastDraw() {
    if (refuseWhileUpdating()) return;
    if (!ctx_.historyOpen()) {
        notify(QStringLiteral("历史数据库没有打开，无法删除。"));
        return;
    }
    QString done;
    try {
        store::Transaction tx(db_.db());
        auto cursor = db_.db().openUpdatable(store::kSortedHistorySql);
        cursor.moveLast();
        if (cursor.onRow()) {
            done = QStringLiteral("已删除 %1 期").arg(cursor.intField("SQQH"));
            cursor.deleteCurrent();  // one row only, also when two share the largest issue
        }
        tx.commit();
    } catch (const std::exception& e) {
        done = QStringLiteral("删除失败：%1").arg(QString::fromStdString(e.what()));
    }
    try {
        db_.reopenSort();
    } catch (const std::exception&) {
    }
    try {
        criteria_->refreshPositionValues();
    } catch (const std::exception&) {
    }
    if (ctx_.historyOpen()) {
        try {
            BusyCursor busy;
            db_.compact();
        } catch (const std::exception& e) {
            done += QStringLiteral("（压缩数据库失败：%1）").arg(QString::fromStdString(e.what()));
        }
    }
    AddHaoma();
    QihaoXianshi();
    history_->focusFirstBox();
    notify(done.isEmpty() ? QStringLiteral("没有可删除的历史号码") : done);
}

void MainWindow::clearHistory() {
    if (refuseWhileUpdating()) return;
    if (!ctx_.dialogs->question(QStringLiteral("确认清空"), QStringLiteral("确定要清空所有的历史号码吗？"))) return;
    if (!ctx_.historyOpen()) {
        notify(QStringLiteral("历史数据库没有打开。"));
        return;
    }
    try {
        BusyCursor busy;
        store::Transaction tx(db_.db());
        store::delrec(db_.rsLishi());
        tx.commit();
        notify(QStringLiteral("历史号码已清空"));
    } catch (const std::exception& e) {
        notify(QStringLiteral("清空失败，历史号码未改变：%1").arg(QString::fromStdString(e.what())));
    }
    // The next issue and the range boxes keep their texts until the next QihaoXianshi.
    AddHaoma();
}

void MainWindow::chooseZodiacBase(int i) {
    ctx_.saved.SxIni = i;
    ctx_.settings->save("SxIni", std::to_string(i));
    for (int k = 0; k < 2; ++k) mnuSxcs_[k]->setChecked(k == i);
    ctx_.zodiacCodes = store::ZodiacCodes::forMenuChoice(i, ctx_.zodiacYear);
    criteria_->relabelGroupBoxes();
}

void MainWindow::chooseSegmentBase(int i) {
    ctx_.saved.DsIni = i;
    ctx_.settings->save("DsIni", std::to_string(i));
    for (int k = 0; k < 2; ++k) mnuDscs_[k]->setChecked(k == i);
    criteria_->relabelGroupBoxes();  // segment boxes are captioned with their codes
}

}  // namespace quarvel::app
