#include "history_io/layout_reader.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "history_io/json_records.h"
#include "history_io/text_decoding.h"
#include "history_io/xls_records.h"
#include "store/draw_record.h"
#include "store/numbering.h"

namespace quarvel::io {

namespace {

enum class Kind { Number, Issue, Date, Time, Text, Marker, Other };

struct Field {
    Kind kind = Kind::Other;
    std::int32_t value = 0;  // a number, or the issue
    bool shortIssue = false;
    std::string_view text;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), isDigit);
}
std::int64_t digitsValue(std::string_view s) {
    std::int64_t v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

bool plausibleDate(std::int64_t y, std::int64_t m, std::int64_t d) {
    return y >= 1900 && y <= 2199 && m >= 1 && m <= 12 && d >= 1 && d <= 31;
}

// "2026-10-07", "2026/10/7", "2026.10.07", "2026年10月7日", possibly with more after it.
bool isDate(std::string_view s) {
    std::size_t i = 0;
    auto digits = [&](std::size_t lo, std::size_t hi) -> std::optional<std::int64_t> {
        const std::size_t from = i;
        while (i < s.size() && isDigit(s[i]) && i - from < hi) ++i;
        if (i - from < lo) return std::nullopt;
        return digitsValue(s.substr(from, i - from));
    };
    auto separator = [&] {
        const std::size_t from = i;
        while (i < s.size() && !isDigit(s[i]) && i - from < 3) ++i;
        return i > from;
    };
    const auto y = digits(4, 4);
    if (!y || !separator()) return false;
    const auto m = digits(1, 2);
    if (!m || !separator()) return false;
    const auto d = digits(1, 2);
    return d && plausibleDate(*y, *m, *d) && (i == s.size() || !isDigit(s[i]));
}

// "20:30" or "20:30:00".
bool isTime(std::string_view s) {
    const std::size_t c = s.find(':');
    if (c == std::string_view::npos || c == 0 || c > 2) return false;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (i != c && !isDigit(s[i]) && s[i] != ':') return false;
    return true;
}

bool hasAsciiDigit(std::string_view s) { return std::any_of(s.begin(), s.end(), isDigit); }

Field classify(std::string_view s) {
    Field f;
    f.text = s;
    if (s == "+" || s == "|") {
        f.kind = Kind::Marker;
        return f;
    }
    if (allDigits(s)) {
        const std::int64_t v = digitsValue(s);
        if (s.size() <= 2) {
            f.kind = Kind::Number;
            f.value = static_cast<std::int32_t>(v);
        } else if (s.size() == 7 || (s.size() == 5 && v % 1000 > 0)) {
            f.kind = Kind::Issue;
            f.shortIssue = s.size() == 5;
            f.value = static_cast<std::int32_t>(s.size() == 5 ? 2'000'000 + v : v);
        } else if (s.size() == 8 && plausibleDate(v / 10000, v / 100 % 100, v % 100)) {
            f.kind = Kind::Date;
        }
        return f;
    }
    if (isDate(s))
        f.kind = Kind::Date;
    else if (isTime(s))
        f.kind = Kind::Time;
    else if (!hasAsciiDigit(s))
        f.kind = Kind::Text;
    return f;
}

// Separators: blank, tab, comma, semicolon and their full-width forms; '+' and '|' stand between
// the seven numbers and the special one and are kept as markers; a colon splits what is not a
// time ("特码:02").
std::vector<Field> splitFields(std::string_view line) {
    std::vector<Field> out;
    auto emit = [&](std::string_view piece) {
        while (!piece.empty() && (piece.front() == '"' || piece.front() == '\''))
            piece.remove_prefix(1);
        while (!piece.empty() && (piece.back() == '"' || piece.back() == '\''))
            piece.remove_suffix(1);
        if (piece.empty()) return;
        if (!isTime(piece) && piece.find(':') != std::string_view::npos) {
            std::size_t from = 0;
            for (std::size_t c; (c = piece.find(':', from)) != std::string_view::npos; from = c + 1)
                if (c > from) out.push_back(classify(piece.substr(from, c - from)));
            if (from < piece.size()) out.push_back(classify(piece.substr(from)));
            return;
        }
        out.push_back(classify(piece));
    };
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t width = 0;
        bool marker = false;
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '\r' || c == '\n')
            width = 1;
        else if (c == '+' || c == '|')
            width = 1, marker = true;
        else if (line.compare(i, 3, "\xE3\x80\x80") == 0 ||
                 line.compare(i, 3, "\xEF\xBC\x8C") == 0 ||
                 line.compare(i, 3, "\xEF\xBC\x9B") == 0 ||
                 line.compare(i, 3, "\xEF\xBC\x9A") == 0)  // full-width blank , ; :
            width = 3;
        if (width == 0) {
            ++i;
            continue;
        }
        emit(line.substr(start, i - start));
        if (marker) out.push_back(classify(line.substr(i, 1)));
        i += width;
        start = i;
    }
    emit(line.substr(start));
    return out;
}

bool mentionsWeekday(std::string_view s) {
    // In UTF-8 and in GBK (星期 D0C7 C6DA, 周 D6DC).
    for (const char* w :
         {"星期", "周", "礼拜", "\xD0\xC7\xC6\xDA", "\xD6\xDC", "Mon", "Tue", "Wed", "Thu", "Fri",
          "Sat", "Sun", "mon", "tue", "wed", "thu", "fri", "sat", "sun"})
        if (s.find(w) != std::string_view::npos) return true;
    return false;
}

bool mentionsSpecial(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* w : {"special", "特", "blue", "蓝", "bonus", "tm"})
        if (s.find(w) != std::string::npos) return true;
    return false;
}

// One record (a line, an object, a sheet row): its fields, and where the issue is.
struct Record {
    std::vector<Field> fields;
    std::size_t number = 0;  // 1-based line, object or row
    bool blank = false;
    std::optional<std::size_t> issueAt;
    std::vector<std::size_t> numbersAt;  // the number fields that may be the draw's
    std::vector<std::string> keys;       // JSON: the member of each field
    bool header = false;
};

// The numbers of a record: after its issue for lines and rows (a leading row number is no
// draw number), anywhere for JSON objects (members in any order).
void locate(Record& r, bool numbersAnywhere) {
    for (std::size_t i = 0; i < r.fields.size(); ++i)
        if (r.fields[i].kind == Kind::Issue && !r.issueAt) r.issueAt = i;
    if (!r.issueAt) return;
    for (std::size_t i = numbersAnywhere ? 0 : *r.issueAt + 1; i < r.fields.size(); ++i)
        if (r.fields[i].kind == Kind::Number) r.numbersAt.push_back(i);
}

// Turns records into draws: the header, weekday columns of numbers (a leading column whose
// values never pass 7 while the row holds more than eight numbers), the order of the file.
RecognisedHistory assemble(std::vector<Record>& records, std::size_t maxDraws) {
    RecognisedHistory r;
    // The header: the first non-blank record, when it holds words and no draw.
    for (auto& rec : records) {
        if (rec.blank) continue;
        if (rec.numbersAt.size() < 8 &&
            std::any_of(rec.fields.begin(), rec.fields.end(),
                        [](const Field& f) { return f.kind == Kind::Text; })) {
            r.header = true;
            std::string text;
            for (const auto& f : rec.fields) text += std::string(f.text) + " ";
            if (mentionsSpecial(text)) r.specialApart = true;
            if (mentionsWeekday(text)) r.weekdayColumn = true;
            rec.header = true;  // neither a draw nor a skipped line
        }
        break;
    }
    // The usual count of numbers after the issue; beyond eight, leading columns that never
    // pass 7 are weekdays.
    std::map<std::size_t, std::size_t> counts;
    for (const auto& rec : records)
        if (!rec.blank && !rec.header && rec.numbersAt.size() > 8) ++counts[rec.numbersAt.size()];
    std::vector<std::size_t> dropOrdinals;
    if (!counts.empty()) {
        const auto usual = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                               return a.second < b.second;
                           })->first;
        std::vector<int> maxOf(usual, 0);
        for (const auto& rec : records)
            if (!rec.blank && !rec.header && rec.numbersAt.size() == usual)
                for (std::size_t j = 0; j < usual; ++j)
                    maxOf[j] = std::max(maxOf[j], rec.fields[rec.numbersAt[j]].value);
        for (std::size_t j = 0; j < usual && usual - dropOrdinals.size() > 8; ++j)
            if (maxOf[j] <= 7)
                dropOrdinals.push_back(j);
            else
                break;
        if (!dropOrdinals.empty()) r.weekdayColumn = true;
        for (auto& rec : records)
            if (!rec.blank && !rec.header && rec.numbersAt.size() == usual)
                for (auto it = dropOrdinals.rbegin(); it != dropOrdinals.rend(); ++it)
                    rec.numbersAt.erase(rec.numbersAt.begin() + static_cast<std::ptrdiff_t>(*it));
    }

    std::size_t apart = 0, ascending = 0, descending = 0;
    std::optional<std::int32_t> previous;
    for (const auto& rec : records) {
        if (rec.header) continue;
        if (rec.blank) {
            ++r.text.blankLines;
            continue;
        }
        for (const auto& f : rec.fields) {
            if (f.kind == Kind::Date) r.dateColumn = true;
            if (f.kind == Kind::Text && mentionsWeekday(f.text)) r.weekdayColumn = true;
        }
        HistoryDraw d;
        bool ok = rec.issueAt && rec.numbersAt.size() >= 8;
        if (ok) {
            const Field& issue = rec.fields[*rec.issueAt];
            d.issue = issue.value;
            for (std::size_t j = 0; j < 8; ++j) d.numbers[j] = rec.fields[rec.numbersAt[j]].value;
            ok = store::isIssueInBounds(d.issue) && store::isPossibleDraw(d.numbers);
            if (ok) {
                r.shortIssues = r.shortIssues || issue.shortIssue;
                // Something between the seventh number and the eighth: '+', '|', a word.
                const std::size_t a = rec.numbersAt[6], b = rec.numbersAt[7];
                bool between = b > a + 1;
                if (!rec.keys.empty()) between = rec.keys[a] != rec.keys[b];
                apart += between;
            }
        }
        if (!ok) {
            ++r.text.skippedLines;
            if (r.text.firstSkippedLines.size() < kSkippedLinesListed)
                r.text.firstSkippedLines.push_back(rec.number);
            continue;
        }
        ++r.text.drawLines;
        if (previous) {
            ascending += d.issue > *previous;
            descending += d.issue < *previous;
        }
        previous = d.issue;
        if (r.text.draws.size() < maxDraws) r.text.draws.push_back(d);
    }
    if (r.text.drawLines > 0 && apart * 2 > r.text.drawLines) r.specialApart = true;
    r.newestFirst = descending > ascending;
    if (r.newestFirst) std::reverse(r.text.draws.begin(), r.text.draws.end());
    return r;
}

bool skippedKey(const std::string& key) {
    for (const char* w : {"date", "time", "week", "day", "日期", "时间", "星期"})
        if (key.find(w) != std::string::npos) return true;
    return false;
}

bool issueKey(const std::string& key) {
    for (const char* w : {"issue", "期号", "qihao", "qh", "expect", "draw_id", "drawid", "period",
                          "term", "code", "no", "id"})
        if (key == w || (std::string_view(w).size() > 3 && key.find(w) != std::string::npos))
            return true;
    return false;
}

std::vector<Record> jsonRecords(const std::vector<JsonRecord>& objects, bool& dates) {
    std::vector<Record> out;
    out.reserve(objects.size());
    for (std::size_t n = 0; n < objects.size(); ++n) {
        Record rec;
        rec.number = n + 1;
        for (const auto& field : objects[n]) {
            if (skippedKey(field.key)) {
                dates = dates || hasAsciiDigit(field.text);
                continue;
            }
            for (const Field& f : splitFields(field.text)) {
                rec.fields.push_back(f);
                rec.keys.push_back(field.key);
            }
        }
        // The issue: a member named like one first, else the first issue-like value.
        for (std::size_t i = 0; i < rec.fields.size(); ++i)
            if (rec.fields[i].kind == Kind::Issue && issueKey(rec.keys[i])) {
                rec.issueAt = i;
                break;
            }
        if (!rec.issueAt) locate(rec, true);
        if (rec.issueAt) {
            rec.numbersAt.clear();
            for (std::size_t i = 0; i < rec.fields.size(); ++i)
                if (i != *rec.issueAt && rec.fields[i].kind == Kind::Number &&
                    !issueKey(rec.keys[i]))  // "code": 0, "id": 7 are no draw numbers
                    rec.numbersAt.push_back(i);
        }
        rec.blank = rec.fields.empty();
        out.push_back(std::move(rec));
    }
    return out;
}

FileKind separatorKind(const std::vector<std::string_view>& lines) {
    std::size_t tabs = 0, commas = 0, semicolons = 0, seen = 0;
    for (std::string_view l : lines) {
        if (l.find_first_not_of(" \t\r") == std::string_view::npos) continue;
        tabs += l.find('\t') != std::string_view::npos;
        commas += l.find(',') != std::string_view::npos;
        semicolons += l.find(';') != std::string_view::npos;
        if (++seen == 50) break;
    }
    if (seen == 0) return FileKind::Text;
    if (tabs * 2 > seen) return FileKind::Tsv;
    if (commas * 2 > seen) return FileKind::Csv;
    if (semicolons * 2 > seen) return FileKind::Semicolon;
    return FileKind::Text;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        lines.push_back(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size()) pos += text.compare(pos, 2, "\r\n") == 0 ? 2 : 1;
    }
    return lines;
}

std::string thousands(std::size_t n) {
    std::string s = std::to_string(n);
    for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3)
        s.insert(static_cast<std::size_t>(i), ",");
    return s;
}

}  // namespace

RecognisedHistory readAnyHistory(std::string_view bytes, const std::filesystem::path& path,
                                 std::int64_t previousIssue, std::size_t maxDraws) {
    if (looksLikeCompoundFile(bytes)) {
        RecognisedHistory r;
        std::string why;
        const auto rows = readXlsRows(path, why);
        if (!rows) {
            r.notText = true;
            r.detail = why;
            return r;
        }
        std::vector<Record> records;
        for (std::size_t n = 0; n < rows->size(); ++n) {
            Record rec;
            rec.number = n + 1;
            for (const std::string& cell : (*rows)[n])
                for (const Field& f : splitFields(cell)) rec.fields.push_back(f);
            // A short issue kept as a number lost its leading zero (7001 for 07001).
            if (!rec.fields.empty() && allDigits(rec.fields[0].text) &&
                rec.fields[0].text.size() == 4 && digitsValue(rec.fields[0].text) % 1000 > 0) {
                rec.fields[0].kind = Kind::Issue;
                rec.fields[0].shortIssue = true;
                rec.fields[0].value =
                    static_cast<std::int32_t>(2'000'000 + digitsValue(rec.fields[0].text));
            }
            rec.blank = rec.fields.empty();
            locate(rec, false);
            records.push_back(std::move(rec));
        }
        // Cells point into the rows, which live until here.
        RecognisedHistory got = assemble(records, maxDraws);
        got.kind = FileKind::Xls;
        return got;
    }

    const DecodedText decoded = decodeHistoryBytes(bytes);
    if (decoded.text.find('\0') != std::string::npos) {
        RecognisedHistory r;
        r.notText = true;
        r.detail = "a NUL byte in the file";
        return r;
    }
    const std::string_view text = decoded.text;
    const std::size_t firstChar = text.find_first_not_of(" \t\r\n");
    if (firstChar != std::string_view::npos && (text[firstChar] == '[' || text[firstChar] == '{')) {
        if (const auto objects = readJsonRecords(text)) {
            bool dates = false;
            std::vector<Record> records = jsonRecords(*objects, dates);
            RecognisedHistory got = assemble(records, maxDraws);
            got.kind = FileKind::Json;
            got.dateColumn = got.dateColumn || dates;
            got.encoding = decoded.encoding;
            return got;
        }
    }

    // The program's own text, read by its own rules, and the same text read as columns; the
    // columns win unless the own rules find more draws (issue-less lines, digits run together).
    RecognisedHistory own;
    own.text = readHistoryText(text, previousIssue, maxDraws);
    own.encoding = decoded.encoding;
    const std::vector<std::string_view> lines = splitLines(text);
    std::vector<Record> records;
    records.reserve(lines.size());
    for (std::size_t n = 0; n < lines.size(); ++n) {
        Record rec;
        rec.number = n + 1;
        rec.fields = splitFields(lines[n]);
        rec.blank = rec.fields.empty();
        locate(rec, false);
        records.push_back(std::move(rec));
    }
    RecognisedHistory columns = assemble(records, maxDraws);
    columns.kind = separatorKind(lines);
    columns.encoding = decoded.encoding;
    if (own.text.drawLines > columns.text.drawLines ||
        (own.text.drawLines == columns.text.drawLines && own.text.draws == columns.text.draws))
        return own;
    return columns;
}

std::string layoutDescription(const RecognisedHistory& r) {
    static const std::map<FileKind, const char*> kNames = {
        {FileKind::OwnText, "本程序的历史号码文本"},
        {FileKind::Text, "文本"},
        {FileKind::Csv, "CSV"},
        {FileKind::Tsv, "TSV"},
        {FileKind::Semicolon, "分号分隔的文本"},
        {FileKind::Json, "JSON"},
        {FileKind::Xls, "Excel 表格（.xls）"}};
    std::vector<std::string> seen;
    if (r.header) seen.push_back("有表头");
    if (r.dateColumn) seen.push_back("日期列");
    if (r.weekdayColumn) seen.push_back("星期列");
    if (r.shortIssues) seen.push_back("五位期号");
    if (r.specialApart) seen.push_back("特码单列");
    if (r.newestFirst) seen.push_back("新的在前");
    if (!r.encoding.empty()) seen.push_back(r.encoding);
    std::string out = kNames.at(r.kind);
    if (!seen.empty()) {
        out += "（";
        for (std::size_t i = 0; i < seen.size(); ++i) out += (i ? "、" : "") + seen[i];
        out += "）";
    }
    return out;
}

std::string recognitionSentence(const RecognisedHistory& r) {
    std::string out =
        "识别为 " + layoutDescription(r) + "，" + thousands(r.text.draws.size()) + " 期";
    if (!r.text.draws.empty()) {
        const auto [lo, hi] = std::minmax_element(
            r.text.draws.begin(), r.text.draws.end(),
            [](const HistoryDraw& a, const HistoryDraw& b) { return a.issue < b.issue; });
        out += "，" + std::to_string(lo->issue) + "–" + std::to_string(hi->issue);
    }
    return out;
}

}  // namespace quarvel::io
