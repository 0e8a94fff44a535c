#include "app/trend_view.h"

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/app_context.h"
#include "app/chart_table_view.h"
#include "app/grid_export.h"
#include "app/picture_save.h"
#include "app/screen_fit.h"
#include "chance/hot_cold.h"

namespace quarvel::app {

TrendModel::TrendModel(QObject* parent) : QAbstractTableModel(parent) {}

void TrendModel::setChart(std::shared_ptr<const search::TrendChart> chart) {
    beginResetModel();
    chart_ = std::move(chart);
    endResetModel();
}

int TrendModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !chart_) return 0;
    return chart_->drawRows() + chart_->statRows();
}

int TrendModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !chart_) return 0;
    return chart_->valueColumns() + 1;
}

QColor TrendModel::shownColour() { return QColor(0xf4, 0xb0, 0xa8); }
QColor TrendModel::specialColour() { return QColor(0xa8, 0xc8, 0xf0); }
QColor TrendModel::hotColour() { return QColor(0xe8, 0x60, 0x50); }
QColor TrendModel::coldColour() { return QColor(0x70, 0xa0, 0xe0); }
QColor TrendModel::warmColour() { return QColor(0xf0, 0xd8, 0x90); }

QString TrendModel::text(int row, int col) const {
    const int draws = chart_->drawRows();
    if (row < draws) {
        if (col == 0) return QString::number(chart_->issue(row));
        return QString::fromStdString(chart_->cellText(row, col - 1));
    }
    const int stat = row - draws;
    return QString::fromStdString(col == 0 ? chart_->statCaption(stat)
                                           : chart_->statText(stat, col - 1));
}

QVariant TrendModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row();
    const int col = index.column();
    const bool drawCell = row < chart_->drawRows() && col > 0;
    switch (role) {
        case Qt::DisplayRole:
            return text(row, col);
        case Qt::TextAlignmentRole:
            return int(col == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        case Qt::BackgroundRole:
            if (drawCell) {
                const auto mark = chart_->mark(row, col - 1);
                if (mark == search::TrendMark::Shown) return shownColour();
                if (mark == search::TrendMark::ShownBySpecial) return specialColour();
            } else if (row >= chart_->drawRows()) {
                const int stat = row - chart_->drawRows();
                if (col > 0 && stat == search::TrendChart::kStatRows + 2) {  // the 冷热 row
                    const std::string& heat = chart_->statText(stat, col - 1);
                    if (heat == "热") return hotColour();
                    if (heat == "冷") return coldColour();
                    if (heat == "温") return warmColour();
                }
                return QColor(0xf3, 0xf0, 0xdc);  // the statistic rows
            }
            return {};
        case Qt::ForegroundRole:
            if (drawCell && chart_->mark(row, col - 1) == search::TrendMark::Omission)
                return QColor(Qt::gray);
            return {};
        default:
            return {};
    }
}

QVariant TrendModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || !chart_) return {};
    if (section < 0 || section >= columnCount()) return {};
    if (section == 0) return QStringLiteral("期号");
    return QString::fromStdString(chart_->caption(section - 1));
}

TrendWindow::TrendWindow(AppContext& ctx, std::shared_ptr<const search::TrendChart> chart,
                         const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ctx_(ctx),
      model_(new TrendModel(this)),
      view_(new QTableView(this)) {
    setObjectName(QStringLiteral("frmZst"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    model_->setChart(std::move(chart));
    view_->setObjectName(QStringLiteral("gridZst"));
    setUpChartTable(view_, model_);
    fitColumns();
    // The window of the hot/cold rows: one of the offered draw counts, kept as intHotWindow.
    hotWindow_ = new QComboBox(this);
    hotWindow_->setObjectName(QStringLiteral("cboHotWindow"));
    for (const int w : chance::kHotWindows) hotWindow_->addItem(QString::number(w), w);
    const int current = hotWindow_->findData(ctx_.saved.intHotWindow);
    hotWindow_->setCurrentIndex(current < 0 ? hotWindow_->findData(chance::kDefaultHotWindow)
                                            : current);
    connect(hotWindow_, &QComboBox::activated, this, [this] {
        const int w = hotWindow_->currentData().toInt();
        ctx_.saved.intHotWindow = w;
        ctx_.saveSetting("intHotWindow", std::to_string(w));
        emit hotWindowChosen(w);
    });
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("冷热统计期数"), this));
    top->addWidget(hotWindow_);
    top->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(top);
    layout->addWidget(view_, 1);
    auto* save = new QPushButton(QStringLiteral("保存图片"), this);
    save->setObjectName(QStringLiteral("cmdSavePicture"));
    connect(save, &QPushButton::clicked, this, [this] { savePicture(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    layout->addLayout(buttons);
    fitToScreen(this, {1200, 760});
    connect(view_, &QAbstractItemView::doubleClicked, this, [this] {
        exportGridToXls(ctx_, model_->chart()->toTextGrid(), QStringLiteral("走势图.xls"));
    });
    // Open on the newest draw, with the statistic rows below it.
    view_->scrollToBottom();
}

void TrendWindow::setChart(std::shared_ptr<const search::TrendChart> chart) {
    model_->setChart(std::move(chart));
    fitColumns();
    view_->scrollToBottom();
}

bool TrendWindow::savePicture() {
    return app::savePicture(ctx_, view_, QStringLiteral("走势图.png"), QStringLiteral("走势图"));
}

void TrendWindow::fitColumns() {
    // Widths from what the widest cell of a column can be, without visiting 32,766 rows: the
    // caption with "×8", five-digit omissions and the statistic texts.
    const QFontMetrics fm = view_->fontMetrics();
    const search::TrendChart* chart = model_->chart();
    const auto header = chart->header();
    const int margin = 12;
    int issueWidth = fm.horizontalAdvance(QStringLiteral("2013001期号"));
    for (int s = 0; s < chart->statRows(); ++s)
        issueWidth = std::max(issueWidth,
                              fm.horizontalAdvance(QString::fromStdString(chart->statCaption(s))));
    view_->setColumnWidth(0, issueWidth + margin);
    for (int c = 1; c < static_cast<int>(header.size()); ++c) {
        int w = std::max(fm.horizontalAdvance(
                             QString::fromStdString(header[static_cast<std::size_t>(c)]) + "×8"),
                         fm.horizontalAdvance(QStringLiteral("32767")));
        for (int s = 0; s < chart->statRows(); ++s)
            w = std::max(w,
                         fm.horizontalAdvance(QString::fromStdString(chart->statText(s, c - 1))));
        view_->setColumnWidth(c, w + margin);
    }
}

}  // namespace quarvel::app
