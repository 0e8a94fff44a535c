// Reading one year's results page: the rendered text of a chart page of 365 draws (with the
// surrounding markup of a real site), and locating every draw in it by its issue key. The
// update does this once per year requested, at most 17 times.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "history_io/draw_locator.h"
#include "history_io/page_text.h"

namespace {

using namespace quarvel;

std::string yearPage(int year) {
    std::string html =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>开奖号码综合分布</title>"
        "<style>td{padding:2px}</style><script>var x = 1;</script></head><body>"
        "<div class=\"nav\"><a href=\"/\">首页</a> &gt; 综合分布</div><h1>开奖号码综合分布图</h1>"
        "<table class=\"chart\"><thead><tr><th>期号</th><th>日期</th><th>星期</th>";
    for (int j = 1; j <= 8; ++j) html += "<th>位" + std::to_string(j) + "</th>";
    html += "</tr></thead><tbody>\n";
    char buf[96];
    for (int s = 1; s <= 365; ++s) {
        html += "<tr class=\"row\">\n  <td>" + io::issueKey(year, s) +
                "</td>\n  <td>13-05-26</td><td>周日</td>";
        for (int j = 0; j < 8; ++j) {
            std::snprintf(buf, sizeof buf, "<td class=\"ball\">\n    <span>%02d</span></td>",
                          (s * 7 + j * 4) % 30 + 1);
            html += buf;
        }
        html += "\n</tr>\n";
    }
    return html + "</tbody></table><div class=\"foot\">共 365 期</div></body></html>";
}

void BM_PageText(benchmark::State& state) {
    const std::string html = yearPage(2013);
    for (auto _ : state) benchmark::DoNotOptimize(io::bodyInnerText(html));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * html.size()));
}
BENCHMARK(BM_PageText)->Unit(benchmark::kMillisecond);

void BM_LocateYear(benchmark::State& state) {
    const std::string text = io::bodyInnerText(yearPage(2013));
    for (auto _ : state) {
        const io::PageDraws page(text);
        const auto draws = page.drawsFrom(2013, 1);
        if (draws.size() != 365) state.SkipWithError("not every draw was found");
        benchmark::DoNotOptimize(draws.data());
    }
}
BENCHMARK(BM_LocateYear)->Unit(benchmark::kMillisecond);

}  // namespace
