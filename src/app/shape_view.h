#pragma once
// The 形态走势 window: above, one row per draw of the range (期号, the seven regular numbers and
// the nine shapes) in a table whose cells are made when the view asks for them; below, the
// distribution of every shape value against its exact chance. It opens on the newest draw; a
// double click saves the draws as 形态走势.xls, the distribution as 形态分布.xls.

#include <QAbstractTableModel>
#include <QWidget>
#include <memory>

#include "chance/shape_table.h"

class QLabel;
class QTableView;

namespace quarvel::app {

struct AppContext;
class GridView;

class ShapeModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit ShapeModel(QObject* parent = nullptr);
    void setTable(std::shared_ptr<const chance::ShapeTable> table);
    const chance::ShapeTable* table() const { return table_.get(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::shared_ptr<const chance::ShapeTable> table_;
};

class ShapeWindow : public QWidget {
    Q_OBJECT
  public:
    // `title` names the range; the window deletes itself when closed.
    ShapeWindow(AppContext& ctx, std::shared_ptr<const chance::ShapeTable> table,
                const QString& title, QWidget* parent = nullptr);
    QTableView* view() const { return view_; }
    ShapeModel* model() const { return model_; }
    GridView* summaryView() const { return summary_; }
    QLabel* verdict() const { return verdict_; }

  private:
    AppContext& ctx_;
    ShapeModel* model_;
    QTableView* view_;
    GridView* summary_;
    QLabel* verdict_;
};

}  // namespace quarvel::app
