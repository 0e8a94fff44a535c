#pragma once
// A table model over a store::TextGrid. The grid's fixed row 0 and fixed column 0 become the
// view's horizontal and vertical headers, so the model has (rows - 1) x (cols - 1) cells.

#include <QAbstractTableModel>

#include "store/text_grid.h"

namespace quarvel::app {

class TextGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TextGridModel(QObject* parent = nullptr);

    void setGrid(store::TextGrid grid);
    const store::TextGrid& grid() const { return grid_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    QString cell(int row, int col) const;  // grid coordinates, empty outside the grid

    store::TextGrid grid_;
};

}  // namespace quarvel::app
