#pragma once
#include <QString>
#include <QStringList>
#include <functional>

// Runs a list of SQL statements while showing progress (the progress window
// implements it; the store only knows this interface).
class IScriptProgress {
 public:
  virtual ~IScriptProgress() = default;
  using TStatementRunner = std::function<void(const QString& statement)>;
  // One statement per non-empty entry; a failing statement is skipped.
  virtual void RunStatements(const QStringList& lines, const TStatementRunner& execute) = 0;
};
