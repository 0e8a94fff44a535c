#pragma once
// The one reader of whole numbers that the user types or a script passes: the window's boxes
// and input boxes, the command line, the settings. Every command gives the same text the same
// verdict; the caller checks the range it needs.

#include <cstdint>
#include <optional>
#include <string_view>

namespace quarvel::store {

// Blanks (spaces, tabs) around it, an optional "+" or "-", then one or more digits and nothing
// else. nullopt for any other text and for values beyond 64 bits.
std::optional<std::int64_t> readWholeNumber(std::string_view text);

// The same, nullopt also for values beyond the 32-bit range.
std::optional<std::int32_t> readWholeNumber32(std::string_view text);

}  // namespace quarvel::store
