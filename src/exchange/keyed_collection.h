#pragma once
// Keyed collections as MemExist and MemExistVal see them: something that
// can be asked what, if anything, it holds under a key. Keys are found
// without regard to the case of ASCII letters.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/ado.h"

namespace dovrel {

class KeyedCollection {
public:
    enum class Member { None, Value, Object };
    virtual ~KeyedCollection() = default;
    // What the collection holds under `key`: nothing, a plain value, or an
    // object. Never throws.
    virtual Member Lookup(std::string_view key) const = 0;
};

// The Fields collection of an open recordset: its fields are objects, found
// by name.
class FieldsCollection : public KeyedCollection {
public:
    explicit FieldsCollection(ado::Recordset& recordset) : recordset_(recordset) {}
    Member Lookup(std::string_view key) const override;

private:
    ado::Recordset& recordset_;
};

// Texts under keys, in the order they were added.
class TextCollection : public KeyedCollection {
public:
    // Adds `item` under `key`. Throws RuntimeError 457 (duplicate key) when
    // the key is already present.
    void Add(const std::string& key, const std::string& item);
    Member Lookup(std::string_view key) const override;
    std::size_t Count() const { return items_.size(); }
    // The items in the order they were added.
    const std::vector<std::string>& Items() const { return items_; }

private:
    static std::string foldCase(std::string_view key);
    std::vector<std::string> items_;
    std::unordered_map<std::string, std::size_t> index_;  // folded key -> item
};

}  // namespace dovrel
