#pragma once
// A field value as the engine hands it out: null, integer, real or text.

#include <cstdint>
#include <string>
#include <variant>

namespace quarvel::store {

using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

bool isNull(const Value& v);
// Integer reading of a value: reals are truncated toward zero, text is parsed leniently
// (surrounding blanks allowed), null and unparsable text give `fallback`.
std::int64_t toInt(const Value& v, std::int64_t fallback = 0);
double toDouble(const Value& v, double fallback = 0.0);
// Text reading: integers in plain decimal, reals in their shortest round-trip form, null as "".
std::string toText(const Value& v);

// A real as printf's "%.*f" and "%.*g" in the C locale write it, whatever the locale the program
// runs in (Qt sets the user's one, where the decimal point may be a comma).
std::string fixedText(double value, int decimals);
std::string generalText(double value, int digits);

}  // namespace quarvel::store
