#include "platform/codepage.h"

#include "platform/iconv_handle.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>

namespace dovrel::platform {
namespace {

std::optional<CodePages> overridden;
std::mutex overrideMutex;

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

std::string_view localeFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

std::string iconvName(int codePage) { return "CP" + std::to_string(codePage); }

// Converts with iconv; nullopt on an invalid or unrepresentable sequence.
std::optional<std::string> convert(std::string_view input, const std::string& to, const std::string& from) {
    const IconvHandle converter = IconvHandle::open(to.c_str(), from.c_str());
    if (!converter.valid()) return std::nullopt;
    iconv_t cd = converter.get();
    std::string output(input.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char* out = output.data();
    size_t outLeft = output.size();
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
            if (errno == E2BIG) {
                size_t used = output.size() - outLeft;
                output.resize(output.size() * 2);
                out = output.data() + used;
                outLeft = output.size() - used;
                continue;
            }
            ok = false;
            break;
        }
    }
    if (ok && iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) ok = false;
    if (!ok) return std::nullopt;
    output.resize(output.size() - outLeft);
    return output;
}

}  // namespace

CodePages codePagesForLocale(std::string_view name) {
    if (startsWith(name, "zh_CN") || startsWith(name, "zh_SG")) return {936, 936};
    if (startsWith(name, "zh_TW") || startsWith(name, "zh_HK") || startsWith(name, "zh_MO")) return {950, 950};
    if (startsWith(name, "ja")) return {932, 932};
    if (startsWith(name, "ko")) return {949, 949};
    return {1252, 437};
}

static CodePages currentCodePages() {
    {
        std::lock_guard lock(overrideMutex);
        if (overridden) return *overridden;
    }
    return codePagesForLocale(localeFromEnvironment());
}

int ansiCodePage() { return currentCodePages().ansi; }
int oemCodePage() { return currentCodePages().oem; }

void overrideCodePages(std::optional<CodePages> pages) {
    std::lock_guard lock(overrideMutex);
    overridden = pages;
}

// Every code page the program meets keeps ASCII as it is, so plain ASCII
// text needs no converter (opening one costs more than most conversions).
static bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::optional<std::string> utf8ToCodePage(std::string_view utf8, int codePage) {
    if (isAscii(utf8)) return std::string(utf8);
    if (!isValidUtf8(utf8)) return std::nullopt;
    return convert(utf8, iconvName(codePage), "UTF-8");
}

std::optional<std::string> codePageToUtf8(std::string_view bytes, int codePage) {
    if (isAscii(bytes)) return std::string(bytes);
    return convert(bytes, "UTF-8", iconvName(codePage));
}

}  // namespace dovrel::platform
