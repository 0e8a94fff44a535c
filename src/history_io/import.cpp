#include "history_io/import.h"

#include <cctype>
#include <sstream>

#include "history_io/atomic_file.h"
#include "store/numbering.h"

namespace quarvel::io {

namespace {

std::string readAll(std::istream& in, const std::filesystem::path& path) {
    std::string bytes;
    char chunk[1 << 16];
    // istream::read turns a failing stream buffer into badbit rather than an exception.
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0)
        bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        throw IoError("reading " + path.string() + " stopped after " +
                      std::to_string(bytes.size()) +
                      " bytes: the file could not be read to its end");
    return bytes;
}

}  // namespace

bool hasTextFileName(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (name.size() < 3) return false;
    const std::string tail = name.substr(name.size() - 3);
    for (std::size_t i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != "txt"[i]) return false;
    return true;
}

ImportResult replaceHistoryFromFile(store::HistoryDb& db, const std::filesystem::path& path,
                                    const ImportParams& params, const ReplaceChecks& checks) {
    ImportResult r;
    auto refuse = [&](ImportError e, std::string text) {
        r.error = e;
        r.errorText = std::move(text) + "; the history is unchanged";
        return r;
    };

    // The file is read whole before the history is touched; a read error stops here.
    std::string bytes;
    try {
        auto in = params.open ? params.open(path) : openFileForReading(path);
        bytes = readAll(*in, path);
    } catch (const IoError& e) {
        return refuse(ImportError::Unreadable, e.what());
    }

    HistoryText text;
    try {
        // The carried issue starts after the newest stored draw, read inside the write
        // transaction: another program that adds or trims meanwhile waits, or goes first.
        store::Transaction tx(db.db());
        const std::int64_t next = std::int64_t{db.lastIssue().value_or(0)} + 1;
        std::istringstream in(bytes);
        text = readHistoryText(in, next, static_cast<std::size_t>(store::kMaxDraws));
        r.linesSkipped = text.skippedLines;
        r.firstSkippedLines = text.firstSkippedLines;
        r.blankLines = text.blankLines;

        if (text.drawLines > static_cast<std::size_t>(store::kMaxDraws))
            return refuse(ImportError::TooManyDraws,
                          path.string() + " holds " + std::to_string(text.drawLines) +
                              " draws, more than the " + std::to_string(store::kMaxDraws) +
                              " the history can hold");
        if (checks.refuseEmpty && text.draws.empty())
            return refuse(ImportError::NoDraws, path.string() + " holds no draw (" +
                                                    std::to_string(text.skippedLines) +
                                                    " lines skipped)");
        // A file written a moment ago from known draws must read back as exactly those, or
        // replacing the history with it would lose or alter draws.
        if (checks.expected && text.draws != *checks.expected)
            return refuse(ImportError::Unreadable,
                          path.string() + " does not read back as the draws written to it");

        replaceHistory(db, text.draws, params.rules);
        tx.commit();
    } catch (const std::exception& e) {
        // The sorted history is read again when next asked for, showing the rows that survived.
        db.historyChanged();
        return refuse(ImportError::StoreFailed,
                      "the draws could not be stored: " + store::userText(e));
    }
    db.historyChanged();
    r.drawsStored = text.draws.size();
    return r;
}

ImportResult importHistoryFile(store::HistoryDb& db, const std::filesystem::path& path,
                               const ImportParams& params) {
    if (!hasTextFileName(path)) {
        ImportResult r;
        r.error = ImportError::NotATextFile;
        r.errorText = "not a text file (the name must end in txt): " + path.string();
        return r;
    }
    return replaceHistoryFromFile(db, path, params, {});
}

}  // namespace quarvel::io
