// The controls of the criteria panel and their layout, one group of controls per part. The
// controls are created in the order they are shown, which is the order Tab walks them in.

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/group_panel.h"
#include "app/multi_search_panel.h"
#include "app/position_tabs.h"
#include "search/omission_scan.h"

namespace quarvel::app {

namespace {

constexpr const char* kSearchTypeCaptions[] = {"号码", "生肖", "头数", "尾数", "合数", "段数"};

QGroupBox* frame(const char* caption, const char* name, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromUtf8(name));
    return box;
}

// The layout of a frame whose controls sit on a grid, its rows close together.
QGridLayout* gridIn(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(6, 2, 6, 2);
    grid->setVerticalSpacing(0);
    return grid;
}

QRadioButton* radio(const QString& caption, const QString& name, QWidget* parent) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    return r;
}

QPushButton* commandButton(const QString& caption, const QString& name, QWidget* parent) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// MSFlexGrid3 before any analysis: the summary headers, label column 1880 twips, others 880.
store::TextGrid initialSummaryGrid() {
    store::TextGrid g;
    g.cells = {search::summaryHeader()};
    g.colWidths.assign(g.cells.front().size(), 880);
    g.colWidths.front() = 1880;
    return g;
}

}  // namespace

void CriteriaPanel::buildLayout() {
    QGroupBox* typeFrame = buildTypeFrame();
    QGroupBox* orderFrame = buildOrderFrame();
    QGroupBox* modeFrame = buildModeFrame();
    QGroupBox* periodFrame = buildPeriodFrame();
    tabs_ = new PositionTabs(this);
    QGroupBox* rangeFrame = buildRangeFrame();
    QLayout* buttons = buildCommandButtons();
    multi_ = new MultiSearchPanel(this);
    groups_ = new GroupPanel(this);
    QSplitter* grids = buildResultGrids();

    auto* firstRow = new QHBoxLayout;
    firstRow->setSpacing(4);
    firstRow->addWidget(typeFrame);
    firstRow->addWidget(orderFrame);
    firstRow->addWidget(modeFrame);
    firstRow->addWidget(periodFrame);
    firstRow->addStretch(1);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(rangeFrame);
    searchRow->addStretch(1);
    searchRow->addLayout(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addLayout(firstRow);
    layout->addWidget(tabs_);
    layout->addLayout(searchRow);
    layout->addWidget(multi_);
    layout->addWidget(groups_);
    layout->addWidget(grids, 1);
}

// 搜索类型选择: six types in two rows.
QGroupBox* CriteriaPanel::buildTypeFrame() {
    auto* typeFrame = frame("搜索类型选择", "FrameType", this);
    auto* typeGrid = gridIn(typeFrame);
    for (int i = 0; i < 6; ++i) {
        option3_[i] = radio(QString::fromUtf8(kSearchTypeCaptions[i]),
                            QStringLiteral("Option3_%1").arg(i), typeFrame);
        typeGrid->addWidget(option3_[i], i / 3, i % 3);
    }
    return typeFrame;
}

QGroupBox* CriteriaPanel::buildOrderFrame() {
    auto* orderFrame = frame("号码序选择", "FrameOrder", this);
    auto* orderLayout = new QVBoxLayout(orderFrame);
    orderLayout->setContentsMargins(6, 2, 6, 2);
    orderLayout->setSpacing(0);
    option2_4_ = radio(QStringLiteral("落地码"), QStringLiteral("Option2_4"), orderFrame);
    option2_5_ = radio(QStringLiteral("顺序码"), QStringLiteral("Option2_5"), orderFrame);
    orderLayout->addWidget(option2_4_);
    orderLayout->addWidget(option2_5_);
    return orderFrame;
}

QGroupBox* CriteriaPanel::buildModeFrame() {
    auto* modeFrame = frame("检索位选择", "FrameMode", this);
    auto* modeGrid = gridIn(modeFrame);
    option1_[0] = radio(QStringLiteral("固定位"), QStringLiteral("Option1_0"), modeFrame);
    option1_[1] = radio(QStringLiteral("自由位"), QStringLiteral("Option1_1"), modeFrame);
    check2_ = new QCheckBox(QStringLiteral("自由位计特码"), modeFrame);
    check2_->setObjectName(QStringLiteral("Check2"));
    check2_->setChecked(true);
    // Hidden in fixed-position mode, it keeps its place so that the two buttons above stay put.
    QSizePolicy keepPlace = check2_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    check2_->setSizePolicy(keepPlace);
    modeGrid->addWidget(option1_[0], 0, 0);
    modeGrid->addWidget(option1_[1], 0, 1);
    modeGrid->addWidget(check2_, 1, 0, 1, 2);
    return modeFrame;
}

QGroupBox* CriteriaPanel::buildPeriodFrame() {
    auto* periodFrame = frame("检索期选择", "FramePeriod", this);
    auto* periodGrid = gridIn(periodFrame);
    option1_[3] = radio(QStringLiteral("上期"), QStringLiteral("Option1_3"), periodFrame);
    option1_[2] = radio(QStringLiteral("前    期"), QStringLiteral("Option1_2"), periodFrame);
    maskEdBox2_ = new QLineEdit(periodFrame);
    maskEdBox2_->setObjectName(QStringLiteral("MaskEdBox2"));
    maskEdBox2_->setInputMask(QStringLiteral("00"));
    maskEdBox2_->setFixedWidth(maskEdBox2_->fontMetrics().horizontalAdvance(QStringLiteral("000")) +
                               10);
    periodGrid->addWidget(option1_[3], 0, 0, 1, 2);
    periodGrid->addWidget(option1_[2], 1, 0);
    periodGrid->addWidget(maskEdBox2_, 1, 1);
    return periodFrame;
}

QGroupBox* CriteriaPanel::buildRangeFrame() {
    auto* rangeFrame = frame("检索起止期数", "FrameRange", this);
    // Two lines (the range, then the as-of issue) keep the row narrow enough for 1024 px.
    auto* rangeLines = new QVBoxLayout(rangeFrame);
    rangeLines->setContentsMargins(6, 2, 6, 2);
    rangeLines->setSpacing(2);
    auto* rangeLayout = new QHBoxLayout;
    auto* asOfLayout = new QHBoxLayout;
    rangeLines->addLayout(rangeLayout);
    rangeLines->addLayout(asOfLayout);
    text3_0_ = new QLineEdit(QStringLiteral("2013001"), rangeFrame);
    text3_0_->setObjectName(QStringLiteral("Text3_0"));
    text3_1_ = new QLineEdit(QStringLiteral("2013001"), rangeFrame);
    text3_1_->setObjectName(QStringLiteral("Text3_1"));
    for (auto* box : {text3_0_, text3_1_})
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("20130010")) + 12);
    rangeLayout->addWidget(new QLabel(QStringLiteral("起"), rangeFrame));
    rangeLayout->addWidget(text3_0_);
    rangeLayout->addWidget(new QLabel(QStringLiteral("～"), rangeFrame));
    rangeLayout->addWidget(text3_1_);
    rangeLayout->addWidget(new QLabel(QStringLiteral("止"), rangeFrame));
    txtAsOf_ = new QLineEdit(rangeFrame);
    txtAsOf_->setObjectName(QStringLiteral("txtAsOf"));
    txtAsOf_->setFixedWidth(text3_1_->width());
    txtAsOf_->setPlaceholderText(QStringLiteral("最新"));
    txtAsOf_->setToolTip(
        QStringLiteral("按截止到这一期的历史计算（以后各期不计）；空着按最新一期"));
    asOfLayout->addWidget(new QLabel(QStringLiteral("截止期"), rangeFrame));
    asOfLayout->addWidget(txtAsOf_);
    asOfLayout->addStretch(1);
    return rangeFrame;
}

// The buttons on two lines, read (and tabbed) line by line: the pictures of the history and of
// the result (the trend chart and the omission curve) with 检索 on the first, the shape view and
// the calibration below them.
QLayout* CriteriaPanel::buildCommandButtons() {
    cmdZst_ = commandButton(QStringLiteral("走势图(&Z)"), QStringLiteral("cmdZst"), this);
    cmdYlqx_ = commandButton(QStringLiteral("遗漏曲线(&Y)"), QStringLiteral("cmdYlqx"), this);
    command1_ = commandButton(QStringLiteral("检索(&S)"), QStringLiteral("Command1"), this);
    command1_->setMinimumWidth(command1_->sizeHint().width() + 24);
    cmdXtzs_ = commandButton(QStringLiteral("形态走势(&X)"), QStringLiteral("cmdXtzs"), this);
    cmdYlxy_ = commandButton(QStringLiteral("遗漏校验(&J)"), QStringLiteral("cmdYlxy"), this);

    auto* buttons = new QGridLayout;
    buttons->setSpacing(4);
    buttons->addWidget(cmdZst_, 0, 0);
    buttons->addWidget(cmdYlqx_, 0, 1);
    buttons->addWidget(command1_, 0, 2);
    buttons->addWidget(cmdXtzs_, 1, 0);
    buttons->addWidget(cmdYlxy_, 1, 1);
    return buttons;
}

// MSFlexGrid2 (hits) above MSFlexGrid3 (the summary or the group table), the line between them
// movable.
QSplitter* CriteriaPanel::buildResultGrids() {
    grid2_ = new GridView(this);
    grid2_->setObjectName(QStringLiteral("MSFlexGrid2"));
    grid2_->setToolTip(QStringLiteral("鼠标双击列表可以将列表导出到EXCEL"));
    grid3_ = new GridView(this);
    grid3_->setObjectName(QStringLiteral("MSFlexGrid3"));
    grid2_->setGrid(search::emptyHitGrid());
    grid3_->setGrid(initialSummaryGrid());
    grid3_->setToolTip(
        QStringLiteral("鼠标双击列表可以将列表导出到EXCEL；单击列表按所在列排列分组计算结果"));

    auto* grids = new QSplitter(Qt::Vertical, this);
    grids->setObjectName(QStringLiteral("ResultSplitter"));
    grids->addWidget(grid2_);
    grids->addWidget(grid3_);
    grids->setStretchFactor(0, 3);
    grids->setStretchFactor(1, 2);
    grids->setChildrenCollapsible(false);
    return grids;
}

}  // namespace quarvel::app
