#include "app/tab_order.h"

#include <QWidget>
#include <algorithm>
#include <vector>

namespace quarvel::app {

namespace {

bool takesTab(const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus; }

// The widgets that hold part of the Tab order below `container`, as blocks: a widget taking
// the focus itself is one block (its inner widgets belong to it), a frame with such widgets is
// one block.
bool holdsFocus(const QWidget* w) {
    if (takesTab(w)) return true;
    for (const QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!c->isWindow() && !c->isHidden() && holdsFocus(c)) return true;
    return false;
}

void collect(QWidget* container, std::vector<QWidget*>& chain) {
    std::vector<QWidget*> blocks;
    for (QWidget* c : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!c->isWindow() && !c->isHidden() && holdsFocus(c)) blocks.push_back(c);
    // Rows: by top edge; a block belongs to the row of the block before it when it starts above
    // that block's middle. Within a row, left to right.
    std::stable_sort(blocks.begin(), blocks.end(),
                     [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
    std::vector<std::vector<QWidget*>> rows;
    for (QWidget* b : blocks) {
        if (!rows.empty()) {
            const QWidget* first = rows.back().front();
            if (b->y() < first->y() + std::min(first->height(), b->height()) / 2) {
                rows.back().push_back(b);
                continue;
            }
        }
        rows.push_back({b});
    }
    for (auto& row : rows) {
        std::stable_sort(row.begin(), row.end(),
                         [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
        for (QWidget* b : row) {
            if (takesTab(b))
                chain.push_back(b);
            else
                collect(b, chain);
        }
    }
}

}  // namespace

void orderTabsByGeometry(QWidget* root) {
    std::vector<QWidget*> chain;
    collect(root, chain);
    for (std::size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace quarvel::app
