#include "app/kline_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/chance_tries.h"
#include "app/funnel_chart.h"
#include "app/grid_view.h"
#include "app/view_outputs.h"
#include "chance/statistics.h"

namespace quarvel::app {

namespace {

FunnelSeries kLineSeries(const std::vector<chance::KLinePoint>& points) {
    FunnelSeries s;
    s.title = QStringLiteral("遗漏K线：每期加上命中（1 或 0）减去该期的理论机会");
    s.valueName = QStringLiteral("K");
    s.bandName = QString::fromUtf8(chance::kPathBandLegend);
    s.pointwiseName = QStringLiteral("逐期 95% 范围（只管单独一期）");
    for (const auto& pt : points) {
        s.issues << QString::number(pt.issue);
        s.values.push_back(pt.score);
        s.bounds.push_back(pt.bound);
        s.pointwise.push_back(pt.pointwise);
    }
    return s;
}

}  // namespace

KLinePage::KLinePage(AppContext& ctx, const std::vector<chance::KLinePoint>& points,
                     const QString& label, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("pageKline"));
    const QString range =
        points.empty()
            ? QStringLiteral("-")
            : QStringLiteral("%1～%2 期").arg(points.front().issue).arg(points.back().issue);
    const int tries = noteChanceTry(ctx, "K线|" + label.toStdString() + "|" + range.toStdString());
    const QString verdict =
        QString::fromStdString(chance::kLineVerdict(chance::summarize(points), tries));
    verdict_ = new QLabel(
        verdict + QLatin1Char('\n') + QString::fromStdString(chance::pastDrawsLine()), this);
    verdict_->setObjectName(QStringLiteral("lblKline"));
    verdict_->setWordWrap(true);

    FunnelSeries series = kLineSeries(points);
    series.caption = {QStringLiteral("%1　%2").arg(label, range), verdict};
    chart_ = new FunnelChart(std::move(series), this);
    chart_->setObjectName(QStringLiteral("chartKline"));
    newest_ = new QSpinBox(this);
    newest_->setObjectName(QStringLiteral("spinKlineNewest"));
    newest_->setRange(0, std::max<int>(0, static_cast<int>(points.size())));
    newest_->setSpecialValueText(QStringLiteral("全部"));
    newest_->setSuffix(QStringLiteral(" 期"));
    connect(newest_, &QSpinBox::valueChanged, chart_, &FunnelChart::setNewest);
    connect(chart_, &FunnelChart::newestChanged, newest_, &QSpinBox::setValue);
    auto* zoomIn = new QPushButton(QStringLiteral("放大"), this);
    zoomIn->setObjectName(QStringLiteral("cmdKlineZoomIn"));
    connect(zoomIn, &QPushButton::clicked, chart_, &FunnelChart::zoomIn);
    auto* zoomOut = new QPushButton(QStringLiteral("缩小"), this);
    zoomOut->setObjectName(QStringLiteral("cmdKlineZoomOut"));
    connect(zoomOut, &QPushButton::clicked, chart_, &FunnelChart::zoomOut);

    grid_ = new GridView(this);
    grid_->setObjectName(QStringLiteral("gridKline"));
    grid_->setGrid(chance::kLineGrid(points));
    exportOnDoubleClick(ctx, grid_, QStringLiteral("遗漏K线.xls"));
    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("只看最近"), this));
    controls->addWidget(newest_);
    controls->addWidget(zoomIn);
    controls->addWidget(zoomOut);
    controls->addStretch(1);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(chart_);
    split->addWidget(grid_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(verdict_);
    layout->addLayout(controls);
    layout->addWidget(split, 1);
}

QString KLinePage::verdict() const { return verdict_->text(); }

}  // namespace quarvel::app
