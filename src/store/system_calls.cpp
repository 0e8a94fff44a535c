#include "store/system_calls.h"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#endif

namespace quarvel::store {

#ifdef _WIN32

std::optional<std::pair<unsigned long long, unsigned long long>> fileIdentity(
    const std::filesystem::path& p) {
    // Opening for no access at all still gives the identity, and shares everything, so that a
    // file another program has open is read too.
    HANDLE h = CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    return std::pair{
        static_cast<unsigned long long>(info.dwVolumeSerialNumber),
        (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

bool systemAllowsWriting(const std::filesystem::path& p) { return _waccess(p.c_str(), 2) == 0; }

long long processId() { return _getpid(); }

bool processRuns(unsigned long pid) {
    if (pid == GetCurrentProcessId()) return true;
    HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool runs = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
    CloseHandle(h);
    return runs;
}

std::tm localCalendarTime(std::time_t t) {
    std::tm local{};
    localtime_s(&local, &t);
    return local;
}

#else

std::optional<std::pair<unsigned long long, unsigned long long>> fileIdentity(
    const std::filesystem::path& p) {
    struct stat st {};
    if (::stat(p.c_str(), &st) != 0) return std::nullopt;
    return std::pair{static_cast<unsigned long long>(st.st_dev),
                     static_cast<unsigned long long>(st.st_ino)};
}

bool systemAllowsWriting(const std::filesystem::path& p) { return ::access(p.c_str(), W_OK) == 0; }

long long processId() { return ::getpid(); }

bool processRuns(unsigned long pid) {
    if (pid == 0 || pid > static_cast<unsigned long>(INT_MAX)) return true;
    if (static_cast<pid_t>(pid) == ::getpid()) return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

std::tm localCalendarTime(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return local;
}

#endif

}  // namespace quarvel::store
