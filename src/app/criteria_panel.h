#pragma once
// The analysis side of the main window: the criteria panel (search type, number order, position
// mode, period, issue range, the per-position tabs, the partial search and the group frames),
// the search button and the two result grids MSFlexGrid2 (hits) and MSFlexGrid3 (summary of a
// search, or the group table YL).
//
// Behind the controls the panel keeps what the analyses read: the search type, the mode flags
// and the eight position values, typed on tab 1 or taken from a reference draw on tab 2
// (YSJS). Each setting is stored the moment the user changes it.

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "chance/as_of.h"
#include "chance/pattern_chance.h"
#include "chance/pattern_run.h"
#include "groups/group_command.h"
#include "groups/group_values.h"
#include "search/criteria.h"
#include "search/omission_curve.h"
#include "search/search_command.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

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
    // The zodiac codes and segment base in force, for the group boxes.
    groups::BoxCoding boxCoding() const;
    // Captions the group boxes again, after a change of the numbering.
    void relabelGroupBoxes();
    const std::array<int, 8>& positionValues() const { return values_; }
    int searchType() const { return searchType_; }
    bool freePosition() const { return freeMode_; }
    bool historyTabActive() const;

    // Boxes that other parts of the window write: "起" (0) and "止" (1), the reference issue.
    QLineEdit* rangeBox(int index) const { return index == 0 ? text3_0_ : text3_1_; }
    QLineEdit* referenceBox() const;
    // "截止期": every analysis as of this issue; empty for the newest draw.
    QLineEdit* asOfBox() const { return txtAsOf_; }
    GridView* hitGrid() const { return grid2_; }
    GridView* summaryGrid() const { return grid3_; }

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

    // The three commands and the re-listing of YL by a grid column.
    void runSearchCommand();
    void runPartialCommand();
    // Runs one analysis under the wait cursor and shows its grids, or its refusal as a message;
    // the number of hits when it ran.
    std::optional<int> showAnalysis(const QString& title,
                                    const std::function<search::SearchResult()>& run);
    void runGroupCommand();
    void relistGroups(int column);
    // The pictures: 走势图 of the panel's type, range and "自由位计特码", and 遗漏曲线 of the
    // last search or partial search, or of the selected row of the group listing; 形态走势 of the
    // range's draws.
    void runTrendCommand();
    void runCurveCommand();
    void runShapeCommand();
    // What chance alone would give: 遗漏校验 of the last search, partial search or selected
    // group row, and the 回测 window of the group frame's plan.
    void runCalibrationCommand();
    void runBacktestCommand();

  private:
    void buildLayout();
    // The panel read into the group computation's input, cut at the as-of issue when given.
    groups::GroupInput readGroupInput(
        const std::optional<chance::AsOfCut>& cut = std::nullopt) const;
    // The cut of "截止期": none when the box is empty; the outer none when it is refused (the
    // refusal shown under `title`).
    std::optional<std::optional<chance::AsOfCut>> readCut(const QString& title) const;
    // The as-of issue typed into `asOf` (none when the box is empty); false after telling the
    // user that the text is no issue.
    bool readAsOf(const QString& title, std::optional<std::int32_t>& asOf) const;
    // A search or partial search as it was last run, kept for its calibration and K-line.
    struct PatternRun {
        search::Criteria criteria;  // cut at the as-of issue
        bool partial = false;
        bool flatOnly = false;
        std::string kText;
        std::optional<chance::AsOfCut> cut;
        search::SearchResult operator()(store::HistoryDb& db, const search::Criteria& c) const;
    };
    void runPattern(const QString& title, const chance::PatternInput& in);
    // The hits of the result the summary grid shows: the last pattern, or the selected group row.
    std::optional<std::pair<std::string, chance::PatternHits>> shownPatternHits(
        const QString& title);
    void connectEvents();
    void readTypedValues();
    bool readTypedValue(int position);  // false: not a 16-bit integer, the value is kept
    void save(const char* key, const std::string& value);
    void notify(const QString& text) const;
    QString referenceHint_;  // the notice that the reference issue has no draw, while shown
    void message(const QString& title, const QString& text) const;
    // The issue read, or nullopt with the reason on the status line when the store failed.
    std::optional<std::int32_t> knownIssue(
        const store::Checked<std::optional<std::int32_t>>& issue) const;
    std::optional<std::int32_t> oldestIssue() const;
    std::optional<std::int32_t> newestIssue() const;
    void setEndToNewest();
    void showCountSpecialForMode(bool fixed);
    void exportGrid(GridView* grid, const char* fileName);
    bool commandReady(QPushButton* button);
    // Shows the refusal of the input, when there is one; true then.
    bool refused(const QString& title, const std::optional<std::string>& why) const;

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
    // The curve of the result the summary grid shows; none while it lists the groups.
    std::optional<search::OmissionCurve> resultCurve_;
    std::optional<PatternRun> lastPattern_;  // set together with resultCurve_
    MultiSearchPanel* multi_ = nullptr;
    GroupPanel* groups_ = nullptr;
    GridView* grid2_ = nullptr;
    GridView* grid3_ = nullptr;
    QTimer* relistTimer_ = nullptr;  // a single click waits to see whether a double click follows
    int pendingColumn_ = 0;
    qint64 quietUntil_ = 0;  // clicks up to this time end a double click
};

}  // namespace quarvel::app
