#pragma once
// A temporary folder for one test, removed again with the object.
#include <string>

namespace dovrel::test {

class TempFolder {
public:
    // `prefix` names the folder's purpose ("dovrel-settings-", ...).
    explicit TempFolder(const std::string& prefix = "dovrel-test-");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes `bytes` exactly as given into `name` and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    const std::string& path() const { return folder_; }
    // Leaves the folder in place when the object goes (a process that
    // outlives the fixture still uses it).
    std::string release();

private:
    std::string folder_;
};

// The number of file descriptors (on Windows: handles) this process has open.
int openFileCount();

}  // namespace dovrel::test
