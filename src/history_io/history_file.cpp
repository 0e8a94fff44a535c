#include "history_io/history_file.h"

#include <algorithm>
#include <fstream>
#include <numeric>
#include <optional>
#include <span>
#include <string>
#include <system_error>

#include "history_io/atomic_file.h"
#include "history_io/row_appender.h"
#include "store/engine.h"

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

namespace {

// The accounting of each line read, the same from a stream and from text in memory.
class HistoryTextReader {
  public:
    HistoryTextReader(std::int64_t previousIssue, std::size_t maxDraws)
        : parser_(previousIssue), maxDraws_(maxDraws) {}
    void add(std::string_view line) {
        if (++lineNumber_ == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
        const ParsedLine p = parser_.parse(line);
        if (p.yieldsDraw()) {
            ++out_.drawLines;
            if (out_.draws.size() < maxDraws_)
                out_.draws.push_back({static_cast<std::int32_t>(p.issue), p.numbers});
        } else if (p.blank) {
            ++out_.blankLines;
        } else {
            ++out_.skippedLines;
            if (out_.firstSkippedLines.size() < kSkippedLinesListed)
                out_.firstSkippedLines.push_back(lineNumber_);
        }
    }
    std::size_t lines() const { return lineNumber_; }
    HistoryText take() { return std::move(out_); }

  private:
    HistoryText out_;
    LineParser parser_;
    std::size_t maxDraws_;
    std::size_t lineNumber_ = 0;
};

}  // namespace

HistoryText readHistoryText(std::istream& in, std::int64_t previousIssue, std::size_t maxDraws) {
    HistoryTextReader reader(previousIssue, maxDraws);
    std::string line;
    while (readLine(in, line)) reader.add(line);
    if (in.bad())
        throw IoError("reading stopped after " + std::to_string(reader.lines()) +
                      " lines: the file could not be read to its end");
    return reader.take();
}

HistoryText readHistoryText(std::string_view text, std::int64_t previousIssue,
                            std::size_t maxDraws) {
    HistoryTextReader reader(previousIssue, maxDraws);
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        reader.add(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size()) pos += text.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
    }
    return reader.take();
}

namespace {

// Rows built and stored per round, so that a full history is not held as rows all at once.
constexpr std::size_t kRowsBuiltAtOnce = 1024;

// Drops Lishi's issue index and returns the statement that creates it again, as the file
// states it; nothing when the file has no such index.
std::optional<std::string> dropIssueIndex(store::Database& db) {
    std::optional<std::string> sql;
    {
        store::Prepared st(db,
                           "SELECT sql FROM sqlite_master WHERE type = 'index' AND name "
                           "= 'LishiBySqqh' AND tbl_name = 'Lishi' AND sql IS NOT NULL");
        if (st.step()) sql = store::toText(st.column(0));
    }  // the read ends before the schema changes
    if (sql) db.executeNative("DROP INDEX LishiBySqqh");
    return sql;
}

}  // namespace

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
        // The issue index is built once over the new rows rather than kept up row by row, in
        // the same transaction: a failure or a crash leaves the old rows and the old index.
        const std::optional<std::string> issueIndex = dropIssueIndex(db.db());
        {
            RowAppender appender(db.db());
            std::vector<store::DrawRow> rows;
            rows.reserve(std::min(draws.size(), kRowsBuiltAtOnce));
            for (std::size_t from = 0; from < draws.size(); from += kRowsBuiltAtOnce) {
                const std::size_t to = std::min(draws.size(), from + kRowsBuiltAtOnce);
                rows.clear();
                for (std::size_t i = from; i < to; ++i)
                    rows.push_back(store::buildDrawRow(draws[i].issue, draws[i].issue,
                                                       draws[i].numbers, rules.codes,
                                                       rules.dsBase));
                appender.appendAll(rows, std::span<const int>(idx).subspan(from, to - from));
            }
        }
        if (issueIndex) db.db().executeNative(*issueIndex);
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
