#include "app/kline_view.h"

#include <QSplitter>
#include <QVBoxLayout>

#include "app/funnel_chart.h"
#include "app/grid_view.h"
#include "app/view_outputs.h"

namespace quarvel::app {

namespace {

FunnelSeries kLineSeries(const std::vector<chance::KLinePoint>& points) {
    FunnelSeries s;
    s.title = QStringLiteral("遗漏K线：命中加 1，未中减 p/(1−p)");
    s.valueName = QStringLiteral("K");
    for (const auto& pt : points) {
        s.issues << QString::number(pt.issue);
        s.values.push_back(pt.score);
        s.bounds.push_back(pt.bound);
    }
    return s;
}

}  // namespace

KLinePage::KLinePage(AppContext& ctx, const std::vector<chance::KLinePoint>& points,
                     QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("pageKline"));
    chart_ = new FunnelChart(kLineSeries(points), this);
    chart_->setObjectName(QStringLiteral("chartKline"));
    grid_ = new GridView(this);
    grid_->setObjectName(QStringLiteral("gridKline"));
    grid_->setGrid(chance::kLineGrid(points));
    exportOnDoubleClick(ctx, grid_, QStringLiteral("遗漏K线.xls"));
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(chart_);
    split->addWidget(grid_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);
}

}  // namespace quarvel::app
