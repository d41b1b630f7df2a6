#pragma once
// The written diagnosis of a connection check: one line for the server,
// one for the database, and on failure the causes to look into.
#include <string>

namespace dovrel {

struct DiagnosisInput {
    std::string serverText;          // the server box as it stands (not trimmed)
    std::string databaseTextBefore;  // the database box before the listing
    std::string databaseTextAfter;   // the database box after the listing
    bool serverReachable = false;
    bool databaseExists = false;  // as the listing left it
};

// The diagnosis text, lines separated by "\r\n", none after the last. Each
// Chinese fragment passes through LocalizeText on its own; the box texts,
// brackets and indentation are kept as they are.
std::string BuildDiagnosisText(const DiagnosisInput& input);

}  // namespace dovrel
