#pragma once
// The read-only table of a chart window (走势图, 形态走势): one row per draw, tens of thousands of
// rows, so every row has the same fixed height and no cell is wrapped or measured.

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTableView>

namespace quarvel::app {

inline void setUpChartTable(QTableView* view, QAbstractItemModel* model) {
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

}  // namespace quarvel::app
