#pragma once
// The 遗漏校验 window of one pattern: the verdict in plain words first, the core's grid (trials,
// hits and rate per band of the due ratio, each band's own Wilson 95% interval, the hits its
// draws' exact chances expect and the deviation), and a bar chart of the bands' rates with
// their intervals against a mark at the rate chance gives each band. The chart's caption
// carries the pattern, the range and the verdict, so its saved picture does too.

#include <QStringList>
#include <QWidget>

#include "chance/calibration.h"

class QLabel;

namespace quarvel::app {

struct AppContext;
class GridView;

class CalibrationChart : public QWidget {
    Q_OBJECT
  public:
    CalibrationChart(chance::Calibration calibration, QStringList caption,
                     QWidget* parent = nullptr);
    QSize sizeHint() const override { return {700, 300}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    chance::Calibration c_;
    QStringList caption_;
};

class CalibrationWindow : public QWidget {
    Q_OBJECT
  public:
    // `range`: the range's issues as text; the run counts as one setting tried on the history.
    CalibrationWindow(AppContext& ctx, const QString& label, const QString& range,
                      chance::Calibration calibration, QWidget* parent = nullptr);
    GridView* grid() const { return grid_; }
    CalibrationChart* chart() const { return chart_; }
    QString verdict() const;

  private:
    GridView* grid_;
    CalibrationChart* chart_;
    QLabel* verdict_;
};

}  // namespace quarvel::app
