#include "platform/settings_document.h"

#include <gtest/gtest.h>

using namespace dovrel::platform;

TEST(SettingsDocument, AnyTextRoundTripsThroughTheFileFormat) {
    const std::string texts[] = {
        "中文数据库",         "  spaces at both ends  ", "a=b;c=d",        "say \"hi\" 'there'",
        "line\r\nbreak\nand\rCR", std::string("nul\0inside", 10), "back\\slash\\", "\t\x01\x7f end",
        "",                    "[not a key]",             "; not a comment", "\"\"\"",
    };
    SettingsDocument doc;
    bool created = false;
    SettingsKey& key = doc.ensure("SoftWare\\Tovix\\HR", created);
    int i = 0;
    for (const auto& t : texts) key.set("v" + std::to_string(i++), t);
    auto parsed = parseSettings(formatSettings(doc));
    ASSERT_TRUE(parsed);
    const SettingsKey* back = parsed->find("SoftWare\\Tovix\\HR");
    ASSERT_NE(back, nullptr);
    i = 0;
    for (const auto& t : texts) {
        const SettingsValue* v = back->find("v" + std::to_string(i++));
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->text, t);
    }
}

TEST(SettingsDocument, NamesAndPathsIgnoreCaseAndKeepTheFirstSpelling) {
    SettingsDocument doc;
    bool created = false;
    doc.ensure("SoftWare\\Tovix\\HR", created).set("DataBase", "A");
    EXPECT_TRUE(created);
    SettingsKey& again = doc.ensure("software\\TOVIX\\hr\\", created);
    EXPECT_FALSE(created);
    EXPECT_TRUE(again.set("Database", "B"));
    EXPECT_FALSE(again.set("DATABASE", "B")) << "same text is no change";
    ASSERT_EQ(doc.keys.size(), 1u);
    ASSERT_EQ(doc.keys[0].values.size(), 1u);
    EXPECT_EQ(doc.keys[0].path, "SoftWare\\Tovix\\HR");
    EXPECT_EQ(doc.keys[0].values[0].name, "DataBase");
    EXPECT_EQ(doc.keys[0].values[0].text, "B");
}

TEST(SettingsDocument, AcceptsAnAdministratorsEditsAndRejectsGarbage) {
    auto edited = parseSettings(
        "; edited by hand\n"
        "# another comment\n\n"
        "  [SoftWare\\Tovix\\HR]  \r\n"
        "  \"ServerName\" = \"PC1\"  \r\n"
        "\"User\"=\"\\x41\\t\"\n");
    ASSERT_TRUE(edited);
    const SettingsKey* key = edited->find("SOFTWARE\\TOVIX\\HR");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->find("servername")->text, "PC1");
    EXPECT_EQ(key->find("user")->text, "A\t");

    for (const char* bad : {
             "\"Orphan\"=\"value before any key\"\n",
             "[SoftWare\\Tovix\\HR]\nServerName=PC1\n",
             "[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"unterminated\n",
             "[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"bad escape \\q\"\n",
             "[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"PC1\" trailing\n",
             "[SoftWare\\Tovix\\HR]\n\"\"=\"empty name\"\n",
             "[SoftWare\\Tovix\\HR\n",
             "[]\n",
             "\x01\x02\x03garbage",
         }) {
        EXPECT_FALSE(parseSettings(bad)) << bad;
    }
    EXPECT_TRUE(parseSettings("")) << "an empty store is a valid store";
}
