#pragma once
// Ground shared by the tests of the Windows seams: temporary folders (with
// names outside the ANSI code page if asked), programs run with their
// output captured, and the machine's store swapped for one test.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/settings_backend.h"

namespace dovrel::test::win {

// A fresh folder under the temporary folder, removed with its contents
// when the object goes. `name` (UTF-8) begins its name.
class TempFolder {
public:
    explicit TempFolder(const std::string& name = "dovrel");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Writes `bytes` into `file`.
void writeFile(const std::filesystem::path& file, const std::string& bytes);

struct ProgramRun {
    unsigned long exitCode = 0xFFFFFFFF;
    std::string output;  // standard output and error, as the program wrote them
};

// Runs `program` with `arguments` (UTF-8, quoted for the command line) and
// waits for it to end.
ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments);

// Installs `backend` as the machine's store while the object lives.
class ScopedMachineSettings {
public:
    explicit ScopedMachineSettings(platform::SettingsBackend& backend)
        : previous_(platform::seam<platform::SettingsBackend>().install(&backend)) {}
    ~ScopedMachineSettings() { platform::seam<platform::SettingsBackend>().install(previous_); }
    ScopedMachineSettings(const ScopedMachineSettings&) = delete;
    ScopedMachineSettings& operator=(const ScopedMachineSettings&) = delete;

private:
    platform::SettingsBackend* previous_;
};

}  // namespace dovrel::test::win
