#include "history_io/export.h"

#include <array>

#include "history_io/atomic_file.h"
#include "history_io/text_format.h"
#include "store/numbering.h"
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

std::vector<std::string> historyListLines(const store::TextGrid& list) {
    std::vector<std::string> lines;
    for (int r = 1; r < list.rows(); ++r) {
        std::array<int, kNumbersPerDraw> numbers{};
        for (int c = 1; c <= kNumbersPerDraw && c < list.cols(); ++c)
            numbers[static_cast<std::size_t>(c - 1)] =
                static_cast<int>(store::toInt(store::Value(list.at(r, c))));
        const std::int64_t issue = store::toInt(store::Value(list.at(r, 0)));
        // A line that would read back as another draw is not written: the export stops instead.
        if (!writableAsHistoryLine(issue, numbers))
            throw IoError("the draw of issue " + list.at(r, 0) +
                          " cannot be written as a history line (seven-digit issue, two-digit "
                          "numbers); nothing was exported");
        lines.push_back(historyLine(issue, numbers));
    }
    return lines;
}

std::filesystem::path exportHistory(store::HistoryDb& db) {
    store::Snapshot sorted = db.historyList();
    const std::int32_t last = store::lastIssueOf(sorted);
    const store::TextGrid list = store::historyListGrid(sorted);
    const std::filesystem::path path = db.dataDir() / utf8Path(exportFileName(last));
    writeFileAtomically(path, crlfLines(historyListLines(list)));
    return path;
}

}  // namespace quarvel::io
