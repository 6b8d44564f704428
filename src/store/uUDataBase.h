#pragma once
#include <QIODevice>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/uDateTime.h"

// A database error; what() is the UTF-8 text (for Firebird, its own message).
class EDBError : public std::runtime_error {
 public:
  explicit EDBError(const QString& text, std::vector<long> codes = {})
      : std::runtime_error(text.toStdString()), Text(text), Codes(std::move(codes)) {}
  QString Text;
  std::vector<long> Codes;  // the engine's error codes in status-vector order; empty when not from it
  bool HasCode(long code) const { return std::find(Codes.begin(), Codes.end(), code) != Codes.end(); }
};

// A result set the caller reads with its own cursor moves (see GetData).
class TUDataSet {
 public:
  virtual ~TUDataSet() = default;
  virtual void First() = 0;
  virtual void Next() = 0;
  virtual bool Eof() const = 0;
};

// The abstract database session.  Every operation takes a complete SQL text;
// the base versions only log and do nothing else.  The order of the virtual
// operations is fixed (Connect first, ExecPrepared last).
class TUDataBase {
 public:
  TUDataBase();
  virtual ~TUDataBase();
  TUDataBase(const TUDataBase&) = delete;
  TUDataBase& operator=(const TUDataBase&) = delete;

  virtual void Connect();
  virtual void Disconnect();
  virtual bool Connected();
  virtual void First();
  virtual void Next();
  virtual bool Eof();
  // Field readers: the column of that name in the current row of the dataset,
  // or of the shared query when none is given.
  virtual QVariant FieldAsVariant(const QString& name, TUDataSet* dataSet = nullptr);
  virtual double FieldAsFloat(const QString& name, TUDataSet* dataSet = nullptr);
  virtual int FieldAsInteger(const QString& name, TUDataSet* dataSet = nullptr);
  virtual QString FieldAsString(const QString& name, TUDataSet* dataSet = nullptr);
  virtual bool FieldAsBoolean(const QString& name, TUDataSet* dataSet = nullptr);
  virtual QString FieldAsText(const QString& name, TUDataSet* dataSet = nullptr);
  virtual std::unique_ptr<QIODevice> FieldAsBlobStream(const QString& name, TUDataSet* dataSet = nullptr);
  virtual TDateTime FieldAsDateTime(const QString& name, TUDataSet* dataSet = nullptr);
  virtual std::unique_ptr<TUDataSet> GetData(const QString& sql);
  virtual void DoQuery(const QString& sql);
  virtual void PrepareQuery(const QString& sql);
  virtual void OpenQuery();
  virtual void UpdateSQL(const QString& sql);
  virtual void PrepareUpdate(const QString& sql);
  virtual void ExecPrepared();

  // Log hook.  The system keeps no log file: LogLine hands the text to
  // OnLogLine when one is bound and otherwise discards it.
  QStringList LogLines;
  std::function<void(const QString&)> OnLogLine;
  void LogLine(const QString& text);
  void LogError(const QString& text);  // "ERROR! " + text
  void FlushLog();
};
