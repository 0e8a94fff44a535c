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
#include "app/qt_text.h"
#include "chance/pattern_run.h"
#include "groups/group_checks.h"
#include "groups/group_command.h"
#include "groups/yl_table.h"
#include "partial/partial_search.h"
#include "search/input_checks.h"
#include "search/search_command.h"
#include "store/whole_number.h"

namespace quarvel::app {

namespace {

const QString kClosedHistory = QStringLiteral("历史数据库没有打开，无法计算");

}  // namespace

bool CriteriaPanel::refused(const QString& title, const std::optional<std::string>& why) const {
    if (!why) return false;
    message(title, fromStd(*why));
    return true;
}

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
        result = run();
        if (result.ok()) {
            grid2_->setGrid(result.hits);
            grid3_->setGrid(result.summary);
            resultCurve_ = search::curveOfHitGrid(result.label, result.hits, result.stats);
        }
    }
    if (!result.ok()) {
        message(title, fromStd(result.outcome.text()));
        return std::nullopt;
    }
    return result.stats.hits;
}

search::SearchResult CriteriaPanel::PatternRun::operator()(store::HistoryDb& db,
                                                           const search::Criteria& c) const {
    search::SearchResult r =
        partial ? partial::runPartialSearch(db, c, flatOnly, kText) : search::runSearch(db, c);
    if (cut && r.ok()) chance::restateAtCut(r, *cut);
    return r;
}

bool CriteriaPanel::readAsOf(const QString& title, std::optional<std::int32_t>& asOf) const {
    asOf.reset();
    const QString text = txtAsOf_->text().trimmed();
    if (text.isEmpty()) return true;
    asOf = store::readWholeNumber32(text.toStdString());
    if (!asOf) message(title, QStringLiteral("截止期“%1”不是整数期号").arg(text));
    return asOf.has_value();
}

std::optional<std::optional<chance::AsOfCut>> CriteriaPanel::readCut(const QString& title) const {
    std::optional<std::int32_t> asOf;
    if (!readAsOf(title, asOf)) return std::nullopt;
    if (!asOf) return std::optional<chance::AsOfCut>();
    const auto cut = chance::cutAt(*ctx_.db, *asOf);
    if (!cut) {
        message(title, fromStd(cut.outcome.text()));
        return std::nullopt;
    }
    return std::optional<chance::AsOfCut>(*cut);
}

void CriteriaPanel::runPattern(const QString& title, const chance::PatternInput& in) {
    showCountSpecialForMode(in.criteria.fixed);
    chance::PatternAnswer answer;
    const auto hits = showAnalysis(title, [&] {
        answer = chance::runPattern(*ctx_.db, in);
        return answer.result;
    });
    if (!hits) return;
    QString done = QStringLiteral("%1完成：命中 %2 期").arg(title).arg(*hits);
    if (answer.cut) done += QStringLiteral("；") + fromStd(answer.nextShowing);
    PatternRun run{in.criteria, in.partial, in.flatOnly, in.kText, answer.cut};
    if (run.cut) chance::applyCut(run.criteria, *run.cut);
    lastPattern_ = std::move(run);
    notify(done);
}

void CriteriaPanel::runSearchCommand() {
    if (!commandReady(command1_)) return;
    if (refused(QStringLiteral("检索"),
                search::checkSearchInput(readCriteria(), !historyTabActive())))
        return;
    std::optional<std::int32_t> asOf;
    if (!readAsOf(QStringLiteral("检索"), asOf)) return;
    runPattern(QStringLiteral("检索"), {readCriteria(), false, false, {}, asOf});
}

void CriteriaPanel::runPartialCommand() {
    if (!commandReady(multi_->searchButton())) return;
    if (refused(QStringLiteral("分部检索"),
                search::checkPartialInput(readCriteria(), multi_->option(1)->isChecked(),
                                          !historyTabActive())))
        return;
    std::optional<std::int32_t> asOf;
    if (!readAsOf(QStringLiteral("分部检索"), asOf)) return;
    runPattern(QStringLiteral("分部检索"),
               {readCriteria(), true, multi_->option(1)->isChecked(),
                multi_->sectionBox()->currentText().toStdString(), asOf});
}

groups::GroupInput CriteriaPanel::readGroupInput(const std::optional<chance::AsOfCut>& cut) const {
    groups::GroupInput input;
    input.type = searchType_;
    input.countSpecial = check2_->isChecked();
    input.sizeText = groups_->sizeBox()->currentText().toStdString();
    input.ticked = groups_->ticked();
    input.rangeStart = text3_0_->text().toStdString();
    input.rangeEnd = text3_1_->text().toStdString();
    input.coding = boxCoding();
    if (cut) chance::applyCut(input, *cut);
    return input;
}

void CriteriaPanel::runGroupCommand() {
    if (!commandReady(groups_->computeButton())) return;
    if (refused(QStringLiteral("分组计算"), groups::checkGroupInput(readGroupInput({})))) return;
    const auto cut = readCut(QStringLiteral("分组计算"));
    if (!cut) return;
    const groups::GroupInput input = readGroupInput(*cut);
    groups::GroupResult result;
    {
        BusyCursor busy;
        result = groups::runGroupComputation(*ctx_.db, input);
        // A refused input leaves the grid as it was; after a database failure it shows YL as
        // the failed run left it (unchanged).
        const bool failed = result.outcome.kind == store::OutcomeKind::Failed;
        if (result.outcome.ok() || (failed && result.listing.rows() > 0)) {
            grid3_->setGrid(result.listing);
            resultCurve_.reset();
            lastPattern_.reset();
        }
    }
    if (!result.outcome.ok()) {
        const QString title = result.outcome.title.empty() ? QStringLiteral("分组计算")
                                                           : fromStd(result.outcome.title);
        message(title, fromStd(result.outcome.text()));
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
    BusyCursor busy;
    const auto listed = store::attempt([&] { return groups::listYl(*ctx_.db, column); });
    if (!listed) {
        notify(QStringLiteral("分组结果无法列出：%1").arg(fromStd(listed.outcome.text())));
        return;
    }
    grid3_->setGrid(*listed);
    resultCurve_.reset();
    lastPattern_.reset();
    for (int row = 1; !label.empty() && row < grid3_->grid().rows(); ++row) {
        if (grid3_->grid().at(row, 0) != label) continue;
        grid3_->setCurrentIndex(grid3_->model()->index(row - 1, std::max(0, current.column())));
        grid3_->scrollTo(grid3_->currentIndex());
        break;
    }
}

void CriteriaPanel::exportGrid(GridView* grid, const char* fileName) {
    exportGridToXls(ctx_, grid->grid(), QString::fromUtf8(fileName));
}

}  // namespace quarvel::app
