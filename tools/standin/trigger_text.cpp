#include "trigger_text.h"

#include "sql_error.h"

namespace standin {

TriggerHeader parseTriggerHeader(const StatementText& s) {
    TriggerHeader h;
    size_t k = readObjectName(s, 2, h.name);
    if (k == 2) syntaxErrorAt(s, 2);
    if (!s.has(k) || !s.at(k).is("on")) syntaxErrorAt(s, k);
    const size_t tableAt = k + 1;
    k = readObjectName(s, tableAt, h.table);
    if (k == tableAt) syntaxErrorAt(s, tableAt);
    while (s.has(k) && !(s.at(k).is("for") || s.at(k).is("after") || s.at(k).is("instead"))) {
        if (s.at(k).is("as")) syntaxErrorAt(s, k);
        ++k;  // WITH options
    }
    if (!s.has(k)) syntaxErrorAt(s, k);
    if (s.at(k).is("instead")) {
        h.insteadOf = true;
        ++k;
        if (!s.has(k) || !s.at(k).is("of")) syntaxErrorAt(s, k);
    }
    ++k;
    for (;;) {
        if (!s.has(k)) syntaxErrorAt(s, k);
        if (s.at(k).is("insert"))
            h.onInsert = true;
        else if (s.at(k).is("update"))
            h.onUpdate = true;
        else if (s.at(k).is("delete"))
            h.onDelete = true;
        else
            syntaxErrorAt(s, k);
        ++k;
        if (s.has(k) && s.at(k).isSymbol(",")) {
            ++k;
            continue;
        }
        break;
    }
    while (s.has(k) && !s.at(k).is("as")) ++k;  // WITH APPEND, NOT FOR REPLICATION
    if (!s.has(k)) syntaxErrorAt(s, k);
    h.bodyStart = k + 1;
    if (!s.has(h.bodyStart)) syntaxErrorAt(s, h.bodyStart);
    return h;
}

}  // namespace standin
