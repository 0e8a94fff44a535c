// Tickets checked against the draws of a range: `tickets FILE [--range A:B] [--as-of X]` prints
// one row per draw (期号, 注数, the bets winning each level, 固定奖金), the row 合计, and the
// line "花费 C 固定奖金 F 返还率 R%"; with floating amounts entered for a draw that won them,
// a last line "浮动奖金 X 总返还率 R%". The prize amounts are the table kept in the settings,
// which `prizes` shows and changes.
#include <filesystem>

#include "chance/ticket_file.h"
#include "cli/command.h"
#include "cli/range_options.h"
#include "cli/search_options.h"

namespace quarvel::cli {
namespace {

int tickets(Context& c) {
    if (c.args.empty() || c.args.front().starts_with("--")) throw UsageError("缺少投注文件");
    RangeOptions options;
    for (std::size_t i = 1; i < c.args.size(); ++i)
        if (!options.take(c.args, i)) throw UsageError("不认识的参数 " + c.args[i]);
    const search::IssueRange range = options.issues(c);
    const auto bets = checkedValue(chance::readTicketFile(std::filesystem::path(c.args.front())));
    auto draws = checkedValue(store::attempt([&] { return chance::readTicketDraws(c.db.db()); }));
    std::erase_if(draws, [&](const chance::TicketDraw& d) {
        return d.issue < range.start || d.issue > range.end;
    });
    const chance::Ledger ledger =
        chance::checkTickets(bets, draws, chance::PrizeTable::load(c.settings));
    c.out << ledger.grid().toTsv() << ledger.costLine() << "\n";
    if (const auto line = ledger.floatingLine()) c.out << *line << "\n";
    return 0;
}

// `prizes` prints the prize table; --fixed A,B,C,D sets 四等奖 … 七等奖, --floating
// "ISSUE:一等奖,二等奖,三等奖;…" the floating amounts of draws (an empty text removes them).
int prizes(Context& c) {
    chance::PrizeTable table = chance::PrizeTable::load(c.settings);
    bool changed = false;
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        if (a != "--fixed" && a != "--floating") throw UsageError("不认识的参数 " + a);
        if (i + 1 >= c.args.size()) throw UsageError(a + " 后面缺少值");
        const std::string& v = c.args[++i];
        if (const auto why = a == "--fixed" ? table.setFixedText(v) : table.setFloatingText(v))
            throw UsageError(*why);
        changed = true;
    }
    if (changed && !table.save(c.settings)) {
        c.err << "quarvel-cli prizes: 奖金表无法保存（设置文件只读或无法写入）。\n";
        return 1;
    }
    c.out << "四等奖至七等奖\t" << table.fixedText() << "\n浮动奖金\t" << table.floatingText()
          << "\n";
    return 0;
}

const RegisterCommand kTickets("tickets", "tickets FILE [--range A:B] [--as-of X]", tickets);
const RegisterCommand kPrizes("prizes", "prizes [--fixed A,B,C,D] [--floating ISSUE:A,B,C;...]",
                              prizes);

}  // namespace
}  // namespace quarvel::cli
