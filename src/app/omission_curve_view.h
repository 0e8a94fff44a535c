#pragma once
// The 遗漏曲线 window: the gaps of a result as bars in hit order (x: the hits' issues, y: the
// gap), the last omission as a final bar in its own colour, lines at 平均遗漏 and 最大遗漏, and
// the pattern label with the figures as the title, the issues of the hits shown under it. Only
// the newest N gaps are drawn (a box sets N; Ctrl+wheel or 放大/缩小 halve and double it), so
// that thousands of gaps do not melt into one block. "保存图片" saves the chart, title and
// figures included, as a PNG picture, by default 遗漏曲线.png in the data folder.

#include <QWidget>
#include <vector>

#include "chance/kline.h"
#include "search/omission_curve.h"

class QPushButton;
class QSpinBox;
class QTabWidget;

namespace quarvel::app {

struct AppContext;
class KLinePage;

class OmissionCurveChart : public QWidget {
    Q_OBJECT
  public:
    explicit OmissionCurveChart(search::OmissionCurve curve, QWidget* parent = nullptr);
    const search::OmissionCurve& curve() const { return curve_; }
    QSize sizeHint() const override { return {1000, 520}; }
    // The newest gaps drawn (every one: the number of hits); at least 1.
    int shown() const { return shown_; }
    int gapCount() const { return static_cast<int>(curve_.gaps.size()); }
    void setShown(int gaps);
    // The line under the title: the hits drawn and their issues.
    QString rangeText() const;
    static constexpr int kDefaultShown = 200;

  signals:
    void shownChanged(int gaps);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    search::OmissionCurve curve_;
    int shown_ = 1;
};

class OmissionCurveWindow : public QWidget {
    Q_OBJECT
  public:
    OmissionCurveWindow(AppContext& ctx, search::OmissionCurve curve, QWidget* parent = nullptr);
    OmissionCurveChart* chart() const { return chart_; }
    // Saves the chart under the name picked in the save dialog; false when cancelled or failed.
    bool savePicture();
    // Shows the curve and the K线 of the same result as two pages; "保存图片" saves the shown one.
    void addKLinePage(const std::vector<chance::KLinePoint>& points);
    KLinePage* kLinePage() const { return kLine_; }
    QTabWidget* pages() const { return pages_; }
    QSpinBox* newestBox() const { return newest_; }

  private:
    AppContext& ctx_;
    OmissionCurveChart* chart_;
    QSpinBox* newest_ = nullptr;
    QPushButton* save_;
    QTabWidget* pages_ = nullptr;
    KLinePage* kLine_ = nullptr;
};

}  // namespace quarvel::app
