#pragma once
// The 缩水 window: conditions picked from the values of the draw shapes (和值 by tens, as the
// distribution groups it; each value with how often the draws of the range showed it), 胆 and
// 杀 typed in. As they are chosen, each
// condition's record on the draws of the range (passed, 误杀率) and the kept count with its
// exact chance kept / 2,035,800 are shown. The kept sets can be saved as a tickets file or
// checked as tickets in the 兑奖账本 window.

#include <QWidget>
#include <array>
#include <vector>

#include "chance/set_filter.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace quarvel::app {

struct AppContext;
class GridView;

class ShrinkWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ShrinkWindow(AppContext& ctx, QWidget* parent = nullptr);

    QComboBox* shapeBox() const { return shape_; }
    QListWidget* valueList() const { return values_; }
    QLineEdit* bankerEdit() const { return dan_; }
    QLineEdit* killEdit() const { return sha_; }
    GridView* recordGrid() const { return records_; }
    QString keptText() const;
    QString conditionText() const;
    std::int64_t kept() const { return result_.kept; }

    // Runs the filter on what is chosen; false with the reason shown when refused.
    bool refresh();
    bool exportSets();
    void checkAsTickets();

  private:
    void showValues();
    void valueToggled(QListWidgetItem* item);
    chance::SetFilter currentFilter(std::string* refusal) const;

    AppContext& ctx_;
    std::vector<chance::ShapeDraw> history_;
    std::array<std::vector<int>, chance::kShapeKinds> picked_;
    chance::FilterResult result_;
    QLineEdit* from_;
    QLineEdit* to_;
    QComboBox* shape_;
    QListWidget* values_;
    QLineEdit* dan_;
    QLineEdit* sha_;
    QLabel* condition_;
    GridView* records_;
    QLabel* kept_;
};

}  // namespace quarvel::app
