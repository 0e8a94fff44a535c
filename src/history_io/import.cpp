#include "history_io/import.h"

#include <cctype>

#include "history_io/atomic_file.h"
#include "store/numbering.h"

namespace quarvel::io {

bool hasTextFileName(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (name.size() < 3) return false;
    const std::string tail = name.substr(name.size() - 3);
    for (std::size_t i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != "txt"[i]) return false;
    return true;
}

ImportResult replaceHistoryFromFile(store::HistoryDb& db, const std::filesystem::path& path, const ImportParams& params,
                                    const ReplaceChecks& checks) {
    ImportResult r;
    auto refuse = [&](ImportError e, std::string text) {
        r.error = e;
        r.errorText = std::move(text) + "; the history is unchanged";
        return r;
    };

    HistoryText text;
    try {
        // The next issue at the start: the last stored issue + 1 (a fresh read of the history).
        const std::int64_t next = std::int64_t{db.lastIssue().value_or(0)} + 1;
        auto in = params.open ? params.open(path) : openFileForReading(path);
        text = readHistoryText(*in, next, static_cast<std::size_t>(store::kMaxDraws));
    } catch (const IoError& e) {
        return refuse(ImportError::Unreadable, e.what());
    } catch (const std::exception& e) {
        return refuse(ImportError::StoreFailed, e.what());
    }
    r.linesSkipped = text.skippedLines;
    r.firstSkippedLines = text.firstSkippedLines;
    r.blankLines = text.blankLines;

    if (text.drawLines > static_cast<std::size_t>(store::kMaxDraws))
        return refuse(ImportError::TooManyDraws, path.string() + " holds " + std::to_string(text.drawLines) +
                                                     " draws, more than the " + std::to_string(store::kMaxDraws) +
                                                     " the history can hold");
    if (checks.refuseEmpty && text.draws.empty())
        return refuse(ImportError::NoDraws, path.string() + " holds no draw (" + std::to_string(text.skippedLines) +
                                                " lines skipped)");
    // A file written a moment ago from known draws must read back as exactly those, or
    // replacing the history with it would lose or alter draws.
    if (checks.expected && text.draws != *checks.expected)
        return refuse(ImportError::Unreadable, path.string() + " does not read back as the draws written to it");

    try {
        replaceHistory(db, text.draws, params.rules);
    } catch (const std::exception& e) {
        // The standing sorted cursor must show the rows that survived the rollback.
        try {
            db.reopenSort();
        } catch (...) {
        }
        return refuse(ImportError::StoreFailed, std::string("the draws could not be stored: ") + e.what());
    }
    r.drawsStored = text.draws.size();
    return r;
}

ImportResult importHistoryFile(store::HistoryDb& db, const std::filesystem::path& path, const ImportParams& params) {
    if (!hasTextFileName(path)) {
        ImportResult r;
        r.error = ImportError::NotATextFile;
        r.errorText = "not a text file (the name must end in txt): " + path.string();
        return r;
    }
    return replaceHistoryFromFile(db, path, params, {});
}

}  // namespace quarvel::io
