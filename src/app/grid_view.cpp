#include "app/grid_view.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionHeader>
#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "app/grid_clicks.h"

namespace quarvel::app {

GridView::GridView(QWidget* parent) : QTableView(parent), model_(new TextGridModel(this)) {
    setModel(model_);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    // Tab leaves the grid with one press; the arrow keys move between its cells.
    setTabKeyNavigation(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    // The corner button stands where the header of column 0 belongs; paint that caption on it.
    corner_ = findChild<QAbstractButton*>();
    if (corner_) corner_->installEventFilter(this);
    clicks_ = new GridClicks(this);
}

void GridView::setGrid(store::TextGrid grid) {
    const int top = grid.topRow;
    model_->setGrid(std::move(grid));
    applyWidths();
    // The scroll range follows the new row count now rather than at the next layout pass, so
    // that a top row beyond the old range is reached.
    doItemsLayout();
    setTopRow(top);
}

namespace {

// A quick estimate of a text's drawn width in digit widths: an ASCII character counts one, any
// other character (a CJK glyph, say) two. Only the texts it ranks widest are measured.
int estimatedWidth(std::string_view text) {
    int width = 0;
    for (unsigned char ch : text) {
        if (ch < 0x80)
            width += 1;
        else if ((ch & 0xC0) == 0xC0)
            width += 2;  // the lead byte of a multi-byte character
    }
    return width;
}

}  // namespace

int GridView::textWidth(int col) const {
    // The texts are measured as they are drawn: byte counts say little once digits and CJK
    // characters mix ("大后比" has more bytes than "2.333333" and is narrower). The header and
    // the few texts the estimate ranks widest are measured, which keeps a 32,766-row grid quick.
    constexpr std::size_t kMeasured = 8;
    const auto& cells = model_->grid().cells;
    std::vector<std::pair<int, std::string_view>> widest;  // estimate, text; the widest first
    widest.reserve(kMeasured + 1);
    for (std::size_t r = 1; r < cells.size(); ++r) {
        const auto& row = cells[r];
        if (col >= static_cast<int>(row.size())) continue;
        const std::string_view text = row[static_cast<std::size_t>(col)];
        if (text.empty()) continue;
        const int estimate = estimatedWidth(text);
        if (widest.size() == kMeasured && estimate <= widest.back().first) continue;
        bool known = false;
        for (const auto& w : widest) known = known || w.second == text;
        if (known) continue;
        const auto at = std::find_if(widest.begin(), widest.end(),
                                     [&](const auto& w) { return w.first < estimate; });
        widest.insert(at, {estimate, text});
        if (widest.size() > kMeasured) widest.pop_back();
    }
    const QFontMetrics metrics = fontMetrics();
    int width = 0;
    if (!cells.empty() && col < static_cast<int>(cells.front().size()) &&
        !cells.front()[static_cast<std::size_t>(col)].empty())
        width = metrics.horizontalAdvance(
            QString::fromStdString(cells.front()[static_cast<std::size_t>(col)]));
    for (const auto& w : widest)
        width = std::max(width, metrics.horizontalAdvance(QString::fromUtf8(
                                    w.second.data(), static_cast<qsizetype>(w.second.size()))));
    // Header and cells share the font here; a small margin keeps the text off the grid lines.
    return width == 0 ? 0 : width + 10;
}

void GridView::applyWidths() {
    const auto& widths = model_->grid().colWidths;
    if (!widths.empty() && widths.front() > 0)
        verticalHeader()->setFixedWidth(std::max(twipsToPixels(widths.front()), textWidth(0)));
    for (int c = 1; c < static_cast<int>(widths.size()) && c - 1 < model_->columnCount(); ++c)
        setColumnWidth(c - 1,
                       std::max({1, twipsToPixels(widths[static_cast<size_t>(c)]), textWidth(c)}));
}

int GridView::topRow() const {
    if (pendingTop_ > 0) return pendingTop_;
    if (model_->rowCount() == 0) return 1;
    return verticalScrollBar()->value() + 1;
}

void GridView::setTopRow(int row) {
    pendingTop_ = std::max(1, row);
    applyPendingTop();
}

void GridView::applyPendingTop() {
    if (pendingTop_ <= 0) return;
    const int wanted = std::min(pendingTop_, std::max(1, model_->rowCount()));
    verticalScrollBar()->setValue(wanted - 1);
    // Before the view is laid out the scroll range is still empty: keep the wish for later.
    if (isVisible() && viewport()->height() > 0) pendingTop_ = 0;
}

void GridView::updateGeometries() {
    QTableView::updateGeometries();
    applyPendingTop();
    showTopRowWhole();
}

void GridView::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    showTopRowWhole();
}

void GridView::showTopRowWhole() {
    // At the end of its range a view scrolled by rows lines the last row up with the bottom
    // edge, which leaves the top row half under the header. The grid shows its top row whole
    // and leaves the spare height below the last row.
    const QScrollBar* bar = verticalScrollBar();
    if (bar->maximum() <= 0 || bar->value() != bar->maximum()) return;
    QHeaderView* rows = verticalHeader();
    if (rows->offset() == rows->sectionPosition(rows->logicalIndex(bar->value()))) return;
    rows->setOffsetToSectionPosition(bar->value());
    viewport()->update();
}

void GridView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit focusEntered();
}

void GridView::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    // A pop-up menu over the grid hands the focus back afterwards; that is not leaving it.
    if (event->reason() != Qt::PopupFocusReason) emit focusLeft();
}

bool GridView::eventFilter(QObject* watched, QEvent* event) {
    // The scroll area watches its scroll bars too: only the corner is painted here.
    if (watched == corner_ && event->type() == QEvent::Paint && model_->grid().rows() > 0 &&
        model_->grid().cols() > 0) {
        auto* corner = static_cast<QWidget*>(watched);
        QPainter painter(corner);
        QStyleOptionHeader opt;
        opt.initFrom(corner);
        opt.rect = corner->rect();
        opt.position = QStyleOptionHeader::OnlyOneSection;
        opt.text = QString::fromStdString(model_->grid().cells.front().front());
        opt.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        corner->style()->drawControl(QStyle::CE_Header, &opt, &painter, corner);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

}  // namespace quarvel::app
