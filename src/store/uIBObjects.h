#pragma once
#include <QString>
#include <QStringList>
#include <vector>

#include "store/uUDataBase.h"

// Thin objects over the Firebird OO API that the session is made of: a
// connection and its transactions here, a read cursor in uIBDataSet and a
// statement that returns no rows in uIBSQL.  Every engine error leaves as
// EDBError with the engine's text.  Text travels as windows-1251 bytes (the
// connection's lc_ctype).

namespace Firebird {
class IAttachment;
class ITransaction;
}  // namespace Firebird

class TIBDataSet;

class TIBConnection {
 public:
  TIBConnection() = default;
  ~TIBConnection();
  TIBConnection(const TIBConnection&) = delete;
  TIBConnection& operator=(const TIBConnection&) = delete;

  QString DatabaseName;
  // "name=value": user_name, password, lc_ctype, sql_role_name (any letter case).
  QStringList Params;

  // Forced writes (each page written through to the disk at commit) is a
  // setting kept in the database file; attaching can change it.
  enum class TForcedWrites { Unchanged, On, Off };

  void Open(TForcedWrites forcedWrites = TForcedWrites::Unchanged);
  // Creates the file DatabaseName as a dialect-1 database with the default
  // character set WIN1251 and stays attached to it.
  void Create(TForcedWrites forcedWrites = TForcedWrites::On);
  void Close();
  bool Connected() const { return Att != nullptr; }
  // The dialect statements are prepared in: the database's own when it is
  // lower than the client's (3).
  unsigned Dialect() const { return SqlDialect; }
  Firebird::IAttachment* Handle() const;

 private:
  Firebird::IAttachment* Att = nullptr;
  unsigned SqlDialect = 3;
  void Attach(bool create, TForcedWrites forcedWrites);
  void ReadDialect();
};

class TIBTransaction {
 public:
  explicit TIBTransaction(TIBConnection& database) : Database(database) {}
  ~TIBTransaction();
  TIBTransaction(const TIBTransaction&) = delete;
  TIBTransaction& operator=(const TIBTransaction&) = delete;

  TIBConnection& Database;

  bool InTransaction() const { return Tra != nullptr; }
  // Default parameters: snapshot isolation, wait on lock conflicts.
  void StartTransaction();
  // Closes the datasets open in this transaction first.
  void Commit();
  void Rollback();
  Firebird::ITransaction* Handle() const;

 private:
  friend class TIBDataSet;
  Firebird::ITransaction* Tra = nullptr;
  std::vector<TIBDataSet*> OpenDataSets;
  void CloseDataSets();
};
