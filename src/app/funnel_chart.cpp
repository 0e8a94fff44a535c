#include "app/funnel_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace quarvel::app {

namespace {

const QColor kScore(0x1f, 0x5f, 0xbf);
const QColor kFunnel(0x99, 0x99, 0x99);
const QColor kPointwise(0xd0, 0x90, 0x40);

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

int FunnelChart::shown() const {
    const int n = static_cast<int>(series_.values.size());
    return newest_ > 0 && newest_ < n ? newest_ : n;
}

void FunnelChart::setNewest(int n) {
    n = std::max(0, n);
    if (n >= static_cast<int>(series_.values.size())) n = 0;
    if (n == newest_) return;
    newest_ = n;
    update();
    emit newestChanged(n);
}

void FunnelChart::zoomIn() { setNewest(std::max(10, shown() / 2)); }

void FunnelChart::zoomOut() { setNewest(newest_ == 0 ? 0 : newest_ * 2); }

void FunnelChart::wheelEvent(QWheelEvent* event) {
    if (event->angleDelta().y() > 0)
        zoomIn();
    else if (event->angleDelta().y() < 0)
        zoomOut();
    event->accept();
}

void FunnelChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QFontMetrics fm = fontMetrics();
    const QRect titleRect(10, 6, width() - 20, fm.height() + 2);
    painter.setPen(Qt::black);
    painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignTop, series_.title);

    int top0 = titleRect.bottom();
    if (!series_.caption.isEmpty()) {
        const QRect room(10, top0 + 2, width() - 20, height() / 3);
        const QString text = series_.caption.join(QLatin1Char('\n'));
        const QRect used = fm.boundingRect(room, Qt::TextWordWrap, text);
        painter.drawText(room, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
        top0 = used.bottom();
    }
    const QRect titleArea(10, 6, width() - 20, top0 - 6);

    const int left = fm.horizontalAdvance(QStringLiteral("-0000.0")) + 12;
    const QRect plot(left, titleArea.bottom() + 8 + fm.height(), width() - left - 20,
                     height() - titleArea.bottom() - 8 - fm.height() * 3 - 10);
    const std::size_t all = series_.values.size();
    const std::size_t n = static_cast<std::size_t>(shown());
    const std::size_t first = all - n;  // the newest n points
    if (plot.width() < 20 || plot.height() < 20 || n == 0) return;
    const auto value = [&](std::size_t i) { return series_.values[first + i]; };
    const auto band = [&](const std::vector<std::optional<double>>& b,
                          std::size_t i) -> std::optional<double> {
        return first + i < b.size() ? b[first + i] : std::nullopt;
    };

    double top = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        top = std::max(top, std::abs(value(i)));
        if (const auto b = band(series_.bounds, i)) top = std::max(top, *b);
        if (const auto b = band(series_.pointwise, i)) top = std::max(top, *b);
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

    // The bands, drawn where they have a width.
    const auto drawBand = [&](const std::vector<std::optional<double>>& bounds, const QPen& pen) {
        QPainterPath upper, lower;
        bool started = false;
        for (std::size_t i = 0; i < n; ++i) {
            const auto b = band(bounds, i);
            if (!b) continue;
            if (!started) {
                upper.moveTo(xOf(i), yOf(*b));
                lower.moveTo(xOf(i), yOf(-*b));
                started = true;
            } else {
                upper.lineTo(xOf(i), yOf(*b));
                lower.lineTo(xOf(i), yOf(-*b));
            }
        }
        painter.setPen(pen);
        painter.drawPath(upper);
        painter.drawPath(lower);
    };
    drawBand(series_.bounds, QPen(kFunnel, 1.5, Qt::DashLine));
    drawBand(series_.pointwise, QPen(kPointwise, 1.0, Qt::DotLine));

    QPainterPath line;
    line.moveTo(xOf(0), yOf(value(0)));
    for (std::size_t i = 1; i < n; ++i) line.lineTo(xOf(i), yOf(value(i)));
    painter.setPen(QPen(kScore, 1.5));
    painter.drawPath(line);

    // x labels: a handful of issues.
    painter.setPen(Qt::black);
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("2013001")) + 12;
    const std::size_t every = std::max<std::size_t>(
        1, static_cast<std::size_t>(std::ceil(labelWidth * static_cast<double>(n) / plot.width())));
    for (std::size_t i = 0; first + i < static_cast<std::size_t>(series_.issues.size()) && i < n;
         i += every)
        painter.drawText(
            QRectF(xOf(i) - labelWidth / 2.0, plot.bottom() + 4, labelWidth, fm.height()),
            Qt::AlignCenter, series_.issues[static_cast<qsizetype>(first + i)]);

    // Legend above the plot.
    const int ly = titleArea.bottom() + 4 + fm.height() / 2;
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
    legend(QPen(kFunnel, 1.5, Qt::DashLine), series_.bandName);
    if (!series_.pointwise.empty())
        legend(QPen(kPointwise, 1.0, Qt::DotLine), series_.pointwiseName);
}

}  // namespace quarvel::app
