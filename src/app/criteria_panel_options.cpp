// The panel's options as the user sets them: each is stored the moment it changes, and what it
// changes in the position values and the issue range follows at once (YSJS on the history tab,
// the typed values on the manual tab).

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/app_context.h"
#include "app/criteria_panel.h"
#include "app/group_panel.h"
#include "app/multi_search_panel.h"
#include "app/notices.h"
#include "app/position_tabs.h"
#include "app/qt_text.h"
#include "partial/partial_search.h"
#include "search/reference_draw.h"
#include "store/settings.h"
#include "store/whole_number.h"

namespace quarvel::app {

namespace {

// A box read "as an integer" into a 16-bit position value; nullopt keeps the previous value.
std::optional<int> shortValue(const QString& text) {
    const auto v = store::readWholeNumber32(toStd(text));
    if (!v || *v < -32768 || *v > 32767) return std::nullopt;
    return v;
}

}  // namespace

void CriteriaPanel::save(const char* key, const std::string& value) {
    ctx_.saveSetting(key, value);
}

std::optional<std::int32_t> CriteriaPanel::knownIssue(
    const store::Checked<std::optional<std::int32_t>>& issue) const {
    if (issue) return *issue;
    // The range box keeps what it shows; the user learns why it was not filled.
    notice(ctx_, QStringLiteral("期号范围无法读取：%1").arg(fromStd(issue.outcome.text())));
    return std::nullopt;
}

std::optional<std::int32_t> CriteriaPanel::oldestIssue() const {
    if (!ctx_.historyOpen()) return std::nullopt;
    return knownIssue(store::attempt([this] { return ctx_.db->firstIssue(); }));
}

std::optional<std::int32_t> CriteriaPanel::newestIssue() const {
    if (!ctx_.historyOpen()) return std::nullopt;
    return knownIssue(store::attempt([this] { return ctx_.db->lastIssue(); }));
}

void CriteriaPanel::setEndToNewest() {
    if (auto last = newestIssue()) text3_1_->setText(QString::number(*last));
}

void CriteriaPanel::startUp() {
    const store::Settings& s = ctx_.saved;
    // Each option is selected as a click would select it, so that its handler runs.
    option1_[s.bolZyw ? 1 : 0]->setChecked(true);
    onOption1Clicked(s.bolZyw ? 1 : 0);
    check2_->setChecked(s.intIdfTm != 0);
    multi_->option(s.bolZhpm ? 1 : 0)->setChecked(true);
    onOption6Clicked(s.bolZhpm ? 1 : 0);
    multi_->sectionBox()->setCurrentText(QString::number(s.intZhWSetup));
    (s.bolLdm ? option2_4_ : option2_5_)->setChecked(true);
    onOption2Clicked(s.bolLdm ? 4 : 5);
    // A stored type without a button (6, 7) is kept: the analyses accept it.
    if (s.intLei >= 0 && s.intLei < 6) {
        option3_[s.intLei]->setChecked(true);
        onOption3Clicked(s.intLei);
    } else {
        searchType_ = s.intLei;
        groups_->relabel(s.intLei, boxCoding());
    }
    if (auto first = oldestIssue()) text3_0_->setText(QString::number(*first));
    setEndToNewest();
    refreshPositionValues();
}

void CriteriaPanel::readTypedValues() {
    for (int p = 1; p <= 8; ++p) readTypedValue(p);
}

void CriteriaPanel::refreshPositionValues() {
    if (historyTabActive())
        YSJS();
    else
        readTypedValues();
}

bool CriteriaPanel::YSJS() {
    const QString reference = tabs_->referenceBox()->text();
    store::Checked<search::ReferenceDraw> ref = search::noReferenceDraw(toStd(reference));
    if (ctx_.historyOpen())
        ref =
            search::findReferenceDraw(*ctx_.db, toStd(reference), tabs_->onlyBefore()->isChecked(),
                                      searchType_, ctx_.rowBases().sx);
    if (!ref) {
        const QString why = fromStd(ref.outcome.text());
        referenceHint_ = ref.outcome.kind == store::OutcomeKind::Failed
                             ? QStringLiteral("参考期“%1”的历史号码无法读取，各位的值保持不变：%2")
                                   .arg(reference, why)
                             : why;
        notice(ctx_, referenceHint_);
        return false;
    }
    text3_1_->setText(QString::number(ref->rangeEnd));
    values_ = ref->values;
    for (int p = 1; p <= 8; ++p)
        tabs_->valueBox(PositionTabs::History, p)->setText(fromStd(ref->texts[p - 1]));
    return true;
}

void CriteriaPanel::onOption1Clicked(int index) {
    if (index == 0) freeMode_ = false;
    if (index == 1) freeMode_ = true;
    showCountSpecialForMode(!freeMode_);
    save("bolZyw", store::boolText(freeMode_));
    ctx_.saved.bolZyw = freeMode_;
    refreshPositionValues();
    if (auto first = oldestIssue()) text3_0_->setText(QString::number(*first));
}

void CriteriaPanel::onOption2Clicked(int index) {
    numberOrder_ = index == 4;
    save("bolLdm", store::boolText(numberOrder_));
    ctx_.saved.bolLdm = numberOrder_;
    refreshPositionValues();
}

void CriteriaPanel::onOption3Clicked(int type) {
    searchType_ = type;
    refreshPositionValues();
    save("intLei", std::to_string(type));
    ctx_.saved.intLei = type;
    groups_->relabel(type, boxCoding());
}

void CriteriaPanel::onOption6Clicked(int index) {
    flatOnly_ = index == 1;
    save("bolZhpm", store::boolText(flatOnly_));
    ctx_.saved.bolZhpm = flatOnly_;
}

void CriteriaPanel::onSectionLeft() {
    const QString text = multi_->sectionBox()->currentText();
    const auto v = partial::readSection(toStd(text));
    if (!v) {
        // Only the counts the partial search takes are stored: a stored one it refuses would
        // come back at every start.
        notice(ctx_, QStringLiteral("分部位数“%1”不是 %2 到 %3 的整数，保存的位数仍为 %4")
                         .arg(text.trimmed())
                         .arg(partial::kMinSection)
                         .arg(partial::kMaxSection)
                         .arg(ctx_.saved.intZhWSetup));
        return;
    }
    save("intZhWSetup", std::to_string(*v));
    ctx_.saved.intZhWSetup = *v;
}

void CriteriaPanel::onCheck2Changed() {
    const int v = check2_->isChecked() ? 1 : 0;
    save("intIdfTm", std::to_string(v));
    ctx_.saved.intIdfTm = v;
}

void CriteriaPanel::onTabClicked(int tab) {
    if (tab == PositionTabs::Manual) {
        // The reference-issue hint belongs to the history tab.
        if (!referenceHint_.isEmpty() && ctx_.withdraw) ctx_.withdraw(referenceHint_);
        referenceHint_.clear();
        tabs_->showTab(PositionTabs::Manual);
        readTypedValues();
        setEndToNewest();
    } else {
        tabs_->showTab(PositionTabs::History);
        YSJS();
    }
}

void CriteriaPanel::onOnlyBeforeClicked(bool checked) {
    if (checked)
        YSJS();
    else
        setEndToNewest();
}

bool CriteriaPanel::readTypedValue(int position) {
    const auto v = shortValue(tabs_->valueBox(PositionTabs::Manual, position)->text());
    if (v) values_[position - 1] = *v;
    return v.has_value();
}

void CriteriaPanel::onManualValueLeft(int position) {
    if (readTypedValue(position)) return;
    // Say so at once when the user left text there or the position takes part: the search
    // and the partial search refuse the box until it holds a whole number.
    const QString text = tabs_->valueBox(PositionTabs::Manual, position)->text();
    auto* check = tabs_->check(PositionTabs::Manual, position);
    if (!text.trimmed().isEmpty() || check->isChecked())
        notice(ctx_, QStringLiteral("%1的值“%2”不是 -32768 到 32767 之间的整数，请改正后再检索")
                         .arg(check->text(), text));
}

}  // namespace quarvel::app
