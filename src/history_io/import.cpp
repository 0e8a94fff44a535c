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

ImportResult importHistoryFile(store::HistoryDb& db, const std::filesystem::path& path, const ImportParams& params) {
    ImportResult r;
    if (!hasTextFileName(path)) {
        r.error = ImportError::NotATextFile;
        r.errorText = "not a text file (the name must end in txt): " + path.string();
        return r;
    }

    HistoryText text;
    try {
        // The next issue at the start: the last stored issue + 1 (a fresh read of the history).
        const std::int64_t next = std::int64_t{db.lastIssue().value_or(0)} + 1;
        auto in = params.open ? params.open(path) : openFileForReading(path);
        text = readHistoryText(*in, next, static_cast<std::size_t>(store::kMaxDraws));
    } catch (const IoError& e) {
        r.error = ImportError::Unreadable;
        r.errorText = std::string(e.what()) + "; the history is unchanged";
        return r;
    } catch (const std::exception& e) {
        r.error = ImportError::StoreFailed;
        r.errorText = std::string(e.what()) + "; the history is unchanged";
        return r;
    }
    r.linesSkipped = text.skippedLines;
    r.blankLines = text.blankLines;

    if (text.drawLines > static_cast<std::size_t>(store::kMaxDraws)) {
        r.error = ImportError::TooManyDraws;
        r.errorText = "the file holds " + std::to_string(text.drawLines) + " draws, more than the " +
                      std::to_string(store::kMaxDraws) + " the history can hold; the history is unchanged";
        return r;
    }

    if (text.draws.empty()) {
        r.error = ImportError::NoDraws;
        r.errorText = "the file " + path.string() + " holds no draw (" + std::to_string(text.skippedLines) +
                      " lines skipped); the history is unchanged";
        return r;
    }

    try {
        replaceHistory(db, text.draws, params.rules);
    } catch (const std::exception& e) {
        r.error = ImportError::StoreFailed;
        r.errorText = std::string("the draws could not be stored: ") + e.what() + "; the history is unchanged";
        // The standing sorted cursor must show the rows that survived the rollback.
        try {
            db.reopenSort();
        } catch (...) {
        }
        return r;
    }
    r.drawsStored = text.draws.size();
    return r;
}

}  // namespace quarvel::io
