// The three analysis commands of the panel and the re-listing of the group table: each reads
// the panel into the core's input, runs the core and shows what it returns.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/app_context.h"
#include "app/busy_cursor.h"
#include "app/criteria_panel.h"
#include "app/grid_export.h"
#include "app/grid_view.h"
#include "app/group_panel.h"
#include "app/multi_search_panel.h"
#include "groups/group_command.h"
#include "groups/yl_table.h"
#include "partial/partial_search.h"
#include "search/search_command.h"

namespace quarvel::app {

namespace {

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

const QString kClosedHistory = QStringLiteral("历史数据库没有打开，无法计算");

}  // namespace

bool CriteriaPanel::commandReady(QPushButton* button) {
    // The button takes the focus first, as a click or its access key would give it, so that a
    // box being left (a typed position value, the section count) is stored before the command
    // reads the panel.
    button->setFocus(Qt::ShortcutFocusReason);
    relistTimer_->stop();  // a click on the summary grid just before gives way to the command
    if (!ctx_.historyOpen()) {
        notify(kClosedHistory);
        return false;
    }
    try {
        // Another program may have put another file in place: analyse the history there now.
        ctx_.db->reopenIfReplaced();
    } catch (const std::exception& e) {
        message(button->text().remove('&'), fromStd(store::userText(e)));
        return false;
    }
    return true;
}

std::optional<int> CriteriaPanel::showAnalysis(const QString& title,
                                               const std::function<search::SearchResult()>& run) {
    search::SearchResult result;
    {
        BusyCursor busy;
        try {
            result = run();
        } catch (const store::DbError& e) {
            result.error = store::userText(e);
        }
        if (result.ok()) {
            grid2_->setGrid(result.hits);
            grid3_->setGrid(result.summary);
            resultCurve_ = search::curveOfHitGrid(result.label, result.hits, result.stats);
        }
    }
    if (!result.ok()) {
        message(title, fromStd(result.error));
        return std::nullopt;
    }
    return result.stats.hits;
}

void CriteriaPanel::runSearchCommand() {
    if (!commandReady(command1_)) return;
    const search::Criteria criteria = readCriteria();
    showCountSpecialForMode(criteria.fixed);
    if (const auto hits = showAnalysis(QStringLiteral("检索"),
                                       [&] { return search::runSearch(*ctx_.db, criteria); }))
        notify(QStringLiteral("检索完成：命中 %1 期").arg(*hits));
}

void CriteriaPanel::runPartialCommand() {
    if (!commandReady(multi_->searchButton())) return;
    const search::Criteria criteria = readCriteria();
    showCountSpecialForMode(criteria.fixed);
    const bool flatOnly = multi_->option(1)->isChecked();
    const std::string kText = multi_->sectionBox()->currentText().toStdString();
    const auto hits = showAnalysis(QStringLiteral("分部检索"), [&] {
        return partial::runPartialSearch(*ctx_.db, criteria, flatOnly, kText);
    });
    if (hits) notify(QStringLiteral("分部检索完成：命中 %1 期").arg(*hits));
}

groups::GroupInput CriteriaPanel::readGroupInput() const {
    groups::GroupInput input;
    input.type = searchType_;
    input.countSpecial = check2_->isChecked();
    input.sizeText = groups_->sizeBox()->currentText().toStdString();
    input.ticked = groups_->ticked();
    input.rangeStart = text3_0_->text().toStdString();
    input.rangeEnd = text3_1_->text().toStdString();
    input.coding = boxCoding();
    return input;
}

void CriteriaPanel::runGroupCommand() {
    if (!commandReady(groups_->computeButton())) return;
    const groups::GroupInput input = readGroupInput();
    groups::GroupResult result;
    {
        BusyCursor busy;
        try {
            result = groups::runGroupComputation(*ctx_.db, input);
        } catch (const store::DbError& e) {
            result.error = store::userText(e);
            result.storeFailure = true;
        }
        // A refused input leaves the grid as it was; after a database failure it shows YL as
        // the failed run left it (unchanged).
        if (result.error.empty() || (result.storeFailure && result.listing.rows() > 0)) {
            grid3_->setGrid(result.listing);
            resultCurve_.reset();
        }
    }
    if (!result.error.empty()) {
        const QString title =
            result.errorTitle.empty() ? QStringLiteral("分组计算") : fromStd(result.errorTitle);
        message(title, fromStd(result.error));
        return;
    }
    notify(QStringLiteral("分组计算完成：共 %1 组").arg(result.groups));
}

void CriteriaPanel::relistGroups(int column) {
    if (!ctx_.historyOpen()) {
        notify(kClosedHistory);
        return;
    }
    // The clicked group stays the current row after the re-listing (the 遗漏曲线 reads it).
    const QModelIndex current = grid3_->currentIndex();
    const std::string label =
        current.isValid() ? grid3_->grid().at(current.row() + 1, 0) : std::string();
    try {
        BusyCursor busy;
        grid3_->setGrid(groups::listYl(*ctx_.db, column));
        resultCurve_.reset();
        for (int row = 1; !label.empty() && row < grid3_->grid().rows(); ++row) {
            if (grid3_->grid().at(row, 0) != label) continue;
            grid3_->setCurrentIndex(grid3_->model()->index(row - 1, std::max(0, current.column())));
            grid3_->scrollTo(grid3_->currentIndex());
            break;
        }
    } catch (const store::DbError& e) {
        notify(QStringLiteral("分组结果无法列出：%1").arg(fromStd(store::userText(e))));
    }
}

void CriteriaPanel::exportGrid(GridView* grid, const char* fileName) {
    exportGridToXls(ctx_, grid->grid(), QString::fromUtf8(fileName));
}

}  // namespace quarvel::app
