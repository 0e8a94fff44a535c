#include "app/table_picture.h"

#include <QAbstractItemModel>
#include <QPainter>
#include <functional>
#include <numeric>

namespace quarvel::app {

namespace {

constexpr int kMargin = 8;
const QColor kFixed(0xe8, 0xe8, 0xe8);
const QColor kLine(0xc0, 0xc0, 0xc0);

int headerLines(const TablePicture& p) { return p.legend.isEmpty() ? 1 : 2; }

}  // namespace

int tablePictureHeight(const TablePicture& p, int rows) {
    const int text = QFontMetrics(p.font).height() + 4;
    return kMargin * 2 + text * headerLines(p) + 4 + p.rowHeight * (rows + 1);
}

QImage drawTablePicture(const QAbstractItemModel& model, const TablePicture& p) {
    const int tableWidth = std::accumulate(p.widths.begin(), p.widths.end(), 0);
    const QFontMetrics fm(p.font);
    const int text = fm.height() + 4;
    const int width = std::max(tableWidth, fm.horizontalAdvance(p.legend)) + kMargin * 2 + 1;
    const int height = tablePictureHeight(p, static_cast<int>(p.rows.size())) + 1;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont bold = p.font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    int y = kMargin;
    painter.drawText(QRect(kMargin, y, width - kMargin * 2, text), Qt::AlignLeft | Qt::AlignVCenter,
                     p.title);
    painter.setFont(p.font);
    y += text;
    if (!p.legend.isEmpty()) {
        painter.drawText(QRect(kMargin, y, width - kMargin * 2, text),
                         Qt::AlignLeft | Qt::AlignVCenter, p.legend);
        y += text;
    }
    y += 4;

    auto drawRow = [&](int top, const std::function<QVariant(int col, int role)>& data,
                       bool header) {
        int x = kMargin;
        for (int col = 0; col < static_cast<int>(p.widths.size()); ++col) {
            const QRect cell(x, top, p.widths[static_cast<std::size_t>(col)], p.rowHeight);
            QColor background = header || col == 0 ? kFixed : QColor(Qt::white);
            if (const QVariant b = data(col, Qt::BackgroundRole); b.canConvert<QColor>())
                background = b.value<QColor>();
            painter.fillRect(cell, background);
            painter.setPen(kLine);
            painter.drawRect(cell.adjusted(0, 0, 0, 0));
            const QVariant f = data(col, Qt::ForegroundRole);
            painter.setPen(f.canConvert<QColor>() ? f.value<QColor>() : QColor(Qt::black));
            const QVariant align = data(col, Qt::TextAlignmentRole);
            const int flags = align.isValid() ? align.toInt() : int(Qt::AlignCenter);
            painter.drawText(cell.adjusted(3, 0, -3, 0), flags,
                             data(col, Qt::DisplayRole).toString());
            x += cell.width();
        }
    };
    drawRow(
        y,
        [&](int col, int role) {
            if (role == Qt::DisplayRole) return model.headerData(col, Qt::Horizontal, role);
            if (role == Qt::TextAlignmentRole) return QVariant(int(Qt::AlignCenter));
            return QVariant();
        },
        true);
    y += p.rowHeight;
    for (const int row : p.rows) {
        drawRow(
            y, [&](int col, int role) { return model.data(model.index(row, col), role); }, false);
        y += p.rowHeight;
    }
    return image;
}

}  // namespace quarvel::app
