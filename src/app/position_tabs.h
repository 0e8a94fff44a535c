#pragma once
// The tab strip TabStrip1 with its two frames of per-position criteria: tab 1 "手动输入号"
// (Check1_1..8, Text2_1..8: values typed by the user) and tab 2 "历史指定期" (Check11_11..18,
// Text22_11..18: the attributes of a reference draw, with the reference issue box Text4 and
// "仅检索该期前" Check4, both shown only on tab 2).
//
// The index tells the tab: tab 1 owns Check1_1..8 and Text2_1..8, tab 2 owns Check11_11..18 and
// Text22_11..18. No box is named Text22_1..8; code that means "the typed value of position p"
// reads Text2_p.

#include <QWidget>
#include <array>

class QCheckBox;
class QFrame;
class QLineEdit;
class QTabBar;

namespace quarvel::app {

class PositionTabs : public QWidget {
    Q_OBJECT
  public:
    enum Tab { Manual = 0, History = 1 };

    explicit PositionTabs(QWidget* parent = nullptr);

    Tab currentTab() const;
    // Shows the frame of the tab (and Text4, Check4 with tab 2) without emitting tabClicked.
    void showTab(Tab tab);

    // Position p = 1..8 of the given tab.
    QCheckBox* check(Tab tab, int p) const {
        return (tab == Manual ? manualChecks_ : historyChecks_)[p - 1];
    }
    QLineEdit* valueBox(Tab tab, int p) const {
        return (tab == Manual ? manualBoxes_ : historyBoxes_)[p - 1];
    }
    QLineEdit* referenceBox() const { return text4_; }
    QCheckBox* onlyBefore() const { return check4_; }
    QTabBar* tabBar() const { return tabs_; }

  signals:
    void tabClicked(int tab);            // the user chose a tab (0 or 1)
    void manualValueLeft(int position);  // focus left Text2_<position>
    void referenceLeft();                // focus left Text4
    void onlyBeforeClicked(bool checked);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QFrame* buildFrame(Tab tab);
    QTabBar* tabs_ = nullptr;
    QFrame* frames_[2] = {nullptr, nullptr};
    std::array<QCheckBox*, 8> manualChecks_{}, historyChecks_{};
    std::array<QLineEdit*, 8> manualBoxes_{}, historyBoxes_{};
    QLineEdit* text4_ = nullptr;
    QCheckBox* check4_ = nullptr;
    bool switching_ = false;
};

// The key filter of the tab 1 value boxes: only digits, "-" and backspace are typed; other
// characters (and pasting) are discarded. Navigation and editing keys pass.
bool acceptedInValueBox(const class QKeyEvent& key);

}  // namespace quarvel::app
