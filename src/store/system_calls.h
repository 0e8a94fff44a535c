#pragma once
// The few calls of the operating system whose spelling differs between Windows and POSIX
// systems, behind one interface, so that the rest of the core stays portable.

#include <ctime>
#include <filesystem>
#include <optional>
#include <utility>

namespace quarvel::store {

// What tells one file from another on the same machine: the device and the inode, or on
// Windows the volume's serial number and the file index. nullopt when the file cannot be read.
std::optional<std::pair<unsigned long long, unsigned long long>> fileIdentity(
    const std::filesystem::path& p);

// Whether the system lets this process write the file (permissions, read-only attribute).
bool systemAllowsWriting(const std::filesystem::path& p);

// This process's id.
long long processId();
// Whether the process `pid` still runs (true when that cannot be told).
bool processRuns(unsigned long pid);

// The local calendar time of `t`.
std::tm localCalendarTime(std::time_t t);

}  // namespace quarvel::store
