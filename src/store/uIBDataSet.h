#pragma once
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <vector>

#include "store/uIBObjects.h"
#include "store/uUDataBase.h"

namespace Firebird {
class IStatement;
class IResultSet;
class IMessageMetadata;
}  // namespace Firebird

// A read cursor.  Column values of the current row are read by index; one
// past its last row has no current row (NULL values), a closed one no columns.
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

  // Index of the column (matched without regard to letter case); throws when
  // missing or when the dataset is closed.
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
