#include "chance/ticket_file.h"

#include <fstream>
#include <sstream>
#include <variant>

#include "chance/exact_chance.h"
#include "search/criteria.h"

namespace quarvel::chance {

namespace {

constexpr std::string_view kDan = "胆";
constexpr std::string_view kTuo = "拖";
constexpr int kMostNumbers = 16;  // the largest 复式
constexpr std::uintmax_t kMostBytes = 256u << 20;

// The line's words: 胆 and 拖 apart, the separators (space, tab, comma, full-width comma, 、)
// dropped.
std::vector<std::string> wordsOf(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    auto flush = [&] {
        if (!word.empty()) words.push_back(std::move(word));
        word.clear();
    };
    for (std::size_t i = 0; i < line.size();) {
        const std::string_view rest = line.substr(i);
        if (rest.starts_with(kDan) || rest.starts_with(kTuo)) {
            flush();
            words.emplace_back(rest.substr(0, kDan.size()));
            i += kDan.size();
        } else if (rest.starts_with("，") || rest.starts_with("、")) {
            flush();
            i += std::string_view("，").size();
        } else if (line[i] == ' ' || line[i] == '\t' || line[i] == ',') {
            flush();
            ++i;
        } else {
            word += line[i++];
        }
    }
    flush();
    return words;
}

std::string atLine(std::size_t line, const std::string& why) {
    return "投注文件第 " + std::to_string(line) + " 行：" + why;
}

// A number 01 … 30 (one or two digits), else the refusal's reason.
std::variant<int, std::string> numberOf(const std::string& word) {
    const bool digits = !word.empty() && word.size() <= 2 &&
                        word.find_first_not_of("0123456789") == std::string::npos;
    const int n = digits ? std::stoi(word) : 0;
    if (n < 1 || n > kNumbers) return "“" + word + "”不是 01 到 30 之间的号码。";
    return n;
}

// The numbers of `words`, none twice and none in `taken`; else the reason.
std::variant<NumberMask, std::string> maskOfWords(const std::vector<std::string>& words,
                                                  NumberMask taken) {
    NumberMask m = 0;
    for (const std::string& w : words) {
        const auto n = numberOf(w);
        if (const auto* why = std::get_if<std::string>(&n)) return *why;
        const NumberMask bit = NumberMask{1} << std::get<int>(n);
        if ((m | taken) & bit) return "号码 " + search::twoDigits(std::get<int>(n)) + " 重复。";
        m |= bit;
    }
    return m;
}

std::variant<Ticket, std::string> ticketOf(const std::vector<std::string>& words) {
    Ticket t;
    if (words.front() != kDan) {
        const auto m = maskOfWords(words, 0);
        if (const auto* why = std::get_if<std::string>(&m)) return *why;
        if (words.size() < kRegular || words.size() > kMostNumbers)
            return "一注应有 7 个号码，复式 8 到 16 个，这一行有 " + std::to_string(words.size()) +
                   " 个。";
        t.numbers = std::get<NumberMask>(m);
        return t;
    }
    std::size_t tuo = 1;
    while (tuo < words.size() && words[tuo] != kTuo) ++tuo;
    if (tuo == words.size()) return "胆拖应写成“胆 号码… 拖 号码…”，缺少“拖”。";
    const std::vector<std::string> dan(words.begin() + 1, words.begin() + static_cast<long>(tuo));
    const std::vector<std::string> drag(words.begin() + static_cast<long>(tuo) + 1, words.end());
    for (const std::string& w : drag)
        if (w == kDan || w == kTuo) return "胆拖中“" + w + "”只能出现一次。";
    if (dan.empty() || dan.size() >= kRegular)
        return "胆码应有 1 到 6 个，这一行有 " + std::to_string(dan.size()) + " 个。";
    const auto b = maskOfWords(dan, 0);
    if (const auto* why = std::get_if<std::string>(&b)) return *why;
    const auto d = maskOfWords(drag, std::get<NumberMask>(b));
    if (const auto* why = std::get_if<std::string>(&d)) return *why;
    if (drag.size() < kRegular - dan.size())
        return std::to_string(dan.size()) + " 个胆码至少要 " +
               std::to_string(kRegular - dan.size()) + " 个拖码，这一行有 " +
               std::to_string(drag.size()) + " 个。";
    t.banker = std::get<NumberMask>(b);
    t.numbers = std::get<NumberMask>(d);
    return t;
}

}  // namespace

store::Checked<std::vector<Ticket>> parseTickets(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    std::vector<Ticket> tickets;
    std::size_t lineNo = 0;
    while (!text.empty()) {
        ++lineNo;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.empty() || line.front() == '#') continue;
        const auto ticket = ticketOf(wordsOf(line));
        if (const auto* why = std::get_if<std::string>(&ticket))
            return store::Outcome::refused(atLine(lineNo, *why));
        tickets.push_back(std::get<Ticket>(ticket));
    }
    if (tickets.empty()) return store::Outcome::refused("投注文件中没有任何投注。");
    return tickets;
}

store::Checked<std::vector<Ticket>> readTicketFile(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) {
        const auto name = path.u8string();
        return store::Outcome::refused("无法读取投注文件 " + std::string(name.begin(), name.end()) +
                                       "。");
    }
    if (size > kMostBytes) return store::Outcome::refused("投注文件太大（超过 256 MB）。");
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return parseTickets(bytes.str());
}

std::string ticketFileBytes(const std::vector<NumberMask>& sets,
                            const std::vector<std::string>& comments) {
    std::string out;
    for (const std::string& c : comments) out += "# " + c + "\r\n";
    out.reserve(out.size() + sets.size() * 22);
    for (const NumberMask m : sets) {
        bool first = true;
        for (int n = 1; n <= kNumbers; ++n) {
            if (!(m >> n & 1)) continue;
            if (!first) out += ' ';
            first = false;
            out += static_cast<char>('0' + n / 10);
            out += static_cast<char>('0' + n % 10);
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace quarvel::chance
