#include "executor.h"
namespace standin {
void Executor::runInsert(const StatementText&, StatementOutcome&) { fail(50000, "todo"); }
void Executor::runUpdate(const StatementText&, StatementOutcome&) { fail(50000, "todo"); }
void Executor::runDelete(const StatementText&, StatementOutcome&) { fail(50000, "todo"); }
void Executor::runCreateTable(const StatementText&, StatementOutcome&) { fail(50000, "todo"); }
void Executor::runDropTable(const StatementText&, StatementOutcome&) { fail(50000, "todo"); }
void Executor::runCreateDatabase(const StatementText&, StatementOutcome&) { fail(50000, "todo"); }
void Executor::runDropDatabase(const StatementText&, StatementOutcome&) { fail(50000, "todo"); }
void Executor::runCreateTrigger(const StatementText&, bool, StatementOutcome&) { fail(50000, "todo"); }
void Executor::runDropTrigger(const StatementText&, StatementOutcome&) { fail(50000, "todo"); }
void Executor::runExec(const StatementText&, StatementOutcome&) { fail(50000, "todo"); }
}
