#include "history_io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

#include "store/history_db.h"
#include "store/system_calls.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace quarvel::io {

namespace fs = std::filesystem;

namespace {

thread_local const ScopedWriteFailure* activeFailure = nullptr;

bool injected(WriteStep step) { return activeFailure && activeFailure->step() == step; }

std::string reason(int err) { return std::generic_category().message(err); }

std::string shown(const fs::path& p) {
    const auto u8 = p.u8string();
    return std::string(u8.begin(), u8.end());
}

// What a failed write is said as: the system's error decides the sentence, the English reason
// goes to the detail. `err` 0 when no system call failed.
[[noreturn]] void fail(const fs::path& target, const std::string& why, int err = 0,
                       bool creating = false) {
    const std::string file = shown(target);
    std::string sentence;
    switch (err) {
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            sentence = "磁盘已满，" + file + " 没有保存。";
            break;
        case EROFS:
            sentence = "磁盘是只读的，" + file + " 没有保存。";
            break;
        case EACCES:
        case EPERM:
            sentence = creating ? "文件夹 " + shown(target.parent_path()) + " 不能写入，" + file +
                                      " 没有保存。"
                                : file + " 是只读的或不允许替换，没有保存。";
            break;
        case EBUSY:
#ifdef ETXTBSY
        case ETXTBSY:
#endif
            sentence = file + " 正被其他程序使用，没有保存。";
            break;
        default:
            sentence = file + " 无法保存。";
    }
    throw IoError(sentence, "cannot write " + target.string() + ": " + why);
}

[[noreturn]] void failAs(const std::string& sentence, const fs::path& target,
                         const std::string& why) {
    throw IoError(sentence, "cannot write " + target.string() + ": " + why);
}

// The small set of system calls the writer needs, one spelling per platform.
#ifdef _WIN32
int openExclusive(const fs::path& p) {
    return _wopen(p.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                  _S_IREAD | _S_IWRITE);
}
long long writeSome(int fd, const char* data, std::size_t n) {
    return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30)));
}
int syncFile(int fd) { return _commit(fd); }
int closeFile(int fd) { return _close(fd); }
// A rename with POSIX semantics (Windows 10 1809 and later, NTFS): it replaces a file that
// others hold open as long as they share its deletion. False where the system does not offer it.
bool renameOverOpenFile(const fs::path& from, const fs::path& to) {
    HANDLE source = CreateFileW(from.c_str(), DELETE | SYNCHRONIZE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) return false;
    const std::wstring name = to.wstring();
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    constexpr DWORD kReplaceIfExists = 0x1, kPosixSemantics = 0x2;
    constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
    info->Flags = kReplaceIfExists | kPosixSemantics;
    info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), info->FileName);
    const bool ok = SetFileInformationByHandle(source, kFileRenameInfoEx, info,
                                               static_cast<DWORD>(buffer.size()));
    CloseHandle(source);
    return ok;
}

// Windows refuses to replace a file that another program holds open without sharing its
// deletion (a viewer, a virus scanner, the search indexer glancing at it). Such holds are
// usually brief, so a refusal for sharing is tried again for about two seconds. (ReplaceFileW
// is not used: where it fails it may leave a copy of its own behind in the folder.)
int replaceFileOnWindows(const fs::path& from, const fs::path& to) {
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (attempt > 0) Sleep(50);
        if (renameOverOpenFile(from, to) ||
            MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return 0;
        error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION &&
            error != ERROR_ACCESS_DENIED)
            break;
    }
    errno = (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) ? EBUSY
            : error == ERROR_DISK_FULL                                          ? ENOSPC
                                                                                : EACCES;
    return -1;
}
int replaceFile(const fs::path& from, const fs::path& to) { return replaceFileOnWindows(from, to); }
void copyMode(int, const fs::path&) {}
void syncFolder(const fs::path&) {}
#else
int openExclusive(const fs::path& p) {
    return ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
long long writeSome(int fd, const char* data, std::size_t n) { return ::write(fd, data, n); }
int syncFile(int fd) { return ::fsync(fd); }
int closeFile(int fd) { return ::close(fd); }
int replaceFile(const fs::path& from, const fs::path& to) {
    return std::rename(from.c_str(), to.c_str());
}
// A replaced file keeps its permission bits.
void copyMode(int fd, const fs::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        (void)::fchmod(fd, st.st_mode & 07777);
}
// Makes the rename itself durable; a folder that cannot be synced is not an error.
void syncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}
#endif

// The temporary file: closed and removed unless it has been renamed over the target.
class TempFile {
  public:
    TempFile(const fs::path& folder, const fs::path& target) {
        static std::atomic<unsigned> counter{0};
        std::random_device rd;
        for (int attempt = 0; attempt < 100; ++attempt) {
            path_ = folder / temporaryNameFor(target, rd() % 1000000 * 1000 + counter++ % 1000);
            if (injected(WriteStep::Create)) {
                errno = EACCES;
                break;
            }
            fd_ = openExclusive(path_);
            if (fd_ >= 0 || errno != EEXIST) break;
        }
        if (fd_ < 0) {
            const int err = errno;
            fail(target,
                 "cannot create a temporary file in " + folder.string() + " (" + reason(err) + ")",
                 err, true);
        }
    }
    ~TempFile() {
        if (fd_ >= 0) closeFile(fd_);
        if (!renamed_) {
            std::error_code ec;
            fs::remove(path_, ec);
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return fd_; }
    const fs::path& path() const { return path_; }
    // Closes the file, reporting the error a delayed write may surface only here.
    int close() {
        const int rc = closeFile(fd_);
        fd_ = -1;
        return rc;
    }
    void markRenamed() { renamed_ = true; }

  private:
    fs::path path_;
    int fd_ = -1;
    bool renamed_ = false;
};

// The first bytes of a database file, of its write-ahead log and of its rollback journal.
bool startsLikeDatabase(const fs::path& p) {
    static const std::string_view kMagics[] = {
        std::string_view("SQLite format 3\0", 16), std::string_view("\x37\x7f\x06\x82", 4),
        std::string_view("\x37\x7f\x06\x83", 4),
        std::string_view("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8)};
    std::ifstream in(p, std::ios::binary);
    char head[16] = {};
    in.read(head, sizeof head);
    const std::string_view got(head, static_cast<std::size_t>(in.gcount()));
    for (auto magic : kMagics)
        if (got.substr(0, magic.size()) == magic) return true;
    return false;
}

// The history's own files by name, whatever they hold at the moment (a new, still empty
// quarvel.mdb, a journal SQLite has just truncated).
bool historyFileName(const std::string& name) {
    for (const char* base : {store::kDbFileName, store::kDbTmpFileName}) {
        const std::string b(base);
        if (name == b) return true;
        for (const char* suffix : {"-journal", "-wal", "-shm"})
            if (name == b + suffix) return true;
    }
    return false;
}

// The file a write to `target` would replace: the target, or the file its link names.
fs::path fileBehind(const fs::path& target) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(target, ec))) return target;
    const fs::path file = fs::weakly_canonical(target, ec);
    return ec ? target : file;
}

}  // namespace

void refuseDatabaseTarget(const fs::path& target) {
    const fs::path file = fileBehind(target);
    std::error_code ec;
    bool database = historyFileName(file.filename().string()) ||
                    (fs::is_regular_file(file, ec) && startsLikeDatabase(file));
    const std::string name = file.filename().string();
    for (std::string_view suffix : {"-journal", "-wal", "-shm"}) {
        if (database || name.size() <= suffix.size() || !name.ends_with(suffix)) continue;
        const fs::path base = file.parent_path() / name.substr(0, name.size() - suffix.size());
        database = fs::is_regular_file(base, ec) && startsLikeDatabase(base);
    }
    if (database)
        throw IoError("不能写入 " + target.string() +
                      "：它是历史数据库文件或其日志文件，不会被覆盖。");
}

ScopedWriteFailure::ScopedWriteFailure(WriteStep step) : previous_(activeFailure), step_(step) {
    activeFailure = this;
}

ScopedWriteFailure::~ScopedWriteFailure() { activeFailure = previous_; }

void writeFileAtomically(const fs::path& target, std::string_view bytes) {
    if (target.empty() || !target.has_filename())
        failAs("没有给出文件名，没有保存。", target, "no file name given");
    // A link is followed, so that the file it names is replaced and the link stays.
    std::error_code ec;
    fs::path file = target;
    if (fs::is_symlink(fs::symlink_status(target, ec))) {
        file = fs::canonical(target, ec);
        if (ec)
            failAs(shown(target) + " 是指向不存在的文件的链接，没有保存。", target,
                   "it is a link to a file that does not exist");
    }
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const fs::file_status st = fs::status(file, ec);
    if (fs::is_directory(st))
        failAs(shown(target) + " 是一个文件夹，不能保存为文件。", target,
               "a folder of that name exists");
    // Devices, pipes and sockets are never replaced by a plain file.
    if (fs::exists(st) && !fs::is_regular_file(st))
        failAs(shown(target) + " 不是普通文件，没有保存。", target, "it is not a regular file");
    if (!fs::is_directory(folder, ec))
        failAs("文件夹 " + shown(folder) + " 不存在，" + shown(target) + " 没有保存。", target,
               "the folder " + folder.string() + " does not exist");
    refuseDatabaseTarget(target);

    TempFile temp(folder, file);
    copyMode(temp.fd(), file);

    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        long long n =
            injected(WriteStep::Write) ? (errno = ENOSPC, -1) : writeSome(temp.fd(), data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            fail(target,
                 "writing " + temp.path().string() + " failed after " +
                     std::to_string(bytes.size() - left) + " bytes (" + reason(err) + ")",
                 err);
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    if (injected(WriteStep::Sync) || syncFile(temp.fd()) != 0) {
        const int err = injected(WriteStep::Sync) ? EIO : errno;
        fail(target, "flushing " + temp.path().string() + " to disk failed (" + reason(err) + ")",
             err);
    }
    if (temp.close() != 0) {
        const int err = errno;
        fail(target, "closing " + temp.path().string() + " failed (" + reason(err) + ")", err);
    }
    if (injected(WriteStep::Rename) || replaceFile(temp.path(), file) != 0) {
        const int err = injected(WriteStep::Rename) ? EACCES : errno;
        fail(target, "cannot replace it with " + temp.path().string() + " (" + reason(err) + ")",
             err);
    }
    temp.markRenamed();
    syncFolder(folder);
}

std::string temporaryNameFor(const fs::path& target, unsigned long number) {
    return "." + target.filename().string() + ".tmp" + std::to_string(store::processId()) + "-" +
           std::to_string(number);
}

std::string crlfLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& l : lines) size += l.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

}  // namespace quarvel::io
