#include "app/shape_view.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "app/chart_table_view.h"
#include "app/grid_clicks.h"
#include "app/grid_export.h"
#include "app/grid_view.h"
#include "app/screen_fit.h"

namespace quarvel::app {

ShapeModel::ShapeModel(QObject* parent) : QAbstractTableModel(parent) {}

void ShapeModel::setTable(std::shared_ptr<const chance::ShapeTable> table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

int ShapeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !table_) return 0;
    return table_->rows();
}

int ShapeModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !table_) return 0;
    return chance::ShapeTable::kColumns;
}

QVariant ShapeModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(table_->cellText(index.row(), index.column()));
        case Qt::TextAlignmentRole:
            return int(index.column() == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        case Qt::BackgroundRole:
            // The numbers apart from the shapes.
            if (index.column() >= 1 && index.column() <= 7) return QColor(0xf4, 0xe4, 0xd8);
            return {};
        default:
            return {};
    }
}

QVariant ShapeModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    const auto& header = chance::ShapeTable::header();
    if (section < 0 || section >= static_cast<int>(header.size())) return {};
    return QString::fromStdString(header[static_cast<std::size_t>(section)]);
}

ShapeWindow::ShapeWindow(AppContext& ctx, std::shared_ptr<const chance::ShapeTable> table,
                         const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ctx_(ctx),
      model_(new ShapeModel(this)),
      view_(new QTableView(this)),
      summary_(new GridView(this)) {
    setObjectName(QStringLiteral("frmXtzs"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    model_->setTable(std::move(table));
    view_->setObjectName(QStringLiteral("gridXtzs"));
    setUpChartTable(view_, model_);
    // Widths from the widest text a column can hold, without visiting every row.
    const QFontMetrics fm = view_->fontMetrics();
    const auto& header = chance::ShapeTable::header();
    for (int c = 0; c < chance::ShapeTable::kColumns; ++c) {
        const QString widest = c == 0   ? QStringLiteral("2013001")
                               : c <= 7 ? QStringLiteral("30")
                                        : QStringLiteral("7:0:0");
        view_->setColumnWidth(
            c, std::max(fm.horizontalAdvance(widest), fm.horizontalAdvance(QString::fromStdString(
                                                          header[static_cast<std::size_t>(c)]))) +
                   16);
    }
    summary_->setObjectName(QStringLiteral("gridXtfb"));
    summary_->setGrid(model_->table()->summary());
    summary_->setToolTip(QStringLiteral("鼠标双击列表可以将列表导出到EXCEL"));
    view_->setToolTip(summary_->toolTip());

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(view_);
    split->addWidget(summary_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    // The verdicts in plain words first: the most unusual shape's sentence, then one per shape.
    verdict_ = new QLabel(QString::fromStdString(model_->table()->verdictText()).trimmed(), this);
    verdict_->setObjectName(QStringLiteral("lblXtzs"));
    verdict_->setWordWrap(true);
    verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(verdict_);
    layout->addWidget(split, 1);
    fitToScreen(this, {1000, 760});
    connect(view_, &QAbstractItemView::doubleClicked, this, [this] {
        exportGridToXls(ctx_, model_->table()->toTextGrid(), QStringLiteral("形态走势.xls"));
    });
    connect(summary_->clicks(), &GridClicks::doubleClicked, this,
            [this] { exportGridToXls(ctx_, summary_->grid(), QStringLiteral("形态分布.xls")); });
    view_->scrollToBottom();
}

}  // namespace quarvel::app
