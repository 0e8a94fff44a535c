#include "history_io/json_records.h"

#include <cctype>
#include <memory>

namespace quarvel::io {

namespace {

struct Field;

struct Value {
    enum Kind { Null, Scalar, Array, Object } kind = Null;
    std::string text;           // a string's or a number's text
    std::vector<Value> items;   // Array
    std::vector<Field> fields;  // Object
};

// A member of an object (a type of its own: std::pair may not hold the incomplete Value).
struct Field {
    std::string key;
    Value value;
};

class Parser {
  public:
    explicit Parser(std::string_view s) : s_(s) {}
    bool parseWhole(Value& v) {
        if (!value(v, 0)) return false;
        blanks();
        return pos_ == s_.size();
    }

  private:
    static constexpr int kMaxDepth = 64;
    std::string_view s_;
    std::size_t pos_ = 0;

    void blanks() {
        while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    }
    bool eat(char c) {
        blanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool string(std::string& out) {
        if (!eat('"')) return false;
        while (pos_ < s_.size()) {
            const char c = s_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= s_.size()) return false;
            const char e = s_[pos_++];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                case 'f':
                    out += ' ';
                    break;
                case 'u': {
                    if (pos_ + 4 > s_.size()) return false;
                    unsigned v = 0;
                    for (int k = 0; k < 4; ++k) {
                        const char h = s_[pos_++];
                        if (!std::isxdigit(static_cast<unsigned char>(h))) return false;
                        v = v * 16 +
                            static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(h))
                                                      ? h - '0'
                                                      : (std::tolower(h) - 'a' + 10));
                    }
                    // Only the characters a draw list needs: ASCII as it is, the rest as a
                    // non-ASCII placeholder (a separator to the reader).
                    if (v == 0x3000)
                        out += ' ';
                    else if (v < 0x80)
                        out += static_cast<char>(v);
                    else
                        out += "\xEF\xBF\xBD";
                    break;
                }
                default:
                    out += e;
            }
        }
        return false;
    }
    bool value(Value& v, int depth) {
        if (depth > kMaxDepth) return false;
        blanks();
        if (pos_ >= s_.size()) return false;
        const char c = s_[pos_];
        if (c == '"') {
            v.kind = Value::Scalar;
            return string(v.text);
        }
        if (c == '[') {
            ++pos_;
            v.kind = Value::Array;
            if (eat(']')) return true;
            do {
                v.items.emplace_back();
                if (!value(v.items.back(), depth + 1)) return false;
            } while (eat(','));
            return eat(']');
        }
        if (c == '{') {
            ++pos_;
            v.kind = Value::Object;
            if (eat('}')) return true;
            do {
                std::string key;
                blanks();
                if (!string(key) || !eat(':')) return false;
                v.fields.push_back(Field{std::move(key), Value{}});
                if (!value(v.fields.back().value, depth + 1)) return false;
            } while (eat(','));
            return eat('}');
        }
        // A number, true, false or null: its text as it stands.
        const std::size_t start = pos_;
        while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) ||
                                    s_[pos_] == '-' || s_[pos_] == '+' || s_[pos_] == '.'))
            ++pos_;
        if (pos_ == start) return false;
        v.text = std::string(s_.substr(start, pos_ - start));
        v.kind = v.text == "null" ? Value::Null : Value::Scalar;
        return true;
    }
};

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void flatten(const std::string& key, const Value& v, JsonRecord& out) {
    switch (v.kind) {
        case Value::Null:
            break;
        case Value::Scalar:
            out.push_back({key, v.text});
            break;
        case Value::Array:
            for (const auto& item : v.items) flatten(key, item, out);
            break;
        case Value::Object:
            for (const auto& f : v.fields) flatten(lower(f.key), f.value, out);
            break;
    }
}

bool isListOfObjects(const Value& v) {
    if (v.kind != Value::Array || v.items.empty()) return false;
    for (const auto& item : v.items)
        if (item.kind != Value::Object) return false;
    return true;
}

// The first array of objects, the top value first, then breadth-wise through the members.
const Value* listOfDraws(const Value& top) {
    std::vector<const Value*> level{&top};
    for (int depth = 0; depth < 4 && !level.empty(); ++depth) {
        std::vector<const Value*> next;
        for (const Value* v : level) {
            if (isListOfObjects(*v)) return v;
            if (v->kind == Value::Object)
                for (const auto& f : v->fields) next.push_back(&f.value);
        }
        level = std::move(next);
    }
    return nullptr;
}

}  // namespace

std::optional<std::vector<JsonRecord>> readJsonRecords(std::string_view text) {
    Value top;
    if (!Parser(text).parseWhole(top)) return std::nullopt;
    const Value* list = listOfDraws(top);
    if (!list) return std::nullopt;
    std::vector<JsonRecord> out;
    out.reserve(list->items.size());
    for (const auto& item : list->items) {
        out.emplace_back();
        flatten({}, item, out.back());
    }
    return out;
}

}  // namespace quarvel::io
