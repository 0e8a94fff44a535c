// Which data folder the programs choose: the one given, the program's own folder for a portable
// copy, the user's data folder for an installed one.
#include <gtest/gtest.h>

#include "platform/program_folders.h"
#include "support/test_support.h"

namespace {

using quarvel::platform::chooseDataFolder;
using quarvel::platform::fromFsPath;

TEST(DataFolder, APortableCopyKeepsItsHistoryBesideItAnInstalledOneWithTheUser) {
    const quarvel::testing::TempDir dir;
    const QString program = fromFsPath(dir.path());
    const QString user = QStringLiteral("user-data");
    EXPECT_EQ(chooseDataFolder(QStringLiteral("given"), program, user), QStringLiteral("given"));
    EXPECT_EQ(chooseDataFolder({}, program, user), program);
    EXPECT_EQ(chooseDataFolder({}, fromFsPath(dir.path() / "missing"), user), user);
    // The installer's uninstaller marks an installed copy, whether its folder may be written or
    // not.
    quarvel::testing::writeFile(dir.path() / quarvel::platform::kUninstaller, "MZ");
    EXPECT_EQ(chooseDataFolder({}, program, user), user);
    EXPECT_EQ(chooseDataFolder(QStringLiteral("given"), program, user), QStringLiteral("given"));
}

}  // namespace
