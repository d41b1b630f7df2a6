#include "exchange/keyed_collection.h"

#include "platform/runtime_error.h"

namespace dovrel {

KeyedCollection::Member FieldsCollection::Lookup(std::string_view key) const {
    try {
        return recordset_.FindField(std::string(key)) ? Member::Object : Member::None;
    } catch (...) {
        return Member::None;
    }
}

std::string TextCollection::foldCase(std::string_view key) {
    std::string folded(key);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

void TextCollection::Add(const std::string& key, const std::string& item) {
    if (!index_.try_emplace(foldCase(key), items_.size()).second) throw RuntimeError(err::DuplicateKey);
    items_.push_back(item);
}

KeyedCollection::Member TextCollection::Lookup(std::string_view key) const {
    return index_.count(foldCase(key)) ? Member::Value : Member::None;
}

}  // namespace dovrel
