#include "app/calibration_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/chance_tries.h"
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

CalibrationChart::CalibrationChart(chance::Calibration calibration, QStringList caption,
                                   QWidget* parent)
    : QWidget(parent), c_(calibration), caption_(std::move(caption)) {
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
    QStringList lines{QStringLiteral("各段欲出几率的命中率与本段 95% 区间，红线为随机时的命中率")};
    lines << caption_;
    const QString heading = lines.join(QLatin1Char('\n'));
    const QRect headRoom(10, 4, width() - 20, height() / 3);
    const int headBottom = fm.boundingRect(headRoom, Qt::TextWordWrap, heading).bottom();
    const QRect plot(left, headBottom + 10, width() - left - 20,
                     height() - headBottom - fm.height() * 2 - 20);
    if (plot.width() < 20 || plot.height() < 20) return;
    painter.drawText(headRoom, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, heading);

    const auto chanceRate = [](const chance::BucketCount& n) { return n.expected / n.trials; };
    double top = 0.0;
    for (int b = 0; b < chance::kBuckets; ++b) {
        const auto& n = c_.buckets[static_cast<std::size_t>(b)];
        if (n.trials > 0)
            top = std::max({top, chance::wilsonInterval(n.hits, n.trials).high, chanceRate(n)});
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
        // What the band's draws would hit by chance alone.
        painter.setPen(QPen(kOverall, 2));
        painter.drawLine(QPointF(x + slot * 0.15, yOf(chanceRate(n))),
                         QPointF(x + slot * 0.85, yOf(chanceRate(n))));
    }
}

CalibrationWindow::CalibrationWindow(AppContext& ctx, const QString& label, const QString& range,
                                     chance::Calibration calibration, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmYlxy"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("遗漏校验 — %1").arg(label));
    grid_ = new GridView(this);
    grid_->setObjectName(QStringLiteral("gridYlxy"));
    grid_->setGrid(chance::calibrationGrid(calibration));
    exportOnDoubleClick(ctx, grid_, QStringLiteral("遗漏校验.xls"));
    const int tries =
        noteChanceTry(ctx, "遗漏校验|" + label.toStdString() + "|" + range.toStdString());
    const QString verdict = QString::fromStdString(chance::calibrationVerdict(calibration, tries));
    verdict_ = new QLabel(
        verdict + QLatin1Char('\n') + QString::fromStdString(chance::pastDrawsLine()), this);
    verdict_->setObjectName(QStringLiteral("lblYlxy"));
    verdict_->setWordWrap(true);
    chart_ =
        new CalibrationChart(calibration, {label + QStringLiteral("　") + range, verdict}, this);
    auto* save = new QPushButton(QStringLiteral("保存图片"), this);
    save->setObjectName(QStringLiteral("cmdSavePicture"));
    connect(save, &QPushButton::clicked, this, [this, &ctx] {
        savePicture(ctx, chart_, QStringLiteral("遗漏校验.png"), QStringLiteral("遗漏校验"));
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(verdict_, 1);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(grid_, 0);
    layout->addWidget(chart_, 1);
    grid_->setMinimumHeight(grid_->fontMetrics().height() * 10);
    fitToScreen(this, {820, 620});
}

QString CalibrationWindow::verdict() const { return verdict_->text(); }

}  // namespace quarvel::app
