#include "platform/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include "platform/settings_document.h"

namespace dovrel::platform {
namespace {

constexpr int32_t kDiskFull = 112;
constexpr int32_t kIoFailed = 1016;   // the registry's I/O failure code

int32_t codeForErrno(int e) {
    switch (e) {
    case EACCES:
    case EPERM:
    case EROFS: return code::AccessDenied;
    case ENOSPC:
    case EDQUOT: return kDiskFull;
    default: return kIoFailed;
    }
}

// The whole file; nullopt with `code` set when it cannot be read. A file
// that does not exist reads as empty.
std::optional<std::string> readWhole(const std::string& path, int32_t& code) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::string();
        code = codeForErrno(errno);
        return std::nullopt;
    }
    std::string text;
    char buffer[8192];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            code = codeForErrno(errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return text;
}

std::optional<SettingsDocument> load(const std::string& path, int32_t& code) {
    auto text = readWhole(path, code);
    if (!text) return std::nullopt;
    auto doc = parseSettings(*text);
    if (!doc) code = code::BadDatabase;
    return doc;
}

bool writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Temporary file, flush, rename, flush the folder.
int32_t replaceFile(const std::string& path, const std::string& text) {
    const std::string temp = path + ".tmp." + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return codeForErrno(errno);
    if (!writeAll(fd, text) || ::fsync(fd) != 0) {
        int e = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return codeForErrno(e);
    }
    ::close(fd);
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(temp.c_str());
        return codeForErrno(e);
    }
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return code::Success;
}

// Temporary files of writers that died before their rename. Called under
// the exclusive lock, when no writer can be between its write and rename.
void removeStaleTemporaries(const std::string& path) {
    const std::filesystem::path store(path);
    const std::string prefix = store.filename().string() + ".tmp.";
    std::error_code ec;
    auto folder = store.parent_path().empty() ? std::filesystem::path(".") : store.parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.path().filename().string().rfind(prefix, 0) == 0) std::filesystem::remove(entry.path(), ec);
    }
}

// Runs `change` on the document under the exclusive lock and writes the
// result when it reports a change.
int32_t modify(const std::string& path, const std::function<bool(SettingsDocument&)>& change) {
    std::error_code ec;
    auto folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::exists(folder, ec)) {
        std::filesystem::create_directories(folder, ec);
        if (ec) return codeForErrno(ec.value());
    }
    const std::string lockPath = path + ".lock";
    int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lockFd < 0) return codeForErrno(errno);
    while (::flock(lockFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            int e = errno;
            ::close(lockFd);
            return codeForErrno(e);
        }
    }
    removeStaleTemporaries(path);
    int32_t result = code::Success;
    auto doc = load(path, result);
    if (doc && change(*doc)) result = replaceFile(path, formatSettings(*doc));
    ::close(lockFd);   // releases the lock
    return result;
}

}  // namespace

std::string settingsFilePath() {
    const char* overridePath = std::getenv("DOVREL_REGISTRY");
    return (overridePath && *overridePath) ? overridePath : kDefaultSettingsFile;
}

std::string FileSettingsBackend::path() const { return path_ ? *path_ : settingsFilePath(); }

int32_t FileSettingsBackend::createKey(std::string_view keyPath) {
    if (!isStorableKeyPath(keyPath)) return code::BadKey;
    const std::string file = path();
    int32_t code = code::Success;
    auto doc = load(file, code);
    if (!doc) return code;
    if (doc->find(keyPath)) return code::Success;
    return modify(file, [&](SettingsDocument& d) {
        bool created = false;
        d.ensure(keyPath, created);
        return created;
    });
}

int32_t FileSettingsBackend::queryValue(std::string_view keyPath, std::string_view name,
                                        std::optional<std::string>& value) {
    value.reset();
    if (!isStorableKeyPath(keyPath)) return code::BadKey;
    int32_t code = code::Success;
    auto doc = load(path(), code);
    if (!doc) return code;
    const SettingsKey* key = doc->find(keyPath);
    const SettingsValue* found = key ? key->find(name) : nullptr;
    if (!found) return code::FileNotFound;
    value = found->text;
    return code::Success;
}

int32_t FileSettingsBackend::setValue(std::string_view keyPath, std::string_view name, std::string_view value) {
    if (!isStorableKeyPath(keyPath) || name.empty()) return code::BadKey;
    return modify(path(), [&](SettingsDocument& d) {
        bool created = false;
        SettingsKey& key = d.ensure(keyPath, created);
        return key.set(name, value) || created;
    });
}

namespace {
SettingsBackend* installedBackend = nullptr;
}

SettingsBackend& machineSettings() {
    static FileSettingsBackend fileStore;
    return installedBackend ? *installedBackend : fileStore;
}

SettingsBackend* setMachineSettings(SettingsBackend* backend) {
    SettingsBackend* previous = installedBackend;
    installedBackend = backend;
    return previous;
}

}  // namespace dovrel::platform
