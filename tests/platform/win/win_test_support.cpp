#include "win_test_support.h"

#include <windows.h>

#include <fstream>
#include <random>
#include <stdexcept>

#include "platform/file_path.h"
#include "platform/win/wide_text.h"

namespace dovrel::test::win {
namespace {

// One argument as the command line parser reads it back.
std::wstring quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

class Handle {
public:
    Handle() = default;
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE* receive() { return &handle_; }
    HANDLE get() const { return handle_; }
    void reset() {
        if (handle_) CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_ = nullptr;
};

}  // namespace

TempFolder::TempFolder(const std::string& name) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto folder =
            std::filesystem::temp_directory_path() / platform::filePath(name + "-" + std::to_string(random()));
        if (std::filesystem::create_directory(folder)) {
            path_ = folder;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write a test file");
}

ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments) {
    std::wstring commandLine = quoted(program.wstring());
    for (const std::string& argument : arguments) commandLine += L" " + quoted(platform::win::toWide(argument).value());

    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle readEnd, writeEnd;
    if (!CreatePipe(readEnd.receive(), writeEnd.receive(), &inherit, 0)) throw std::runtime_error("CreatePipe");
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
        throw std::runtime_error("cannot start " + platform::win::toUtf8(program.wstring()));
    }
    Handle processHandle, threadHandle;
    *processHandle.receive() = process.hProcess;
    *threadHandle.receive() = process.hThread;
    writeEnd.reset();  // the child holds the only write end now: reading ends when it does

    ProgramRun run;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
    WaitForSingleObject(processHandle.get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    run.exitCode = exitCode;
    return run;
}

}  // namespace dovrel::test::win
