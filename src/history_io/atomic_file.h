#pragma once
// Every output file is written whole or not at all: the bytes go to a temporary file in the
// target's folder, are flushed to the disk, and only then renamed over the target. A failure at
// any step removes the temporary file and leaves an existing target exactly as it was.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/engine.h"

namespace quarvel::io {

// A file could not be read or written: what() is the sentence the user reads (Chinese, naming
// the file), detail() the system's reason.
class IoError : public store::DetailedError {
  public:
    using store::DetailedError::DetailedError;
};

// The name of the guarded writer's temporary file for `target` in this process: hidden, the
// target's name, ".tmp", this process's id and a number. A file of that form whose process has
// ended is a leftover of a killed write (store::removeLeftovers).
std::string temporaryNameFor(const std::filesystem::path& target, unsigned long number);

// Throws IoError, with the sentence the user reads, when a write to `target` would land on a
// database (the history, whoever has it open), on a file SQLite keeps beside one, or on the
// history's files quarvel.mdb and quarvelTmp.mdb by name; links are followed. Every writer of
// the programs asks this before it writes, so nothing replaces the history.
void refuseDatabaseTarget(const std::filesystem::path& target);

// Writes `bytes` to `target`, replacing it atomically. Throws IoError on failure, and on a
// target that refuseDatabaseTarget refuses.
// A new file gets the usual permissions (0666 less the umask); a replaced file keeps its own.
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// The lines joined as a text file with CR LF line ends: each line followed by "\r\n".
std::string crlfLines(const std::vector<std::string>& lines);

// The steps of an atomic write at which a failure can be simulated.
enum class WriteStep { Create, Write, Sync, Rename };

// While an instance lives, atomic writes on this thread fail at `step` as if the system had
// refused it (so that the recovery of callers can be exercised). Not for use outside tests.
class ScopedWriteFailure {
  public:
    explicit ScopedWriteFailure(WriteStep step);
    ~ScopedWriteFailure();
    ScopedWriteFailure(const ScopedWriteFailure&) = delete;
    ScopedWriteFailure& operator=(const ScopedWriteFailure&) = delete;

    WriteStep step() const { return step_; }

  private:
    const ScopedWriteFailure* previous_;
    WriteStep step_;
};

}  // namespace quarvel::io
