#pragma once
// The four connection fields of the settings window, as they stand in its
// controls: the server box, the database box, the user and password boxes.
#include <string>
#include <vector>

namespace dovrel {

struct ConnectionFields {
    std::string server;
    std::string database;
    std::string user;
    std::string password;
};

// The fields into ConnectionSettings: server, database and user without the
// spaces around them, the password as it stands.
void CopyControlsToSettings(const ConnectionFields& fields);

// After a start that could not reach the server: the database, login and
// password taken back from the boxes without the spaces around them. The
// boxes hold the clear login and password already, so they are taken as
// they stand, not decrypted a second time.
void TakeBackFieldsAfterUnreachableStart(const ConnectionFields& fields);

}  // namespace dovrel
