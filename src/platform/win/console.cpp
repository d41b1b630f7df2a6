#include "platform/console.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string_view>

#include "platform/win/wide_text.h"

namespace dovrel::platform {
namespace {

// How many bytes at the end of `bytes` begin a UTF-8 sequence that the
// next write completes (0 when the last sequence is whole).
std::size_t unfinishedSequence(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((c & 0xC0) == 0x80) continue;
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// Text for the console, ill-formed bytes shown as U+FFFD rather than lost.
std::wstring forConsole(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

// The stream buffer of std::cout or std::cerr on Windows. Keeps what is
// written until a line ends, a flush or 4 KiB; a console gets it as UTF-16
// text, a file or pipe as the UTF-8 bytes.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(DWORD which) : handle_(GetStdHandle(which)) {
        DWORD mode = 0;
        console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
    }
    ~ConsoleBuffer() override { write(true); }
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return write() ? traits_type::not_eof(c) : c;
        pending_.push_back(traits_type::to_char_type(c));
        if ((c == '\n' || pending_.size() >= kFlushSize) && !write()) return traits_type::eof();
        return c;
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending_.append(text, static_cast<std::size_t>(count));
        const bool lineEnded =
            std::string_view(text, static_cast<std::size_t>(count)).find('\n') != std::string_view::npos;
        if ((lineEnded || pending_.size() >= kFlushSize) && !write()) return 0;
        return count;
    }
    int sync() override { return write() ? 0 : -1; }

private:
    static constexpr std::size_t kFlushSize = 4096;

    // Writes what is pending; a character cut short at the end waits for
    // its rest, unless this is the last write.
    bool write(bool last = false) {
        if (pending_.empty()) return true;
        if (!console_) {
            const bool ok = writeBytes(pending_);
            pending_.clear();
            return ok;
        }
        const std::size_t whole = pending_.size() - (last ? 0 : unfinishedSequence(pending_));
        const std::wstring wide = forConsole(std::string_view(pending_).substr(0, whole));
        pending_.erase(0, whole);
        for (std::size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 16384));
            if (!WriteConsoleW(handle_, wide.data() + done, chunk, &written, nullptr) || written == 0) return false;
            done += written;
        }
        return true;
    }

    bool writeBytes(std::string_view bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
            if (!WriteFile(handle_, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
            done += written;
        }
        return true;
    }

    HANDLE handle_;
    bool console_ = false;
    std::string pending_;
};

}  // namespace

std::optional<std::vector<std::string>> commandLineArguments(int, char**, std::string& error) {
    // argv holds the arguments in the ANSI code page, which cannot hold
    // every character; the wide command line can.
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) {
        error = "the command line cannot be read";
        return std::nullopt;
    }
    std::optional<std::vector<std::string>> arguments(std::in_place);
    for (int i = 1; i < count; ++i) {
        std::optional<std::string> text = win::toStrictUtf8(wide[i]);
        if (!text) {
            error = "argument " + std::to_string(i) + " is not text (half a UTF-16 surrogate pair)";
            arguments.reset();
            break;
        }
        arguments->push_back(std::move(*text));
    }
    LocalFree(wide);
    return arguments;
}

struct ConsoleText::Streams {
    ConsoleBuffer out{STD_OUTPUT_HANDLE};
    ConsoleBuffer err{STD_ERROR_HANDLE};
    std::streambuf* previousOut = nullptr;
    std::streambuf* previousErr = nullptr;
    HANDLE errorConsole = GetStdHandle(STD_ERROR_HANDLE);
    DWORD previousErrorMode = 0;
    bool errorModeChanged = false;
};

ConsoleText::ConsoleText() : streams_(std::make_unique<Streams>()) {
    streams_->previousOut = std::cout.rdbuf(&streams_->out);
    streams_->previousErr = std::cerr.rdbuf(&streams_->err);
    // The progress bar redraws its line with terminal escapes, which a
    // console obeys only when asked to.
    DWORD mode = 0;
    if (GetConsoleMode(streams_->errorConsole, &mode) &&
        SetConsoleMode(streams_->errorConsole, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
        streams_->previousErrorMode = mode;
        streams_->errorModeChanged = true;
    }
}

ConsoleText::~ConsoleText() {
    std::cout.flush();
    std::cerr.flush();
    std::cout.rdbuf(streams_->previousOut);
    std::cerr.rdbuf(streams_->previousErr);
    if (streams_->errorModeChanged) SetConsoleMode(streams_->errorConsole, streams_->previousErrorMode);
}

}  // namespace dovrel::platform
