#include "app/criteria_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>

#include "app/app_context.h"
#include "app/grid_view.h"
#include "app/group_panel.h"
#include "app/multi_search_panel.h"
#include "app/position_tabs.h"
#include "app/qt_text.h"

namespace quarvel::app {

CriteriaPanel::CriteriaPanel(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("CriteriaPanel"));
    buildLayout();
    connectEvents();
}

CriteriaPanel::~CriteriaPanel() = default;

void CriteriaPanel::connectEvents() {
    for (int i = 0; i < 6; ++i)
        connect(option3_[i], &QRadioButton::clicked, this, [this, i] { onOption3Clicked(i); });
    connect(option2_4_, &QRadioButton::clicked, this, [this] { onOption2Clicked(4); });
    connect(option2_5_, &QRadioButton::clicked, this, [this] { onOption2Clicked(5); });
    for (int i = 0; i < 4; ++i)
        connect(option1_[i], &QRadioButton::clicked, this, [this, i] { onOption1Clicked(i); });
    // Stored when the box changes as well as when it is left, so that no change is lost.
    connect(check2_, &QCheckBox::clicked, this, &CriteriaPanel::onCheck2Changed);
    connect(tabs_, &PositionTabs::tabClicked, this, &CriteriaPanel::onTabClicked);
    connect(tabs_, &PositionTabs::onlyBeforeClicked, this, &CriteriaPanel::onOnlyBeforeClicked);
    connect(tabs_, &PositionTabs::referenceLeft, this, [this] { YSJS(); });
    connect(tabs_, &PositionTabs::manualValueLeft, this, &CriteriaPanel::onManualValueLeft);
    connect(multi_, &MultiSearchPanel::optionClicked, this, &CriteriaPanel::onOption6Clicked);
    connect(multi_, &MultiSearchPanel::sectionLeft, this, &CriteriaPanel::onSectionLeft);
}

QLineEdit* CriteriaPanel::referenceBox() const { return tabs_->referenceBox(); }

bool CriteriaPanel::historyTabActive() const {
    return tabs_->currentTab() == PositionTabs::History;
}

QString CriteriaPanel::typeCaption(int type) const {
    return option3_[static_cast<std::size_t>(type)]->text();
}

void CriteriaPanel::showCountSpecialForMode(bool fixed) { check2_->setVisible(!fixed); }

// The boxes find the codes the stored rows carry: the rows keep the start-up table of the base
// they were built under, also after a menu refilled the table for draws stored from then on.
groups::BoxCoding CriteriaPanel::boxCoding() const {
    const store::Bases rows = ctx_.rowBases();
    return {store::ZodiacCodes::startup(rows.sx), rows.ds};
}

void CriteriaPanel::relabelGroupBoxes() { groups_->relabel(searchType_, boxCoding()); }

search::Criteria CriteriaPanel::readCriteria() const {
    search::Criteria c;
    c.type = searchType_;
    c.fixed = option1_[0]->isChecked();
    c.countSpecial = check2_->isChecked();
    const auto tab = tabs_->currentTab();
    for (int p = 1; p <= 8; ++p) {
        c.selected[p - 1] = tabs_->check(tab, p)->isChecked();
        c.texts[p - 1] = toStd(tabs_->valueBox(tab, p)->text());
    }
    c.values = values_;
    c.rangeStart = toStd(text3_0_->text());
    c.rangeEnd = toStd(text3_1_->text());
    // Values and names mean what the stored rows carry, whatever the menus chose for new rows.
    const store::Bases rows = ctx_.rowBases();
    c.sxBase = rows.sx;
    c.dsBase = rows.ds;
    return c;
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

void CriteriaPanel::showSearchGrids(const search::SearchResult& result) {
    grid2_->setGrid(result.hits);
    grid3_->setGrid(result.summary);
}

void CriteriaPanel::showGroupListing(const store::TextGrid& listing) { grid3_->setGrid(listing); }

void CriteriaPanel::relistGroupsKeepingSelection(const store::TextGrid& listing) {
    // The clicked group stays the current row after the re-listing (the 遗漏曲线 reads it).
    const QModelIndex current = grid3_->currentIndex();
    const std::string label =
        current.isValid() ? grid3_->grid().at(current.row() + 1, 0) : std::string();
    grid3_->setGrid(listing);
    for (int row = 1; !label.empty() && row < grid3_->grid().rows(); ++row) {
        if (grid3_->grid().at(row, 0) != label) continue;
        grid3_->setCurrentIndex(grid3_->model()->index(row - 1, std::max(0, current.column())));
        grid3_->scrollTo(grid3_->currentIndex());
        break;
    }
}

std::optional<std::string> CriteriaPanel::selectedGroupLabel() const {
    const QModelIndex current = grid3_->currentIndex();
    if (!current.isValid() || current.row() + 1 >= grid3_->grid().rows()) return std::nullopt;
    return grid3_->grid().at(current.row() + 1, 0);
}

}  // namespace quarvel::app
