#include "store/sql_translate.h"

#include <cctype>
#include <vector>

namespace quarvel::store {

namespace {

enum class Kind { Space, DoubleQuoted, SingleQuoted, Bracketed, Word, Number, Punct };

struct Token {
    Kind kind;
    std::string text;  // for quoted literals: the contents without quotes
};

bool isWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Reads a literal quoted with `q`, where a doubled quote stands for one quote character.
std::string readQuoted(const std::string& s, std::size_t& i, char q) {
    std::string out;
    ++i;  // opening quote
    while (i < s.size()) {
        if (s[i] == q) {
            if (i + 1 < s.size() && s[i + 1] == q) {
                out += q;
                i += 2;
                continue;
            }
            ++i;
            return out;
        }
        out += s[i++];
    }
    return out;  // unterminated: take the rest
}

std::vector<Token> tokenize(const std::string& s) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        const std::size_t start = i;
        if (std::isspace(static_cast<unsigned char>(c))) {
            while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
            tokens.push_back({Kind::Space, s.substr(start, i - start)});
        } else if (c == '"') {
            tokens.push_back({Kind::DoubleQuoted, readQuoted(s, i, '"')});
        } else if (c == '\'') {
            tokens.push_back({Kind::SingleQuoted, readQuoted(s, i, '\'')});
        } else if (c == '[') {
            while (i < s.size() && s[i] != ']') ++i;
            if (i < s.size()) ++i;
            tokens.push_back({Kind::Bracketed, s.substr(start, i - start)});
        } else if (isWordStart(c)) {
            while (i < s.size() && isWordChar(s[i])) ++i;
            tokens.push_back({Kind::Word, s.substr(start, i - start)});
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.'))
                ++i;
            tokens.push_back({Kind::Number, s.substr(start, i - start)});
        } else {
            ++i;
            tokens.push_back({Kind::Punct, std::string(1, c)});
        }
    }
    return tokens;
}

bool wordIs(const Token& t, const char* upper) {
    if (t.kind != Kind::Word) return false;
    std::size_t n = 0;
    for (; upper[n]; ++n) {
        if (n >= t.text.size() || std::toupper(static_cast<unsigned char>(t.text[n])) != upper[n])
            return false;
    }
    return n == t.text.size();
}

// Index of the next token that is not white space, or tokens.size().
std::size_t nextSolid(const std::vector<Token>& tokens, std::size_t i) {
    while (i < tokens.size() && tokens[i].kind == Kind::Space) ++i;
    return i;
}

std::string singleQuoted(const std::string& contents) {
    std::string out = "'";
    for (char c : contents) {
        if (c == '\'') out += '\'';
        out += c;
    }
    return out + "'";
}

// A LIKE pattern in which `*` is the only wildcard, as a GLOB pattern: GLOB's other special
// characters are put in brackets so that they match themselves.
std::string globPattern(const std::string& likePattern) {
    std::string out;
    for (char c : likePattern) {
        if (c == '?' || c == '[') {
            out += '[';
            out += c;
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string translateSql(const std::string& systemSql) {
    const std::vector<Token> tokens = tokenize(systemSql);
    std::string out;
    out.reserve(systemSql.size() + 16);
    int depth = 0;
    std::vector<int> leftDepths;  // paren depth of each open LEFT( awaiting its comma
    bool orderBy = false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        switch (t.kind) {
            case Kind::Space:
            case Kind::Bracketed:
            case Kind::Number:
                out += t.text;
                break;
            case Kind::SingleQuoted:
            case Kind::DoubleQuoted:  // a double-quoted literal becomes single-quoted
                out += singleQuoted(t.text);
                break;
            case Kind::Word: {
                const std::size_t n = nextSolid(tokens, i + 1);
                const bool callFollows = n < tokens.size() && tokens[n].text == "(";
                if (wordIs(t, "MOD")) {
                    out += '%';
                } else if (wordIs(t, "LEFT") && callFollows) {
                    out += "substr";
                    leftDepths.push_back(depth + 1);
                } else if (wordIs(t, "LEN") && callFollows) {
                    out += "length";
                } else if (wordIs(t, "LIKE") && n < tokens.size() &&
                           tokens[n].kind == Kind::DoubleQuoted) {
                    out += "GLOB";
                    for (std::size_t k = i + 1; k < n; ++k) out += tokens[k].text;
                    out += singleQuoted(globPattern(tokens[n].text));
                    i = n;
                } else {
                    if (wordIs(t, "ORDER")) {
                        const std::size_t b = nextSolid(tokens, i + 1);
                        if (b < tokens.size() && wordIs(tokens[b], "BY")) orderBy = true;
                    }
                    out += t.text;
                }
                break;
            }
            case Kind::Punct:
                if (t.text == "(") {
                    ++depth;
                } else if (t.text == ")") {
                    if (!leftDepths.empty() && leftDepths.back() == depth) leftDepths.pop_back();
                    --depth;
                } else if (t.text == "," && !leftDepths.empty() && leftDepths.back() == depth) {
                    out += ",1,";
                    leftDepths.pop_back();
                    break;
                }
                out += t.text;
                break;
        }
    }
    if (orderBy) {
        // Equal keys come back in insertion order, so that every listing is repeatable.
        std::size_t end = out.size();
        while (end > 0 &&
               (std::isspace(static_cast<unsigned char>(out[end - 1])) || out[end - 1] == ';'))
            --end;
        out.insert(end, ", rowid");
    }
    return out;
}

}  // namespace quarvel::store
