// Start-up steps 4 to 9 against a sandbox store.
#include <gtest/gtest.h>

#include "cipher/cipher_text.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "core/load_settings.h"
#include "support/scoped_settings_file.h"
#include "core/settings_schema.h"

using namespace dovrel;

namespace {

class LoadSettings : public ::testing::Test {
protected:
    void TearDown() override { resetRunState(); }
    test::ScopedSettingsFile store;
};

}  // namespace

TEST_F(LoadSettings, FirstRunCreatesTheDefaultsInOrderAndDecryptsThemToEmpty) {
    LoadSettingsAtStart();
    const std::string text = store.contents();
    const auto server = text.find("\"ServerName\"=");
    const auto database = text.find("\"DataBase\"=\"TovixHR\"");
    const auto password = text.find("\"Password\"=\"\"");
    const auto user = text.find("\"User\"=\"sa\"");
    ASSERT_NE(server, std::string::npos) << text;
    ASSERT_NE(database, std::string::npos) << text;
    ASSERT_NE(password, std::string::npos) << text;
    ASSERT_NE(user, std::string::npos) << text;
    EXPECT_LT(server, database);
    EXPECT_LT(database, password);
    EXPECT_LT(password, user);
    EXPECT_EQ(store.value("ServerName"), GetMachineName());

    const auto& s = runState().ConnectionSettings;
    EXPECT_EQ(s.ServerName, GetMachineName());
    EXPECT_EQ(s.DatabaseName, "TovixHR");
    EXPECT_EQ(s.UserName, "") << "plain \"sa\" decrypts to nothing";
    EXPECT_EQ(s.UserPassword, "");
    EXPECT_EQ(store.value("User"), "sa") << "the store keeps the plain login";
}

TEST_F(LoadSettings, StoredCipherTextIsDecrypted) {
    ASSERT_EQ(WriteSetting(kSettingsKey, "ServerName", "127.0.0.1,1433"), 0);
    ASSERT_EQ(WriteSetting(kSettingsKey, "Database", "薪资"), 0);
    ASSERT_EQ(WriteSetting(kSettingsKey, "User", CipherText("E", kCipherKey, "hruser")), 0);
    ASSERT_EQ(WriteSetting(kSettingsKey, "Password", CipherText("E", kCipherKey, "p@ss word;1")), 0);
    LoadSettingsAtStart();
    const auto& s = runState().ConnectionSettings;
    EXPECT_EQ(s.ServerName, "127.0.0.1,1433");
    EXPECT_EQ(s.DatabaseName, "薪资");
    EXPECT_EQ(s.UserName, "hruser");
    EXPECT_EQ(s.UserPassword, "p@ss word;1");
}
