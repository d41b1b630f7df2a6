#pragma once
// How sp_helptext hands out a stored definition: one row per line (the line
// end stays with its line), longer lines cut every 255 characters, so that
// the rows joined give back the exact text.
#include <string>
#include <vector>

namespace standin {

std::vector<std::string> helpTextRows(const std::string& text);

}  // namespace standin
