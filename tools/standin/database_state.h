#pragma once
// What the sessions of one database share: its table locks and the turn to
// write to its SQLite file.
#include "lock_manager.h"
#include "writer_turn.h"

namespace standin {

struct DatabaseState {
    LockManager locks;
    WriterTurn writer;
};

}  // namespace standin
