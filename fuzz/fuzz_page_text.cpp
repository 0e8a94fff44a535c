// Any bytes a web server may send must give a page text and draws without a crash, and every
// draw found must be eight distinct numbers 01..30.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "history_io/draw_locator.h"
#include "history_io/page_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string html(reinterpret_cast<const char*>(data), size);
    const std::string text = quarvel::io::bodyInnerText(html);
    const quarvel::io::PageDraws page(text);
    for (int year : {2013, 2014}) {
        for (const auto& d : page.drawsFrom(year, 1)) {
            bool seen[31] = {};
            for (int n : d.numbers) {
                if (n < 1 || n > 30 || seen[n]) std::abort();
                seen[n] = true;
            }
        }
    }
    return 0;
}
