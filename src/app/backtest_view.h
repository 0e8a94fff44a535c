#pragma once
// The 回测 window of the group frame: the test range, the ranking column, the order and the
// pick count; the verdict in plain words first, the per-draw table of the walk-forward
// backtest (its 选中 column kept narrow enough for a 1024×768 screen, the whole text as the
// cell's tool tip), and the running O - E (picked groups' hits less their exact expectation)
// inside the pointwise ±1.96·sqrt(V). Every run counts as a setting tried on the history.

#include <QWidget>
#include <optional>

#include "chance/as_of.h"
#include "chance/backtest.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quarvel::app {

struct AppContext;
class FunnelChart;
class GridView;

class BacktestWindow : public QWidget {
    Q_OBJECT
  public:
    // `plan`: the groups as the panel reads them; `cut`: the as-of cut in force. The test range
    // starts out as the last 100 draws of the groups' range.
    BacktestWindow(AppContext& ctx, groups::GroupPlan plan, std::optional<chance::AsOfCut> cut,
                   QWidget* parent = nullptr);
    // Runs the backtest on the inputs shown; false (with a message) when they are refused.
    bool run();

    GridView* grid() const { return grid_; }
    FunnelChart* chart() const { return chart_; }
    QString verdict() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::optional<chance::BacktestInput> readInput();

    AppContext& ctx_;
    groups::GroupPlan plan_;
    std::optional<chance::AsOfCut> cut_;
    QLineEdit* testStart_;
    QLineEdit* testEnd_;
    QComboBox* column_;
    QComboBox* order_;
    QSpinBox* pick_;
    QPushButton* runButton_;
    GridView* grid_;
    QLabel* verdict_;
    FunnelChart* chart_;
};

}  // namespace quarvel::app
