#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "store/uUDataBase.h"

// Setting up a new local database from the schema script, and the messages
// for a local file that cannot be opened.

// Splits an isql-style script into statements.  Statements end with the
// terminator (";" at first), which "SET TERM x ;" changes; terminators inside
// quoted literals and comments do not count.  isql commands that are not SQL
// (other SET commands, COMMIT) are left out: every statement commits on its own.
// Comments before a statement are dropped; those inside it stay.
QStringList SplitSqlScript(const QString& script);

// Runs every statement of the script through `execute`, in order.  An error
// names the statement it came from.
void RunSqlScript(const QString& script, const std::function<void(const QString&)>& execute);

// The text shown when the local database file exists but cannot be opened:
// a Russian sentence naming the file, then the engine's own text.  Errors of
// other kinds come back unchanged.
EDBError LocalOpenError(const QString& fileName, const EDBError& error);
