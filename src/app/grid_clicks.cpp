#include "app/grid_clicks.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QMouseEvent>

#include "app/grid_view.h"

namespace quarvel::app {

GridClicks::GridClicks(GridView* grid) : QObject(grid), grid_(grid) {
    // The corner button stands where the header of column 0 belongs.
    QWidget* parts[] = {grid->viewport(), grid->horizontalHeader()->viewport(),
                        grid->verticalHeader()->viewport(), grid->findChild<QAbstractButton*>()};
    for (QWidget* part : parts)
        if (part) part->installEventFilter(this);
}

int GridClicks::currentColumn() const {
    const QModelIndex current = grid_->currentIndex();
    return current.isValid() ? current.column() + grid_->grid().fixedCols : grid_->grid().fixedCols;
}

int GridClicks::columnAt(QObject* part, const QPoint& pos) const {
    QHeaderView* header = grid_->horizontalHeader();
    if (part != grid_->viewport() && part != header->viewport())
        return 0;  // the fixed column, the corner
    const int section = header->logicalIndexAt(pos.x());
    return section >= 0 ? section + grid_->grid().fixedCols : currentColumn();
}

bool GridClicks::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton)
                emit rightReleased(mouse->globalPosition().toPoint());
            else if (mouse->button() == Qt::LeftButton)
                emit clicked(columnAt(watched, mouse->position().toPoint()));
            break;
        }
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) emit doubleClicked();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace quarvel::app
