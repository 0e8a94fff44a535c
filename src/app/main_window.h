#pragma once
// frmMain: the one window of the program. It owns the history database, composes the history
// panel (list, next issue, entry boxes, history buttons) and the criteria panel (the analysis
// side), holds the two pop-up menus mnuLsgl and mnuSetup (also in the menu bar), and moves the
// focused grid by one row per mouse-wheel event.
//
// The window's work is split over files: start-up, list and wheel here; manual entry, deleting
// and the attribute menus in main_window_history.cpp; the file and update commands in
// main_window_files.cpp.

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "app/app_context.h"
#include "history_io/history_check.h"
#include "history_io/removal_guard.h"
#include "history_io/trimming.h"
#include "store/history_db.h"

class QAction;
class QActionGroup;
class QMenu;

namespace quarvel::app {

class AnalysisController;
class CriteriaPanel;
class Dialogs;
class GridView;
class HistoryPanel;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(std::filesystem::path dataDir, store::SettingsStore& settings, Dialogs& dialogs,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    HistoryPanel* historyPanel() const { return history_; }
    CriteriaPanel* criteriaPanel() const { return criteria_; }
    AppContext& context() { return ctx_; }
    store::HistoryDb& historyDb() { return db_; }
    std::int32_t nextIssue() const { return nextIssue_; }
    GridView* wheelTarget() const { return wheelTarget_; }
    QMenu* historyMenu() const { return mnuLsgl_; }
    QMenu* setupMenu() const { return mnuSetup_; }
    bool updateRunning() const { return updating_; }

    // How a pop-up menu is shown; by default QMenu::popup (it does not block).
    void setPopupHook(std::function<void(QMenu*, const QPoint&)> hook) { popup_ = std::move(hook); }

    // The list and issue procedures every history change ends with.
    void AddHaoma();
    void QihaoXianshi();

    // Commands, public so that tests and menus drive them as a click would.
    void storeTypedDraw();          // the second digit of box 8
    void deleteLastDraw();          // Command3, mnuErase
    void clearHistory();            // mnuClear
    void chooseZodiacBase(int i);   // mnuSxcs_i
    void chooseSegmentBase(int i);  // mnuDscs_i
    void importHistoryText();       // cmdRdLst
    void exportHistoryText();       // Command4
    void exportHistoryList();       // mnuDcls
    void askExportHistoryList();    // double click on MSFlexGrid1: asks, then exports
    void trimToIssue();             // mnuDlzd
    void trimLastDraws();           // mnuEszhzd
    void setKeptYears();            // mnuSetDay
    void setResultsHost();          // mnuResultsHost
    void onlineUpdate();            // Command21
    void openReadme();              // mnuFrontPage, mnuDescrb, numYanshiDown
    void mergeHistoryText();        // mnuMerge
    void checkHistory();            // mnuCheck
    void editNewYearTable();        // mnuNewYear
    void offerNewYearRebuild();     // at start-up and after the new-year table changed

  signals:
    // A pop-up menu is about to be shown (history or settings menu).
    void popupShown(QMenu* menu);

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildMenus();
    void connectEvents();
    void startUp();
    void showPopup(QMenu* menu, const QPoint& globalPos);
    void notify(const QString& text);
    void watchGridFocus(GridView* grid);
    bool handleWheel(QObject* watched, QEvent* event);
    // The steps after a command replaced or cut the history: range, list, next issue, panel.
    void afterHistoryReplaced();
    bool refuseWhileUpdating();
    // Before a trim: false (the user told why) when it is not to run.
    bool confirmTrim(io::TrimKind kind, std::int32_t value);
    void runTrim(io::TrimKind kind, const QString& prompt, const QString& suggested);
    void showFindings(const std::vector<io::Finding>& findings, const QString& title);
    QString historyFileFolder() const;
    // After a base change: asks whether to build the stored rows' codes again under it.
    void offerCodeRebuild(const QString& attribute, int storedBase, int classes);
    void setRangeFromHistory();
    // When another program changed the history since the list was filled: the list, the issue
    // boxes and the panel are refreshed and the status bar says so. True when it had changed.
    bool refreshIfChangedElsewhere();
    // A removal refused or failed: told in a message and the status bar.
    void refuseChange(const QString& title, const store::Outcome& why);
    QAction* action(QMenu* menu, const QString& caption, const QString& name);

    store::HistoryDb db_;
    AppContext ctx_;
    HistoryPanel* history_ = nullptr;
    CriteriaPanel* criteria_ = nullptr;
    AnalysisController* analyses_ = nullptr;  // the commands of criteria_, owned by it
    QMenu* mnuLsgl_ = nullptr;
    QMenu* mnuSetup_ = nullptr;
    QMenu* mnuWeb_ = nullptr;
    std::array<QAction*, 2> mnuSxcs_{};
    std::array<QAction*, 2> mnuDscs_{};
    std::array<QAction*, 2> mnuBscs_{};
    std::int32_t nextIssue_ = 0;
    // The history as the list last showed it: removals are refused when it changed since.
    io::SeenHistory seen_;
    // The database's content stamp when the list was last filled.
    store::Database::ContentStamp seenStamp_;
    GridView* wheelTarget_ = nullptr;
    bool updating_ = false;
    std::function<void(QMenu*, const QPoint&)> popup_;
};

// Start-up's zodiac year from the next-issue text: the year of its first four characters, one
// less while the serial (last three characters) is within that year's new-year threshold. A
// text that gives no plausible year (empty history: "1") gives the calendar year `currentYear`.
int startupZodiacYear(const QString& nextIssueText, int currentYear);

}  // namespace quarvel::app
