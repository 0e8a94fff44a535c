#include "app/multi_search_panel.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "partial/partial_search.h"

namespace quarvel::app {

MultiSearchPanel::MultiSearchPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("多位检索"), parent) {
    setObjectName(QStringLiteral("FrameMulti"));
    option6_0_ = new QRadioButton(QStringLiteral("平特"), this);
    option6_0_->setObjectName(QStringLiteral("Option6_0"));
    option6_1_ = new QRadioButton(QStringLiteral("平码"), this);
    option6_1_->setObjectName(QStringLiteral("Option6_1"));
    option6_0_->setChecked(true);
    connect(option6_0_, &QRadioButton::clicked, this, [this] { emit optionClicked(0); });
    connect(option6_1_, &QRadioButton::clicked, this, [this] { emit optionClicked(1); });

    combo1_ = new QComboBox(this);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->setEditable(true);
    // Enter takes the typed text as it is; it never joins the list of the six counts.
    combo1_->setInsertPolicy(QComboBox::NoInsert);
    for (int i = partial::kMinSection; i <= partial::kMaxSection; ++i)
        combo1_->addItem(QString::number(i));
    combo1_->setCurrentText(QStringLiteral("2"));
    combo1_->setFixedWidth(combo1_->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 34);
    combo1_->installEventFilter(this);
    if (combo1_->lineEdit()) combo1_->lineEdit()->installEventFilter(this);

    command2_ = new QPushButton(QStringLiteral("分部检索(&G)"), this);
    command2_->setObjectName(QStringLiteral("Command2"));
    command2_->setAutoDefault(false);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(option6_0_);
    layout->addWidget(option6_1_);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("分部位数"), this));
    layout->addWidget(combo1_);
    layout->addStretch(1);
    layout->addWidget(command2_);
}

bool MultiSearchPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        (watched == combo1_ || watched == combo1_->lineEdit())) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // The drop-down list taking the focus is not leaving the box; nor is the window losing it.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            !combo1_->hasFocus())
            emit sectionLeft();
    }
    return QGroupBox::eventFilter(watched, event);
}

}  // namespace quarvel::app
