#pragma once
// A picture of a whole table, drawn from its model rather than grabbed from the screen: every
// column, the header row, the chosen rows and a title with a legend above them, with the
// model's colours and no scroll bar or selection.

#include <QFont>
#include <QImage>
#include <QString>
#include <vector>

class QAbstractItemModel;

namespace quarvel::app {

struct TablePicture {
    QString title;            // first line, bold
    QString legend;           // second line (plain text), may be empty
    std::vector<int> widths;  // width of every column in pixels
    int rowHeight = 20;
    std::vector<int> rows;  // the model rows drawn, in order
    QFont font;
};

// The height in pixels the picture of `rows` rows would take.
int tablePictureHeight(const TablePicture& p, int rows);
// Draws it; column 0 and the header row on the light grey of a grid's fixed cells.
QImage drawTablePicture(const QAbstractItemModel& model, const TablePicture& p);

}  // namespace quarvel::app
