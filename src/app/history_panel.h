#pragma once
// The history side of the main window: the history list MSFlexGrid1, the next-issue box Text1,
// the eight entry boxes MaskEdBox1_1..8 for the newest draw, and the history buttons.
//
// The panel owns the typing rules of the entry boxes (a click takes the whole box, a digit typed
// into a full box starts it again, two digits move the focus on, the second digit of box 8
// completes the draw, the just-stored flag); storing is the window's business:
// the panel signals `drawTyped` and the window answers with `entryStored()` or leaves the boxes
// as they are.

#include <QWidget>
#include <array>
#include <optional>

#include "store/text_grid.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quarvel::app {

class GridView;

class HistoryPanel : public QWidget {
    Q_OBJECT
  public:
    explicit HistoryPanel(QWidget* parent = nullptr);

    GridView* list() const { return list_; }
    QLineEdit* nextIssueBox() const { return text1_; }
    QLineEdit* entryBox(int i) const { return boxes_.at(static_cast<size_t>(i - 1)); }  // 1..8
    QPushButton* deleteButton() const { return command3_; }
    QPushButton* updateButton() const { return command21_; }
    QPushButton* importButton() const { return cmdRdLst_; }
    QPushButton* exportButton() const { return command4_; }
    QPushButton* setupButton() const { return command9_; }

    // Shows the history list and widens the panel so that every column is in view.
    void showList(store::TextGrid grid);

    // The eight boxes as typed: each box's value when it holds two digits, nullopt otherwise.
    std::array<std::optional<int>, 8> typedNumbers() const;
    bool justStored() const { return justStored_; }

    // After a store: set the just-stored flag, empty the boxes, focus box 1.
    void entryStored();
    void focusFirstBox();

  signals:
    // The second digit of box 8 was typed while the flag was clear.
    void drawTyped();
    // A right-button release on the list, at a global position.
    void listRightReleased(const QPoint& globalPos);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void onBoxChanged(int i);
    static bool complete(const QLineEdit* box);
    int boxIndex(const QObject* watched) const;  // 1..8, 0 for no entry box
    static void typeDigit(QLineEdit* box, QChar digit);

    GridView* list_;
    QLabel* label12_;
    QLineEdit* text1_;
    std::array<QLineEdit*, 8> boxes_{};
    QPushButton* command3_;
    QPushButton* command21_;
    QPushButton* cmdRdLst_;
    QPushButton* command4_;
    QPushButton* command9_;
    bool justStored_ = false;
};

}  // namespace quarvel::app
