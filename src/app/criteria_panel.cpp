#include "app/criteria_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "app/app_context.h"
#include "app/dialogs.h"
#include "app/grid_clicks.h"
#include "app/grid_view.h"
#include "app/group_panel.h"
#include "app/multi_search_panel.h"
#include "app/position_tabs.h"
#include "app/qt_text.h"
#include "partial/partial_search.h"
#include "search/omission_scan.h"
#include "search/reference_draw.h"
#include "store/settings.h"
#include "store/whole_number.h"

namespace quarvel::app {

namespace {

constexpr const char* kSearchTypeCaptions[] = {"号码", "生肖", "头数", "尾数", "合数", "段数"};

// A box read "as an integer" into a 16-bit position value; nullopt keeps the previous value.
std::optional<int> shortValue(const QString& text) {
    const auto v = store::readWholeNumber32(toStd(text));
    if (!v || *v < -32768 || *v > 32767) return std::nullopt;
    return v;
}

QGroupBox* frame(const char* caption, const char* name, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromUtf8(name));
    return box;
}

QRadioButton* radio(const QString& caption, const QString& name, QWidget* parent) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    return r;
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

CriteriaPanel::CriteriaPanel(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("CriteriaPanel"));
    relistTimer_ = new QTimer(this);
    relistTimer_->setSingleShot(true);
    connect(relistTimer_, &QTimer::timeout, this, [this] { relistGroups(pendingColumn_); });
    buildLayout();
    connectEvents();
}

CriteriaPanel::~CriteriaPanel() = default;

void CriteriaPanel::buildLayout() {
    // 搜索类型选择: six types in two rows.
    auto* typeFrame = frame("搜索类型选择", "FrameType", this);
    auto* typeGrid = new QGridLayout(typeFrame);
    typeGrid->setContentsMargins(6, 2, 6, 2);
    typeGrid->setVerticalSpacing(0);
    for (int i = 0; i < 6; ++i) {
        option3_[i] = radio(QString::fromUtf8(kSearchTypeCaptions[i]),
                            QStringLiteral("Option3_%1").arg(i), typeFrame);
        typeGrid->addWidget(option3_[i], i / 3, i % 3);
    }

    auto* orderFrame = frame("号码序选择", "FrameOrder", this);
    auto* orderLayout = new QVBoxLayout(orderFrame);
    orderLayout->setContentsMargins(6, 2, 6, 2);
    orderLayout->setSpacing(0);
    option2_4_ = radio(QStringLiteral("落地码"), QStringLiteral("Option2_4"), orderFrame);
    option2_5_ = radio(QStringLiteral("顺序码"), QStringLiteral("Option2_5"), orderFrame);
    orderLayout->addWidget(option2_4_);
    orderLayout->addWidget(option2_5_);

    auto* modeFrame = frame("检索位选择", "FrameMode", this);
    auto* modeGrid = new QGridLayout(modeFrame);
    modeGrid->setContentsMargins(6, 2, 6, 2);
    modeGrid->setVerticalSpacing(0);
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

    auto* periodFrame = frame("检索期选择", "FramePeriod", this);
    auto* periodGrid = new QGridLayout(periodFrame);
    periodGrid->setContentsMargins(6, 2, 6, 2);
    periodGrid->setVerticalSpacing(0);
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

    // Created in the order they are shown, which is the order Tab walks them in.
    tabs_ = new PositionTabs(this);

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

    // The pictures: the trend chart of the history and the omission curve of the result.
    cmdZst_ = new QPushButton(QStringLiteral("走势图(&Z)"), this);
    cmdZst_->setObjectName(QStringLiteral("cmdZst"));
    cmdZst_->setAutoDefault(false);
    cmdYlqx_ = new QPushButton(QStringLiteral("遗漏曲线(&Y)"), this);
    cmdYlqx_->setObjectName(QStringLiteral("cmdYlqx"));
    cmdYlqx_->setAutoDefault(false);

    command1_ = new QPushButton(QStringLiteral("检索(&S)"), this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setAutoDefault(false);
    command1_->setMinimumWidth(command1_->sizeHint().width() + 24);
    // Below them on the screen, so after them in the Tab order.
    cmdXtzs_ = new QPushButton(QStringLiteral("形态走势(&X)"), this);
    cmdXtzs_->setObjectName(QStringLiteral("cmdXtzs"));
    cmdXtzs_->setAutoDefault(false);
    cmdYlxy_ = new QPushButton(QStringLiteral("遗漏校验(&J)"), this);
    cmdYlxy_->setObjectName(QStringLiteral("cmdYlxy"));
    cmdYlxy_->setAutoDefault(false);

    multi_ = new MultiSearchPanel(this);
    groups_ = new GroupPanel(this);

    grid2_ = new GridView(this);
    grid2_->setObjectName(QStringLiteral("MSFlexGrid2"));
    grid2_->setToolTip(QStringLiteral("鼠标双击列表可以将列表导出到EXCEL"));
    grid3_ = new GridView(this);
    grid3_->setObjectName(QStringLiteral("MSFlexGrid3"));
    grid2_->setGrid(search::emptyHitGrid());
    grid3_->setGrid(initialSummaryGrid());
    grid3_->setToolTip(
        QStringLiteral("鼠标双击列表可以将列表导出到EXCEL；单击列表按所在列排列分组计算结果"));

    auto* firstRow = new QHBoxLayout;
    firstRow->setSpacing(4);
    firstRow->addWidget(typeFrame);
    firstRow->addWidget(orderFrame);
    firstRow->addWidget(modeFrame);
    firstRow->addWidget(periodFrame);
    firstRow->addStretch(1);

    // The buttons on two lines, read (and tabbed) line by line: the pictures of the history and
    // of the result with 检索 on the first, the shape view and the calibration below them.
    auto* buttons = new QGridLayout;
    buttons->setSpacing(4);
    buttons->addWidget(cmdZst_, 0, 0);
    buttons->addWidget(cmdYlqx_, 0, 1);
    buttons->addWidget(command1_, 0, 2);
    buttons->addWidget(cmdXtzs_, 1, 0);
    buttons->addWidget(cmdYlxy_, 1, 1);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(rangeFrame);
    searchRow->addStretch(1);
    searchRow->addLayout(buttons);

    auto* grids = new QSplitter(Qt::Vertical, this);
    grids->setObjectName(QStringLiteral("ResultSplitter"));
    grids->addWidget(grid2_);
    grids->addWidget(grid3_);
    grids->setStretchFactor(0, 3);
    grids->setStretchFactor(1, 2);
    grids->setChildrenCollapsible(false);

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

void CriteriaPanel::connectEvents() {
    for (int i = 0; i < 6; ++i)
        connect(option3_[i], &QRadioButton::clicked, this, [this, i] { onOption3Clicked(i); });
    connect(option2_4_, &QRadioButton::clicked, this, [this] { onOption2Clicked(4); });
    connect(option2_5_, &QRadioButton::clicked, this, [this] { onOption2Clicked(5); });
    for (int i = 0; i < 4; ++i)
        connect(option1_[i], &QRadioButton::clicked, this, [this, i] { onOption1Clicked(i); });
    // Stored when the box changes as well as when it is left, so that no change is lost.
    connect(check2_, &QCheckBox::clicked, this, &CriteriaPanel::onCheck2Changed);
    connect(tabs_, &PositionTabs::tabClicked, this, &CriteriaPanel::onTabClicked);
    connect(tabs_, &PositionTabs::onlyBeforeClicked, this, &CriteriaPanel::onOnlyBeforeClicked);
    connect(tabs_, &PositionTabs::referenceLeft, this, [this] { YSJS(); });
    connect(tabs_, &PositionTabs::manualValueLeft, this, &CriteriaPanel::onManualValueLeft);
    connect(multi_, &MultiSearchPanel::optionClicked, this, &CriteriaPanel::onOption6Clicked);
    connect(multi_, &MultiSearchPanel::sectionLeft, this, &CriteriaPanel::onSectionLeft);

    connect(command1_, &QPushButton::clicked, this, &CriteriaPanel::runSearchCommand);
    connect(cmdZst_, &QPushButton::clicked, this, &CriteriaPanel::runTrendCommand);
    connect(cmdYlqx_, &QPushButton::clicked, this, &CriteriaPanel::runCurveCommand);
    connect(cmdXtzs_, &QPushButton::clicked, this, &CriteriaPanel::runShapeCommand);
    connect(cmdYlxy_, &QPushButton::clicked, this, &CriteriaPanel::runCalibrationCommand);
    connect(groups_->backtestButton(), &QPushButton::clicked, this,
            &CriteriaPanel::runBacktestCommand);
    connect(multi_->searchButton(), &QPushButton::clicked, this, &CriteriaPanel::runPartialCommand);
    connect(groups_->computeButton(), &QPushButton::clicked, this, &CriteriaPanel::runGroupCommand);

    // A double click anywhere on a grid, its headers and blank part included, exports it.
    connect(grid2_->clicks(), &GridClicks::doubleClicked, this,
            [this] { exportGrid(grid2_, "Jiansuo.xls"); });
    connect(grid3_->clicks(), &GridClicks::doubleClicked, this, [this] {
        // The double click exports what the grid shows: the click that began it, and the
        // release that ends it, re-list nothing.
        relistTimer_->stop();
        quietUntil_ = QDateTime::currentMSecsSinceEpoch() + QApplication::doubleClickInterval();
        exportGrid(grid3_, "Jieguo.xls");
    });
    // A click anywhere on the summary grid re-lists YL by the grid column it names. The
    // re-listing waits out the double-click time so that a double click exports what the grid
    // shows.
    connect(grid3_->clicks(), &GridClicks::clicked, this, [this](int gridColumn) {
        if (QDateTime::currentMSecsSinceEpoch() < quietUntil_) return;
        pendingColumn_ = gridColumn;
        relistTimer_->start(QApplication::doubleClickInterval());
    });
}

QLineEdit* CriteriaPanel::referenceBox() const { return tabs_->referenceBox(); }

bool CriteriaPanel::historyTabActive() const {
    return tabs_->currentTab() == PositionTabs::History;
}

void CriteriaPanel::save(const char* key, const std::string& value) {
    ctx_.saveSetting(key, value);
}

void CriteriaPanel::notify(const QString& text) const {
    if (ctx_.notify) ctx_.notify(text);
}

void CriteriaPanel::message(const QString& title, const QString& text) const {
    if (ctx_.dialogs)
        ctx_.dialogs->message(title, text);
    else
        notify(text);
}

std::optional<std::int32_t> CriteriaPanel::knownIssue(
    const store::Checked<std::optional<std::int32_t>>& issue) const {
    if (issue) return *issue;
    // The range box keeps what it shows; the user learns why it was not filled.
    notify(QStringLiteral("期号范围无法读取：%1").arg(fromStd(issue.outcome.text())));
    return std::nullopt;
}

std::optional<std::int32_t> CriteriaPanel::oldestIssue() const {
    if (!ctx_.historyOpen()) return std::nullopt;
    return knownIssue(store::attempt([this] { return ctx_.db->firstIssue(); }));
}

std::optional<std::int32_t> CriteriaPanel::newestIssue() const {
    if (!ctx_.historyOpen()) return std::nullopt;
    return knownIssue(store::attempt([this] { return ctx_.db->lastIssue(); }));
}

void CriteriaPanel::setEndToNewest() {
    if (auto last = newestIssue()) text3_1_->setText(QString::number(*last));
}

void CriteriaPanel::showCountSpecialForMode(bool fixed) { check2_->setVisible(!fixed); }

void CriteriaPanel::startUp() {
    const store::Settings& s = ctx_.saved;
    // Each option is selected as a click would select it, so that its handler runs.
    option1_[s.bolZyw ? 1 : 0]->setChecked(true);
    onOption1Clicked(s.bolZyw ? 1 : 0);
    check2_->setChecked(s.intIdfTm != 0);
    multi_->option(s.bolZhpm ? 1 : 0)->setChecked(true);
    onOption6Clicked(s.bolZhpm ? 1 : 0);
    multi_->sectionBox()->setCurrentText(QString::number(s.intZhWSetup));
    (s.bolLdm ? option2_4_ : option2_5_)->setChecked(true);
    onOption2Clicked(s.bolLdm ? 4 : 5);
    // A stored type without a button (6, 7) is kept: the analyses accept it.
    if (s.intLei >= 0 && s.intLei < 6) {
        option3_[s.intLei]->setChecked(true);
        onOption3Clicked(s.intLei);
    } else {
        searchType_ = s.intLei;
        groups_->relabel(s.intLei, boxCoding());
    }
    if (auto first = oldestIssue()) text3_0_->setText(QString::number(*first));
    setEndToNewest();
    refreshPositionValues();
}

void CriteriaPanel::readTypedValues() {
    for (int p = 1; p <= 8; ++p) readTypedValue(p);
}

void CriteriaPanel::refreshPositionValues() {
    if (historyTabActive())
        YSJS();
    else
        readTypedValues();
}

bool CriteriaPanel::YSJS() {
    const QString reference = tabs_->referenceBox()->text();
    store::Checked<search::ReferenceDraw> ref = search::noReferenceDraw(toStd(reference));
    if (ctx_.historyOpen())
        ref =
            search::findReferenceDraw(*ctx_.db, toStd(reference), tabs_->onlyBefore()->isChecked(),
                                      searchType_, ctx_.rowBases().sx);
    if (!ref) {
        const QString why = fromStd(ref.outcome.text());
        referenceHint_ = ref.outcome.kind == store::OutcomeKind::Failed
                             ? QStringLiteral("参考期“%1”的历史号码无法读取，各位的值保持不变：%2")
                                   .arg(reference, why)
                             : why;
        notify(referenceHint_);
        return false;
    }
    text3_1_->setText(QString::number(ref->rangeEnd));
    values_ = ref->values;
    for (int p = 1; p <= 8; ++p)
        tabs_->valueBox(PositionTabs::History, p)->setText(fromStd(ref->texts[p - 1]));
    return true;
}

void CriteriaPanel::onOption1Clicked(int index) {
    if (index == 0) freeMode_ = false;
    if (index == 1) freeMode_ = true;
    showCountSpecialForMode(!freeMode_);
    save("bolZyw", store::boolText(freeMode_));
    ctx_.saved.bolZyw = freeMode_;
    refreshPositionValues();
    if (auto first = oldestIssue()) text3_0_->setText(QString::number(*first));
}

void CriteriaPanel::onOption2Clicked(int index) {
    numberOrder_ = index == 4;
    save("bolLdm", store::boolText(numberOrder_));
    ctx_.saved.bolLdm = numberOrder_;
    refreshPositionValues();
}

// The boxes find the codes the stored rows carry: the rows keep the start-up table of the base
// they were built under, also after a menu refilled the table for draws stored from then on.
groups::BoxCoding CriteriaPanel::boxCoding() const {
    const store::Bases rows = ctx_.rowBases();
    return {store::ZodiacCodes::startup(rows.sx), rows.ds};
}

void CriteriaPanel::relabelGroupBoxes() { groups_->relabel(searchType_, boxCoding()); }

void CriteriaPanel::onOption3Clicked(int type) {
    searchType_ = type;
    refreshPositionValues();
    save("intLei", std::to_string(type));
    ctx_.saved.intLei = type;
    groups_->relabel(type, boxCoding());
}

void CriteriaPanel::onOption6Clicked(int index) {
    flatOnly_ = index == 1;
    save("bolZhpm", store::boolText(flatOnly_));
    ctx_.saved.bolZhpm = flatOnly_;
}

void CriteriaPanel::onSectionLeft() {
    const QString text = multi_->sectionBox()->currentText();
    const auto v = partial::readSection(toStd(text));
    if (!v) {
        // Only the counts the partial search takes are stored: a stored one it refuses would
        // come back at every start.
        notify(QStringLiteral("分部位数“%1”不是 %2 到 %3 的整数，保存的位数仍为 %4")
                   .arg(text.trimmed())
                   .arg(partial::kMinSection)
                   .arg(partial::kMaxSection)
                   .arg(ctx_.saved.intZhWSetup));
        return;
    }
    save("intZhWSetup", std::to_string(*v));
    ctx_.saved.intZhWSetup = *v;
}

void CriteriaPanel::onCheck2Changed() {
    const int v = check2_->isChecked() ? 1 : 0;
    save("intIdfTm", std::to_string(v));
    ctx_.saved.intIdfTm = v;
}

void CriteriaPanel::onTabClicked(int tab) {
    if (tab == PositionTabs::Manual) {
        // The reference-issue hint belongs to the history tab.
        if (!referenceHint_.isEmpty() && ctx_.withdraw) ctx_.withdraw(referenceHint_);
        referenceHint_.clear();
        tabs_->showTab(PositionTabs::Manual);
        readTypedValues();
        setEndToNewest();
    } else {
        tabs_->showTab(PositionTabs::History);
        YSJS();
    }
}

void CriteriaPanel::onOnlyBeforeClicked(bool checked) {
    if (checked)
        YSJS();
    else
        setEndToNewest();
}

bool CriteriaPanel::readTypedValue(int position) {
    const auto v = shortValue(tabs_->valueBox(PositionTabs::Manual, position)->text());
    if (v) values_[position - 1] = *v;
    return v.has_value();
}

void CriteriaPanel::onManualValueLeft(int position) {
    if (readTypedValue(position)) return;
    // The position keeps its previous value; say so when the user left text there or the
    // position takes part, since the analyses would search a value the box does not show.
    const QString text = tabs_->valueBox(PositionTabs::Manual, position)->text();
    auto* check = tabs_->check(PositionTabs::Manual, position);
    if (!text.trimmed().isEmpty() || check->isChecked())
        notify(QStringLiteral("%1的值“%2”不是 -32768 到 32767 之间的整数，仍按 %3 检索")
                   .arg(check->text(), text)
                   .arg(values_[position - 1]));
}

search::Criteria CriteriaPanel::readCriteria() const {
    search::Criteria c;
    c.type = searchType_;
    c.fixed = option1_[0]->isChecked();
    c.countSpecial = check2_->isChecked();
    const auto tab = tabs_->currentTab();
    for (int p = 1; p <= 8; ++p) {
        c.selected[p - 1] = tabs_->check(tab, p)->isChecked();
        c.texts[p - 1] = toStd(tabs_->valueBox(tab, p)->text());
    }
    c.values = values_;
    c.rangeStart = toStd(text3_0_->text());
    c.rangeEnd = toStd(text3_1_->text());
    // Values and names mean what the stored rows carry, whatever the menus chose for new rows.
    const store::Bases rows = ctx_.rowBases();
    c.sxBase = rows.sx;
    c.dsBase = rows.ds;
    return c;
}

}  // namespace quarvel::app
