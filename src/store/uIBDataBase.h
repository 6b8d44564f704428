#pragma once
#include <memory>

#include "store/uIBDataSet.h"
#include "store/uIBObjects.h"
#include "store/uIBSQL.h"
#include "store/uUDataBase.h"

// The database session on one Firebird connection.  Three transactions:
// DirectTransaction (ExecDirect only), QueryTransaction (the shared query and
// every GetData dataset) and UpdateTransaction (the shared update statement).
// Transactions start lazily; every modifying statement is committed right
// after it ran, and nothing is ever rolled back explicitly.
class T_IBDataBase : public TUDataBase {
 public:
  T_IBDataBase();
  ~T_IBDataBase() override;

  std::unique_ptr<TIBConnection> Database;
  std::unique_ptr<TIBTransaction> DirectTransaction;
  std::unique_ptr<TIBTransaction> QueryTransaction;
  std::unique_ptr<TIBTransaction> UpdateTransaction;
  std::unique_ptr<TIBDataSet> Query;
  std::unique_ptr<TIBSQL> Update;
  std::unique_ptr<TIBSQL> Direct;

  void Connect() override;
  void Disconnect() override;
  bool Connected() override;
  void First() override;
  void Next() override;
  bool Eof() override;
  QVariant FieldAsVariant(const QString& name, TUDataSet* dataSet = nullptr) override;
  double FieldAsFloat(const QString& name, TUDataSet* dataSet = nullptr) override;
  int FieldAsInteger(const QString& name, TUDataSet* dataSet = nullptr) override;
  QString FieldAsString(const QString& name, TUDataSet* dataSet = nullptr) override;
  bool FieldAsBoolean(const QString& name, TUDataSet* dataSet = nullptr) override;
  QString FieldAsText(const QString& name, TUDataSet* dataSet = nullptr) override;
  std::unique_ptr<QIODevice> FieldAsBlobStream(const QString& name, TUDataSet* dataSet = nullptr) override;
  TDateTime FieldAsDateTime(const QString& name, TUDataSet* dataSet = nullptr) override;
  // Never raises: a failure is logged and gives none.
  std::unique_ptr<TUDataSet> GetData(const QString& sql) override;
  void DoQuery(const QString& sql) override;
  void PrepareQuery(const QString& sql) override;
  void OpenQuery() override;
  void UpdateSQL(const QString& sql) override;
  void PrepareUpdate(const QString& sql) override;
  void ExecPrepared() override;

  // Sets a parameter of the statement given to PrepareUpdate, by position
  // from 0 (a QString goes into a text blob as windows-1251).
  void SetUpdateParam(int index, const QVariant& value);
  void CommitDirect();
  void CloseQuery();
  void CloseUpdate();
  // Runs the text as given (a colon is not a parameter marker) and commits.
  void ExecDirect(const QString& sql);

  // Connect, for the local database file also creating it when it is missing
  // (dialect 1, default character set WIN1251, the schema script "RC_SCHEMA").
  // A local file that is not a database or is held by another program gives
  // an EDBError naming the file; nothing is overwritten.
  void ConnectOrCreate(bool local);
  QString SchemaResource = QStringLiteral("RC_SCHEMA");

 private:
  TIBDataSet& DataSetOf(TUDataSet* dataSet);
  void ResetQuery(const QString& sql);
  void CreateLocalDataBase();
};
