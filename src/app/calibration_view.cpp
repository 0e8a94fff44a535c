#include "app/calibration_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/grid_view.h"
#include "app/picture_save.h"
#include "app/screen_fit.h"
#include "app/view_outputs.h"
#include "chance/statistics.h"

namespace quarvel::app {

namespace {

const QColor kBar(0x5b, 0x8d, 0xd6);
const QColor kOverall(0xc8, 0x32, 0x32);

}  // namespace

QString calibrationVerdict(const chance::Calibration& c) {
    QString text = QStringLiteral("总体命中率 %1，卡方 %2，自由度 %3，p = %4")
                       .arg(c.overallRate(), 0, 'f', 4)
                       .arg(c.chiSquare, 0, 'f', 2)
                       .arg(c.degrees)
                       .arg(c.pValue, 0, 'f', 4);
    if (c.degrees == 0) return text + QStringLiteral("：试验不足，无从比较");
    return text + (c.pValue >= 0.05 ? QStringLiteral("：各段命中率与随机无显著差别")
                                    : QStringLiteral("：各段命中率与随机有显著差别"));
}

CalibrationChart::CalibrationChart(chance::Calibration calibration, QWidget* parent)
    : QWidget(parent), c_(calibration) {
    setObjectName(QStringLiteral("chartYlxy"));
    setMinimumSize(420, 220);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void CalibrationChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics fm = fontMetrics();
    const int left = fm.horizontalAdvance(QStringLiteral("0.000")) + 14;
    const QRect plot(left, fm.height() + 10, width() - left - 20, height() - fm.height() * 3 - 20);
    if (plot.width() < 20 || plot.height() < 20) return;
    painter.drawText(QRect(0, 4, width(), fm.height()), Qt::AlignHCenter,
                     QStringLiteral("各段欲出几率的命中率与 95% 区间"));

    double top = c_.overallRate();
    for (int b = 0; b < chance::kBuckets; ++b) {
        const auto& n = c_.buckets[static_cast<std::size_t>(b)];
        if (n.trials > 0) top = std::max(top, chance::wilsonInterval(n.hits, n.trials).high);
    }
    top = top <= 0 ? 1.0 : std::min(1.0, top * 1.1);
    auto yOf = [&](double v) { return plot.bottom() - v * plot.height() / top; };

    painter.setPen(Qt::black);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    for (int i = 0; i <= 4; ++i) {
        const double v = top * i / 4;
        painter.drawText(QRectF(0, yOf(v) - fm.height() / 2.0, left - 6, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v, 'f', 3));
    }
    const double slot = static_cast<double>(plot.width()) / chance::kBuckets;
    for (int b = 0; b < chance::kBuckets; ++b) {
        const auto& n = c_.buckets[static_cast<std::size_t>(b)];
        const double x = plot.left() + slot * b;
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x, plot.bottom() + 4, slot, fm.height()), Qt::AlignCenter,
                         QString::fromUtf8(chance::kBucketLabels[static_cast<std::size_t>(b)]));
        painter.drawText(QRectF(x, plot.bottom() + 4 + fm.height(), slot, fm.height()),
                         Qt::AlignCenter, QStringLiteral("%1 次").arg(n.trials));
        if (n.trials == 0) continue;
        const double rate = static_cast<double>(n.hits) / n.trials;
        const double w = slot * 0.5;
        painter.fillRect(QRectF(x + (slot - w) / 2, yOf(rate), w, plot.bottom() - yOf(rate)), kBar);
        const chance::Interval ci = chance::wilsonInterval(n.hits, n.trials);
        const double cx = x + slot / 2;
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawLine(QPointF(cx, yOf(ci.low)), QPointF(cx, yOf(ci.high)));
        painter.drawLine(QPointF(cx - 6, yOf(ci.low)), QPointF(cx + 6, yOf(ci.low)));
        painter.drawLine(QPointF(cx - 6, yOf(ci.high)), QPointF(cx + 6, yOf(ci.high)));
    }
    painter.setPen(QPen(kOverall, 2, Qt::DashLine));
    painter.drawLine(QPointF(plot.left(), yOf(c_.overallRate())),
                     QPointF(plot.right(), yOf(c_.overallRate())));
    const QString name = QStringLiteral("总体命中率 %1").arg(c_.overallRate(), 0, 'f', 4);
    const QRectF nameRect(plot.right() - fm.horizontalAdvance(name) - 8,
                          yOf(c_.overallRate()) - fm.height() - 2, fm.horizontalAdvance(name) + 8,
                          fm.height());
    painter.fillRect(nameRect, QColor(255, 255, 255, 220));
    painter.drawText(nameRect, Qt::AlignCenter, name);
}

CalibrationWindow::CalibrationWindow(AppContext& ctx, const QString& label,
                                     chance::Calibration calibration, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmYlxy"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("遗漏校验 — %1").arg(label));
    grid_ = new GridView(this);
    grid_->setObjectName(QStringLiteral("gridYlxy"));
    grid_->setGrid(chance::calibrationGrid(calibration));
    exportOnDoubleClick(ctx, grid_, QStringLiteral("遗漏校验.xls"));
    verdict_ = new QLabel(calibrationVerdict(calibration), this);
    verdict_->setObjectName(QStringLiteral("lblYlxy"));
    verdict_->setWordWrap(true);
    chart_ = new CalibrationChart(calibration, this);
    auto* save = new QPushButton(QStringLiteral("保存图片"), this);
    save->setObjectName(QStringLiteral("cmdSavePicture"));
    connect(save, &QPushButton::clicked, this, [this, &ctx] {
        savePicture(ctx, chart_, QStringLiteral("遗漏校验.png"), QStringLiteral("遗漏校验"));
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(verdict_, 1);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_, 0);
    layout->addLayout(buttons);
    layout->addWidget(chart_, 1);
    grid_->setMinimumHeight(grid_->fontMetrics().height() * 10);
    fitToScreen(this, {820, 620});
}

QString CalibrationWindow::verdict() const { return verdict_->text(); }

}  // namespace quarvel::app
