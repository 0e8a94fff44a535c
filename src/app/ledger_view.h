#pragma once
// The 兑奖账本 window: tickets typed in or read from a tickets file, checked against the draws
// of a range. Above, the grid of the core's ledger (a row per draw, then 合计); beside it the
// cost and the return as they ran over the range, drawn as two lines with the return a bet
// may expect by the draw's rules; below, the real return rate against that exact expectation,
// the floating levels apart (their chance and how many bets won them).

#include <QWidget>
#include <vector>

#include "chance/tickets.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace quarvel::app {

struct AppContext;
class GridView;

class LedgerChart : public QWidget {
    Q_OBJECT
  public:
    explicit LedgerChart(QWidget* parent = nullptr);
    // The ledger's running cost and return, and the return expected per bet.
    void setLedger(const chance::Ledger& ledger, double expectedPerBet);
    QSize sizeHint() const override { return {560, 260}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<double> cost_, paid_, expected_;
};

class LedgerWindow : public QWidget {
    Q_OBJECT
  public:
    // `tickets`, when given, stand in for the text (the sets a 缩水 kept) until something is
    // typed; the window deletes itself when closed.
    explicit LedgerWindow(AppContext& ctx, std::vector<chance::Ticket> tickets = {},
                          QWidget* parent = nullptr);

    QPlainTextEdit* betsEdit() const { return bets_; }
    GridView* grid() const { return grid_; }
    LedgerChart* chart() const { return chart_; }
    QString summary() const;
    void setRange(const QString& from, const QString& to);
    // Reads the tickets (the given ones, else the text) and checks them; false with the reason
    // shown when refused.
    bool check();
    void openTicketFile();
    void editPrizes();

  private:
    AppContext& ctx_;
    std::vector<chance::Ticket> given_;
    QPlainTextEdit* bets_;
    QLineEdit* from_;
    QLineEdit* to_;
    GridView* grid_;
    LedgerChart* chart_;
    QLabel* summary_;
};

}  // namespace quarvel::app
