// Where the Windows programs keep their settings: the per-user registry key that the old
// program used, read back here with the registry's own calls.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/qt_settings_store.h"

namespace {

const wchar_t* kKey = L"Software\\VB and VBA Program Settings\\TARNVEMOS\\IniSetting";

std::wstring registryValue(const wchar_t* name) {
    wchar_t buf[256] = {};
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return L"(absent)";
    return buf;
}

TEST(WindowsSettings, LiveInTheUsersRegistryUnderTheOldProgramsKey) {
    quarvel::platform::QtSettingsStore store;
    EXPECT_TRUE(store.fileName().contains(QStringLiteral("TARNVEMOS")))
        << store.fileName().toStdString();
    ASSERT_TRUE(store.save("QuarvelTestKey", "遗漏 12"));
    EXPECT_EQ(registryValue(L"QuarvelTestKey"), L"遗漏 12");
    EXPECT_EQ(quarvel::platform::QtSettingsStore().get("QuarvelTestKey").value_or(""), "遗漏 12");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"QuarvelTestKey");
    EXPECT_FALSE(quarvel::platform::QtSettingsStore().get("QuarvelTestKey").has_value());
}

}  // namespace
#endif
