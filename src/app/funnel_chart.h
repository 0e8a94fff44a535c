#pragma once
// A running score drawn against the band that chance keeps it in: one value per draw as a
// line, ±bound as two grey lines around zero (and a second, pointwise band beside it when
// given), a few draws' issues under the x axis, and caption lines (pattern, range, verdict)
// under the title so that a saved picture tells what it shows. The K线 page and the backtest
// both draw it. It can show the newest N draws only; the wheel and zoomIn/zoomOut halve and
// double N.

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
    QString bandName = QStringLiteral("随机 95% 范围");
    std::vector<std::optional<double>> pointwise;  // a second band, dotted; empty: none
    QString pointwiseName;
    QStringList caption;  // lines under the title
};

class FunnelChart : public QWidget {
    Q_OBJECT
  public:
    explicit FunnelChart(FunnelSeries series, QWidget* parent = nullptr);
    const FunnelSeries& series() const { return series_; }
    void setSeries(FunnelSeries series);
    QSize sizeHint() const override { return {900, 360}; }
    // The newest `n` draws only; 0 (or n at least the draws) shows them all.
    void setNewest(int n);
    int newest() const { return newest_; }
    void zoomIn();
    void zoomOut();

  signals:
    void newestChanged(int n);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    int shown() const;
    FunnelSeries series_;
    int newest_ = 0;
};

}  // namespace quarvel::app
