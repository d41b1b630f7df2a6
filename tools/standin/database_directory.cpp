#include "database_directory.h"

#include "text_codec.h"

#include <algorithm>
#include <sqlite3.h>

namespace standin {
namespace {

constexpr const char* Suffix = ".sqlite";

}  // namespace

bool DatabaseDirectory::prepare(std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    if (ec) {
        error = "cannot create " + dir_.string() + ": " + ec.message();
        return false;
    }
    if (!find("master")) {
        sqlite3* db = nullptr;
        const std::string path = pathOf("master").string();
        const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc == SQLITE_OK) sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        if (rc != SQLITE_OK) {
            error = "cannot create " + path + ": " + sqlite3_errstr(rc);
            return false;
        }
    }
    return true;
}

std::vector<std::string> DatabaseDirectory::list() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir_, ec)) {
        const std::string file = entry.path().filename().string();
        const size_t n = std::char_traits<char>::length(Suffix);
        if (file.size() > n && file.compare(file.size() - n, n, Suffix) == 0 && entry.is_regular_file()) {
            names.push_back(file.substr(0, file.size() - n));
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return toLower(a) < toLower(b); });
    return names;
}

std::optional<std::string> DatabaseDirectory::find(const std::string& name) const {
    for (const auto& stored : list()) {
        if (equalsIgnoreCase(stored, name)) return stored;
    }
    return std::nullopt;
}

std::filesystem::path DatabaseDirectory::pathOf(const std::string& storedName) const {
    return dir_ / (storedName + Suffix);
}

bool DatabaseDirectory::validName(const std::string& name) {
    if (name.empty() || name.size() > 128 || name.front() == '.' || name.front() == ' ') return false;
    return name.find_first_of("/\\:*?\"<>|\0", 0, 10) == std::string::npos;
}

void DatabaseDirectory::acquire(const std::string& storedName) {
    std::lock_guard lock(mutex_);
    ++users_[toLower(storedName)];
}

void DatabaseDirectory::release(const std::string& storedName) {
    std::lock_guard lock(mutex_);
    auto it = users_.find(toLower(storedName));
    if (it != users_.end() && --it->second <= 0) users_.erase(it);
}

bool DatabaseDirectory::inUse(const std::string& storedName) const {
    std::lock_guard lock(mutex_);
    return users_.count(toLower(storedName)) > 0;
}

bool DatabaseDirectory::remove(const std::string& storedName) {
    std::lock_guard lock(mutex_);
    if (users_.count(toLower(storedName)) > 0) return false;
    const std::string base = pathOf(storedName).string();
    std::error_code ec;
    for (const char* extra : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(base + extra, ec);
    return true;
}

}  // namespace standin
