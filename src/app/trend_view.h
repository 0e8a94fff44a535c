#pragma once
// The 走势图 window: a table over a TrendChart whose cells are made when the view asks for them
// (no item per cell, so 32,766 draws open at once). Column 0 is the issue; shown values stand
// on a coloured background (a second colour when the special number alone shows them),
// omissions are grey; the five statistic rows follow the draws. The window opens scrolled to
// the newest draw; a double click saves the chart as 走势图.xls.

#include <QAbstractTableModel>
#include <QWidget>
#include <memory>

#include "search/trend_chart.h"

class QTableView;

namespace quarvel::app {

struct AppContext;

class TrendModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TrendModel(QObject* parent = nullptr);
    void setChart(std::shared_ptr<const search::TrendChart> chart);
    const search::TrendChart* chart() const { return chart_.get(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    static QColor shownColour();
    static QColor specialColour();

  private:
    QString text(int row, int col) const;
    std::shared_ptr<const search::TrendChart> chart_;
};

class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    // `title` names the type and range; the window deletes itself when closed.
    TrendWindow(AppContext& ctx, std::shared_ptr<const search::TrendChart> chart,
                const QString& title, QWidget* parent = nullptr);
    QTableView* view() const { return view_; }
    TrendModel* model() const { return model_; }

  private:
    void fitColumns();
    AppContext& ctx_;
    TrendModel* model_;
    QTableView* view_;
};

}  // namespace quarvel::app
