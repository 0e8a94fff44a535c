#pragma once
// The frame "组合检索": thirty value check boxes Check6_1..30, the buttons cmdZH_0..2 "全选",
// "清空", "反选", the group size Combo2 ("组合位数"), the count box Text5 and Command5
// "分组计算(&P)".
//
// Box k is captioned by search type with what the group computation finds for it: zodiac
// names for 生肖 follow k mod 12 of 鼠 牛 虎 … 猪 (box 12 reads 鼠, box 1 reads 牛) and the box
// finds that zodiac's code; segment box k reads the code of the k-th segment under the
// segment base in force.

#include <QGroupBox>
#include <array>

#include "groups/group_values.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace quarvel::app {

// Number of value boxes that count for a search type: 30 号码, 12 生肖, 5 头数, 11 合数, 10 for
// every other type.
int relevantBoxes(int type);

class GroupPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit GroupPanel(QWidget* parent = nullptr);

    // Captions and visibility of the boxes for a search type under the numbering in force; the
    // count follows the new type.
    void relabel(int type, const groups::BoxCoding& coding);
    // The count box: how many of boxes 1..m are ticked, m from the type last relabelled.
    void recount();
    void selectAll();
    void clearAll();
    void invert();

    QCheckBox* box(int k) const { return boxes_[k - 1]; }
    // ticked[k] for k = 1..30 (index 0 unused).
    std::array<bool, 31> ticked() const;
    int count() const;
    QComboBox* sizeBox() const { return combo2_; }
    QLineEdit* countBox() const { return text5_; }
    QPushButton* computeButton() const { return command5_; }

  private:
    std::array<QCheckBox*, 30> boxes_{};
    QComboBox* combo2_ = nullptr;
    QLineEdit* text5_ = nullptr;
    QPushButton* command5_ = nullptr;
    int type_ = 0;
};

}  // namespace quarvel::app
