#pragma once
// The frame "多位检索": Option6_0 "平特" and Option6_1 "平码" (the positions of the partial
// search), the section digit count Combo1 beside "分部位数" and Command2 "分部检索(&G)".

#include <QGroupBox>

class QComboBox;
class QPushButton;
class QRadioButton;

namespace quarvel::app {

class MultiSearchPanel : public QGroupBox {
    Q_OBJECT
  public:
    explicit MultiSearchPanel(QWidget* parent = nullptr);

    QRadioButton* option(int index) const { return index == 1 ? option6_1_ : option6_0_; }
    QComboBox* sectionBox() const { return combo1_; }
    QPushButton* searchButton() const { return command2_; }

  signals:
    void optionClicked(int index);  // 0 平特, 1 平码
    void sectionLeft();             // focus left Combo1

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QRadioButton* option6_0_ = nullptr;
    QRadioButton* option6_1_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QPushButton* command2_ = nullptr;
};

}  // namespace quarvel::app
