#pragma once
// The K线 page of the 遗漏曲线 window: the pattern's running score over the range (a hit adds
// 1, a miss takes p/(1 - p) away) inside the funnel ±2·sqrt(n·p/(1 - p)) where independent
// draws keep it, and the core's grid of the points below it.

#include <QWidget>
#include <vector>

#include "chance/kline.h"

namespace quarvel::app {

struct AppContext;
class FunnelChart;
class GridView;

class KLinePage : public QWidget {
    Q_OBJECT
  public:
    KLinePage(AppContext& ctx, const std::vector<chance::KLinePoint>& points,
              QWidget* parent = nullptr);
    FunnelChart* chart() const { return chart_; }
    GridView* grid() const { return grid_; }

  private:
    FunnelChart* chart_;
    GridView* grid_;
};

}  // namespace quarvel::app
