#include "history_io/page_text.h"

// A build without the HTML parser (see CMakeLists.txt) reads no page: the text is empty (the
// page source refuses before it comes to this).
#ifdef QUARVEL_WITHOUT_GUMBO
namespace quarvel::io {
std::string bodyInnerText(std::string_view) { return {}; }
}  // namespace quarvel::io
#else
#include <gumbo.h>

#include <algorithm>
#include <memory>

namespace quarvel::io {
namespace {

// Collects the text the way a line-box layout shows it: collapsible spaces are held back until
// the next visible character on the same line; line breaks that blocks ask for are held back
// until there is content after them, and the larger request of neighbouring blocks wins.
class TextBuilder {
  public:
    void requireBreaks(int n) {
        pendingSpace_ = false;
        pendingBreaks_ = std::max(pendingBreaks_, n);
    }
    // A fixed string (tab between cells, line break between rows, <br>).
    void literal(char c) {
        flushBreaks();
        pendingSpace_ = false;
        out_ += c;
        lineStart_ = true;
    }
    // Start or end of a box whose edge trims whitespace (a table cell).
    void boxEdge() {
        pendingSpace_ = false;
        lineStart_ = true;
    }
    void collapsibleText(std::string_view text) {
        for (char c : text) {
            if (isHtmlSpace(c)) {
                if (!lineStart_) pendingSpace_ = true;
                continue;
            }
            flushBreaks();
            if (pendingSpace_) out_ += ' ';
            pendingSpace_ = false;
            out_ += c;
            lineStart_ = false;
        }
    }
    void preservedText(std::string_view text) {
        if (text.empty()) return;
        flushBreaks();
        if (pendingSpace_) out_ += ' ';
        pendingSpace_ = false;
        for (char c : text) out_ += (c == '\r') ? '\n' : c;
        lineStart_ = text.back() == '\n' || text.back() == '\r';
    }
    std::string take() { return std::move(out_); }

  private:
    static bool isHtmlSpace(char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
    }
    void flushBreaks() {
        if (pendingBreaks_ > 0 && !out_.empty()) {
            out_.append(static_cast<std::size_t>(pendingBreaks_), '\n');
            lineStart_ = true;
            pendingSpace_ = false;  // a space before the first character of a line is not shown
        }
        pendingBreaks_ = 0;
    }
    std::string out_;
    int pendingBreaks_ = 0;
    bool pendingSpace_ = false;
    bool lineStart_ = true;
};

bool isElement(const GumboNode* n) {
    return n->type == GUMBO_NODE_ELEMENT || n->type == GUMBO_NODE_TEMPLATE;
}
GumboTag tagOf(const GumboNode* n) { return isElement(n) ? n->v.element.tag : GUMBO_TAG_UNKNOWN; }

bool producesNoText(const GumboNode* n) {
    switch (tagOf(n)) {
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_STYLE:
        case GUMBO_TAG_HEAD:
        case GUMBO_TAG_TEMPLATE:
        case GUMBO_TAG_NOSCRIPT:
        case GUMBO_TAG_TITLE:
        case GUMBO_TAG_TEXTAREA:
        case GUMBO_TAG_IFRAME:
        case GUMBO_TAG_NOEMBED:
        case GUMBO_TAG_NOFRAMES:
            return true;
        default:
            return n->type == GUMBO_NODE_TEMPLATE ||
                   (isElement(n) &&
                    gumbo_get_attribute(&n->v.element.attributes, "hidden") != nullptr);
    }
}

// Line breaks a block element asks for before and after itself (0 for inline content).
int blockBreaks(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_P:
            return 2;
        case GUMBO_TAG_H1:
        case GUMBO_TAG_H2:
        case GUMBO_TAG_H3:
        case GUMBO_TAG_H4:
        case GUMBO_TAG_H5:
        case GUMBO_TAG_H6:
        case GUMBO_TAG_ADDRESS:
        case GUMBO_TAG_ARTICLE:
        case GUMBO_TAG_ASIDE:
        case GUMBO_TAG_BLOCKQUOTE:
        case GUMBO_TAG_BODY:
        case GUMBO_TAG_CAPTION:
        case GUMBO_TAG_CENTER:
        case GUMBO_TAG_DD:
        case GUMBO_TAG_DETAILS:
        case GUMBO_TAG_DIR:
        case GUMBO_TAG_DIV:
        case GUMBO_TAG_DL:
        case GUMBO_TAG_DT:
        case GUMBO_TAG_FIELDSET:
        case GUMBO_TAG_FIGCAPTION:
        case GUMBO_TAG_FIGURE:
        case GUMBO_TAG_FOOTER:
        case GUMBO_TAG_FORM:
        case GUMBO_TAG_HEADER:
        case GUMBO_TAG_HGROUP:
        case GUMBO_TAG_HR:
        case GUMBO_TAG_LEGEND:
        case GUMBO_TAG_LI:
        case GUMBO_TAG_LISTING:
        case GUMBO_TAG_MAIN:
        case GUMBO_TAG_MENU:
        case GUMBO_TAG_NAV:
        case GUMBO_TAG_OL:
        case GUMBO_TAG_PLAINTEXT:
        case GUMBO_TAG_PRE:
        case GUMBO_TAG_SECTION:
        case GUMBO_TAG_SUMMARY:
        case GUMBO_TAG_TABLE:
        case GUMBO_TAG_UL:
        case GUMBO_TAG_XMP:
            return 1;
        default:
            return 0;
    }
}

bool keepsWhitespace(GumboTag tag) {
    return tag == GUMBO_TAG_PRE || tag == GUMBO_TAG_LISTING || tag == GUMBO_TAG_PLAINTEXT ||
           tag == GUMBO_TAG_XMP;
}

bool isCell(const GumboNode* n) { return tagOf(n) == GUMBO_TAG_TD || tagOf(n) == GUMBO_TAG_TH; }

// The last visible element child of `parent` that satisfies `pred`.
template <class Pred>
const GumboNode* lastChildWhere(const GumboNode* parent, Pred pred) {
    const GumboVector& kids = parent->v.element.children;
    for (unsigned i = kids.length; i-- > 0;) {
        const auto* k = static_cast<const GumboNode*>(kids.data[i]);
        if (pred(k) && !producesNoText(k)) return k;
    }
    return nullptr;
}

// The last row of a table, over its row groups in document order (rows of nested tables are
// not the table's own).
const GumboNode* lastRowOf(const GumboNode* table) {
    const GumboVector& kids = table->v.element.children;
    for (unsigned i = kids.length; i-- > 0;) {
        const auto* k = static_cast<const GumboNode*>(kids.data[i]);
        if (!isElement(k) || producesNoText(k)) continue;
        if (tagOf(k) == GUMBO_TAG_TR) return k;
        const GumboTag t = tagOf(k);
        if (t == GUMBO_TAG_TBODY || t == GUMBO_TAG_THEAD || t == GUMBO_TAG_TFOOT)
            if (const GumboNode* r =
                    lastChildWhere(k, [](const GumboNode* n) { return tagOf(n) == GUMBO_TAG_TR; }))
                return r;
    }
    return nullptr;
}

// Browsers stop nesting elements at a few hundred levels; content nested deeper than this
// gives no text here, so that no page can exhaust the stack of the walk.
constexpr int kMaxDepth = 1024;

struct Walker {
    TextBuilder text;
    int preserveDepth = 0;
    int depth = 0;

    void walk(const GumboNode* n, const GumboNode* lastRow) {
        if (depth >= kMaxDepth) return;
        switch (n->type) {
            case GUMBO_NODE_TEXT:
            case GUMBO_NODE_CDATA:
            case GUMBO_NODE_WHITESPACE:
                if (preserveDepth > 0)
                    text.preservedText(n->v.text.text);
                else
                    text.collapsibleText(n->v.text.text);
                return;
            case GUMBO_NODE_ELEMENT:
                break;
            default:
                return;  // comments, templates, the document node
        }
        if (producesNoText(n)) return;
        const GumboTag tag = n->v.element.tag;
        if (tag == GUMBO_TAG_BR) {
            text.literal('\n');
            return;
        }
        const int breaks = blockBreaks(tag);
        if (breaks) text.requireBreaks(breaks);
        const bool keep = keepsWhitespace(tag);
        if (keep) ++preserveDepth;
        if (tag == GUMBO_TAG_TABLE) lastRow = lastRowOf(n);
        const bool cell = isCell(n);
        if (cell) text.boxEdge();

        const GumboVector& kids = n->v.element.children;
        ++depth;
        for (unsigned i = 0; i < kids.length; ++i)
            walk(static_cast<const GumboNode*>(kids.data[i]), lastRow);
        --depth;

        if (keep) --preserveDepth;
        if (cell) {
            text.boxEdge();
            const GumboNode* row = n->parent;
            if (row && tagOf(row) == GUMBO_TAG_TR && lastChildWhere(row, isCell) != n)
                text.literal('\t');
        } else if (tag == GUMBO_TAG_TR && n != lastRow) {
            text.literal('\n');
        }
        if (breaks) text.requireBreaks(breaks);
    }
};

const GumboNode* findBody(const GumboNode* n) {
    if (!isElement(n)) return nullptr;
    if (n->v.element.tag == GUMBO_TAG_BODY) return n;
    const GumboVector& kids = n->v.element.children;
    for (unsigned i = 0; i < kids.length; ++i)
        if (const GumboNode* b = findBody(static_cast<const GumboNode*>(kids.data[i]))) return b;
    return nullptr;
}

// Start tags ('<' and a letter) bound the number of elements, and so the nesting depth. The
// parser recurses over the tree and crashes on a few hundred thousand nested elements; a year's
// chart has about ten thousand tags, so a page with far more is not a results page.
constexpr std::size_t kMaxStartTags = 100000;

bool tooManyTags(std::string_view html) {
    std::size_t tags = 0;
    for (std::size_t i = html.find('<'); i != std::string_view::npos && i + 1 < html.size();
         i = html.find('<', i + 1)) {
        const char c = html[i + 1];
        if (((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && ++tags > kMaxStartTags)
            return true;
    }
    return false;
}

GumboOptions parseOptions() {
    GumboOptions o = kGumboDefaultOptions;
    // Parse errors are never read. Kept without limit, each one copies the stack of open
    // elements, so a page of deeply nested unclosed tags would take gigabytes.
    o.max_errors = 0;
    return o;
}

}  // namespace

std::string bodyInnerText(std::string_view html) {
    if (tooManyTags(html)) return {};
    static const GumboOptions options = parseOptions();
    struct OutputDeleter {
        void operator()(GumboOutput* o) const { gumbo_destroy_output(&options, o); }
    };
    std::unique_ptr<GumboOutput, OutputDeleter> out(
        gumbo_parse_with_options(&options, html.data(), html.size()));
    if (!out) return {};
    const GumboNode* body = findBody(out->root);
    if (!body) return {};
    Walker w;
    const GumboVector& kids = body->v.element.children;
    for (unsigned i = 0; i < kids.length; ++i)
        w.walk(static_cast<const GumboNode*>(kids.data[i]), nullptr);
    return w.text.take();
}

}  // namespace quarvel::io
#endif
