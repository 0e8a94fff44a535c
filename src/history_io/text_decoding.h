#pragma once
// The encodings history files come in: UTF-8 with or without a byte order mark, UTF-16 (a
// Notepad "Unicode" file, little or big endian), and GBK. Everything is turned into UTF-8;
// GBK is not translated, only its full-width blank and comma become ASCII ones (the reader
// needs the digits and the separators, which GBK writes as ASCII anyway).

#include <string>
#include <string_view>

namespace quarvel::io {

struct DecodedText {
    std::string text;      // UTF-8 (GBK: its ASCII with the other characters left as they are)
    std::string encoding;  // as the user is told: "UTF-8", "UTF-16", "GBK", ... ; empty for ASCII
};

DecodedText decodeHistoryBytes(std::string_view bytes);

}  // namespace quarvel::io
