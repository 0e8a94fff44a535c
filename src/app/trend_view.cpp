#include "app/trend_view.h"

#include <QComboBox>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include "app/app_context.h"
#include "app/chart_table_view.h"
#include "app/dialogs.h"
#include "app/grid_export.h"
#include "app/picture_save.h"
#include "app/screen_fit.h"
#include "app/table_picture.h"
#include "chance/hot_cold.h"
#include "store/whole_number.h"

namespace quarvel::app {

namespace {

QString swatch(const QColor& colour, const QString& text) {
    return QStringLiteral("<span style=\"background-color:%1\">&nbsp;%2&nbsp;</span>")
        .arg(colour.name(), text);
}

}  // namespace

QString legendHtml() {
    return swatch(TrendModel::shownColour(), QStringLiteral("07")) +
           QStringLiteral(" 本期开出（×n：开出 n 次）&nbsp;&nbsp;") +
           swatch(TrendModel::specialColour(), QStringLiteral("07")) +
           QStringLiteral(
               " 只由特码开出&nbsp;&nbsp;<span style=\"color:gray\">3</span> "
               "遗漏期数&nbsp;&nbsp;冷热：") +
           swatch(TrendModel::hotColour(), QStringLiteral("热")) +
           swatch(TrendModel::warmColour(), QStringLiteral("温")) +
           swatch(TrendModel::coldColour(), QStringLiteral("冷"));
}

QString legendText() {
    return QStringLiteral(
        "粉色：本期开出（×n：开出 n 次）；蓝色：只由特码开出；灰色数字：遗漏期数；"
        "冷热行：红色热、黄色温、蓝色冷");
}

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
        case Qt::ToolTipRole:
            return toolTip(row, col);
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

QString TrendModel::toolTip(int row, int col) const {
    const int draws = chart_->drawRows();
    if (col == 0) {
        if (row < draws) return QStringLiteral("%1期").arg(chart_->issue(row));
        return QString::fromStdString(chart_->statCaption(row - draws));
    }
    const QString value = QString::fromStdString(chart_->caption(col - 1));
    if (row >= draws) {
        const int stat = row - draws;
        QString tip = QStringLiteral("%1 的%2：%3")
                          .arg(value, QString::fromStdString(chart_->statCaption(stat)),
                               QString::fromStdString(chart_->statText(stat, col - 1)));
        if (stat == search::TrendChart::kStatRows + 2)
            tip += QStringLiteral("（红色为热，黄色为温，蓝色为冷：近期出现次数与理论次数相比）");
        return tip;
    }
    const QString issue = QStringLiteral("%1期 %2：").arg(chart_->issue(row)).arg(value);
    switch (chart_->mark(row, col - 1)) {
        case search::TrendMark::Shown:
            return issue + QStringLiteral("本期开出%1（粉色格子为开出，×n 为开出的次数）")
                               .arg(QString::fromStdString(chart_->cellText(row, col - 1)));
        case search::TrendMark::ShownBySpecial:
            return issue + QStringLiteral("本期只由特码开出（蓝色格子）");
        case search::TrendMark::Omission:
            break;
    }
    return issue + QStringLiteral("遗漏 %1 期（灰色数字为到本期为止的遗漏期数）")
                       .arg(QString::fromStdString(chart_->cellText(row, col - 1)));
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
      view_(new QTableView(this)),
      frozen_(new QTableView(this)) {
    setObjectName(QStringLiteral("frmZst"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    model_->setChart(std::move(chart));
    view_->setObjectName(QStringLiteral("gridZst"));
    setUpChartTable(view_, model_);
    // The 期号 column: a second view of the same model beside the table, showing column 0
    // only, moved up and down with the table and never sideways.
    frozen_->setObjectName(QStringLiteral("gridZstFrozen"));
    setUpChartTable(frozen_, model_);
    frozen_->setSelectionModel(view_->selectionModel());
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setFocusPolicy(Qt::NoFocus);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    view_->setTabKeyNavigation(false);  // Tab leaves the table, the arrows move in it
    connect(view_->verticalScrollBar(), &QScrollBar::valueChanged, frozen_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(frozen_->verticalScrollBar(), &QScrollBar::valueChanged, view_->verticalScrollBar(),
            &QScrollBar::setValue);
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
    auto* hotLabel = new QLabel(QStringLiteral("冷热统计期数(&W)"), this);
    hotLabel->setBuddy(hotWindow_);
    top->addWidget(hotLabel);
    top->addWidget(hotWindow_);
    legend_ = new QLabel(legendHtml(), this);
    legend_->setObjectName(QStringLiteral("lblZstLegend"));
    legend_->setTextFormat(Qt::RichText);
    legend_->setWordWrap(true);
    top->addSpacing(16);
    top->addWidget(legend_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(top);
    // Below the frozen column, room as high as the table's horizontal scroll bar keeps the
    // rows of both views level.
    auto* frozenColumn = new QVBoxLayout;
    frozenColumn->setSpacing(0);
    frozenColumn->addWidget(frozen_, 1);
    frozenColumn->addSpacing(view_->horizontalScrollBar()->sizeHint().height());
    auto* table = new QHBoxLayout;
    table->setSpacing(0);
    table->addLayout(frozenColumn);
    table->addWidget(view_, 1);
    layout->addLayout(table, 1);
    auto* save = new QPushButton(QStringLiteral("保存图片(&P)"), this);
    save->setObjectName(QStringLiteral("cmdSavePicture"));
    connect(save, &QPushButton::clicked, this, [this] { savePicture(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    layout->addLayout(buttons);
    // As large as the screen allows, no wider than the whole chart.
    fitToScreen(this, {chartWidth() + 40, 100000});
    connect(view_, &QAbstractItemView::doubleClicked, this, [this] {
        exportGridToXls(ctx_, model_->chart()->toTextGrid(), QStringLiteral("走势图.xls"), this);
    });
    // Open on the newest draw, with the statistic rows below it.
    view_->scrollToBottom();
    frozen_->verticalScrollBar()->setValue(view_->verticalScrollBar()->value());
}

void TrendWindow::setChart(std::shared_ptr<const search::TrendChart> chart) {
    model_->setChart(std::move(chart));
    fitColumns();
    view_->scrollToBottom();
    frozen_->verticalScrollBar()->setValue(view_->verticalScrollBar()->value());
}

int TrendWindow::chartWidth() const {
    int width = 0;
    for (int c = 0; c < model_->columnCount(); ++c)
        width += c == 0 ? frozen_->columnWidth(0) : view_->columnWidth(c);
    return width;
}

int TrendWindow::drawsPerPicture() const {
    TablePicture p;
    p.font = view_->font();
    p.legend = legendText();
    p.rowHeight = view_->verticalHeader()->defaultSectionSize();
    const int fixed = tablePictureHeight(p, model_->chart()->statRows());
    return std::max(1, (kMaxPictureHeight - fixed) / p.rowHeight);
}

QImage TrendWindow::picture(int draws) const {
    const search::TrendChart* chart = model_->chart();
    TablePicture p;
    p.title = windowTitle();
    p.legend = legendText();
    p.font = view_->font();
    p.rowHeight = view_->verticalHeader()->defaultSectionSize();
    for (int c = 0; c < model_->columnCount(); ++c) {
        // Column 0 is hidden in the table (the frozen view shows it): its width is kept there.
        p.widths.push_back(c == 0 ? frozen_->columnWidth(0) : view_->columnWidth(c));
    }
    const int all = chart->drawRows();
    draws = std::clamp(draws, 0, all);
    for (int r = all - draws; r < all + chart->statRows(); ++r) p.rows.push_back(r);
    if (draws < all) p.title += QStringLiteral("（最新 %1 期，共 %2 期）").arg(draws).arg(all);
    return drawTablePicture(*model_, p);
}

bool TrendWindow::savePicture() {
    if (ctx_.dialogs == nullptr) return false;
    const int all = model_->chart()->drawRows();
    int draws = all;
    if (all > drawsPerPicture()) {
        // The whole chart would make too large a picture: the user picks the newest draws.
        const DialogOwner owner(*ctx_.dialogs, this);
        const int most = drawsPerPicture();
        const QString title = QStringLiteral("保存图片");
        const auto answer = ctx_.dialogs->inputBox(
            title,
            QStringLiteral("走势图共 %1 期，整张图片太大。\n请输入图片要画的最新期数（1～%2）：")
                .arg(all)
                .arg(most),
            QString::number(std::min(most, 500)));
        if (!answer) return false;
        const auto n = store::readWholeNumber32(answer->trimmed().toStdString());
        if (!n || *n < 1 || *n > most) {
            ctx_.dialogs->message(title, QStringLiteral("期数“%1”无效：请输入 1～%2 之间的整数。")
                                             .arg(answer->trimmed())
                                             .arg(most));
            return false;
        }
        draws = *n;
    }
    return app::savePicture(ctx_, picture(draws), this, QStringLiteral("走势图.png"),
                            QStringLiteral("走势图"));
}

void TrendWindow::fitColumns() {
    // The table shows the values, the frozen view the 期号 column (with the statistic names).
    for (int c = 0; c < model_->columnCount(); ++c) {
        view_->setColumnHidden(c, c == 0);
        frozen_->setColumnHidden(c, c != 0);
    }
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
    frozen_->setColumnWidth(0, issueWidth + margin);
    frozen_->setFixedWidth(issueWidth + margin + 2 * frozen_->frameWidth());
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
