#pragma once
// The login and the password as the store keeps them: cipher text of the
// program's own cipher.
#include <optional>
#include <string>

namespace dovrel {

// The encryption tool's conversion of the user and password boxes (spaces
// around each text removed first). On encryption, `warning` says which of
// the two the cipher cannot give back unchanged (double-byte characters,
// the codes 0 and 255); the cipher text is returned all the same.
struct ConvertedCredentials {
    std::string user;
    std::string password;
    std::string warning;
};
ConvertedCredentials ConvertCredentials(const std::string& user, const std::string& password, bool encrypt);

// `clear` as cipher text for the store; nullopt when the cipher cannot give
// it back unchanged, so that storing it would lose it.
std::optional<std::string> StorableCipherText(const std::string& clear);

}  // namespace dovrel
