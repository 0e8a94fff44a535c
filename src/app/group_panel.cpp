#include "app/group_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quarvel::app {

int relevantBoxes(int type) {
    switch (type) {
        case 0:
            return 30;
        case 1:
            return 12;
        case 2:
            return 5;
        case 4:
            return 11;
        default:
            return 10;
    }
}

GroupPanel::GroupPanel(QWidget* parent) : QGroupBox(QStringLiteral("组合检索"), parent) {
    setObjectName(QStringLiteral("FrameGroups"));
    auto* boxGrid = new QGridLayout;
    boxGrid->setHorizontalSpacing(4);
    boxGrid->setVerticalSpacing(1);
    for (int k = 1; k <= 30; ++k) {
        auto* box = new QCheckBox(QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0')), this);
        box->setObjectName(QStringLiteral("Check6_%1").arg(k));
        connect(box, &QCheckBox::clicked, this, &GroupPanel::recount);
        boxes_[k - 1] = box;
        boxGrid->addWidget(box, (k - 1) / 10, (k - 1) % 10);
    }

    const char* captions[] = {"全选", "清空", "反选"};
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(1);
    std::array<QPushButton*, 3> zh{};
    for (int i = 0; i < 3; ++i) {
        zh[i] = new QPushButton(QString::fromUtf8(captions[i]), this);
        zh[i]->setObjectName(QStringLiteral("cmdZH_%1").arg(i));
        zh[i]->setAutoDefault(false);
        buttons->addWidget(zh[i]);
    }
    connect(zh[0], &QPushButton::clicked, this, &GroupPanel::selectAll);
    connect(zh[1], &QPushButton::clicked, this, &GroupPanel::clearAll);
    connect(zh[2], &QPushButton::clicked, this, &GroupPanel::invert);

    combo2_ = new QComboBox(this);
    combo2_->setObjectName(QStringLiteral("Combo2"));
    combo2_->setEditable(true);
    // Enter takes the typed text as it is; it never joins the list of the six counts.
    combo2_->setInsertPolicy(QComboBox::NoInsert);
    for (int i = 1; i <= 6; ++i) combo2_->addItem(QString::number(i));
    combo2_->setCurrentText(QStringLiteral("2"));
    combo2_->setFixedWidth(combo2_->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 34);

    text5_ = new QLineEdit(QStringLiteral("0"), this);
    text5_->setObjectName(QStringLiteral("Text5"));
    text5_->setReadOnly(true);
    text5_->setAlignment(Qt::AlignRight);
    text5_->setFixedWidth(text5_->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    text5_->setToolTip(QStringLiteral("已选的号码个数"));

    command5_ = new QPushButton(QStringLiteral("分组计算(&P)"), this);
    command5_->setObjectName(QStringLiteral("Command5"));
    command5_->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel(QStringLiteral("组合位数"), this));
    bottom->addWidget(combo2_);
    bottom->addWidget(new QLabel(QStringLiteral("已选"), this));
    bottom->addWidget(text5_);
    bottom->addStretch(1);
    bottom->addWidget(command5_);

    auto* top = new QHBoxLayout;
    top->addLayout(boxGrid, 1);
    top->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
    layout->addLayout(top);
    layout->addLayout(bottom);
}

void GroupPanel::relabel(int type, const groups::BoxCoding& coding) {
    type_ = type;
    int shown = 30;
    switch (type) {
        case 1:
            shown = 12;
            break;
        case 2:
            shown = 5;
            break;
        case 3:
            shown = 10;
            break;
        case 4:
            shown = 11;
            break;
        case 5:
            shown = 10;
            break;
        default:
            break;
    }
    for (int k = 1; k <= 30; ++k) {
        // The caption names what the box finds; the group labels use the same text. Numbers
        // and digit sums are captioned in plain decimal (1, not 01).
        const bool plain = !groups::isGroupType(type) || type == 0 || type == 4;
        boxes_[k - 1]->setText(plain ? QString::number(k)
                                     : QString::fromStdString(groups::labelPart(type, k, coding)));
        boxes_[k - 1]->setVisible(k <= shown);
    }
    recount();
}

std::array<bool, 31> GroupPanel::ticked() const {
    std::array<bool, 31> out{};
    for (int k = 1; k <= 30; ++k) out[k] = boxes_[k - 1]->isChecked();
    return out;
}

int GroupPanel::count() const {
    const int m = relevantBoxes(type_);
    int n = 0;
    for (int k = 1; k <= m; ++k) n += boxes_[k - 1]->isChecked() ? 1 : 0;
    return n;
}

void GroupPanel::recount() { text5_->setText(QString::number(count())); }

void GroupPanel::selectAll() {
    for (auto* box : boxes_) box->setChecked(true);
    recount();
}

void GroupPanel::clearAll() {
    for (auto* box : boxes_) box->setChecked(false);
    recount();
}

void GroupPanel::invert() {
    for (auto* box : boxes_) box->setChecked(!box->isChecked());
    recount();
}

}  // namespace quarvel::app
