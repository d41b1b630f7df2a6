#pragma once
// Source files for the exchange tests, in a temporary folder removed again
// when the fixture goes.
#include <string>

namespace dovrel::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Writes `bytes` exactly as given into `name` and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;
    std::string path(const std::string& name) const { return folder_ + "/" + name; }

private:
    std::string folder_;
};

// The number of file descriptors (on Windows: handles) this process has open.
int openFileCount();

}  // namespace dovrel::test
