#include "app/backtest_view.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "app/app_context.h"
#include "app/busy_cursor.h"
#include "app/chance_tries.h"
#include "app/dialogs.h"
#include "app/funnel_chart.h"
#include "app/grid_view.h"
#include "app/picture_save.h"
#include "app/screen_fit.h"
#include "app/view_outputs.h"
#include "chance/pattern_chance.h"
#include "chance/statistics.h"
#include "search/omission_scan.h"
#include "store/whole_number.h"

namespace quarvel::app {

namespace {

const QString kTitle = QStringLiteral("回测");
constexpr int kDefaultTestDraws = 100;

// The 选中 column's width: what is left of a 1024-pixel screen once the other columns are in.
constexpr int kPickedWidth = 240;

// The running O - E of the rows and the pointwise band ±1.96·sqrt(V) so far.
FunnelSeries runningExcess(const chance::BacktestResult& r) {
    FunnelSeries s;
    s.title = QStringLiteral("选中组合累计命中减理论期望");
    s.bandName = QStringLiteral("逐期 95% 范围");
    s.valueName = QStringLiteral("累计命中 − 累计期望");
    double observed = 0, expected = 0, variance = 0;
    for (const auto& row : r.rows) {
        observed += row.hits;
        expected += row.expected;
        variance += row.variance;
        s.issues << QString::number(row.issue);
        s.values.push_back(observed - expected);
        s.bounds.push_back(1.96 * std::sqrt(variance));
    }
    return s;
}

}  // namespace

BacktestWindow::BacktestWindow(AppContext& ctx, groups::GroupPlan plan,
                               std::optional<chance::AsOfCut> cut, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx), plan_(std::move(plan)), cut_(cut) {
    setObjectName(QStringLiteral("frmHc"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(cut_ ? QStringLiteral("回测（截止 %1 期）").arg(cut_->asOf) : kTitle);

    // The test range: the last draws of the groups' range.
    std::int32_t first = plan_.rangeStart, last = plan_.rangeEnd;
    if (ctx_.historyOpen()) {
        const chance::IssueLine range =
            chance::readIssueLine(ctx_.db->db()).within(plan_.rangeStart, plan_.rangeEnd);
        if (range.size() > 0) {
            last = range.issue.back();
            first =
                range
                    .issue[range.size() > kDefaultTestDraws ? range.size() - kDefaultTestDraws : 0];
        }
    }
    testStart_ = new QLineEdit(QString::number(first), this);
    testStart_->setObjectName(QStringLiteral("txtHcStart"));
    testEnd_ = new QLineEdit(QString::number(last), this);
    testEnd_->setObjectName(QStringLiteral("txtHcEnd"));
    column_ = new QComboBox(this);
    column_->setObjectName(QStringLiteral("cboHcColumn"));
    const auto header = search::summaryHeader();
    for (int c = 1; c <= chance::kRankingColumns && c < static_cast<int>(header.size()); ++c)
        column_->addItem(QString::fromStdString(header[static_cast<std::size_t>(c)]));
    column_->setCurrentIndex(6);  // 欲出几率
    order_ = new QComboBox(this);
    order_->setObjectName(QStringLiteral("cboHcOrder"));
    order_->addItems({QStringLiteral("从大到小"), QStringLiteral("从小到大")});
    pick_ = new QSpinBox(this);
    pick_->setObjectName(QStringLiteral("spinHcPick"));
    pick_->setRange(1, 100000);
    pick_->setValue(10);
    runButton_ = new QPushButton(QStringLiteral("回测(&R)"), this);
    runButton_->setObjectName(QStringLiteral("cmdHcRun"));
    connect(runButton_, &QPushButton::clicked, this, [this] { run(); });

    grid_ = new GridView(this);
    grid_->setObjectName(QStringLiteral("gridHc"));
    grid_->setGrid(chance::backtestGrid({}));
    exportOnDoubleClick(ctx_, grid_, QStringLiteral("回测.xls"));
    grid_->setTextElideMode(Qt::ElideRight);
    grid_->viewport()->installEventFilter(this);
    verdict_ = new QLabel(this);
    verdict_->setObjectName(QStringLiteral("lblHc"));
    verdict_->setWordWrap(true);
    chart_ = new FunnelChart({}, this);
    chart_->setObjectName(QStringLiteral("chartHc"));
    auto* save = new QPushButton(QStringLiteral("保存图片"), this);
    save->setObjectName(QStringLiteral("cmdSavePicture"));
    connect(save, &QPushButton::clicked, this, [this] {
        savePicture(ctx_, chart_, QStringLiteral("回测.png"), QStringLiteral("回测"));
    });

    auto* inputs = new QHBoxLayout;
    inputs->addWidget(new QLabel(QStringLiteral("回测期"), this));
    inputs->addWidget(testStart_);
    inputs->addWidget(new QLabel(QStringLiteral("～"), this));
    inputs->addWidget(testEnd_);
    inputs->addWidget(new QLabel(QStringLiteral("排序列"), this));
    inputs->addWidget(column_);
    inputs->addWidget(order_);
    inputs->addWidget(new QLabel(QStringLiteral("选取组数"), this));
    inputs->addWidget(pick_);
    inputs->addStretch(1);
    inputs->addWidget(runButton_);
    auto* totals = new QHBoxLayout;
    totals->addWidget(verdict_, 1);
    totals->addWidget(save);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(grid_);
    split->addWidget(chart_);
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(inputs);
    layout->addLayout(totals);
    layout->addWidget(split, 1);
    fitToScreen(this, {1000, 700});
}

bool BacktestWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_->viewport() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex at = grid_->indexAt(help->pos());
        const QString text = at.isValid() ? at.data().toString() : QString();
        if (text.isEmpty() ||
            grid_->fontMetrics().horizontalAdvance(text) + 10 <= grid_->columnWidth(at.column()))
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, grid_->viewport());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString BacktestWindow::verdict() const { return verdict_->text(); }

std::optional<chance::BacktestInput> BacktestWindow::readInput() {
    const auto a = store::readWholeNumber32(testStart_->text().toStdString());
    const auto b = store::readWholeNumber32(testEnd_->text().toStdString());
    if (!a || !b) {
        if (ctx_.dialogs)
            ctx_.dialogs->message(kTitle, QStringLiteral("回测起止期数必须是整数期号"));
        return std::nullopt;
    }
    if (*a > *b) {
        if (ctx_.dialogs)
            ctx_.dialogs->message(kTitle,
                                  QStringLiteral("回测起期 %1 晚于止期 %2").arg(*a).arg(*b));
        return std::nullopt;
    }
    chance::BacktestInput in;
    in.plan = plan_;
    in.testStart = *a;
    in.testEnd = *b;
    in.column = column_->currentIndex() + 1;
    in.ascending = order_->currentIndex() == 1;
    in.pick = pick_->value();
    return in;
}

bool BacktestWindow::run() {
    const auto in = readInput();
    if (!in) return false;
    if (!ctx_.historyOpen()) {
        if (ctx_.dialogs)
            ctx_.dialogs->message(kTitle, QStringLiteral("历史数据库没有打开，无法计算"));
        return false;
    }
    const auto ran = [&] {
        BusyCursor busy;
        return chance::backtestOnHistory(*ctx_.db, *in, cut_);
    }();
    if (!ran) {
        if (ctx_.dialogs) ctx_.dialogs->message(kTitle, QString::fromStdString(ran.outcome.text()));
        return false;
    }
    const chance::BacktestResult& result = *ran;
    grid_->setGrid(chance::backtestGrid(result));
    grid_->setColumnWidth(0, std::min(grid_->columnWidth(0), kPickedWidth));
    const std::string setting =
        "回测|" + std::to_string(plan_.type) + "|" + std::to_string(plan_.size) + "|" +
        std::to_string(plan_.boxes.size()) + "|" + std::to_string(in->testStart) + "-" +
        std::to_string(in->testEnd) + "|" + std::to_string(in->column) +
        (in->ascending ? "升" : "降") + "|" + std::to_string(in->pick);
    const int tries = noteChanceTry(ctx_, setting);
    const QString verdict = QString::fromStdString(chance::backtestVerdict(result, tries));
    const QString what =
        QStringLiteral("回测 %1 期，%2 组中每期选 %3 组")
            .arg(result.rows.size())
            .arg(result.labels.size())
            .arg(std::min<std::size_t>(static_cast<std::size_t>(in->pick), result.labels.size()));
    verdict_->setText(verdict + QLatin1Char('\n') + what + QStringLiteral("；") +
                      QString::fromStdString(chance::pastDrawsLine()));
    FunnelSeries series = runningExcess(result);
    series.caption = {
        QStringLiteral("%1，%2 排序%3").arg(what, column_->currentText(), order_->currentText()),
        verdict};
    chart_->setSeries(std::move(series));
    return true;
}

}  // namespace quarvel::app
