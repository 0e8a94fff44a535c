// The settings store over QSettings: values in section IniSetting, a missing key is absent,
// an explicit file is used as given, and the default store of the window and the command-line
// program is one and the same file.

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include "platform/qt_settings_store.h"
#include "store/history_db.h"
#include "store/settings.h"
#include "support/test_support.h"

using quarvel::platform::QtSettingsStore;

namespace {

QString fileIn(const quarvel::testing::TempDir& dir, const char* name) {
    return QString::fromStdString((dir.path() / name).string());
}

}  // namespace

TEST(QtSettingsStore, ExplicitFileKeepsValuesInTheSection) {
    quarvel::testing::TempDir dir;
    const QString file = fileIn(dir, "s.ini");
    {
        QtSettingsStore store(file);
        QtSettingsStore other(file);  // another program on the same file
        EXPECT_FALSE(store.get("SxIni").has_value());
        EXPECT_FALSE(other.get("SxIni").has_value());
        store.save("SxIni", "0");
        store.save("ResultsHost", "http://example.org:8080");
        EXPECT_EQ(store.get("SxIni").value_or(""), "0");
        EXPECT_EQ(other.get("SxIni").value_or(""), "0");  // its earlier reading is not served
    }
    // Written at once, under IniSetting, readable by a fresh store.
    QSettings raw(file, QSettings::IniFormat);
    EXPECT_EQ(raw.value("IniSetting/SxIni").toString().toStdString(), "0");
    QtSettingsStore again(file);
    EXPECT_EQ(again.get("ResultsHost").value_or(""), "http://example.org:8080");
    const auto s = quarvel::store::Settings::load(again);
    EXPECT_EQ(s.SxIni, 0);
    EXPECT_EQ(s.DsIni, 1);  // missing: the default
}

TEST(QtSettingsStore, DefaultStoresShareOneFileInTheConfigFolder) {
    QStandardPaths::setTestModeEnabled(true);  // before the first default store fixes its path
    QtSettingsStore first;
    QtSettingsStore second;
    EXPECT_EQ(first.fileName(), second.fileName());
    EXPECT_TRUE(first.fileName().contains("TARNVEMOS"));
    first.save("intLei", "3");
    EXPECT_EQ(second.get("intLei").value_or(""), "3");
    QFile::remove(first.fileName());
}

// A settings file that is the history, directly or through a link, is refused at once: nothing
// is read from it, nothing written to it, and every key keeps its default.
TEST(QtSettingsStore, ADatabaseAsSettingsFileIsNeverWritten) {
    QUARVEL_SKIP_ON_WINDOWS("links");
    quarvel::testing::TempDir dir;
    {
        quarvel::store::HistoryDb history(dir.path());
        history.open();
    }
    const auto db = dir.path() / quarvel::store::kDbFileName;
    std::filesystem::create_symlink(db, dir.path() / "link.ini");
    const std::string before = quarvel::testing::readFile(db);
    for (const auto& file : {db, dir.path() / "link.ini"}) {
        QtSettingsStore store(file);
        EXPECT_FALSE(store.refusal().isEmpty());
        EXPECT_FALSE(store.save("SxIni", "0"));
        EXPECT_FALSE(store.get("SxIni").has_value());
    }
    EXPECT_EQ(quarvel::testing::readFile(db), before);
}

// A file name that is not valid UTF-8 is used as the very bytes given.
TEST(QtSettingsStore, AFileNameOfAnyBytesIsUsedAsGiven) {
    quarvel::testing::TempDir dir;
    const std::filesystem::path file = dir.path() / std::string("s\xff.ini");
    QtSettingsStore store(file);
    EXPECT_TRUE(store.refusal().isEmpty());
    ASSERT_TRUE(store.save("intLei", "4"));
    EXPECT_NE(quarvel::testing::readFile(file).find("intLei=4"), std::string::npos);
    EXPECT_EQ(QtSettingsStore(file).get("intLei").value_or(""), "4");
}
