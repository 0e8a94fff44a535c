#include "app/shrink_view.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "app/app_context.h"
#include "app/busy_cursor.h"
#include "app/dialogs.h"
#include "app/grid_view.h"
#include "app/ledger_view.h"
#include "app/screen_fit.h"
#include "chance/ticket_file.h"
#include "history_io/atomic_file.h"
#include "search/search_command.h"

namespace quarvel::app {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

using NumberMaskTarget = chance::NumberMask chance::SetFilter::*;

}  // namespace

ShrinkWindow::ShrinkWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ctx_(ctx),
      from_(new QLineEdit(this)),
      to_(new QLineEdit(this)),
      shape_(new QComboBox(this)),
      values_(new QListWidget(this)),
      dan_(new QLineEdit(this)),
      sha_(new QLineEdit(this)),
      condition_(new QLabel(this)),
      records_(new GridView(this)),
      kept_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmShrink"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("缩水"));
    from_->setObjectName(QStringLiteral("txtFrom"));
    to_->setObjectName(QStringLiteral("txtTo"));
    shape_->setObjectName(QStringLiteral("cboShape"));
    values_->setObjectName(QStringLiteral("lstValues"));
    dan_->setObjectName(QStringLiteral("txtDan"));
    sha_->setObjectName(QStringLiteral("txtSha"));
    dan_->setPlaceholderText(QStringLiteral("必须包含的号码，如 05,18"));
    sha_->setPlaceholderText(QStringLiteral("不能包含的号码，如 30"));
    condition_->setObjectName(QStringLiteral("lblCondition"));
    condition_->setWordWrap(true);
    records_->setObjectName(QStringLiteral("gridShrink"));
    kept_->setObjectName(QStringLiteral("lblKept"));
    kept_->setWordWrap(true);
    for (const char* name : chance::kShapeNames) shape_->addItem(QString::fromUtf8(name));
    if (ctx_.historyOpen()) {
        auto read = store::attempt([&] { return chance::readShapeDraws(ctx_.db->db()); });
        if (read) history_ = std::move(*read);
        from_->setText(QString::number(ctx_.db->firstIssue().value_or(0)));
        to_->setText(QString::number(ctx_.db->lastIssue().value_or(0)));
    }

    auto* exportButton = new QPushButton(QStringLiteral("导出保留号码(&E)"), this);
    exportButton->setObjectName(QStringLiteral("cmdExport"));
    auto* checkButton = new QPushButton(QStringLiteral("按投注核对(&C)"), this);
    checkButton->setObjectName(QStringLiteral("cmdCheckTickets"));
    auto* clearButton = new QPushButton(QStringLiteral("清除条件(&R)"), this);
    clearButton->setObjectName(QStringLiteral("cmdClear"));
    connect(exportButton, &QPushButton::clicked, this, &ShrinkWindow::exportSets);
    connect(checkButton, &QPushButton::clicked, this, &ShrinkWindow::checkAsTickets);
    connect(clearButton, &QPushButton::clicked, this, [this] {
        for (auto& p : picked_) p.clear();
        dan_->clear();
        sha_->clear();
        showValues();
        refresh();
    });
    connect(shape_, &QComboBox::currentIndexChanged, this, &ShrinkWindow::showValues);
    connect(values_, &QListWidget::itemChanged, this, &ShrinkWindow::valueToggled);
    for (QLineEdit* e : {dan_, sha_})
        connect(e, &QLineEdit::textChanged, this, [this] { refresh(); });
    for (QLineEdit* e : {from_, to_})
        connect(e, &QLineEdit::editingFinished, this, [this] {
            showValues();
            refresh();
        });

    auto* picks = new QGridLayout;
    picks->addWidget(new QLabel(QStringLiteral("期号范围"), this), 0, 0);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(from_);
    rangeRow->addWidget(new QLabel(QStringLiteral("至"), this));
    rangeRow->addWidget(to_);
    picks->addLayout(rangeRow, 0, 1);
    picks->addWidget(new QLabel(QStringLiteral("形态"), this), 1, 0);
    picks->addWidget(shape_, 1, 1);
    picks->addWidget(values_, 2, 0, 1, 2);
    picks->addWidget(new QLabel(QStringLiteral("胆码"), this), 3, 0);
    picks->addWidget(dan_, 3, 1);
    picks->addWidget(new QLabel(QStringLiteral("杀码"), this), 4, 0);
    picks->addWidget(sha_, 4, 1);
    picks->addWidget(condition_, 5, 0, 1, 2);
    auto* left = new QWidget(this);
    left->setLayout(picks);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clearButton);
    buttons->addStretch(1);
    buttons->addWidget(exportButton);
    buttons->addWidget(checkButton);
    auto* rightLayout = new QVBoxLayout;
    rightLayout->addWidget(records_, 1);
    rightLayout->addWidget(kept_);
    rightLayout->addLayout(buttons);
    auto* right = new QWidget(this);
    right->setLayout(rightLayout);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 2);
    split->setStretchFactor(1, 3);
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(split);
    fitToScreen(this, {980, 640});
    showValues();
    refresh();
}

QString ShrinkWindow::keptText() const { return kept_->text(); }
QString ShrinkWindow::conditionText() const { return condition_->text(); }

void ShrinkWindow::showValues() {
    const int kind = shape_->currentIndex();
    if (kind < 0) return;
    search::Criteria range;
    range.rangeStart = from_->text().trimmed().toStdString();
    range.rangeEnd = to_->text().trimmed().toStdString();
    const auto issues = search::readRange(range);
    // How often the draws of the range showed each value.
    std::map<int, int> seen;
    int draws = 0;
    for (std::size_t i = 0; issues && i < history_.size(); ++i) {
        const chance::ShapeDraw& d = history_[i];
        if (d.issue < issues->start || d.issue > issues->end || (kind == chance::kRepeat && i == 0))
            continue;
        ++draws;
        ++seen[chance::shapeOf(
            d.numbers,
            i == 0 ? nullptr : &history_[i - 1].numbers)[static_cast<std::size_t>(kind)]];
    }
    const QSignalBlocker block(values_);
    values_->clear();
    // Each item stands for a value; for 和值, for ten of them as the distribution groups them.
    std::vector<std::pair<std::string, std::vector<int>>> groups;
    for (const int v : chance::shapeValues(kind)) {
        const std::string label = kind == chance::kSum
                                      ? chance::classText(kind, chance::shapeClass(kind, v))
                                      : chance::shapeText(kind, v);
        if (groups.empty() || groups.back().first != label) groups.push_back({label, {}});
        groups.back().second.push_back(v);
    }
    const auto& picked = picked_[static_cast<std::size_t>(kind)];
    for (const auto& [label, members] : groups) {
        int n = 0;
        QVariantList data;
        bool all = true;
        for (const int v : members) {
            n += seen.count(v) ? seen[v] : 0;
            data.push_back(v);
            all = all && std::find(picked.begin(), picked.end(), v) != picked.end();
        }
        auto* item = new QListWidgetItem(QStringLiteral("%1\t历史出现 %2 次（%3%）")
                                             .arg(text(label))
                                             .arg(n)
                                             .arg(text(chance::percentText(n, draws))),
                                         values_);
        item->setData(Qt::UserRole, data);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(all ? Qt::Checked : Qt::Unchecked);
    }
}

void ShrinkWindow::valueToggled(QListWidgetItem*) {
    const int kind = shape_->currentIndex();
    auto& picked = picked_[static_cast<std::size_t>(kind)];
    picked.clear();
    for (int row = 0; row < values_->count(); ++row)
        if (values_->item(row)->checkState() == Qt::Checked)
            for (const QVariant& v : values_->item(row)->data(Qt::UserRole).toList())
                picked.push_back(v.toInt());
    refresh();
}

chance::SetFilter ShrinkWindow::currentFilter(std::string* refusal) const {
    chance::SetFilter f;
    for (int kind = 0; kind < chance::kShapeKinds; ++kind)
        if (!picked_[static_cast<std::size_t>(kind)].empty())
            f.shapes.push_back(
                chance::shapeCondition(kind, picked_[static_cast<std::size_t>(kind)]));
    const std::pair<QLineEdit*, NumberMaskTarget> lists[] = {{dan_, &chance::SetFilter::include},
                                                             {sha_, &chance::SetFilter::exclude}};
    for (const auto& [edit, target] : lists) {
        const std::string typed = edit->text().trimmed().toStdString();
        if (typed.empty()) continue;
        const auto m =
            chance::parseNumberList(typed, target == &chance::SetFilter::include ? "胆码" : "杀码");
        if (!m) {
            *refusal = m.outcome.text();
            return f;
        }
        f.*target = *m;
    }
    if (const auto why = f.refusal()) *refusal = *why;
    return f;
}

bool ShrinkWindow::refresh() {
    std::string refusal;
    const chance::SetFilter f = currentFilter(&refusal);
    search::Criteria range;
    range.rangeStart = from_->text().trimmed().toStdString();
    range.rangeEnd = to_->text().trimmed().toStdString();
    const auto issues = search::readRange(range);
    if (refusal.empty() && !issues) refusal = issues.outcome.text();
    store::Checked<chance::FilterResult> run = store::Outcome::refused(refusal);
    if (refusal.empty()) {
        BusyCursor busy;
        run = chance::runFilter(f, history_, issues->start, issues->end, true);
    }
    if (!run) {
        result_ = {};
        kept_->setText(text(run.outcome.text()));
        return false;
    }
    result_ = std::move(*run);
    store::TextGrid g;
    g.cells.push_back({"条件", "历史通过", "历史期数", "误杀率"});
    for (const chance::ConditionRecord& r : result_.records)
        g.cells.push_back({r.text, std::to_string(r.passed), std::to_string(r.draws),
                           r.missRateText() + (r.draws ? "%" : "")});
    g.colWidths = {3200, 900, 900, 900};
    records_->setGrid(std::move(g));
    // The record of the shape being picked, as it is chosen.
    const int kind = shape_->currentIndex();
    QString picking = QStringLiteral("当前形态未选条件。");
    const std::string name = std::string(chance::kShapeNames[static_cast<std::size_t>(kind)]) + "=";
    for (const chance::ConditionRecord& r : result_.records)
        if (r.text.starts_with(name))
            picking = QStringLiteral("%1：历史 %2 期中通过 %3 期，误杀率 %4%")
                          .arg(text(r.text))
                          .arg(r.draws)
                          .arg(r.passed)
                          .arg(text(r.missRateText()));
    condition_->setText(picking);
    kept_->setText(QStringLiteral("保留 %1 组，共 %2 组，占比 %3%。\n%4")
                       .arg(result_.kept)
                       .arg(chance::kAllSets)
                       .arg(text(chance::percentText(static_cast<double>(result_.kept),
                                                     static_cast<double>(chance::kAllSets), 4)))
                       .arg(text(chance::filterConclusion(result_.kept))));
    return true;
}

bool ShrinkWindow::exportSets() {
    const QString title = QStringLiteral("导出保留号码");
    if (result_.sets.empty()) {
        ctx_.dialogs->message(title, QStringLiteral("没有保留的号码可以导出。"));
        return false;
    }
    const QString folder =
        ctx_.historyOpen() ? QString::fromStdString(ctx_.db->dataDir().string()) : QString();
    const QString path = ctx_.dialogs->saveFileName(title, folder + QStringLiteral("/缩水号码.txt"),
                                                    QStringLiteral("投注文件 (*.txt)"));
    if (path.isEmpty()) return false;
    std::vector<std::string> comments{"缩水保留 " + std::to_string(result_.kept) + " 组"};
    std::string refusal;
    for (const std::string& t : currentFilter(&refusal).conditionTexts())
        comments.push_back("条件 " + t);
    try {
        BusyCursor busy;
        io::writeFileAtomically(std::filesystem::path(path.toStdString()),
                                chance::ticketFileBytes(result_.sets, comments));
    } catch (const io::IoError& e) {
        ctx_.dialogs->message(title, text(e.what()));
        return false;
    }
    if (ctx_.notify) ctx_.notify(QStringLiteral("已导出 %1 组到 %2").arg(result_.kept).arg(path));
    return true;
}

void ShrinkWindow::checkAsTickets() {
    if (result_.sets.empty()) {
        ctx_.dialogs->message(QStringLiteral("按投注核对"),
                              QStringLiteral("没有保留的号码可以核对。"));
        return;
    }
    std::vector<chance::Ticket> tickets;
    tickets.reserve(result_.sets.size());
    for (const chance::NumberMask m : result_.sets) tickets.push_back({0, m});
    auto* ledger = new LedgerWindow(ctx_, std::move(tickets), this);
    ledger->setRange(from_->text(), to_->text());
    ledger->show();
    ledger->check();
}

}  // namespace quarvel::app
