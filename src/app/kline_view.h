#pragma once
// The K线 page of the 遗漏曲线 window: the pattern's running score over the range (each draw
// adds its hit less its exact chance) inside the band that holds the whole line in 95% of
// histories of pure chance, the pointwise band beside it, the verdict in plain words first,
// "最近 N 期" and zoom for the chart, and the core's grid of the points below it. The chart's
// caption carries the pattern, the range and the verdict, so its saved picture does too.

#include <QWidget>
#include <vector>

#include "chance/kline.h"

class QLabel;
class QSpinBox;

namespace quarvel::app {

struct AppContext;
class FunnelChart;
class GridView;

class KLinePage : public QWidget {
    Q_OBJECT
  public:
    KLinePage(AppContext& ctx, const std::vector<chance::KLinePoint>& points, const QString& label,
              QWidget* parent = nullptr);
    FunnelChart* chart() const { return chart_; }
    GridView* grid() const { return grid_; }
    QString verdict() const;
    QSpinBox* newest() const { return newest_; }

  private:
    FunnelChart* chart_;
    GridView* grid_;
    QLabel* verdict_;
    QSpinBox* newest_;
};

}  // namespace quarvel::app
