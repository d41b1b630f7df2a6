#include "sql_error.h"

#include <cstdlib>

namespace standin {
namespace {

constexpr std::string_view Marker = "standin-error:";

}  // namespace

std::string errorForSqlite(const SqlMessage& m) {
    return std::string(Marker) + std::to_string(m.number) + ":" + std::to_string(m.severity) + ":" +
           std::to_string(m.state) + ":" + m.text;
}

std::optional<SqlMessage> errorFromSqlite(std::string_view s) {
    if (s.substr(0, Marker.size()) != Marker) return std::nullopt;
    s.remove_prefix(Marker.size());
    long fields[3] = {};
    for (long& f : fields) {
        const auto colon = s.find(':');
        if (colon == std::string_view::npos) return std::nullopt;
        f = std::strtol(std::string(s.substr(0, colon)).c_str(), nullptr, 10);
        s.remove_prefix(colon + 1);
    }
    return sqlError(static_cast<int32_t>(fields[0]), std::string(s), static_cast<uint8_t>(fields[1]),
                    static_cast<uint8_t>(fields[2]));
}

}  // namespace standin
