#include "app/position_tabs.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QVBoxLayout>

namespace quarvel::app {

namespace {

QString positionCaption(int p) {
    return p == 8 ? QStringLiteral("特位") : QStringLiteral("平%1位").arg(p);
}

}  // namespace

bool acceptedInValueBox(const QKeyEvent& key) {
    if (key.matches(QKeySequence::Paste)) return false;
    if (key.key() == Qt::Key_Backspace) return true;
    const QString text = key.text();
    if (text.isEmpty()) return true;  // arrows, Delete, Home, End: no character is typed
    if (text.size() == 1) {
        const QChar c = text.front();
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-')) return true;
        if (!c.isPrint()) return true;  // Tab, Enter, Escape and control shortcuts such as copy
    }
    return false;
}

PositionTabs::PositionTabs(QWidget* parent) : QWidget(parent) {
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("TabStrip1"));
    tabs_->addTab(QStringLiteral("手动输入号"));
    tabs_->addTab(QStringLiteral("历史指定期"));
    tabs_->setExpanding(false);
    tabs_->setDrawBase(false);

    text4_ = new QLineEdit(QStringLiteral("2013001"), this);
    text4_->setObjectName(QStringLiteral("Text4"));
    text4_->setFixedWidth(text4_->fontMetrics().horizontalAdvance(QStringLiteral("20130010")) + 12);
    text4_->setToolTip(QStringLiteral("参考期号：取该期（或其前最近一期）的历史号码作为各位的值"));
    text4_->installEventFilter(this);
    check4_ = new QCheckBox(QStringLiteral("仅检索该期前"), this);
    check4_->setObjectName(QStringLiteral("Check4"));
    connect(check4_, &QCheckBox::clicked, this, &PositionTabs::onlyBeforeClicked);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(tabs_);
    top->addStretch(1);
    top->addWidget(text4_);
    top->addWidget(check4_);

    frames_[Manual] = buildFrame(Manual);
    frames_[History] = buildFrame(History);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top);
    layout->addWidget(frames_[Manual]);
    layout->addWidget(frames_[History]);

    // A click or the arrow keys on the strip; showTab() switches without reporting.
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (!switching_ && index >= 0) emit tabClicked(index);
    });
    showTab(Manual);
}

QFrame* PositionTabs::buildFrame(Tab tab) {
    auto* frame = new QFrame(this);
    frame->setObjectName(tab == Manual ? QStringLiteral("FrameManual")
                                       : QStringLiteral("FrameHistory"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    for (int p = 1; p <= 8; ++p) {
        const int index = tab == Manual ? p : p + 10;
        auto* check = new QCheckBox(positionCaption(p), frame);
        auto* box = new QLineEdit(frame);
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 10);
        if (tab == Manual) {
            check->setObjectName(QStringLiteral("Check1_%1").arg(index));
            box->setObjectName(QStringLiteral("Text2_%1").arg(index));
            box->setAcceptDrops(false);
            box->setAttribute(Qt::WA_InputMethodEnabled, false);
            box->installEventFilter(this);
            manualChecks_[p - 1] = check;
            manualBoxes_[p - 1] = box;
        } else {
            check->setObjectName(QStringLiteral("Check11_%1").arg(index));
            box->setObjectName(QStringLiteral("Text22_%1").arg(index));
            historyChecks_[p - 1] = check;
            historyBoxes_[p - 1] = box;
        }
        grid->addWidget(check, 0, p - 1);
        grid->addWidget(box, 1, p - 1);
    }
    grid->setColumnStretch(8, 1);
    return frame;
}

PositionTabs::Tab PositionTabs::currentTab() const {
    return tabs_->currentIndex() == History ? History : Manual;
}

void PositionTabs::showTab(Tab tab) {
    switching_ = true;
    tabs_->setCurrentIndex(tab);
    switching_ = false;
    frames_[Manual]->setVisible(tab == Manual);
    frames_[History]->setVisible(tab == History);
    text4_->setVisible(tab == History);
    check4_->setVisible(tab == History);
}

bool PositionTabs::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        for (auto* box : manualBoxes_)
            if (watched == box && !acceptedInValueBox(*static_cast<QKeyEvent*>(event))) return true;
    } else if (event->type() == QEvent::FocusOut) {
        // Leaving a box, as opposed to the window losing the focus or a menu popping up.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return QWidget::eventFilter(watched, event);
        if (watched == text4_) {
            emit referenceLeft();
        } else {
            for (int p = 1; p <= 8; ++p)
                if (watched == manualBoxes_[p - 1]) emit manualValueLeft(p);
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quarvel::app
