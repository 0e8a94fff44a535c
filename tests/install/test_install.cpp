// The installed program: `cmake --install` into a temporary prefix lays out the programs, the
// desktop entry, the icon, the sample history and the documentation; the installed CLI keeps
// its history beside itself when it may write there, and in the user's data folder otherwise.

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>

#include "support/test_support.h"

namespace fs = std::filesystem;
using quarvel::testing::CliResult;
using quarvel::testing::runCommand;
using quarvel::testing::TempDir;

namespace {

class Installed : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root_ = new TempDir;
        // Others (the ordinary user below) may pass through, not write.
        fs::permissions(root_->path(), fs::perms::owner_all | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read |
                                           fs::perms::others_exec);
        const CliResult r =
            runCommand({"cmake", "--install", QUARVEL_BUILD_DIR, "--prefix", prefix().string()});
        ASSERT_EQ(r.status, 0) << r.out << r.err;
    }
    static void TearDownTestSuite() {
        delete root_;
        root_ = nullptr;
    }
    static fs::path prefix() { return root_->path() / "prefix"; }
    static fs::path cli() { return prefix() / "bin" / "quarvel-cli"; }

    static TempDir* root_;
};
TempDir* Installed::root_ = nullptr;

TEST_F(Installed, LaysOutEveryFileOfTheProgram) {
    const fs::path share = prefix() / "share";
    for (const fs::path& f :
         {prefix() / "bin/quarvel", prefix() / "bin/quarvel-cli",
          share / "applications/quarvel.desktop", share / "icons/hicolor/scalable/apps/quarvel.svg",
          share / "icons/hicolor/48x48/apps/quarvel.png",
          share / "icons/hicolor/256x256/apps/quarvel.png", share / "doc/quarvel/README.md",
          share / "doc/quarvel/LICENSE", share / "doc/quarvel" / u8"使用说明.html",
          share / "quarvel" / u8"历史号码" / u8"示例历史号码.txt"})
        EXPECT_TRUE(fs::is_regular_file(f)) << f;
    // A PNG of the size its folder names.
    const std::string png =
        quarvel::testing::readFile(share / "icons/hicolor/48x48/apps/quarvel.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(static_cast<unsigned char>(png[19]), 48);  // IHDR width, big-endian
    EXPECT_EQ(static_cast<unsigned char>(png[23]), 48);
}

TEST_F(Installed, DesktopEntryPassesTheValidator) {
    const fs::path entry = prefix() / "share/applications/quarvel.desktop";
    const CliResult r = runCommand({"desktop-file-validate", entry.string()});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out + r.err, "");  // no warnings or hints either
    const std::string text = quarvel::testing::readFile(entry);
    EXPECT_NE(text.find("Name[zh_CN]="), std::string::npos);
    EXPECT_NE(text.find("Comment[zh_CN]="), std::string::npos);
}

TEST_F(Installed, CliInAWritablePrefixKeepsTheHistoryBesideItself) {
    const CliResult r =
        runCommand({cli().string(), "add", "2013001", "1", "2", "3", "4", "5", "6", "7", "8"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(prefix() / "bin/quarvel.mdb"));
    fs::remove(prefix() / "bin/quarvel.mdb");
}

TEST_F(Installed, CliForAUserWhoCannotWriteThePrefixUsesTheUsersDataFolder) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to run the CLI as another user";
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr) GTEST_SKIP() << "no user nobody";
    const fs::path home = root_->path() / "home";
    fs::create_directory(home);
    ASSERT_EQ(chown(home.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    const auto asNobody = [&](std::vector<std::string> args) {
        std::vector<std::string> command = {"setpriv",
                                            "--reuid=" + std::to_string(nobody->pw_uid),
                                            "--regid=" + std::to_string(nobody->pw_gid),
                                            "--clear-groups",
                                            "env",
                                            "HOME=" + home.string(),
                                            "XDG_DATA_HOME=" + (home / "data").string(),
                                            "XDG_CONFIG_HOME=" + (home / "config").string(),
                                            cli().string()};
        command.insert(command.end(), args.begin(), args.end());
        return runCommand(command);
    };
    CliResult r = asNobody({"add", "2013001", "1", "2", "3", "4", "5", "6", "7", "8"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = asNobody({"list"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2013001"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(home / "data/quarvel/quarvel.mdb"));
    EXPECT_FALSE(fs::exists(prefix() / "bin/quarvel.mdb"));
    // --data-dir still wins.
    r = asNobody({"--data-dir", (home / "chosen").string(), "list"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(home / "chosen/quarvel.mdb"));
}

}  // namespace
