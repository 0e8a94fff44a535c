#pragma once
// The "生肖年分界" dialog: the zodiac new-year table as a list of years, each with the last
// serial that still belongs to the previous zodiac year; rows can be added, changed, removed
// and the defaults brought back.

#include <QDialog>

#include "store/new_year_table.h"

class QLabel;
class QTableWidget;

namespace quarvel::app {

class NewYearDialog : public QDialog {
    Q_OBJECT
  public:
    explicit NewYearDialog(const store::NewYearTable& table, QWidget* parent = nullptr);
    // The table as accepted (valid once the dialog was accepted).
    const store::NewYearTable& table() const { return table_; }

  private:
    void fill(const store::NewYearTable& table);
    void addYear();
    void tryAccept();
    QTableWidget* grid_ = nullptr;
    QLabel* refusal_ = nullptr;
    store::NewYearTable table_;
};

}  // namespace quarvel::app
