#pragma once
// The main window's status bar. A notice longer than the room left of the data-folder label is
// shown cut with "…" and in full as the bar's tool tip, never drawn under the label; the label
// itself takes at most two fifths of the bar, its path shortened in the middle when it must be.

#include <QLabel>
#include <QStatusBar>

namespace quarvel::app {

// One line of text, shortened with "…" when the widget is narrower than the text; the whole
// text is then the tool tip. Its least width is that of a few characters, so a long text never
// widens the window.
class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    ElidedLabel(const QString& text, Qt::TextElideMode mode, QWidget* parent = nullptr);
    // The text as painted at the current width.
    QString shownText() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    Qt::TextElideMode mode_;
};

class StatusLine : public QStatusBar {
    Q_OBJECT
  public:
    explicit StatusLine(QWidget* parent = nullptr);
    // The data folder at the right end.
    void setFolder(const QString& folder);
    // The current notice as painted: shortened with "…" when it does not fit.
    QString shownMessage() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QRect messageArea() const;
    void refreshTip();

    ElidedLabel* folder_ = nullptr;
};

}  // namespace quarvel::app
