#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

#include "store/uUDataBase.h"

// Thin objects over the Firebird OO API that the session is made of: a
// connection, transactions, a read cursor (dataset) and a statement that
// returns no rows.  Every engine error leaves as EDBError with the engine's
// text.  Text travels as windows-1251 bytes (the connection's lc_ctype).

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
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

// A read cursor.  Column values of the current row are read by index; a
// closed dataset or one past its last row has no current row.
class TIBDataSet : public TUDataSet {
 public:
  explicit TIBDataSet(TIBTransaction& transaction);
  ~TIBDataSet() override;

  QString SelectSQL;

  // Prepares SelectSQL in the transaction (which must be active) and moves to the first row.
  void Open();
  void Close();
  bool Active() const { return Opened; }
  void First() override;
  void Next() override;
  bool Eof() const override { return !HasRow; }
  int RecordCount() const { return Fetched; }

  // Index of the column (matched without regard to letter case); throws when missing.
  int FieldIndex(const QString& name) const;
  bool FieldIsNull(int index) const;
  // Text, integer, double, QDateTime, bool, or for a blob its text (sub-type 1)
  // or bytes; the null variant for NULL or when there is no current row.
  QVariant FieldValue(int index) const;
  bool FieldIsBlob(int index) const;
  QByteArray FieldBlobBytes(int index) const;

 private:
  friend class TIBTransaction;
  struct TColumn {
    QString Name;
    unsigned Type = 0, SubType = 0, Length = 0, Offset = 0, NullOffset = 0;
    int Scale = 0;
  };
  TIBTransaction* Transaction;
  Firebird::IStatement* Stmt = nullptr;
  Firebird::IResultSet* Cursor = nullptr;
  Firebird::IMessageMetadata* Meta = nullptr;
  std::vector<TColumn> Columns;
  std::vector<unsigned char> Buffer;
  std::vector<unsigned char> SingleRow;  // the one row of an EXECUTE PROCEDURE
  bool Opened = false;
  bool HasRow = false;
  int Fetched = 0;

  void ReadColumns();
  void OpenCursor();
  void Fetch();
  void ReleaseHandles();
  void Orphan();  // the transaction object is going away
};

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
