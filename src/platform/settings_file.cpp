#include "platform/settings_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/codepage.h"
#include "platform/settings_document.h"
#include "platform/unique_fd.h"

namespace dovrel::platform {
namespace {

namespace fs = std::filesystem;

constexpr int kMostLinks = 40;  // as the kernel follows them

int32_t codeForErrno(int e) {
    switch (e) {
    case EACCES:
    case EPERM:
    case EROFS: return code::AccessDenied;
    case ENOSPC:
    case EDQUOT: return code::DiskFull;
    default: return code::IoFailed;
    }
}

// The file a path finally names, following symbolic links: the store is
// written there, so that a link stays a link. nullopt (errno set) for a
// loop of links.
std::optional<fs::path> followLinks(fs::path path) {
    for (int i = 0; i < kMostLinks; ++i) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
        const fs::path target = fs::read_symlink(path, ec);
        if (ec) {
            errno = ec.value();
            return std::nullopt;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    errno = ELOOP;
    return std::nullopt;
}

fs::path folderOf(const fs::path& file) { return file.parent_path().empty() ? fs::path(".") : file.parent_path(); }

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A new store is for its owner alone; in a folder that hands its group to
// new files (set-group-ID, as the package makes /etc/dovrel for the
// administrators' group) the group may read it too.
mode_t modeForNewStore(const fs::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0 && (st.st_mode & S_ISGID)) return 0640;
    return 0600;
}

// Gives the new file the existing store's mode, and its owner and group
// where this process may (root or the owner); otherwise at least its group.
void takeOverAttributes(int fd, const struct stat& existing) {
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
    }
    ::fchmod(fd, existing.st_mode & 07777);
}

// Writes `text` to a temporary file beside `target`, flushes it and renames
// it over the target, then flushes the folder.
int32_t replaceFile(const fs::path& target, std::string_view text) {
    const fs::path folder = folderOf(target);
    const fs::path temp = folder / (target.filename().string() + ".tmp." + std::to_string(::getpid()));
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    const mode_t mode = exists ? (existing.st_mode & 07777) : modeForNewStore(folder);
    UniqueFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode));
    if (!fd) return codeForErrno(errno);
    if (exists)
        takeOverAttributes(fd.get(), existing);
    else
        ::fchmod(fd.get(), mode);  // exactly this mode, whatever the umask
    if (!writeAll(fd.get(), text) || ::fsync(fd.get()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return codeForErrno(e);
    }
    fd.reset();
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return codeForErrno(e);
    }
    if (const UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir) ::fsync(dir.get());
    return code::Success;
}

// Temporary files of writers that died before their rename. Called under
// the exclusive lock, when no writer can be between its write and rename.
void removeStaleTemporaries(const fs::path& target) {
    const std::string prefix = target.filename().string() + ".tmp.";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folderOf(target), ec)) {
        if (entry.path().filename().string().starts_with(prefix)) fs::remove(entry.path(), ec);
    }
}

}  // namespace

// The file's text as last read and its document: reading the file again
// is cheap, parsing it is not, and the same text gives the same document.
struct FileSettingsBackend::Cache {
    std::string text;
    std::shared_ptr<const SettingsDocument> document;
    std::mutex lock;  // the windows' work runs on its own thread
};

FileSettingsBackend::FileSettingsBackend(std::optional<std::string> path)
    : path_(std::move(path)), cache_(std::make_unique<Cache>()) {}

FileSettingsBackend::~FileSettingsBackend() = default;

std::string settingsFilePath() {
    const char* overridePath = std::getenv("DOVREL_REGISTRY");
    return (overridePath && *overridePath) ? overridePath : kDefaultSettingsFile;
}

std::string FileSettingsBackend::path() const { return path_ ? *path_ : settingsFilePath(); }

FileSettingsBackend::Loaded FileSettingsBackend::load() {
    Loaded loaded;
    const std::string file = path();
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT) {  // not written yet: an empty store
            loaded.document = std::make_shared<const SettingsDocument>(*SettingsDocument::parse(""));
            return loaded;
        }
        loaded.code = codeForErrno(errno);
        loaded.problem = "the settings file " + file + " cannot be read: " + std::strerror(errno);
        return loaded;
    }
    struct stat st {};
    const bool known = ::fstat(fd.get(), &st) == 0;
    std::string text;
    if (known && st.st_size > 0) text.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            loaded.code = codeForErrno(errno);
            loaded.problem = "the settings file " + file + " cannot be read: " + std::strerror(errno);
            return loaded;
        }
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    {
        const std::lock_guard guard(cache_->lock);
        if (cache_->document && cache_->text == text) {
            loaded.document = cache_->document;
            return loaded;
        }
    }
    SettingsParseError error;
    std::optional<SettingsDocument> parsed = SettingsDocument::parse(text, &error);
    if (!parsed) {
        loaded.code = code::BadDatabase;
        loaded.problem =
            "the settings file " + file + " is damaged at line " + std::to_string(error.line) + ": " + error.reason;
        return loaded;
    }
    loaded.document = std::make_shared<const SettingsDocument>(std::move(*parsed));
    const std::lock_guard guard(cache_->lock);
    cache_->text = std::move(text);
    cache_->document = loaded.document;
    return loaded;
}

int32_t FileSettingsBackend::modify(const std::function<bool(SettingsDocument&)>& change) {
    const std::optional<fs::path> target = followLinks(path());
    if (!target) return codeForErrno(errno);
    const fs::path folder = folderOf(*target);
    std::error_code ec;
    if (!fs::exists(folder, ec)) {
        fs::create_directories(folder, ec);
        if (ec) return codeForErrno(ec.value());
    }
    const fs::path lockPath = folder / (target->filename().string() + ".lock");
    const UniqueFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, modeForNewStore(folder)));
    if (!lock) return codeForErrno(errno);
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return codeForErrno(errno);
    }
    removeStaleTemporaries(*target);
    const Loaded loaded = load();
    if (!loaded.document) return loaded.code;
    SettingsDocument changed = *loaded.document;
    if (!change(changed)) return code::Success;
    return replaceFile(*target, changed.text());
}  // the lock goes with its descriptor

int32_t FileSettingsBackend::createKey(std::string_view keyPath) {
    if (!isStorableKeyPath(keyPath)) return code::BadKey;
    const Loaded loaded = load();
    if (!loaded.document) return loaded.code;
    if (loaded.document->hasKey(keyPath)) return code::Success;
    return modify([&](SettingsDocument& d) { return d.ensureKey(keyPath); });
}

int32_t FileSettingsBackend::queryValue(std::string_view keyPath, std::string_view name,
                                        std::optional<std::string>& value) {
    value.reset();
    if (!isStorableKeyPath(keyPath)) return code::BadKey;
    const Loaded loaded = load();
    if (!loaded.document) return loaded.code;
    const std::string* found = loaded.document->value(keyPath, name);
    if (!found) return code::FileNotFound;
    value = *found;
    return code::Success;
}

int32_t FileSettingsBackend::setValue(std::string_view keyPath, std::string_view name, std::string_view value) {
    if (!isStorableKeyPath(keyPath) || name.empty()) return code::BadKey;
    // The store holds text: bytes that are no UTF-8 would be changed on the way back.
    if (!isValidUtf8(value) || !isValidUtf8(name)) return code::InvalidParameter;
    return modify([&](SettingsDocument& d) { return d.set(keyPath, name, value); });
}

std::optional<std::string> FileSettingsBackend::problem() { return load().problem; }

template <>
Seam<SettingsBackend>& seam<SettingsBackend>() {
    static Seam<SettingsBackend> seam([]() -> SettingsBackend& {
        static FileSettingsBackend fileStore;
        return fileStore;
    });
    return seam;
}

SettingsBackend& machineSettings() { return seam<SettingsBackend>().get(); }

}  // namespace dovrel::platform
