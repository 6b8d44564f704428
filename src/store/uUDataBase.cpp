#include "store/uUDataBase.h"

TUDataBase::TUDataBase() = default;

TUDataBase::~TUDataBase() { FlushLog(); }

void TUDataBase::Connect() { LogLine(QStringLiteral("Начало сеанса обращения к БД")); }
void TUDataBase::Disconnect() { LogLine(QStringLiteral("Сеанс завершен")); }
bool TUDataBase::Connected() { return false; }
void TUDataBase::First() {}
void TUDataBase::Next() {}
bool TUDataBase::Eof() { return true; }
QVariant TUDataBase::FieldAsVariant(const QString&, TUDataSet*) { return {}; }
double TUDataBase::FieldAsFloat(const QString&, TUDataSet*) { return 0; }
int TUDataBase::FieldAsInteger(const QString&, TUDataSet*) { return 0; }
QString TUDataBase::FieldAsString(const QString&, TUDataSet*) { return {}; }
bool TUDataBase::FieldAsBoolean(const QString&, TUDataSet*) { return false; }
QString TUDataBase::FieldAsText(const QString&, TUDataSet*) { return {}; }
std::unique_ptr<QIODevice> TUDataBase::FieldAsBlobStream(const QString&, TUDataSet*) { return nullptr; }
TDateTime TUDataBase::FieldAsDateTime(const QString&, TUDataSet*) { return 0; }

std::unique_ptr<TUDataSet> TUDataBase::GetData(const QString& sql) {
  LogLine("GetData ( " + sql + " )");
  return nullptr;
}

void TUDataBase::DoQuery(const QString& sql) { LogLine("DoQuery ( " + sql + " )"); }
void TUDataBase::PrepareQuery(const QString& sql) { LogLine("DoQuery ( " + sql + " )"); }
void TUDataBase::OpenQuery() {}
void TUDataBase::UpdateSQL(const QString& sql) { LogLine("UpdateSQL ( " + sql + " )"); }
void TUDataBase::PrepareUpdate(const QString& sql) { LogLine("UpdateSQL ( " + sql + " )"); }
void TUDataBase::ExecPrepared() {}

void TUDataBase::LogLine(const QString& text) {
  if (OnLogLine) OnLogLine(text);
}

void TUDataBase::LogError(const QString& text) { LogLine("ERROR! " + text); }

void TUDataBase::FlushLog() {
  // Nothing is ever queued (no log file); kept so a file log can be added here.
  LogLines.clear();
}
