#include "history_io/history_file.h"

#include <algorithm>
#include <fstream>
#include <numeric>
#include <string>
#include <system_error>

#include "history_io/atomic_file.h"
#include "history_io/row_appender.h"

namespace quarvel::io {

namespace fs = std::filesystem;

std::unique_ptr<std::istream> openFileForReading(const fs::path& path) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status)) throw IoError("cannot read " + path.string() + ": no such file");
    if (fs::is_directory(status))
        throw IoError("cannot read " + path.string() + ": it is a folder");
    auto in = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!*in) throw IoError("cannot open " + path.string() + " for reading");
    return in;
}

namespace {

// One line without its end. A line ends at CR LF, at LF or at a CR alone, so that files from
// every system (and a stray CR inside a CR LF file) give one line per draw. False at the end of
// the text. A failing stream buffer sets badbit rather than throwing out of get().
bool readLine(std::istream& in, std::string& line) {
    line.clear();
    bool any = false;
    char c = 0;
    while (in.get(c)) {
        any = true;
        if (c == '\n') return true;
        if (c == '\r') {
            if (in.peek() == '\n') in.get(c);
            return true;
        }
        line += c;
    }
    return any;
}

}  // namespace

HistoryText readHistoryText(std::istream& in, std::int64_t previousIssue, std::size_t maxDraws) {
    HistoryText out;
    LineParser parser(previousIssue);
    std::string line;
    std::size_t lineNumber = 0;
    while (readLine(in, line)) {
        if (++lineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        const ParsedLine p = parser.parse(line);
        if (p.yieldsDraw()) {
            ++out.drawLines;
            if (out.draws.size() < maxDraws)
                out.draws.push_back({static_cast<std::int32_t>(p.issue), p.numbers});
        } else if (p.blank) {
            ++out.blankLines;
        } else {
            ++out.skippedLines;
            if (out.firstSkippedLines.size() < kSkippedLinesListed)
                out.firstSkippedLines.push_back(lineNumber);
        }
    }
    if (in.bad())
        throw IoError("reading stopped after " +
                      std::to_string(out.drawLines + out.skippedLines + out.blankLines) +
                      " lines: the file could not be read to its end");
    return out;
}

void replaceHistory(store::HistoryDb& db, const std::vector<HistoryDraw>& draws,
                    const RowRules& rules) {
    {
        if (draws.size() > static_cast<std::size_t>(store::kMaxDraws))
            throw store::DbError("the history holds more draws than a 16-bit ordinal can number");
        // IDX is known before the rows go in: the place of each draw in issue order, equal
        // issues in the order of the file (as they are inserted), so no renumbering pass follows.
        std::vector<std::size_t> order(draws.size());
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(), [&draws](std::size_t x, std::size_t y) {
            return draws[x].issue < draws[y].issue;
        });
        std::vector<int> idx(draws.size());
        for (std::size_t k = 0; k < order.size(); ++k) idx[order[k]] = static_cast<int>(k + 1);

        store::Transaction tx(db.db());
        db.db().executeNative("DELETE FROM Lishi");
        RowAppender appender(db.db());
        for (std::size_t i = 0; i < draws.size(); ++i) {
            const auto& d = draws[i];
            appender.append(
                store::buildDrawRow(d.issue, d.issue, d.numbers, rules.codes, rules.dsBase),
                idx[i]);
        }
        tx.commit();
    }
    db.historyChanged();
}

std::vector<HistoryDraw> storedDraws(store::HistoryDb& db) {
    store::Snapshot s = db.historyList();
    std::vector<HistoryDraw> out;
    out.reserve(s.recordCount());
    static const char* kNumberColumns[] = {"L1A", "L2A", "L3A", "L4A", "L5A", "L6A", "L7A", "L8A"};
    for (s.moveFirst(); !s.eof(); s.moveNext()) {
        HistoryDraw d;
        d.issue = static_cast<std::int32_t>(s.intField("SQQH"));
        for (int p = 0; p < kNumbersPerDraw; ++p)
            d.numbers[p] = static_cast<int>(s.intField(kNumberColumns[p]));
        out.push_back(d);
    }
    return out;
}

}  // namespace quarvel::io
