#pragma once
// Draw lists kept as JSON: an array of objects (at the top or under one member of the top
// object), each object one draw. Every object becomes the list of its values as text, in the
// order they stand, arrays flattened; the reader of layouts picks the issue and the numbers.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::io {

struct JsonField {
    std::string key;  // the member's name (lower case for ASCII), of the array for its items
    std::string text;
};
using JsonRecord = std::vector<JsonField>;

// The records, or nullopt when the text is not JSON or holds no array of objects.
std::optional<std::vector<JsonRecord>> readJsonRecords(std::string_view text);

}  // namespace quarvel::io
