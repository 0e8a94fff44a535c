#pragma once
// The 遗漏校验 window of one pattern: the core's grid (trials, hits and rate per band of the
// due ratio, with the Wilson 95% interval, the overall rate and the deviation), the chi-square
// line in words, and a bar chart of the bands' rates with their intervals against a line at
// the overall rate, which independent draws would give every band.

#include <QWidget>

#include "chance/calibration.h"

class QLabel;

namespace quarvel::app {

struct AppContext;
class GridView;

class CalibrationChart : public QWidget {
    Q_OBJECT
  public:
    explicit CalibrationChart(chance::Calibration calibration, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {700, 300}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    chance::Calibration c_;
};

class CalibrationWindow : public QWidget {
    Q_OBJECT
  public:
    CalibrationWindow(AppContext& ctx, const QString& label, chance::Calibration calibration,
                      QWidget* parent = nullptr);
    GridView* grid() const { return grid_; }
    CalibrationChart* chart() const { return chart_; }
    QString verdict() const;

  private:
    GridView* grid_;
    CalibrationChart* chart_;
    QLabel* verdict_;
};

// The chi-square line in words: "卡方 3.21，自由度 4，p = 0.5234：…".
QString calibrationVerdict(const chance::Calibration& c);

}  // namespace quarvel::app
