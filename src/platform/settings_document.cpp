#include "platform/settings_document.h"

#include <cstdio>

namespace dovrel::platform {
namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads a quoted string at the start of `s`, advancing past it.
std::optional<std::string> readQuoted(std::string_view& s) {
    if (s.empty() || s.front() != '"') return std::nullopt;
    std::string out;
    size_t i = 1;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            s.remove_prefix(i + 1);
            return out;
        }
        if (c != '\\') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 >= s.size()) return std::nullopt;
        char e = s[i + 1];
        i += 2;
        switch (e) {
        case '\\': out += '\\'; break;
        case '"': out += '"'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '0': out += '\0'; break;
        case 'x': {
            if (i + 2 > s.size()) return std::nullopt;
            int hi = hexValue(s[i]), lo = hexValue(s[i + 1]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return std::nullopt;
}

std::string quote(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\0': out += "\\0"; break;
        default:
            if (u < 0x20 || u == 0x7F) {
                char buf[5];
                std::snprintf(buf, sizeof buf, "\\x%02X", u);
                out += buf;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

}  // namespace

bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string normalizeKeyPath(std::string_view path) {
    std::string out;
    bool pendingSeparator = false;
    for (char c : path) {
        if (c == '\\') {
            pendingSeparator = !out.empty();
            continue;
        }
        if (pendingSeparator) out += '\\';
        pendingSeparator = false;
        out += lowerAscii(c);
    }
    return out;
}

bool isStorableKeyPath(std::string_view path) {
    if (normalizeKeyPath(path).empty()) return false;
    for (char c : path)
        if (c == '\n' || c == '\r' || c == '\0') return false;
    return true;
}

const SettingsValue* SettingsKey::find(std::string_view name) const {
    for (const auto& v : values)
        if (namesEqual(v.name, name)) return &v;
    return nullptr;
}

bool SettingsKey::set(std::string_view name, std::string_view text) {
    for (auto& v : values) {
        if (namesEqual(v.name, name)) {
            if (v.text == text) return false;
            v.text = std::string(text);
            return true;
        }
    }
    values.push_back({std::string(name), std::string(text)});
    return true;
}

const SettingsKey* SettingsDocument::find(std::string_view path) const {
    const std::string wanted = normalizeKeyPath(path);
    for (const auto& k : keys)
        if (normalizeKeyPath(k.path) == wanted) return &k;
    return nullptr;
}

SettingsKey& SettingsDocument::ensure(std::string_view path, bool& created) {
    const std::string wanted = normalizeKeyPath(path);
    for (auto& k : keys) {
        if (normalizeKeyPath(k.path) == wanted) {
            created = false;
            return k;
        }
    }
    created = true;
    keys.push_back({std::string(path), {}});
    return keys.back();
}

std::optional<SettingsDocument> parseSettings(std::string_view text) {
    SettingsDocument doc;
    SettingsKey* current = nullptr;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = trimBlanks(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            if (end == text.size()) break;
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) return std::nullopt;
            std::string_view path = line.substr(1, line.size() - 2);
            if (!isStorableKeyPath(path)) return std::nullopt;
            bool created = false;
            current = &doc.ensure(path, created);
            if (end == text.size()) break;
            continue;
        }
        if (!current) return std::nullopt;
        std::string_view rest = line;
        auto name = readQuoted(rest);
        if (!name || name->empty()) return std::nullopt;
        rest = trimBlanks(rest);
        if (rest.empty() || rest.front() != '=') return std::nullopt;
        rest = trimBlanks(rest.substr(1));
        auto value = readQuoted(rest);
        if (!value || !trimBlanks(rest).empty()) return std::nullopt;
        current->set(*name, *value);
        if (end == text.size()) break;
    }
    return doc;
}

std::string formatSettings(const SettingsDocument& document) {
    std::string out =
        "; Dovrel machine-wide settings (the HKEY_LOCAL_MACHINE hive of this machine).\n"
        "; UTF-8. Edit with care: a file that cannot be read is reported, never rewritten.\n";
    for (const auto& key : document.keys) {
        out += "\n[" + key.path + "]\n";
        for (const auto& v : key.values) out += quote(v.name) + "=" + quote(v.text) + "\n";
    }
    return out;
}

}  // namespace dovrel::platform
