#include "support/chart_page.h"

#include <cstdio>

namespace quarvel::testing {

namespace {
std::string key(int year, int serial) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%03d", year, serial);
    return buf;
}
}  // namespace

std::array<int, 8> siteNumbers(int year, int serial) {
    std::array<int, 8> n{};
    for (int j = 0; j < 8; ++j)
        n[static_cast<std::size_t>(j)] = (serial * 7 + year + j * 4) % 30 + 1;
    return n;
}

std::string chartPage(int year, const std::vector<int>& drawn, const std::vector<int>& pending,
                      const std::set<int>& unreadable) {
    std::string html =
        "<html><head><title>开奖</title><script>var s='" + std::to_string(year) +
        "001';</script></head><body><h1>" + std::to_string(year) +
        "年 开奖号码</h1><table><tr><th>期号</th><th>日期</th><th>星期</th><th>号码</th></tr>";
    char buf[64];
    for (int s : drawn) {
        html += "<tr><td>" + key(year, s) + "</td><td>13-05-26</td><td>周日</td>";
        auto numbers = siteNumbers(year, s);
        if (unreadable.count(s)) numbers[7] = numbers[0];  // a number twice
        for (int x : numbers) {
            std::snprintf(buf, sizeof buf, "<td><span>%02d</span></td>", x);
            html += buf;
        }
        html += "</tr>\n";
    }
    for (int s : pending)
        html += "<tr><td>" + key(year, s) + "</td><td>--</td><td>--</td><td>-</td></tr>";
    return html + "</table></body></html>";
}

std::vector<int> serials(int from, int to) {
    std::vector<int> v;
    for (int s = from; s <= to; ++s) v.push_back(s);
    return v;
}

std::string chartTarget(int year) {
    const std::string y = std::to_string(year);
    return "/kaijiang/xw?lotId=220028&chartType=zhfb&spanType=3&span=" + y + "001_" + y + "365";
}

}  // namespace quarvel::testing
