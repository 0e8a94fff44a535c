#include "app/omission_curve_view.h"

#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string_view>

#include "app/app_context.h"
#include "app/dialogs.h"
#include "app/funnel_chart.h"
#include "app/kline_view.h"
#include "app/picture_save.h"
#include "app/qt_paths.h"
#include "app/screen_fit.h"
#include "app/view_outputs.h"

namespace quarvel::app {

namespace {

const QColor kBar(0x5b, 0x8d, 0xd6);
const QColor kLastBar(0xe8, 0x7d, 0x2a);
const QColor kAverage(0x2e, 0x9d, 0x4f);
const QColor kMaximum(0xc8, 0x32, 0x32);

// A step for axis ticks near range / 5: 1, 2 or 5 times a power of ten.
int tickStep(int range) {
    const double raw = std::max(1.0, range / 5.0);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw) return std::max(1, static_cast<int>(m * power));
    return static_cast<int>(10 * power);
}

}  // namespace

OmissionCurveChart::OmissionCurveChart(search::OmissionCurve curve, QWidget* parent)
    : QWidget(parent), curve_(std::move(curve)) {
    setObjectName(QStringLiteral("chartYlqx"));
    setMinimumSize(480, 300);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    shown_ = std::max(1, std::min(gapCount(), kDefaultShown));
}

void OmissionCurveChart::setShown(int gaps) {
    gaps = std::clamp(gaps, 1, std::max(1, gapCount()));
    if (gaps == shown_) return;
    shown_ = gaps;
    update();
    emit shownChanged(shown_);
}

QString OmissionCurveChart::rangeText() const {
    const int all = gapCount();
    if (all == 0) return QStringLiteral("没有命中");
    const int first = all - std::min(shown_, all);
    const QString from = QString::fromStdString(curve_.issues[static_cast<std::size_t>(first)]);
    const QString to = QString::fromStdString(curve_.issues.back());
    if (first == 0) return QStringLiteral("全部 %1 次命中：%2期～%3期").arg(all).arg(from, to);
    return QStringLiteral("最新 %1 次命中（共 %2 次）：%3期～%4期")
        .arg(all - first)
        .arg(all)
        .arg(from, to);
}

void OmissionCurveChart::wheelEvent(QWheelEvent* event) {
    // Ctrl+wheel zooms: towards the user shows twice the gaps, away half of them.
    if (!(event->modifiers() & Qt::ControlModifier) || event->angleDelta().y() == 0) {
        QWidget::wheelEvent(event);
        return;
    }
    setShown(event->angleDelta().y() > 0 ? shown_ / 2 : shown_ * 2);
    event->accept();
}

void OmissionCurveChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics fm = fontMetrics();
    const auto& stats = curve_.stats;
    const double average = stats.averageOmission();
    const bool anyHit = !curve_.gaps.empty();

    // Title: the label and the figures, wrapped over two lines when narrow, then the hits drawn.
    const QRect titleRect(10, 6, width() - 20, fm.height() * 3 + 4);
    painter.setPen(Qt::black);
    painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                     QString::fromStdString(curve_.title()) + QStringLiteral("\n") + rangeText());

    const int left = fm.horizontalAdvance(QStringLiteral("00000")) + 16;
    const QRect plot(left, titleRect.bottom() + 10, width() - left - 20,
                     height() - titleRect.bottom() - 10 - fm.height() * 2 - 16);
    if (plot.width() < 20 || plot.height() < 20) return;

    // The newest `shown_` gaps.
    const int skip = gapCount() - std::min(shown_, gapCount());
    const std::vector<int> gaps(curve_.gaps.begin() + skip, curve_.gaps.end());
    int top = stats.last;
    for (int g : gaps) top = std::max(top, g);
    if (anyHit) top = std::max(top, stats.maximum);  // its line stays inside the plot
    top = std::max({top, static_cast<int>(std::ceil(average)), 1});
    const int step = tickStep(top);
    top = (top / step + 1) * step;
    auto yOf = [&](double v) { return plot.bottom() - static_cast<int>(v * plot.height() / top); };

    // Axes and y ticks.
    painter.setPen(QColor(0xdd, 0xdd, 0xdd));
    for (int v = step; v <= top; v += step)
        painter.drawLine(plot.left(), yOf(v), plot.right(), yOf(v));
    painter.setPen(Qt::black);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    for (int v = 0; v <= top; v += step)
        painter.drawText(QRect(0, yOf(v) - fm.height() / 2, left - 6, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v));

    // Bars: one per hit, then the last omission.
    const int bars = static_cast<int>(gaps.size()) + 1;
    const double slot = static_cast<double>(plot.width()) / bars;
    const double barWidth = std::max(1.0, slot * 0.7);
    auto barRect = [&](int i, int value) {
        const double x = plot.left() + slot * i + (slot - barWidth) / 2;
        return QRectF(x, yOf(value), barWidth, plot.bottom() - yOf(value));
    };
    for (int i = 0; i < bars - 1; ++i)
        painter.fillRect(barRect(i, gaps[static_cast<std::size_t>(i)]), kBar);
    painter.fillRect(barRect(bars - 1, stats.last), kLastBar);

    // x labels: a handful of the hits' issues, and "最后" under the last bar.
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("2013001")) + 12;
    const int every = std::max(1, static_cast<int>(std::ceil(labelWidth / slot)));
    for (int i = 0; i < bars - 1; i += every) {
        const int cx = plot.left() + static_cast<int>(slot * i + slot / 2);
        painter.drawText(QRect(cx - labelWidth / 2, plot.bottom() + 4, labelWidth, fm.height()),
                         Qt::AlignCenter,
                         QString::fromStdString(curve_.issues[static_cast<std::size_t>(skip + i)]));
    }
    // Kept inside the widget when the last bar stands at the right edge.
    const int lastX = std::min(plot.left() + static_cast<int>(slot * (bars - 1) + slot / 2),
                               width() - labelWidth / 2);
    painter.drawText(
        QRect(lastX - labelWidth / 2, plot.bottom() + 4 + fm.height(), labelWidth, fm.height()),
        Qt::AlignCenter, QStringLiteral("最后遗漏"));

    // The lines at the average and the largest gap, named at their right end.
    auto line = [&](double value, const QColor& colour, const QString& name) {
        QPen pen(colour, 2, Qt::DashLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(plot.left(), yOf(value)), QPointF(plot.right(), yOf(value)));
        const QString text =
            name + " " + QString::number(value, 'f', name == QStringLiteral("平均遗漏") ? 2 : 0);
        const int w = fm.horizontalAdvance(text) + 8;
        painter.fillRect(QRect(plot.right() - w, yOf(value) - fm.height() - 2, w, fm.height()),
                         QColor(255, 255, 255, 200));
        painter.drawText(QRect(plot.right() - w, yOf(value) - fm.height() - 2, w, fm.height()),
                         Qt::AlignCenter, text);
    };
    line(average, kAverage, QStringLiteral("平均遗漏"));
    if (anyHit) line(stats.maximum, kMaximum, QStringLiteral("最大遗漏"));
}

OmissionCurveWindow::OmissionCurveWindow(AppContext& ctx, search::OmissionCurve curve,
                                         QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
    setObjectName(QStringLiteral("frmYlqx"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("遗漏曲线 — %1").arg(QString::fromStdString(curve.label)));
    chart_ = new OmissionCurveChart(std::move(curve), this);
    newest_ = new QSpinBox(this);
    newest_->setObjectName(QStringLiteral("spnYlqxNewest"));
    newest_->setRange(1, std::max(1, chart_->gapCount()));
    newest_->setValue(chart_->shown());
    newest_->setSuffix(QStringLiteral(" 次"));
    connect(newest_, &QSpinBox::valueChanged, chart_, &OmissionCurveChart::setShown);
    connect(chart_, &OmissionCurveChart::shownChanged, newest_, &QSpinBox::setValue);
    auto* newestLabel = new QLabel(QStringLiteral("显示最新(&N)"), this);
    newestLabel->setBuddy(newest_);
    auto zoomButton = [this](const QString& caption, const QString& name, auto change) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        connect(b, &QPushButton::clicked, this,
                [this, change] { chart_->setShown(change(chart_->shown())); });
        return b;
    };
    auto* zoomIn = zoomButton(QStringLiteral("放大(&I)"), QStringLiteral("cmdZoomIn"),
                              [](int n) { return n / 2; });
    auto* zoomOut = zoomButton(QStringLiteral("缩小(&O)"), QStringLiteral("cmdZoomOut"),
                               [](int n) { return n * 2; });
    auto* all = zoomButton(QStringLiteral("全部(&A)"), QStringLiteral("cmdShowAll"),
                           [this](int) { return chart_->gapCount(); });
    save_ = new QPushButton(QStringLiteral("保存图片(&P)"), this);
    save_->setObjectName(QStringLiteral("cmdSavePicture"));
    connect(save_, &QPushButton::clicked, this, [this] {
        if (pages_ && pages_->currentWidget() == kLine_)
            app::savePicture(ctx_, kLine_->chart(), QStringLiteral("遗漏K线.png"),
                             QStringLiteral("遗漏K线"));
        else
            savePicture();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(newestLabel);
    buttons->addWidget(newest_);
    buttons->addWidget(zoomIn);
    buttons->addWidget(zoomOut);
    buttons->addWidget(all);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_, 1);
    layout->addLayout(buttons);
    fitToScreen(this, {1000, 580});
}

void OmissionCurveWindow::addKLinePage(const std::vector<chance::KLinePoint>& points) {
    if (kLine_) return;
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("tabYlqx"));
    delete layout()->replaceWidget(chart_, pages_);  // the caller owns the item given back
    pages_->addTab(chart_, QStringLiteral("遗漏曲线"));
    kLine_ = new KLinePage(ctx_, points, QString::fromStdString(chart_->curve().label), pages_);
    pages_->addTab(kLine_, QStringLiteral("K线"));
}

bool OmissionCurveWindow::savePicture() {
    return app::savePicture(ctx_, chart_, QStringLiteral("遗漏曲线.png"),
                            QStringLiteral("遗漏曲线"));
}

}  // namespace quarvel::app
