#include "app/history_panel.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "app/grid_clicks.h"
#include "app/grid_view.h"

namespace quarvel::app {

namespace {

QPushButton* button(const QString& caption, const QString& name, const QString& tip,
                    QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    if (!tip.isEmpty()) b->setToolTip(tip);
    return b;
}

}  // namespace

HistoryPanel::HistoryPanel(QWidget* parent) : QWidget(parent) {
    list_ = new GridView(this);
    list_->setObjectName(QStringLiteral("MSFlexGrid1"));
    list_->setToolTip(QStringLiteral("鼠标双击列表可以将列表导出到EXCEL"));
    // The history menu opens on the right button's release anywhere on the list (the issue
    // column and the header row included), not on Qt's context-menu event.
    list_->setContextMenuPolicy(Qt::PreventContextMenu);
    connect(list_->clicks(), &GridClicks::rightReleased, this, &HistoryPanel::listRightReleased);
    // A list scrolled to its end (the newest draw) stays there when the window is resized.
    QScrollBar* bar = list_->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int v) { followNewest_ = v == bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int max) {
        if (followNewest_) bar->setValue(max);
    });
    // Room for the issue column, eight number columns and the scroll bar without a side scroll.
    list_->setMinimumWidth(list_->fontMetrics().horizontalAdvance(QStringLiteral("2013001")) + 10 +
                           8 * 600 / 15 + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 6);

    label12_ = new QLabel(QStringLiteral("在下面输入 2007001 期历史号码:"), this);
    label12_->setObjectName(QStringLiteral("Label12"));
    text1_ = new QLineEdit(QStringLiteral("2007001"), this);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setFixedWidth(text1_->fontMetrics().horizontalAdvance(QStringLiteral("20070010")) + 12);

    auto* entryRow = new QHBoxLayout;
    entryRow->setSpacing(3);
    for (int i = 1; i <= 8; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("MaskEdBox1_%1").arg(i));
        // Two digit places shown as "_" while empty; only digits can be typed.
        box->setInputMask(QStringLiteral("99;_"));
        box->setToolTip(QStringLiteral("在此补充输入最新历史号码"));
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
        box->setAlignment(Qt::AlignCenter);
        box->installEventFilter(this);
        boxes_[static_cast<size_t>(i - 1)] = box;
        if (i == 8) {
            auto* plus = new QLabel(QStringLiteral("+"), this);
            plus->setObjectName(QStringLiteral("Label2"));
            entryRow->addWidget(plus);
        }
        entryRow->addWidget(box);
        connect(box, &QLineEdit::textChanged, this, [this, i] { onBoxChanged(i); });
    }
    entryRow->addStretch();

    command3_ = button(QStringLiteral("删除最后历史(&D)"), QStringLiteral("Command3"), {}, this);
    command21_ = button(QStringLiteral("历史号在线更新(&O)"), QStringLiteral("Command21"),
                        QStringLiteral("从官方服务器更新历史号码"), this);
    cmdRdLst_ =
        button(QStringLiteral("读取历史号文本(&W)"), QStringLiteral("cmdRdLst"),
               QStringLiteral("从历史号码文本文件中读取历史号中最后一期之后的新的历史号码"), this);
    command4_ =
        button(QStringLiteral("历史号码导出文本文件(&U)"), QStringLiteral("Command4"), {}, this);
    command9_ = button(QStringLiteral("软件设置(&T)"), QStringLiteral("Command9"), {}, this);

    auto* issueRow = new QHBoxLayout;
    issueRow->addWidget(label12_);
    issueRow->addWidget(text1_);
    issueRow->addStretch();

    auto* buttons = new QGridLayout;
    buttons->addWidget(command3_, 0, 0);
    buttons->addWidget(command21_, 0, 1);
    buttons->addWidget(cmdRdLst_, 1, 0);
    buttons->addWidget(command4_, 1, 1);
    buttons->addWidget(command9_, 2, 0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 2, 2);
    layout->addWidget(list_, 1);
    layout->addLayout(issueRow);
    layout->addLayout(entryRow);
    layout->addLayout(buttons);
}

void HistoryPanel::showList(store::TextGrid grid) {
    list_->setGrid(std::move(grid));
    // The width the widest issue and number can take, whether or not the list holds them yet:
    // the panel keeps its width when the first draws come in, and the right side stays put.
    const QFontMetrics fm = list_->fontMetrics();
    int width = std::max(list_->verticalHeader()->width(),
                         fm.horizontalAdvance(QStringLiteral("2013001")) + 10) +
                2 * list_->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    for (int c = 0; c < list_->gridModel()->columnCount(); ++c)
        width += std::max(list_->columnWidth(c), fm.horizontalAdvance(QStringLiteral("30")) + 10);
    list_->setMinimumWidth(std::max(list_->minimumWidth(), width));
}

bool HistoryPanel::complete(const QLineEdit* box) {
    const QString shown = box->displayText();
    return shown.size() >= 2 && shown.at(0) != u'_' && shown.at(1) != u'_';
}

std::array<std::optional<int>, 8> HistoryPanel::typedNumbers() const {
    std::array<std::optional<int>, 8> out;
    for (size_t k = 0; k < 8; ++k)
        if (complete(boxes_[k])) out[k] = boxes_[k]->displayText().left(2).toInt();
    return out;
}

void HistoryPanel::onBoxChanged(int i) {
    if (justStored_) return;
    auto* box = boxes_[static_cast<size_t>(i - 1)];
    if (i == 8) {
        if (complete(box)) emit drawTyped();
        return;  // box 8 never moves the focus
    }
    if (complete(box)) {
        auto* next = boxes_[static_cast<size_t>(i)];
        next->setFocus(Qt::OtherFocusReason);
        next->selectAll();  // typing replaces what the next box held
    }
}

void HistoryPanel::entryStored() {
    justStored_ = true;
    for (auto* box : boxes_) {
        box->setInputMask(QString());
        box->clear();
        box->setInputMask(QStringLiteral("99;_"));
    }
    focusFirstBox();
}

void HistoryPanel::focusFirstBox() {
    boxes_[0]->setFocus(Qt::OtherFocusReason);
    boxes_[0]->selectAll();
}

int HistoryPanel::boxIndex(const QObject* watched) const {
    for (size_t k = 0; k < boxes_.size(); ++k)
        if (watched == boxes_[k]) return static_cast<int>(k) + 1;
    return 0;
}

// A digit typed into a box: the box's second place when it holds just its first digit,
// otherwise the box starts again with this digit. So two typed digits always make that box's
// number, whatever the box held and wherever the cursor stood.
void HistoryPanel::typeDigit(QLineEdit* box, QChar digit) {
    const QString shown = box->displayText();
    const bool firstOnly = !box->hasSelectedText() && shown.size() >= 2 && shown.at(0).isDigit() &&
                           shown.at(1) == u'_';
    const QString text = firstOnly ? QString(shown.at(0)) + digit : QString(digit);
    box->setText(text);
    if (box->hasFocus()) box->setCursorPosition(static_cast<int>(text.size()));
}

bool HistoryPanel::eventFilter(QObject* watched, QEvent* event) {
    if (const int i = boxIndex(watched)) {
        auto* box = boxes_[static_cast<size_t>(i - 1)];
        switch (event->type()) {
            case QEvent::KeyPress: {
                justStored_ = false;  // the next key press ends the stored state
                auto* key = static_cast<QKeyEvent*>(event);
                const QString text = key->text();
                if (text.size() == 1 && text.at(0) >= u'0' && text.at(0) <= u'9' &&
                    !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                    typeDigit(box, text.at(0));
                    return true;
                }
                break;
            }
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
                // A click anywhere in a box takes the whole box, so that typing replaces it.
                if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                    box->setFocus(Qt::MouseFocusReason);
                    box->selectAll();
                    return true;
                }
                break;
            case QEvent::MouseMove:
            case QEvent::MouseButtonRelease:
                if (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton ||
                    static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                    return true;  // no selection by dragging: the box stays whole
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace quarvel::app
