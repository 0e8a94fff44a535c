// Tickets checked against the draws of a range: `tickets FILE [--range A:B] [--as-of X]` prints
// one row per draw (期号, 注数, the bets winning each level, 固定奖金), the row 合计, and the
// line "花费 C 固定奖金 F 返还率 R%"; with floating amounts entered for a draw that won them,
// a last line "浮动奖金 X 总返还率 R%". The prize amounts are the table kept in the settings,
// which `prizes` shows and changes.
#include <filesystem>

#include "chance/ticket_file.h"
#include "cli/command.h"
#include "cli/range_options.h"

namespace quarvel::cli {
namespace {

int tickets(Context& c) {
    const search::IssueRange range = issueRangeOption(c);
    const auto bets =
        checkedValue(chance::readTicketFile(std::filesystem::path(c.args.operands.front())));
    auto draws = checkedValue(store::attempt([&] { return chance::readTicketDraws(c.db.db()); }));
    std::erase_if(draws, [&](const chance::TicketDraw& d) {
        return d.issue < range.start || d.issue > range.end;
    });
    const chance::Ledger ledger =
        chance::checkTickets(bets, draws, chance::PrizeTable::load(c.settings));
    c.out << ledger.grid().toTsv() << ledger.costLine() << "\n";
    if (const auto line = ledger.floatingLine()) c.out << *line << "\n";
    return kDone;
}

// `prizes` prints the prize table; --fixed A,B,C,D sets 四等奖 … 七等奖, --floating
// "ISSUE:一等奖,二等奖,三等奖;…" the floating amounts of draws (an empty text removes them).
int prizes(Context& c) {
    chance::PrizeTable table = chance::PrizeTable::load(c.settings);
    // Every value in the order given; a later one of the same option replaces the earlier.
    for (const std::string& v : c.args.all("--fixed"))
        if (const auto why = table.setFixedText(v)) throw UsageError(*why);
    for (const std::string& v : c.args.all("--floating"))
        if (const auto why = table.setFloatingText(v)) throw UsageError(*why);
    const bool changed = c.args.has("--fixed") || c.args.has("--floating");
    if (changed && !table.save(c.settings))
        return ending(c, store::Outcome::failed("奖金表无法保存（设置文件只读或无法写入）。"));
    c.out << "四等奖至七等奖\t" << table.fixedText() << "\n浮动奖金\t" << table.floatingText()
          << "\n";
    return kDone;
}

const RegisterCommand kTickets("tickets",
                               {"投注对奖：投注文件对照范围内每期的中奖注数与固定奖金",
                                "FILE",
                                1,
                                1,
                                {opt::range(), opt::asOf()}},
                               tickets);
// Each option may be given more than once; the last value counts, every one is checked.
OptionTable prizeOptions() {
    return {{"--fixed", {}, "A,B,C,D", "四等奖至七等奖的固定奖金"},
            {"--floating", {}, "ISSUE:A,B,C;...", "各期一等奖至三等奖的浮动奖金（空值删除）"}};
}

const RegisterCommand kPrizes(
    "prizes", {"奖金表：显示，或设定固定奖金与各期的浮动奖金", {}, 0, 0, prizeOptions()}, prizes);

}  // namespace
}  // namespace quarvel::cli
