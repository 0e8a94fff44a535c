#include "app/status_line.h"

#include <QPainter>
#include <QResizeEvent>
#include <QStyle>

namespace quarvel::app {

ElidedLabel::ElidedLabel(const QString& text, Qt::TextElideMode mode, QWidget* parent)
    : QLabel(text, parent), mode_(mode) {}

QString ElidedLabel::shownText() const {
    return fontMetrics().elidedText(text(), mode_, contentsRect().width());
}

QSize ElidedLabel::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(text()) + 4, fm.height()};
}

QSize ElidedLabel::minimumSizeHint() const {
    const QFontMetrics fm = fontMetrics();
    return {fm.horizontalAdvance(text().left(5) + QStringLiteral("…")), fm.height()};
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(contentsRect(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine,
               shownText());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    // The tool tip is there only when something is left out.
    setToolTip(shownText() == text() ? QString() : text());
}

StatusLine::StatusLine(QWidget* parent) : QStatusBar(parent) {
    connect(this, &QStatusBar::messageChanged, this, [this] {
        refreshTip();
        update();
    });
}

void StatusLine::setFolder(const QString& folder) {
    if (folder_) {
        removeWidget(folder_);
        delete folder_;
    }
    folder_ = new ElidedLabel(folder, Qt::ElideMiddle, this);
    folder_->setObjectName(QStringLiteral("DataFolderLabel"));
    folder_->setMaximumWidth(width() * 2 / 5);
    addPermanentWidget(folder_);
}

QRect StatusLine::messageArea() const {
    // Where QStatusBar paints its notice: from the left edge to just before the first
    // permanent widget (the folder label), or the size grip.
    int right = width() - 12;
    if (folder_ && folder_->isVisible()) right = std::min(right, folder_->x() - 8);
    return {6, 0, std::max(0, right - 6), height()};
}

QString StatusLine::shownMessage() const {
    return fontMetrics().elidedText(currentMessage(), Qt::ElideRight, messageArea().width());
}

void StatusLine::paintEvent(QPaintEvent* event) {
    if (currentMessage().isEmpty()) {
        QStatusBar::paintEvent(event);
        return;
    }
    // Painted here instead of by QStatusBar, which clips a long notice without a sign that
    // anything is missing.
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(messageArea(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine,
               shownMessage());
}

void StatusLine::resizeEvent(QResizeEvent* event) {
    if (folder_) folder_->setMaximumWidth(event->size().width() * 2 / 5);
    QStatusBar::resizeEvent(event);
    refreshTip();
}

void StatusLine::refreshTip() {
    const QString full = currentMessage();
    setToolTip(shownMessage() == full ? QString() : full);
}

}  // namespace quarvel::app
