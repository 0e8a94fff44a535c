#pragma once
// The results site's address: the one rule for what the window's setting box saves, what the
// online update asks pages from and what the page fetch agrees to request.

#include <string>
#include <string_view>

#include "store/outcome.h"

namespace quarvel::io {

// Told when the window's setting box is given an address the rule refuses.
inline constexpr const char* kResultsSiteInputRefusal =
    "请输入以 http:// 或 https:// 开头的网站地址，不含路径，例如 http://www.example.com";

// An acceptable address is "http://" or "https://" (any case), a host (a name or a bracketed
// IPv6 address) and an optional port 1..65535, with nothing after it but slashes; blanks around
// it are allowed. The value is the address as pages are asked from it (blanks and trailing
// slashes dropped); otherwise a Chinese refusal that names the text given.
store::Checked<std::string> readResultsSite(std::string_view text);

// A page address passes when its scheme and host part, up to the first "/", "?" or "#" after
// "://", is an acceptable results-site address.
store::Outcome checkPageAddress(std::string_view url);

}  // namespace quarvel::io
