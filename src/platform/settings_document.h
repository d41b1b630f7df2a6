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
// with ";" or "#" are comments. A UTF-8 byte-order mark may open the file.
// Anything else makes the document unreadable. Key paths and value names
// compare without regard to letter case; the first spelling is kept.
//
// Changing a document rewrites only the lines of the values it changes:
// comments, blank lines, other keys and values, the byte-order mark and the
// line ends stay exactly as they were.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dovrel::platform {

// Where and why a text is not a settings document.
struct SettingsParseError {
    std::size_t line = 0;  // counting from 1
    std::string reason;
};

class SettingsDocument {
public:
    struct Value {
        std::string name;
        std::string text;
    };
    struct Key {
        std::string path;
        std::vector<Value> values;
    };

    // nullopt, with the place and the reason in `error`, when `text` is not
    // a settings document. Linear in the size of the text.
    static std::optional<SettingsDocument> parse(std::string_view text, SettingsParseError* error = nullptr);

    bool hasKey(std::string_view keyPath) const;
    // The value's text, nullptr when the key or the value is missing.
    const std::string* value(std::string_view keyPath, std::string_view name) const;

    // Adds the key (at the end) when missing; true when the document changed.
    bool ensureKey(std::string_view keyPath);
    // Sets a value, adding the key and the value when missing (a new value
    // goes after the key's last line); true when the document changed.
    bool set(std::string_view keyPath, std::string_view name, std::string_view text);

    // The document as text.
    std::string text() const;
    // The keys and their values in the order they were first met.
    std::vector<Key> entries() const;

private:
    struct ValueEntry {
        std::string name;
        std::string text;
        std::size_t line;
    };
    struct KeyEntry {
        std::string path;
        std::size_t lastLine;  // the key's last line: its header or its last value
        std::vector<ValueEntry> values;
        std::unordered_map<std::string, std::size_t> byName;
    };

    KeyEntry& addKey(std::string_view path, std::size_t headerLine);
    KeyEntry* findKey(std::string_view path);
    const KeyEntry* findKey(std::string_view path) const;
    void insertLine(std::size_t at, std::string line);

    std::vector<std::string> lines_;  // without their line ends
    std::vector<KeyEntry> keys_;
    std::unordered_map<std::string, std::size_t> byPath_;
    bool byteOrderMark_ = false;
    bool finalLineEnd_ = true;
    std::string lineEnd_ = "\n";
};

// Key paths compare this way: ASCII letters without regard to case, "\"
// runs and the ends trimmed ("SoftWare\\Tovix\" is "software\tovix").
std::string normalizeKeyPath(std::string_view path);
bool namesEqual(std::string_view a, std::string_view b);

// True when the path can be stored (not empty after trimming, no line breaks or NUL).
bool isStorableKeyPath(std::string_view path);

}  // namespace dovrel::platform
