#pragma once
// The text form of the settings store, close to a .reg export so that an
// administrator can read and edit it:
//
//   ; comment
//   [SoftWare\Tovix\HR]
//   "ServerName"="PC1"
//   "Password"=""
//
// A key line is the key path between "[" and the last "]". Value names and
// values are quoted; inside the quotes \\ \" \n \r \t \0 and \xHH stand for
// the character, so any text (line breaks, quotes, NUL) survives. Blanks
// around "=" and around lines are allowed; blank lines and lines starting
// with ";" or "#" are ignored. Anything else makes the document unreadable.
// Key paths and value names compare without regard to letter case; the
// first spelling is kept.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dovrel::platform {

struct SettingsValue {
    std::string name;
    std::string text;
};

struct SettingsKey {
    std::string path;
    std::vector<SettingsValue> values;
    const SettingsValue* find(std::string_view name) const;
    // Sets (or adds) a value; true when the document changed.
    bool set(std::string_view name, std::string_view text);
};

struct SettingsDocument {
    std::vector<SettingsKey> keys;
    const SettingsKey* find(std::string_view path) const;
    // The key, created (at the end) when missing.
    SettingsKey& ensure(std::string_view path, bool& created);
};

// Key paths compare this way: ASCII letters without regard to case, "\"
// runs and the ends trimmed ("SoftWare\\Tovix\" is "software\tovix").
std::string normalizeKeyPath(std::string_view path);
bool namesEqual(std::string_view a, std::string_view b);

// nullopt when the text is not a settings document.
std::optional<SettingsDocument> parseSettings(std::string_view text);
std::string formatSettings(const SettingsDocument& document);

// True when the path can be stored (not empty after trimming, no line breaks or NUL).
bool isStorableKeyPath(std::string_view path);

}  // namespace dovrel::platform
