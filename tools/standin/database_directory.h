#pragma once
// The folder of databases: one SQLite file per database, <name>.sqlite,
// names compared without regard to case. Shared by all sessions.
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace standin {

class DatabaseDirectory {
public:
    explicit DatabaseDirectory(std::filesystem::path dir) : dir_(std::move(dir)) {}

    // Creates the folder and the master database when missing; false (with
    // the reason in `error`) when that fails.
    bool prepare(std::string& error);
    // Every database name, sorted without regard to case.
    std::vector<std::string> list() const;
    // The stored spelling of `name`, when such a database exists.
    std::optional<std::string> find(const std::string& name) const;
    std::filesystem::path pathOf(const std::string& storedName) const;
    // Whether `name` can be a database name here (no path characters).
    static bool validName(const std::string& name);

    // Sessions announce which database they use, so that DROP DATABASE can
    // refuse a database in use.
    void acquire(const std::string& storedName);
    void release(const std::string& storedName);
    bool inUse(const std::string& storedName) const;
    // Removes the database's files. False when it is in use.
    bool remove(const std::string& storedName);

    // Serialises CREATE and DROP DATABASE among sessions.
    std::mutex& ddlMutex() { return ddlMutex_; }

private:
    std::filesystem::path dir_;
    mutable std::mutex mutex_;
    std::mutex ddlMutex_;
    std::map<std::string, int> users_;  // lower-case name -> sessions using it
};

}  // namespace standin
