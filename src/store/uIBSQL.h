#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "store/uIBObjects.h"

namespace Firebird {
class IStatement;
}  // namespace Firebird

// A statement that returns no rows.  With ParamCheck, ":name" markers outside
// literals and comments become positional parameters (one per distinct name,
// in order of first use); without it the text runs as given.
class TIBSQL {
 public:
  explicit TIBSQL(TIBTransaction& transaction) : Transaction(transaction) {}
  ~TIBSQL();
  TIBSQL(const TIBSQL&) = delete;
  TIBSQL& operator=(const TIBSQL&) = delete;

  bool ParamCheck = true;

  void SetSQL(const QString& sql);
  QString SQL() const { return Text; }
  int ParamCount() const { return static_cast<int>(ParamNames.size()); }
  // A QString goes to a text blob as windows-1251, a QByteArray as bytes; an
  // unset parameter is NULL.
  void SetParam(int index, const QVariant& value);
  void ExecQuery();
  void Close();

 private:
  TIBTransaction& Transaction;
  QString Text;
  QByteArray EngineText;     // the text sent to the engine, markers replaced by "?"
  QStringList ParamNames;    // distinct marker names
  std::vector<int> Markers;  // parameter index of each "?" in order
  std::vector<QVariant> Values;
  Firebird::IStatement* Stmt = nullptr;
};

// ":name" markers of a statement text, skipping quoted literals and comments.
struct TParsedSQL {
  QString Text;  // markers replaced by "?"
  QStringList Names;
  std::vector<int> Markers;
};
TParsedSQL ParseParamMarkers(const QString& sql);
