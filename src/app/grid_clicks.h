#pragma once
// Mouse clicks anywhere on a grid, the way the program's grids take them: on a cell, on the
// blank part below or beside the cells, on the fixed row or column (the headers) and on the
// corner. A table view reports only clicks on cells by itself; these signals cover the whole
// grid.

#include <QObject>
#include <QPoint>

namespace quarvel::app {

class GridView;

class GridClicks : public QObject {
    Q_OBJECT
  public:
    explicit GridClicks(GridView* grid);

  signals:
    // Left button released over the grid: the grid column under the mouse (0 for the fixed
    // column and the corner), or the grid's current column where no column is under it.
    void clicked(int gridColumn);
    // A double click anywhere on the grid.
    void doubleClicked();
    // Right button released anywhere on the grid, at a global position.
    void rightReleased(const QPoint& globalPos);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int columnAt(QObject* part, const QPoint& pos) const;
    int currentColumn() const;

    GridView* grid_;
};

}  // namespace quarvel::app
