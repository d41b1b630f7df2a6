#include "help_text.h"

namespace standin {

// sp_helptext's rows: a new row after every line end, and after 255 characters.
std::vector<std::string> helpTextRows(const std::string& text) {
    std::vector<std::string> rows;
    std::string current;
    size_t units = 0;
    for (size_t i = 0; i < text.size();) {
        // One UTF-8 sequence at a time, so no character is cut.
        size_t len = 1;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0xF0)
            len = 4;
        else if (c >= 0xE0)
            len = 3;
        else if (c >= 0xC0)
            len = 2;
        const size_t need = len == 4 ? 2 : 1;
        if (units + need > 255) {
            rows.push_back(current);
            current.clear();
            units = 0;
        }
        current.append(text, i, len);
        units += need;
        i += len;
        if (c == '\n') {
            rows.push_back(current);
            current.clear();
            units = 0;
        }
    }
    if (!current.empty()) rows.push_back(current);
    return rows;
}

}  // namespace standin
