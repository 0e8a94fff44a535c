#pragma once
// A running score drawn against the funnel that chance keeps it in: one value per draw as a
// line, ±bound as two grey lines around zero, a few draws' issues under the x axis. The K线
// page (the K score inside ±2·sqrt(n·p/(1 - p))) and the backtest (O - E inside ±2·sqrt(V))
// both draw it.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

namespace quarvel::app {

struct FunnelSeries {
    QString title;
    QString valueName;                          // the line's name in the legend
    QStringList issues;                         // x labels, one per point
    std::vector<double> values;                 // the score
    std::vector<std::optional<double>> bounds;  // the funnel's half width; none: no funnel
};

class FunnelChart : public QWidget {
    Q_OBJECT
  public:
    explicit FunnelChart(FunnelSeries series, QWidget* parent = nullptr);
    const FunnelSeries& series() const { return series_; }
    void setSeries(FunnelSeries series);
    QSize sizeHint() const override { return {900, 360}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    FunnelSeries series_;
};

}  // namespace quarvel::app
