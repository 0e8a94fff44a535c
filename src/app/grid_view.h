#pragma once
// A table view showing a TextGridModel the way the program's grids look: column widths from the
// grid (twips / 15 = pixels at 96 dpi, widened where the font would clip the text), the fixed row
// and column as headers (the corner shows the header of column 0), and a top row counted like the
// grid counts it (row 1 = first data row).

#include <QTableView>

#include "app/text_grid_model.h"

namespace quarvel::app {

class GridClicks;

class GridView : public QTableView {
    Q_OBJECT
  public:
    explicit GridView(QWidget* parent = nullptr);

    TextGridModel* gridModel() const { return model_; }
    // Shows `grid`: its cells, widths and top row.
    void setGrid(store::TextGrid grid);
    const store::TextGrid& grid() const { return model_->grid(); }
    // Clicks anywhere on the grid, headers and blank part included.
    GridClicks* clicks() const { return clicks_; }

    // First visible scrolling row in grid rows (>= 1); 1 when the grid has no data rows.
    int topRow() const;
    // Scrolls so that grid row `row` is the top visible row, as far as the view can scroll.
    // Rows below 1 count as 1. Kept and applied again while the view has no size yet.
    void setTopRow(int row);

    static int twipsToPixels(int twips) { return twips / 15; }

  signals:
    void focusEntered();
    void focusLeft();

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void applyWidths();
    int textWidth(int col) const;  // pixels the column's longest text needs
    void applyPendingTop();
    void showTopRowWhole();

    TextGridModel* model_;
    QWidget* corner_ = nullptr;
    GridClicks* clicks_ = nullptr;
    int pendingTop_ = 0;  // 0: nothing pending
};

}  // namespace quarvel::app
