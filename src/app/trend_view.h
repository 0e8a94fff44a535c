#pragma once
// The 走势图 window: a table over a TrendChart whose cells are made when the view asks for them
// (no item per cell, so 32,766 draws open at once). Column 0 is the issue; shown values stand
// on a coloured background (a second colour when the special number alone shows them),
// omissions are grey; the five statistic rows follow the draws, then the hot/cold rows with
// their 冷热 cells coloured; a legend above the table and every cell's tool tip say what the
// colours mean. The 期号 column, with the statistic rows' names, stays in place while the
// values scroll sideways. The window opens as large as the screen, scrolled to the newest
// draw; a double click saves the chart as 走势图.xls, "保存图片" the whole chart (every column,
// no scroll bars) as a PNG picture, by default 走势图.png in the data folder, or only the newest
// draws the user chooses when all of them would make too large a picture. The box
// "冷热统计期数" picks the hot/cold window.

#include <QAbstractTableModel>
#include <QWidget>
#include <memory>

#include "search/trend_chart.h"

class QComboBox;
class QImage;
class QLabel;
class QTableView;

namespace quarvel::app {

struct AppContext;

// What the colours of the chart mean: the legend above the table (rich text) and on the picture.
QString legendHtml();
QString legendText();

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
    static QColor hotColour();
    static QColor coldColour();
    static QColor warmColour();

  private:
    QString text(int row, int col) const;
    QString toolTip(int row, int col) const;
    std::shared_ptr<const search::TrendChart> chart_;
};

class TrendWindow : public QWidget {
    Q_OBJECT
  public:
    // `title` names the type and range; the window deletes itself when closed.
    TrendWindow(AppContext& ctx, std::shared_ptr<const search::TrendChart> chart,
                const QString& title, QWidget* parent = nullptr);
    QTableView* view() const { return view_; }
    // The 期号 column over the left of the table, not scrolled sideways.
    QTableView* frozenView() const { return frozen_; }
    QLabel* legend() const { return legend_; }
    TrendModel* model() const { return model_; }
    QComboBox* hotWindowBox() const { return hotWindow_; }
    // Shows another chart of the same type and range (the hot/cold rows of another window).
    void setChart(std::shared_ptr<const search::TrendChart> chart);

    // Saves the whole chart under the name picked in the save dialog; false when cancelled or
    // failed.
    bool savePicture();
    // The picture of the newest `draws` draws with the statistic rows, every column.
    QImage picture(int draws) const;
    // Draws that fit into one picture (its height bounded by kMaxPictureHeight).
    int drawsPerPicture() const;
    static constexpr int kMaxPictureHeight = 16000;

  signals:
    // The user picked another hot/cold window (already saved as intHotWindow).
    void hotWindowChosen(int window);

  private:
    void fitColumns();
    int chartWidth() const;
    AppContext& ctx_;
    TrendModel* model_;
    QTableView* view_;
    QTableView* frozen_;
    QLabel* legend_ = nullptr;
    QComboBox* hotWindow_ = nullptr;
};

}  // namespace quarvel::app
