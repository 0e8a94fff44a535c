#include "store/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace quarvel::store {

bool isNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

namespace {
std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}
}  // namespace

std::int64_t toInt(const Value& v, std::int64_t fallback) {
    if (auto i = std::get_if<std::int64_t>(&v)) return *i;
    if (auto d = std::get_if<double>(&v))
        return std::isfinite(*d) ? static_cast<std::int64_t>(*d) : fallback;
    if (auto s = std::get_if<std::string>(&v)) {
        std::string_view t = trimBlanks(*s);
        if (!t.empty() && t.front() == '+') t.remove_prefix(1);
        std::int64_t out = 0;
        auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
        if (ec == std::errc() && p == t.data() + t.size() && !t.empty()) return out;
    }
    return fallback;
}

double toDouble(const Value& v, double fallback) {
    if (auto i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
    if (auto d = std::get_if<double>(&v)) return *d;
    if (auto s = std::get_if<std::string>(&v)) {
        std::string_view t = trimBlanks(*s);
        double out = 0;
        auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
        if (ec == std::errc() && p == t.data() + t.size() && !t.empty()) return out;
    }
    return fallback;
}

std::string toText(const Value& v) {
    if (auto i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
    if (auto d = std::get_if<double>(&v)) {
        char buf[64];
        auto [p, ec] = std::to_chars(buf, buf + sizeof buf, *d);
        return ec == std::errc() ? std::string(buf, p) : std::string();
    }
    if (auto s = std::get_if<std::string>(&v)) return *s;
    return {};
}

namespace {
std::string realText(double value, std::chars_format format, int precision) {
    char buf[400];  // enough for the widest fixed text of a double with a few decimals
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value, format, precision);
    return ec == std::errc() ? std::string(buf, p) : std::string();
}
}  // namespace

std::string fixedText(double value, int decimals) {
    return realText(value, std::chars_format::fixed, decimals);
}

std::string generalText(double value, int digits) {
    return realText(value, std::chars_format::general, digits);
}

}  // namespace quarvel::store
