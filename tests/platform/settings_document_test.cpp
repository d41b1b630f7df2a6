#include "platform/settings_document.h"

#include <gtest/gtest.h>

using namespace dovrel::platform;

namespace {
const std::string kKey = "SoftWare\\Tovix\\HR";
}

TEST(SettingsDocument, AnyTextRoundTripsThroughTheFileFormat) {
    const std::string texts[] = {
        "中文数据库",         "  spaces at both ends  ", "a=b;c=d",
        "say \"hi\" 'there'", "line\r\nbreak\nand\rCR",  std::string("nul\0inside", 10),
        "back\\slash\\",      "\t\x01\x7f end",          "",
        "[not a key]",        "; not a comment",         "\"\"\"",
    };
    SettingsDocument doc = *SettingsDocument::parse("");
    int i = 0;
    for (const auto& t : texts) doc.set(kKey, "v" + std::to_string(i++), t);
    auto parsed = SettingsDocument::parse(doc.text());
    ASSERT_TRUE(parsed);
    i = 0;
    for (const auto& t : texts) {
        const std::string* v = parsed->value(kKey, "v" + std::to_string(i++));
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(*v, t);
    }
}

TEST(SettingsDocument, NamesAndPathsIgnoreCaseAndKeepTheFirstSpelling) {
    SettingsDocument doc = *SettingsDocument::parse("");
    EXPECT_TRUE(doc.set(kKey, "DataBase", "A"));
    EXPECT_FALSE(doc.ensureKey("software\\TOVIX\\hr\\"));
    EXPECT_TRUE(doc.set("software\\TOVIX\\hr\\", "Database", "B"));
    EXPECT_FALSE(doc.set(kKey, "DATABASE", "B")) << "same text is no change";
    const auto entries = doc.entries();
    ASSERT_EQ(entries.size(), 1u);
    ASSERT_EQ(entries[0].values.size(), 1u);
    EXPECT_EQ(entries[0].path, kKey);
    EXPECT_EQ(entries[0].values[0].name, "DataBase");
    EXPECT_EQ(entries[0].values[0].text, "B");
}

TEST(SettingsDocument, AcceptsAnAdministratorsEditsAndNamesTheDamagedLine) {
    auto edited = SettingsDocument::parse(
        "\xEF\xBB\xBF; edited by hand\n"
        "# another comment\n\n"
        "  [SoftWare\\Tovix\\HR]  \r\n"
        "  \"ServerName\" = \"PC1\"  \r\n"
        "\"User\"=\"\\x41\\t\"\n");
    ASSERT_TRUE(edited);
    EXPECT_EQ(*edited->value("SOFTWARE\\TOVIX\\HR", "servername"), "PC1");
    EXPECT_EQ(*edited->value(kKey, "user"), "A\t");

    for (const auto& [bad, line] : std::vector<std::pair<std::string, std::size_t>>{
             {"\"Orphan\"=\"value before any key\"\n", 1},
             {"[SoftWare\\Tovix\\HR]\nServerName=PC1\n", 2},
             {"; ok\n[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"unterminated\n", 3},
             {"[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"bad escape \\q\"\n", 2},
             {"[SoftWare\\Tovix\\HR]\n\"ServerName\"=\"PC1\" trailing\n", 2},
             {"[SoftWare\\Tovix\\HR]\n\"\"=\"empty name\"\n", 2},
             {"[SoftWare\\Tovix\\HR\n", 1},
             {"\n\n[]\n", 3},
             {"\x01\x02\x03garbage", 1},
             {"\xEF\xBB\xBF\xEF\xBB\xBF[A]\n", 1},  // one mark, not two
         }) {
        SCOPED_TRACE(bad);
        SettingsParseError error;
        EXPECT_FALSE(SettingsDocument::parse(bad, &error));
        EXPECT_EQ(error.line, line);
        EXPECT_FALSE(error.reason.empty());
    }
    EXPECT_TRUE(SettingsDocument::parse("")) << "an empty store is a valid store";
}

TEST(SettingsDocument, AWriteChangesOnlyTheLinesOfItsValues) {
    const std::string before =
        "\xEF\xBB\xBF; kept first\r\n"
        "[Other\\Key]\r\n"
        "\"Keep\"=\"me\"\r\n"
        "\r\n"
        "# the program's key\r\n"
        "[SoftWare\\Tovix\\HR]\r\n"
        "\"DataBase\"=\"A\"\r\n"
        "; a note under the key\r\n"
        "\"Unknown\"=\"kept\"\r\n"
        "\r\n"
        "; trailing comment\r\n";
    auto doc = SettingsDocument::parse(before);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->set(kKey, "Database", "B"));
    EXPECT_TRUE(doc->set(kKey, "ServerName", "PC1"));
    EXPECT_TRUE(doc->set("New\\Key", "X", "1"));
    EXPECT_EQ(doc->text(),
              "\xEF\xBB\xBF; kept first\r\n"
              "[Other\\Key]\r\n"
              "\"Keep\"=\"me\"\r\n"
              "\r\n"
              "# the program's key\r\n"
              "[SoftWare\\Tovix\\HR]\r\n"
              "\"DataBase\"=\"B\"\r\n"
              "; a note under the key\r\n"
              "\"Unknown\"=\"kept\"\r\n"
              "\"ServerName\"=\"PC1\"\r\n"
              "\r\n"
              "; trailing comment\r\n"
              "\r\n"
              "[New\\Key]\r\n"
              "\"X\"=\"1\"\r\n");
}
