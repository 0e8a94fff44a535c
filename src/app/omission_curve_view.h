#pragma once
// The 遗漏曲线 window: the gaps of a result as bars in hit order (x: the hits' issues, y: the
// gap), the last omission as a final bar in its own colour, lines at 平均遗漏 and 最大遗漏, and
// the pattern label with the figures as the title. "保存图片" saves the chart as 遗漏曲线.png in
// the data folder.

#include <QWidget>

#include "search/omission_curve.h"

class QPushButton;

namespace quarvel::app {

struct AppContext;

class OmissionCurveChart : public QWidget {
    Q_OBJECT
  public:
    explicit OmissionCurveChart(search::OmissionCurve curve, QWidget* parent = nullptr);
    const search::OmissionCurve& curve() const { return curve_; }
    QSize sizeHint() const override { return {1000, 520}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    search::OmissionCurve curve_;
};

class OmissionCurveWindow : public QWidget {
    Q_OBJECT
  public:
    OmissionCurveWindow(AppContext& ctx, search::OmissionCurve curve, QWidget* parent = nullptr);
    OmissionCurveChart* chart() const { return chart_; }
    // Saves the chart as 遗漏曲线.png in the data folder; false (with a message) when it fails.
    bool savePicture();

  private:
    AppContext& ctx_;
    OmissionCurveChart* chart_;
    QPushButton* save_;
};

}  // namespace quarvel::app
