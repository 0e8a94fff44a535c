#include "history_io/export.h"

#include <array>

#include "history_io/atomic_file.h"
#include "history_io/text_format.h"
#include "store/engine.h"
#include "store/sql_translate.h"
#include "store/value.h"

namespace quarvel::io {

std::filesystem::path utf8Path(const std::string& text) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

std::string exportFileName(std::int32_t lastIssue) {
    return "更新至" + (lastIssue == 0 ? std::string() : std::to_string(lastIssue)) +
           "期历史号码.txt";
}

namespace {

// A cell as the history list shows it, read back as a number: text first, so that a value that
// is not a whole number (another program's row) reads as it would from the list.
std::int64_t listedNumber(const store::Prepared& st, int col) {
    if (st.isInteger(col)) return st.integer(col);
    return store::toInt(store::Value(store::toText(st.column(col))));
}

}  // namespace

std::filesystem::path exportHistory(store::HistoryDb& db) {
    // The history list's columns straight from one statement, each line written as it is read:
    // a full history is 32,766 lines, and a whole copy as text cells would cost more than the
    // file itself.
    store::Prepared st(db.db(), store::translateSql(store::kHistoryListSql));
    std::string text;
    std::int32_t last = 0;
    while (st.step()) {
        std::array<int, kNumbersPerDraw> numbers{};
        for (int c = 1; c <= kNumbersPerDraw; ++c)
            numbers[static_cast<std::size_t>(c - 1)] = static_cast<int>(listedNumber(st, c));
        const std::int64_t issue = listedNumber(st, 0);
        // A line that would read back as another draw is not written: the export stops instead.
        if (!writableAsHistoryLine(issue, numbers))
            throw IoError("第 " + store::toText(st.column(0)) +
                              " 期不能写成历史号码文本（七位期号、两位号码），没有导出。",
                          "the draw of issue " + store::toText(st.column(0)) +
                              " cannot be written as a history line");
        text += historyLine(issue, numbers);
        text += "\r\n";
        last = static_cast<std::int32_t>(store::toInt(st.column(0)));
    }
    std::filesystem::path path = db.dataDir() / utf8Path(exportFileName(last));
    writeFileAtomically(path, text);
    return path;
}

}  // namespace quarvel::io
