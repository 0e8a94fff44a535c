#pragma once
// The tickets file: one ticket a line, numbers 01 … 30 separated by spaces, tabs or commas.
//   7 numbers            a bet
//   8 … 16 numbers       a 复式
//   胆 N … 拖 N …        a 胆拖 of 1 … 6 胆 and enough 拖 for at least one bet
// Blank lines and lines starting with # are skipped; any other line refuses the whole file with
// its line number, so that no ticket is silently left out.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "chance/tickets.h"
#include "store/outcome.h"

namespace quarvel::chance {

store::Checked<std::vector<Ticket>> parseTickets(std::string_view text);
store::Checked<std::vector<Ticket>> readTicketFile(const std::filesystem::path& path);

// The bytes of a tickets file holding `sets` (seven numbers each) one per line, CR LF, after
// the comment lines given (each written with "# " before it).
std::string ticketFileBytes(const std::vector<NumberMask>& sets,
                            const std::vector<std::string>& comments);

}  // namespace quarvel::chance
