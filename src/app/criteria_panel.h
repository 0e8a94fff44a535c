#pragma once
// The analysis side of the main window: the criteria panel (search type, number order, position
// mode, period, issue range, the per-position tabs, the partial search and the group frames),
// the command buttons and the two result grids MSFlexGrid2 (hits) and MSFlexGrid3 (summary of a
// search, or the group table YL).
//
// Behind the controls the panel keeps what the analyses read: the search type, the mode flags
// and the eight position values, typed on tab 1 or taken from a reference draw on tab 2
// (YSJS). Each setting is stored the moment the user changes it. The commands behind the
// buttons are the AnalysisController's; the panel reads its controls into their inputs and shows
// what they return.

#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "groups/group_command.h"
#include "groups/group_values.h"
#include "search/criteria.h"
#include "search/search_command.h"
#include "store/outcome.h"

class QCheckBox;
class QGroupBox;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSplitter;

namespace quarvel::store {
struct TextGrid;
}

namespace quarvel::app {

struct AppContext;
class GridView;
class GroupPanel;
class MultiSearchPanel;
class PositionTabs;

class CriteriaPanel : public QWidget {
    Q_OBJECT
  public:
    explicit CriteriaPanel(AppContext& ctx, QWidget* parent = nullptr);
    ~CriteriaPanel() override;

    // The panel's share of the window's start-up, in its order: position mode and "自由位计特码",
    // 平码/平特, the section digit count, the number order, the search type (each option set as
    // a click would), the range from the oldest to the newest stored draw, and the position
    // values of the shown tab. Call it once the next issue is shown; a failing step is skipped.
    void startUp();

    // The common refresh after anything that can change the position values (also called by
    // every command that changes the history): YSJS on tab 2, the typed values on tab 1.
    void refreshPositionValues();
    // The reference draw of Text4 becomes the position values and sets "止". With no reference
    // draw (not a number, before every stored draw, empty history) the values and the range
    // are kept, the status bar says so, and false is returned.
    bool YSJS();

    // The panel read into the input of an analysis.
    search::Criteria readCriteria() const;
    // The panel read into the group computation's input (the whole range, no as-of cut).
    groups::GroupInput readGroupInput() const;
    // The zodiac codes and segment base in force, for the group boxes.
    groups::BoxCoding boxCoding() const;
    // Captions the group boxes again, after a change of the numbering.
    void relabelGroupBoxes();
    const std::array<int, 8>& positionValues() const { return values_; }
    int searchType() const { return searchType_; }
    // The caption of a search type's button (0..5).
    QString typeCaption(int type) const;
    bool freePosition() const { return freeMode_; }
    bool historyTabActive() const;
    // "自由位计特码" is shown in free-position mode only.
    void showCountSpecialForMode(bool fixed);

    // Boxes that other parts of the window write: "起" (0) and "止" (1), the reference issue.
    QLineEdit* rangeBox(int index) const { return index == 0 ? text3_0_ : text3_1_; }
    QLineEdit* referenceBox() const;
    // "截止期": every analysis as of this issue; empty for the newest draw.
    QLineEdit* asOfBox() const { return txtAsOf_; }
    GridView* hitGrid() const { return grid2_; }
    GridView* summaryGrid() const { return grid3_; }
    MultiSearchPanel* multiSearch() const { return multi_; }
    GroupPanel* groupPanel() const { return groups_; }
    // The command buttons: 检索, 走势图, 遗漏曲线, 形态走势, 遗漏校验.
    QPushButton* searchButton() const { return command1_; }
    QPushButton* trendButton() const { return cmdZst_; }
    QPushButton* curveButton() const { return cmdYlqx_; }
    QPushButton* shapeButton() const { return cmdXtzs_; }
    QPushButton* calibrationButton() const { return cmdYlxy_; }

    // The results: a search's hits and summary, a group listing (YL) in the summary grid, and
    // a group listing again in another order, the selected group and column kept.
    void showSearchGrids(const search::SearchResult& result);
    void showGroupListing(const store::TextGrid& listing);
    void relistGroupsKeepingSelection(const store::TextGrid& listing);
    // The label of the group row selected in the summary grid; none when no row is.
    std::optional<std::string> selectedGroupLabel() const;

    // Handlers, public so that the window's start-up and the tests drive them as a click would.
    void onOption1Clicked(int index);  // 0 固定位, 1 自由位, 2 前 期, 3 上期
    void onOption2Clicked(int index);  // 4 落地码, 5 顺序码
    void onOption3Clicked(int type);   // search type 0..5
    void onOption6Clicked(int index);  // 0 平特, 1 平码
    void onTabClicked(int tab);        // 0 手动输入号, 1 历史指定期
    void onOnlyBeforeClicked(bool checked);
    void onCheck2Changed();
    void onSectionLeft();
    void onManualValueLeft(int position);

  private:
    // The layout, one group of controls each (criteria_panel_layout.cpp).
    void buildLayout();
    QGroupBox* buildTypeFrame();
    QGroupBox* buildOrderFrame();
    QGroupBox* buildModeFrame();
    QGroupBox* buildPeriodFrame();
    QGroupBox* buildRangeFrame();
    QLayout* buildCommandButtons();
    QSplitter* buildResultGrids();
    void connectEvents();

    void readTypedValues();
    bool readTypedValue(int position);  // false: not a 16-bit integer, the value is kept
    void save(const char* key, const std::string& value);
    QString referenceHint_;  // the notice that the reference issue has no draw, while shown
    // The issue read, or nullopt with the reason on the status line when the store failed.
    std::optional<std::int32_t> knownIssue(
        const store::Checked<std::optional<std::int32_t>>& issue) const;
    std::optional<std::int32_t> oldestIssue() const;
    std::optional<std::int32_t> newestIssue() const;
    void setEndToNewest();

    AppContext& ctx_;
    bool freeMode_ = true;
    int searchType_ = 0;
    bool numberOrder_ = true;
    bool flatOnly_ = false;  // 平码: the partial search uses positions 1..7
    std::array<int, 8> values_{};

    std::array<QRadioButton*, 6> option3_{};
    QRadioButton* option2_4_ = nullptr;
    QRadioButton* option2_5_ = nullptr;
    std::array<QRadioButton*, 4> option1_{};
    QCheckBox* check2_ = nullptr;
    QLineEdit* maskEdBox2_ = nullptr;
    QLineEdit* text3_0_ = nullptr;
    QLineEdit* text3_1_ = nullptr;
    QLineEdit* txtAsOf_ = nullptr;
    PositionTabs* tabs_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* cmdZst_ = nullptr;
    QPushButton* cmdYlqx_ = nullptr;
    QPushButton* cmdXtzs_ = nullptr;
    QPushButton* cmdYlxy_ = nullptr;
    MultiSearchPanel* multi_ = nullptr;
    GroupPanel* groups_ = nullptr;
    GridView* grid2_ = nullptr;
    GridView* grid3_ = nullptr;
};

}  // namespace quarvel::app
