#include "app/funnel_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace quarvel::app {

namespace {

const QColor kScore(0x1f, 0x5f, 0xbf);
const QColor kFunnel(0x99, 0x99, 0x99);

}  // namespace

FunnelChart::FunnelChart(FunnelSeries series, QWidget* parent)
    : QWidget(parent), series_(std::move(series)) {
    setMinimumSize(420, 240);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void FunnelChart::setSeries(FunnelSeries series) {
    series_ = std::move(series);
    update();
}

void FunnelChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetrics fm = fontMetrics();
    const QRect titleRect(10, 6, width() - 20, fm.height() + 2);
    painter.setPen(Qt::black);
    painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignTop, series_.title);

    const int left = fm.horizontalAdvance(QStringLiteral("-0000.0")) + 12;
    const QRect plot(left, titleRect.bottom() + 8 + fm.height(), width() - left - 20,
                     height() - titleRect.bottom() - 8 - fm.height() * 3 - 10);
    const std::size_t n = series_.values.size();
    if (plot.width() < 20 || plot.height() < 20 || n == 0) return;

    double top = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        top = std::max(top, std::abs(series_.values[i]));
        if (i < series_.bounds.size() && series_.bounds[i]) top = std::max(top, *series_.bounds[i]);
    }
    top *= 1.1;
    auto yOf = [&](double v) { return plot.center().y() - v * (plot.height() / 2.0) / top; };
    auto xOf = [&](std::size_t i) {
        return n == 1 ? plot.center().x()
                      : plot.left() + static_cast<double>(i) * plot.width() / (n - 1);
    };

    painter.setPen(Qt::black);
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.setPen(QColor(0xcc, 0xcc, 0xcc));
    painter.drawLine(QPointF(plot.left(), yOf(0)), QPointF(plot.right(), yOf(0)));
    painter.setPen(Qt::black);
    for (double v : {-top / 1.1, 0.0, top / 1.1})
        painter.drawText(QRectF(0, yOf(v) - fm.height() / 2.0, left - 6, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v, 'f', 1));

    // The funnel, drawn where it has a width.
    QPainterPath upper, lower;
    bool started = false;
    for (std::size_t i = 0; i < n && i < series_.bounds.size(); ++i) {
        if (!series_.bounds[i]) continue;
        const double b = *series_.bounds[i];
        if (!started) {
            upper.moveTo(xOf(i), yOf(b));
            lower.moveTo(xOf(i), yOf(-b));
            started = true;
        } else {
            upper.lineTo(xOf(i), yOf(b));
            lower.lineTo(xOf(i), yOf(-b));
        }
    }
    painter.setPen(QPen(kFunnel, 1.5, Qt::DashLine));
    painter.drawPath(upper);
    painter.drawPath(lower);

    QPainterPath line;
    line.moveTo(xOf(0), yOf(series_.values[0]));
    for (std::size_t i = 1; i < n; ++i) line.lineTo(xOf(i), yOf(series_.values[i]));
    painter.setPen(QPen(kScore, 1.5));
    painter.drawPath(line);

    // x labels: a handful of issues.
    painter.setPen(Qt::black);
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("2013001")) + 12;
    const std::size_t every = std::max<std::size_t>(
        1, static_cast<std::size_t>(std::ceil(labelWidth * static_cast<double>(n) / plot.width())));
    for (std::size_t i = 0; i < n && i < static_cast<std::size_t>(series_.issues.size());
         i += every)
        painter.drawText(
            QRectF(xOf(i) - labelWidth / 2.0, plot.bottom() + 4, labelWidth, fm.height()),
            Qt::AlignCenter, series_.issues[static_cast<qsizetype>(i)]);

    // Legend above the plot.
    const int ly = titleRect.bottom() + 4 + fm.height() / 2;
    int lx = plot.left();
    auto legend = [&](const QPen& pen, const QString& text) {
        painter.setPen(pen);
        painter.drawLine(lx, ly, lx + 24, ly);
        painter.setPen(Qt::black);
        painter.drawText(
            QRect(lx + 28, ly - fm.height() / 2, fm.horizontalAdvance(text) + 4, fm.height()),
            Qt::AlignVCenter, text);
        lx += 40 + fm.horizontalAdvance(text);
    };
    legend(QPen(kScore, 1.5), series_.valueName);
    legend(QPen(kFunnel, 1.5, Qt::DashLine), QStringLiteral("随机 95% 范围"));
}

}  // namespace quarvel::app
