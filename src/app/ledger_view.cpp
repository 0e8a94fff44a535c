#include "app/ledger_view.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/app_context.h"
#include "app/busy_cursor.h"
#include "app/dialogs.h"
#include "app/grid_view.h"
#include "app/screen_fit.h"
#include "app/view_outputs.h"
#include "chance/exact_chance.h"
#include "chance/ticket_file.h"
#include "search/search_command.h"

namespace quarvel::app {

namespace {

const QColor kCost(0x80, 0x80, 0x80);
const QColor kPaid(0xc8, 0x32, 0x32);
const QColor kExpected(0x5b, 0x8d, 0xd6);
// Bets × draws a check may take before it asks for a shorter range (about a second of work).
constexpr double kMostChecks = 4e8;
// A tickets file longer than this stays out of the text box.
constexpr std::size_t kMostShownTickets = 2000;

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

LedgerChart::LedgerChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartLedger"));
    setMinimumSize(360, 200);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void LedgerChart::setLedger(const chance::Ledger& ledger, double expectedPerBet) {
    cost_.assign(1, 0);
    paid_.assign(1, 0);
    expected_.assign(1, 0);
    for (const chance::LedgerRow& r : ledger.rows) {
        cost_.push_back(cost_.back() + static_cast<double>(r.bets * chance::kBetPrice));
        paid_.push_back(paid_.back() + static_cast<double>(r.fixedPrize + r.floatingPrize));
        expected_.push_back(expected_.back() + static_cast<double>(r.bets) * expectedPerBet);
    }
    update();
}

void LedgerChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics fm = fontMetrics();
    painter.drawText(QRect(0, 4, width(), fm.height()), Qt::AlignHCenter,
                     QStringLiteral("累计花费与返还（元）"));
    const int n = static_cast<int>(cost_.size()) - 1;
    if (n <= 0) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("核对投注后在此画出"));
        return;
    }
    double most = 1;
    for (const auto* line : {&cost_, &paid_, &expected_})
        most = std::max(most, *std::max_element(line->begin(), line->end()));
    // Four steps of 1, 2 or 5 times a power of ten.
    double step = std::pow(10.0, std::floor(std::log10(most / 4)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * step * 4 >= most) {
            step *= m;
            break;
        }
    const double top = step * 4;
    const int left = fm.horizontalAdvance(QString::number(top, 'f', 0)) + 14;
    const QRect plot(left, fm.height() * 3 + 8, width() - left - 16,
                     height() - fm.height() * 5 - 12);
    if (plot.width() < 20 || plot.height() < 20) return;
    painter.setPen(Qt::black);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    auto yOf = [&](double v) { return plot.bottom() - v * plot.height() / top; };
    for (int i = 0; i <= 4; ++i)
        painter.drawText(QRectF(0, yOf(step * i) - fm.height() / 2.0, left - 6, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(step * i, 'f', 0));
    painter.drawText(QRect(plot.left(), plot.bottom() + 4, plot.width(), fm.height()),
                     Qt::AlignHCenter, QStringLiteral("范围内第 1 至 %1 期").arg(n));
    const std::pair<const std::vector<double>*, std::pair<QColor, QString>> lines[] = {
        {&cost_, {kCost, QStringLiteral("花费")}},
        {&expected_, {kExpected, QStringLiteral("按规则期望的固定奖金")}},
        {&paid_, {kPaid, QStringLiteral("实际返还")}}};
    int legendX = plot.left();
    const int legendY = fm.height() * 2 + 4;
    for (const auto& [line, style] : lines) {
        painter.setPen(QPen(style.first, 2));
        QPolygonF points;
        for (int i = 0; i <= n; ++i)
            points << QPointF(plot.left() + static_cast<double>(plot.width()) * i / n,
                              yOf((*line)[static_cast<std::size_t>(i)]));
        painter.drawPolyline(points);
        painter.drawLine(legendX, legendY, legendX + 18, legendY);
        painter.setPen(Qt::black);
        painter.drawText(legendX + 22, legendY + fm.ascent() / 2 - 1, style.second);
        legendX += 30 + fm.horizontalAdvance(style.second);
    }
}

LedgerWindow::LedgerWindow(AppContext& ctx, std::vector<chance::Ticket> tickets, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ctx_(ctx),
      given_(std::move(tickets)),
      bets_(new QPlainTextEdit(this)),
      from_(new QLineEdit(this)),
      to_(new QLineEdit(this)),
      grid_(new GridView(this)),
      chart_(new LedgerChart(this)),
      summary_(new QLabel(this)) {
    setObjectName(QStringLiteral("frmLedger"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("兑奖账本"));
    bets_->setObjectName(QStringLiteral("txtBets"));
    bets_->setPlaceholderText(
        QStringLiteral("每行一注：7 个号码；复式 8 到 16 个号码；胆拖写成“胆 01 02 拖 03 04 …”；"
                       "# 开头的行不计"));
    from_->setObjectName(QStringLiteral("txtFrom"));
    to_->setObjectName(QStringLiteral("txtTo"));
    if (ctx_.historyOpen()) {
        from_->setText(QString::number(ctx_.db->firstIssue().value_or(0)));
        to_->setText(QString::number(ctx_.db->lastIssue().value_or(0)));
    }
    grid_->setObjectName(QStringLiteral("gridLedger"));
    exportOnDoubleClick(ctx_, grid_, QStringLiteral("兑奖账本.xls"));
    summary_->setObjectName(QStringLiteral("lblLedger"));
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto button = [this](const QString& caption, const QString& name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    auto* open = button(QStringLiteral("打开投注文件(&O)"), QStringLiteral("cmdOpenBets"));
    auto* run = button(QStringLiteral("核对(&C)"), QStringLiteral("cmdCheck"));
    auto* prizes = button(QStringLiteral("奖金设置(&P)"), QStringLiteral("cmdPrizes"));
    connect(open, &QPushButton::clicked, this, &LedgerWindow::openTicketFile);
    connect(run, &QPushButton::clicked, this, &LedgerWindow::check);
    connect(prizes, &QPushButton::clicked, this, &LedgerWindow::editPrizes);
    // Typing replaces tickets that came from elsewhere.
    connect(bets_, &QPlainTextEdit::textChanged, this, [this] {
        if (!bets_->property("filling").toBool()) given_.clear();
    });

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("期号范围"), this));
    bar->addWidget(from_);
    bar->addWidget(new QLabel(QStringLiteral("至"), this));
    bar->addWidget(to_);
    bar->addWidget(open);
    bar->addWidget(prizes);
    bar->addWidget(run);
    auto* lower = new QSplitter(Qt::Horizontal, this);
    lower->addWidget(grid_);
    lower->addWidget(chart_);
    lower->setStretchFactor(0, 3);
    lower->setStretchFactor(1, 2);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(bets_);
    split->addWidget(lower);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 4);
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(split, 1);
    layout->addWidget(summary_);
    fitToScreen(this, {1000, 700});
    if (!given_.empty()) {
        bets_->setProperty("filling", true);
        bets_->setPlainText(QStringLiteral("# 缩水保留的 %1 注").arg(given_.size()));
        bets_->setProperty("filling", false);
    }
}

void LedgerWindow::setRange(const QString& from, const QString& to) {
    from_->setText(from);
    to_->setText(to);
}

QString LedgerWindow::summary() const { return summary_->text(); }

bool LedgerWindow::check() {
    const QString title = QStringLiteral("兑奖账本");
    auto refuse = [&](const std::string& why) {
        ctx_.dialogs->message(title, text(why));
        return false;
    };
    if (!ctx_.historyOpen()) return refuse("历史号码库没有打开。");
    std::vector<chance::Ticket> tickets = given_;
    if (tickets.empty()) {
        auto parsed = chance::parseTickets(bets_->toPlainText().toStdString());
        if (!parsed) return refuse(parsed.outcome.text());
        tickets = std::move(*parsed);
    }
    search::Criteria range;
    range.rangeStart = from_->text().trimmed().toStdString();
    range.rangeEnd = to_->text().trimmed().toStdString();
    const auto issues = search::readRange(range);
    if (!issues) return refuse(issues.outcome.text());
    BusyCursor busy;
    auto draws = store::attempt([&] { return chance::readTicketDraws(ctx_.db->db()); });
    if (!draws) return refuse(draws.outcome.text());
    std::erase_if(*draws, [&](const chance::TicketDraw& d) {
        return d.issue < issues->start || d.issue > issues->end;
    });
    double bets = 0;
    for (const chance::Ticket& t : tickets) bets += static_cast<double>(t.bets());
    if (bets * static_cast<double>(draws->size()) > kMostChecks)
        return refuse("要核对 " + std::to_string(static_cast<long long>(bets)) + " 注 × " +
                      std::to_string(draws->size()) + " 期，太多了，请缩小期号范围。");
    const chance::PrizeTable prizes =
        ctx_.settings ? chance::PrizeTable::load(*ctx_.settings) : chance::PrizeTable{};
    const chance::Ledger ledger = chance::checkTickets(tickets, *draws, prizes);
    grid_->setGrid(ledger.grid());
    const double perBet = prizes.expectedFixedReturn();
    chart_->setLedger(ledger, perBet);

    const double totalBets = static_cast<double>(ledger.total.bets);
    QString s = text(ledger.costLine()).replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (const auto f = ledger.floatingLine())
        s += QStringLiteral("；") + text(*f).replace(QLatin1Char('\t'), QLatin1Char(' '));
    s += QStringLiteral(
             "\n按开奖规则，每注（2 元）的期望固定奖金恰为 %1 元，期望返还率 %2%；"
             "这 %3 注应得 %4 元，实得 %5 元。")
             .arg(perBet, 0, 'f', 4)
             .arg(text(chance::percentText(perBet, chance::kBetPrice)))
             .arg(ledger.total.bets)
             .arg(perBet * totalBets, 0, 'f', 2)
             .arg(ledger.total.fixedPrize);
    s += QStringLiteral("\n浮动奖另计：");
    for (int level = 1; level <= chance::kFloatingLevels; ++level) {
        const double p = chance::levelChance(level);
        s += QStringLiteral("%1 每注机会 1/%2，应中 %3 注，实中 %4 注")
                 .arg(text(chance::levelName(level)))
                 .arg(1.0 / p, 0, 'f', 0)
                 .arg(p * totalBets, 0, 'f', 4)
                 .arg(ledger.total.wins[static_cast<std::size_t>(level)]);
        s += level < chance::kFloatingLevels ? QStringLiteral("；") : QStringLiteral("。");
    }
    summary_->setText(s);
    return true;
}

void LedgerWindow::openTicketFile() {
    const QString path =
        ctx_.dialogs->openFileName(QStringLiteral("打开投注文件"), QString(),
                                   QStringLiteral("投注文件 (*.txt);;所有文件 (*)"));
    if (path.isEmpty()) return;
    auto read = chance::readTicketFile(std::filesystem::path(path.toStdString()));
    if (!read) {
        ctx_.dialogs->message(QStringLiteral("兑奖账本"), text(read.outcome.text()));
        return;
    }
    bets_->setProperty("filling", true);
    if (read->size() <= kMostShownTickets) {
        QString all;
        for (const chance::Ticket& t : *read) all += text(t.text()) + QLatin1Char('\n');
        bets_->setPlainText(all);
        given_.clear();
    } else {
        bets_->setPlainText(QStringLiteral("# 投注文件 %1（%2 行）")
                                .arg(QFileInfo(path).fileName())
                                .arg(read->size()));
        given_ = std::move(*read);
    }
    bets_->setProperty("filling", false);
    check();
}

void LedgerWindow::editPrizes() {
    if (!ctx_.settings) return;
    chance::PrizeTable table = chance::PrizeTable::load(*ctx_.settings);
    const QString title = QStringLiteral("奖金设置");
    const auto fixed = ctx_.dialogs->inputBox(
        title, QStringLiteral("四等奖、五等奖、六等奖、七等奖的奖金（元），用逗号分开："),
        text(table.fixedText()));
    if (!fixed) return;
    if (const auto why = table.setFixedText(fixed->toStdString())) {
        ctx_.dialogs->message(title, text(*why));
        return;
    }
    const auto floating = ctx_.dialogs->inputBox(
        title,
        QStringLiteral("浮动奖金（可不填，只计注数）：每期写成 期号:一等奖,二等奖,三等奖，"
                       "多期用分号分开："),
        text(table.floatingText()));
    if (floating) {
        if (const auto why = table.setFloatingText(floating->toStdString())) {
            ctx_.dialogs->message(title, text(*why));
            return;
        }
    }
    ctx_.saveSetting(chance::kPrizeTableKey, table.fixedText());
    ctx_.saveSetting(chance::kFloatingPrizesKey, table.floatingText());
    if (grid_->grid().cells.size() > 1) check();
}

}  // namespace quarvel::app
