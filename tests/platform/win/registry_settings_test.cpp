// The settings store in the registry: HKEY_LOCAL_MACHINE's 32-bit view,
// REG_SZ values through the wide functions, the default write-back of a
// first run, and a user without the right to write there.
#include "platform/win/registry_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/load_settings.h"
#include "core/read_setting.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "platform/win/wide_text.h"
#include "win_test_support.h"

namespace dovrel::platform::win {
namespace {

struct RawValue {
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

// A value as the registry holds it, read in the given view; nullopt when
// the key or value is missing.
std::optional<RawValue> rawValue(REGSAM view, const std::wstring& path, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        value.bytes.resize(size);
        rc = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.bytes.data(), &size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return value;
}

bool keyExists(REGSAM view, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void deleteKey(const std::wstring& parent, const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, parent.c_str(), 0, KEY_ALL_ACCESS | kSettingsView, &key) == ERROR_SUCCESS) {
        RegDeleteTreeW(key, name.c_str());
        RegCloseKey(key);
    }
}

std::vector<BYTE> utf16WithNul(const std::wstring& text) {
    std::vector<BYTE> bytes(reinterpret_cast<const BYTE*>(text.c_str()),
                            reinterpret_cast<const BYTE*>(text.c_str() + text.size() + 1));
    return bytes;
}

// Each test works under its own key beside the program's.
class RegistryStore : public ::testing::Test {
protected:
    void TearDown() override { deleteKey(L"SoftWare\\Tovix", name); }

    const std::wstring name = L"DovrelTest-" + std::to_wstring(GetCurrentProcessId());
    const std::string key = "SoftWare\\Tovix\\" + toUtf8(name);
    RegistrySettingsBackend store;
};

TEST_F(RegistryStore, ValuesAreStringsInThe32BitView) {
    ASSERT_EQ(store.setValue(key, "ServerName", "服务器,1433"), 0);
    ASSERT_EQ(store.setValue(key, "Password", ""), 0);
    const std::wstring redirected = L"Software\\WOW6432Node\\Tovix\\" + name;
    const auto server = rawValue(KEY_WOW64_64KEY, redirected, L"ServerName");
    ASSERT_TRUE(server) << "written where the 32-bit programs read";
    EXPECT_EQ(server->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(server->bytes, utf16WithNul(L"服务器,1433")) << "UTF-16 with its terminating NUL";
    const auto password = rawValue(KEY_WOW64_64KEY, redirected, L"Password");
    ASSERT_TRUE(password);
    EXPECT_EQ(password->type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(password->bytes.empty()) << "an empty value has no bytes at all";
    EXPECT_FALSE(keyExists(KEY_WOW64_64KEY, L"Software\\Tovix\\" + name)) << "nothing in the 64-bit view";
}

TEST_F(RegistryStore, TextsReadBackUnchangedAndNamesIgnoreCase) {
    EXPECT_EQ(store.createKey(key), 0);
    for (const std::string text : {"TovixHR", "人事考勤 数据库", "𠀀 and 😀", "  spaces  ", "a=b;c\r\nd", ""}) {
        ASSERT_EQ(store.setValue(key, "Database", text), 0);
        std::optional<std::string> value;
        ASSERT_EQ(store.queryValue(key, "DATABASE", value), 0);
        EXPECT_EQ(value, text);
    }
    std::optional<std::string> missing = "junk";
    EXPECT_EQ(store.queryValue(key, "NoSuchValue", missing), code::FileNotFound);
    EXPECT_FALSE(missing);
    EXPECT_EQ(store.queryValue(key + "\\NoSuchKey", "User", missing), code::FileNotFound);
    EXPECT_FALSE(keyExists(KEY_WOW64_32KEY, toWide(key + "\\NoSuchKey").value())) << "a read creates no key";
}

TEST_F(RegistryStore, StringsOfOtherWritersAreReadAsStored) {
    ASSERT_EQ(store.createKey(key), 0);
    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, toWide(key)->c_str(), 0, KEY_SET_VALUE | kSettingsView, &handle), 0);
    const std::wstring noNul = L"abc";
    const std::wstring inner = std::wstring(L"ab\0cd", 5);
    RegSetValueExW(handle, L"NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>(noNul.data()), 6);
    RegSetValueExW(handle, L"Inner", 0, REG_SZ, reinterpret_cast<const BYTE*>(inner.data()), 12);
    RegSetValueExW(handle, L"OddSize", 0, REG_SZ, reinterpret_cast<const BYTE*>(noNul.data()), 5);
    RegCloseKey(handle);
    std::optional<std::string> value;
    EXPECT_EQ(store.queryValue(key, "NoNul", value), 0);
    EXPECT_EQ(value, "abc") << "taken whole, nothing appended";
    EXPECT_EQ(store.queryValue(key, "Inner", value), 0);
    EXPECT_EQ(value, std::string("ab\0cd", 5));
    std::string read;
    EXPECT_EQ(ReadSetting(key, "Inner", read, "default"), 0);
    EXPECT_EQ(read, "ab") << "the setting ends at its first NUL";
    EXPECT_EQ(store.queryValue(key, "OddSize", value), 0);
    EXPECT_EQ(value, "ab") << "half a character is none";
}

TEST_F(RegistryStore, EmptyOrUnusableNamesAreRefused) {
    EXPECT_EQ(store.createKey(""), code::BadKey);
    EXPECT_EQ(store.createKey("\\\\"), code::BadKey);
    EXPECT_EQ(store.setValue(key, "", "x"), code::BadKey);
    EXPECT_EQ(store.setValue(key, "bad\xFF", "x"), code::InvalidParameter);
    EXPECT_EQ(store.setValue(key, "User", "bad\xFF"), code::InvalidParameter);
    EXPECT_FALSE(keyExists(KEY_WOW64_32KEY, toWide(key).value())) << "nothing was created";
    ASSERT_EQ(store.setValue("\\" + key + "\\\\", "User", "sa"), 0);
    std::optional<std::string> value;
    EXPECT_EQ(store.queryValue(key, "User", value), 0) << "stray backslashes name the same key";
    EXPECT_EQ(value, "sa");
}

// The program's own key, on a machine that has none yet (the throw-away
// Wine prefix of the test run; a machine with settings is left alone).
TEST(RegistryFirstRun, StartUpCreatesTheKeyAndWritesTheDefaults) {
    const std::wstring redirected = L"Software\\WOW6432Node\\Tovix\\HR";
    if (keyExists(KEY_WOW64_32KEY, L"SoftWare\\Tovix\\HR")) GTEST_SKIP() << "this machine has settings already";
    LoadSettingsAtStart();
    const std::wstring machine = toWide(GetMachineName()).value();
    ASSERT_FALSE(machine.empty());
    EXPECT_EQ(rawValue(KEY_WOW64_64KEY, redirected, L"ServerName")->bytes, utf16WithNul(machine));
    EXPECT_EQ(rawValue(KEY_WOW64_64KEY, redirected, L"DataBase")->bytes, utf16WithNul(L"TovixHR"));
    EXPECT_EQ(rawValue(KEY_WOW64_64KEY, redirected, L"User")->bytes, utf16WithNul(L"sa"));
    const auto password = rawValue(KEY_WOW64_64KEY, redirected, L"Password");
    ASSERT_TRUE(password);
    EXPECT_EQ(password->type, static_cast<DWORD>(REG_SZ));
    EXPECT_TRUE(password->bytes.empty());
    EXPECT_EQ(runState().ConnectionSettings.DatabaseName, "TovixHR");
    deleteKey(L"SoftWare\\Tovix", L"HR");
    resetRunState();
}

// What a user without administrator rights meets: HKEY_LOCAL_MACHINE may
// be read, but no key created and no value written there. (Wine grants
// every right, so the registry functions are replaced.)
LSTATUS WINAPI createKeyAsUser(HKEY root, LPCWSTR path, DWORD reserved, LPWSTR keyClass, DWORD options, REGSAM access,
                               LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition) {
    HKEY existing = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE | (access & KEY_WOW64_RES), &existing) != ERROR_SUCCESS)
        return ERROR_ACCESS_DENIED;
    RegCloseKey(existing);
    if (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
    return RegCreateKeyExW(root, path, reserved, keyClass, options, access, security, key, disposition);
}

LSTATUS WINAPI setValueAsUser(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) { return ERROR_ACCESS_DENIED; }

TEST_F(RegistryStore, WithoutWriteRightsTheCodesComeBackAndReadsStillWork) {
    ASSERT_EQ(store.setValue(key, "ServerName", "10.1.2.3"), 0);  // written by an administrator
    RegistryCalls asUser;
    asUser.createKey = createKeyAsUser;
    asUser.setValue = setValueAsUser;
    RegistrySettingsBackend userStore(asUser);
    test::win::ScopedMachineSettings scoped(userStore);

    EXPECT_EQ(WriteSetting(key, "ServerName", "other"), code::AccessDenied);
    std::string out;
    EXPECT_EQ(ReadSetting(key, "ServerName", out, "default"), 0);
    EXPECT_EQ(out, "10.1.2.3") << "reading needs no write right";
    EXPECT_EQ(ReadSetting(key, "DataBase", out, "TovixHR"), 0);
    EXPECT_EQ(out, "TovixHR") << "the default is used even though it cannot be written back";
    EXPECT_FALSE(rawValue(KEY_WOW64_32KEY, toWide(key).value(), L"DataBase"));
    EXPECT_EQ(ReadSetting(key + "\\Missing", "User", out, "sa"), code::AccessDenied);
    EXPECT_EQ(out, "") << "a key that cannot be created gives no default";
}

}  // namespace
}  // namespace dovrel::platform::win
