// Windows refuses to rename over a file another program has open: the guarded writer waits out
// a brief hold, and refuses a lasting one without touching the file. (A holder that shares
// deletion needs the rename of Windows 10 1809 and later, which wine does not offer.)
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "history_io/atomic_file.h"
#include "support/test_support.h"

namespace quarvel {
namespace {

namespace fs = std::filesystem;

HANDLE openForReading(const fs::path& p, DWORD share) {
    return CreateFileW(p.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::size_t filesIn(const fs::path& folder) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) ++n;
    return n;
}

TEST(AtomicFileOnWindows, WaitsForABriefHoldToEnd) {
    testing::TempDir dir;
    const auto target = dir.path() / "lishi.xls";
    testing::writeFile(target, "old");

    // A reader that does not share deletion but lets go after a moment is waited for.
    HANDLE brief = openForReading(target, FILE_SHARE_READ);
    ASSERT_NE(brief, INVALID_HANDLE_VALUE);
    std::thread release([brief] {
        Sleep(300);
        CloseHandle(brief);
    });
    io::writeFileAtomically(target, "new");
    release.join();
    EXPECT_EQ(testing::readFile(target), "new");
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(AtomicFileOnWindows, ALastingHoldIsRefusedAndTheFileKept) {
    testing::TempDir dir;
    const auto target = dir.path() / "Jieguo.xls";
    testing::writeFile(target, "old");
    HANDLE held = openForReading(target, FILE_SHARE_READ);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_THROW(io::writeFileAtomically(target, "new"), io::IoError);
    CloseHandle(held);
    EXPECT_EQ(testing::readFile(target), "old");
    EXPECT_EQ(filesIn(dir.path()), 1u) << "the temporary file was left behind";
}

}  // namespace
}  // namespace quarvel
#endif
