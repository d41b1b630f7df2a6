#include "platform/settings_document.h"

#include <algorithm>
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

namespace {

std::string lowerName(std::string_view name) {
    std::string out(name);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

std::string valueLine(std::string_view name, std::string_view text) { return quote(name) + "=" + quote(text); }

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

SettingsDocument::KeyEntry* SettingsDocument::findKey(std::string_view path) {
    const auto it = byPath_.find(normalizeKeyPath(path));
    return it == byPath_.end() ? nullptr : &keys_[it->second];
}

const SettingsDocument::KeyEntry* SettingsDocument::findKey(std::string_view path) const {
    const auto it = byPath_.find(normalizeKeyPath(path));
    return it == byPath_.end() ? nullptr : &keys_[it->second];
}

SettingsDocument::KeyEntry& SettingsDocument::addKey(std::string_view path, std::size_t headerLine) {
    byPath_.emplace(normalizeKeyPath(path), keys_.size());
    keys_.push_back({std::string(path), headerLine, {}, {}});
    return keys_.back();
}

std::optional<SettingsDocument> SettingsDocument::parse(std::string_view text, SettingsParseError* error) {
    SettingsDocument doc;
    const auto fail = [&](std::size_t line, const char* reason) -> std::optional<SettingsDocument> {
        if (error) *error = {line + 1, reason};
        return std::nullopt;
    };
    if (text.starts_with(kByteOrderMark)) {
        doc.byteOrderMark_ = true;
        text.remove_prefix(kByteOrderMark.size());
    }
    doc.finalLineEnd_ = text.empty() || text.back() == '\n';
    if (!text.empty()) {
        if (text.ends_with('\n')) text.remove_suffix(1);
        for (std::size_t start = 0;;) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            doc.lines_.emplace_back(text.substr(start, end - start));
            if (end == text.size()) break;
            start = end + 1;
        }
        if (doc.lines_.front().ends_with('\r')) doc.lineEnd_ = "\r\n";
    }
    KeyEntry* current = nullptr;
    for (std::size_t number = 0; number < doc.lines_.size(); ++number) {
        const std::string_view line = trimBlanks(doc.lines_[number]);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return fail(number, "a key line without its closing \"]\"");
            const std::string_view path = line.substr(1, line.size() - 2);
            if (!isStorableKeyPath(path)) return fail(number, "a key line without a key path");
            current = doc.findKey(path);
            if (current)
                current->lastLine = number;
            else
                current = &doc.addKey(path, number);
            continue;
        }
        if (!current) return fail(number, "a value line before the first key line");
        std::string_view rest = line;
        auto name = readQuoted(rest);
        if (!name) return fail(number, "a value line whose name is not a quoted text");
        if (name->empty()) return fail(number, "a value line with an empty name");
        rest = trimBlanks(rest);
        if (rest.empty() || rest.front() != '=') return fail(number, "a value line without \"=\" after the name");
        rest = trimBlanks(rest.substr(1));
        auto value = readQuoted(rest);
        if (!value) return fail(number, "a value line whose value is not a quoted text");
        if (!trimBlanks(rest).empty()) return fail(number, "text after the quoted value");
        // A name given twice: the last one counts, as it always has.
        const auto [it, added] = current->byName.emplace(lowerName(*name), current->values.size());
        if (added)
            current->values.push_back({std::move(*name), std::move(*value), number});
        else
            current->values[it->second] = {current->values[it->second].name, std::move(*value), number};
        current->lastLine = number;
    }
    return doc;
}

bool SettingsDocument::hasKey(std::string_view keyPath) const { return findKey(keyPath) != nullptr; }

const std::string* SettingsDocument::value(std::string_view keyPath, std::string_view name) const {
    const KeyEntry* key = findKey(keyPath);
    if (!key) return nullptr;
    const auto it = key->byName.find(lowerName(name));
    return it == key->byName.end() ? nullptr : &key->values[it->second].text;
}

void SettingsDocument::insertLine(std::size_t at, std::string line) {
    if (lineEnd_ == "\r\n") line += '\r';
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    for (KeyEntry& key : keys_) {
        if (key.lastLine >= at) ++key.lastLine;
        for (ValueEntry& value : key.values)
            if (value.line >= at) ++value.line;
    }
}

bool SettingsDocument::ensureKey(std::string_view keyPath) {
    if (findKey(keyPath)) return false;
    if (lines_.empty()) {
        lines_.emplace_back("; Dovrel machine-wide settings (the HKEY_LOCAL_MACHINE hive of this machine).");
        lines_.emplace_back("; UTF-8. Edit with care: a file that cannot be read is reported, never rewritten.");
    }
    if (!trimBlanks(lines_.back()).empty()) insertLine(lines_.size(), {});
    insertLine(lines_.size(), "[" + std::string(keyPath) + "]");
    addKey(keyPath, lines_.size() - 1);
    return true;
}

bool SettingsDocument::set(std::string_view keyPath, std::string_view name, std::string_view text) {
    const bool addedKey = ensureKey(keyPath);
    KeyEntry& key = *findKey(keyPath);
    const auto it = key.byName.find(lowerName(name));
    if (it != key.byName.end()) {
        ValueEntry& value = key.values[it->second];
        if (value.text == text) return addedKey;
        value.text = std::string(text);
        const bool crlf = lines_[value.line].ends_with('\r');
        lines_[value.line] = valueLine(value.name, text) + (crlf ? "\r" : "");
        return true;
    }
    const std::size_t at = key.lastLine + 1;
    insertLine(at, valueLine(name, text));
    key.byName.emplace(lowerName(name), key.values.size());
    key.values.push_back({std::string(name), std::string(text), at});
    key.lastLine = at;
    return true;
}

std::string SettingsDocument::text() const {
    std::string out = byteOrderMark_ ? std::string(kByteOrderMark) : std::string();
    std::size_t size = out.size();
    for (const std::string& line : lines_) size += line.size() + 1;
    out.reserve(size);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i];  // a line of a CR LF file holds its "\r"
        if (i + 1 < lines_.size() || finalLineEnd_) out += '\n';
    }
    return out;
}

std::vector<SettingsDocument::Key> SettingsDocument::entries() const {
    std::vector<Key> out;
    out.reserve(keys_.size());
    for (const KeyEntry& key : keys_) {
        Key entry{key.path, {}};
        for (const ValueEntry& value : key.values) entry.values.push_back({value.name, value.text});
        out.push_back(std::move(entry));
    }
    return out;
}

}  // namespace dovrel::platform
