#pragma once
// The head of a CREATE TRIGGER statement: its name, table, events, and
// where its body begins.
#include "statement_text.h"

#include <string>

namespace standin {

struct TriggerHeader {
    std::string name;
    std::string table;
    bool onInsert = false, onUpdate = false, onDelete = false, insteadOf = false;
    size_t bodyStart = 0;  // token index (of the statement) after AS
};

// Throws StatementError (a syntax error) for a malformed head.
TriggerHeader parseTriggerHeader(const StatementText& s);

}  // namespace standin
