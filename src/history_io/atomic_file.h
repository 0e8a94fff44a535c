#pragma once
// Every output file is written whole or not at all: the bytes go to a temporary file in the
// target's folder, are flushed to the disk, and only then renamed over the target. A failure at
// any step removes the temporary file and leaves an existing target exactly as it was.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::io {

// A file could not be read or written; the message names the file and the reason.
class IoError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Writes `bytes` to `target`, replacing it atomically. Throws IoError on failure.
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
