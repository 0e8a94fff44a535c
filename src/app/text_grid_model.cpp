#include "app/text_grid_model.h"

#include <utility>

namespace quarvel::app {

TextGridModel::TextGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TextGridModel::setGrid(store::TextGrid grid) {
    beginResetModel();
    grid_ = std::move(grid);
    endResetModel();
}

int TextGridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return grid_.rows() > 1 ? grid_.rows() - 1 : 0;
}

int TextGridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return grid_.cols() > 1 ? grid_.cols() - 1 : 0;
}

QString TextGridModel::cell(int row, int col) const {
    if (row < 0 || row >= grid_.rows()) return {};
    const auto& line = grid_.cells[static_cast<size_t>(row)];
    // Rows may be ragged when a grid was assembled by hand; a missing cell shows as empty.
    if (col < 0 || col >= static_cast<int>(line.size())) return {};
    return QString::fromStdString(line[static_cast<size_t>(col)]);
}

QVariant TextGridModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole) return cell(index.row() + 1, index.column() + 1);
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) {
        // The header row holds column 0's caption too; it sits in the corner, not here.
        if (section < 0 || section >= columnCount()) return {};
        return cell(0, section + 1);
    }
    if (section < 0 || section >= rowCount()) return {};
    return cell(section + 1, 0);
}

}  // namespace quarvel::app
