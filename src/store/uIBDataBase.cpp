#include "store/uIBDataBase.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cmath>

#include "platform/uCodec.h"
#include "platform/uResources.h"
#include "store/uNewDataBase.h"

namespace {

EDBError ConversionError(const QVariant& value, const char* kind) {
  return EDBError("\"" + value.toString() + "\" не является " + QString::fromUtf8(kind));
}

// Variant to text as the program shows values: general numbers with a
// decimal comma, dates "dd.MM.yyyy" with the time when it is not midnight.
QString ToText(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::UnknownType:
      return {};
    case QMetaType::Double:
      return QString::number(v.toDouble(), 'g', 15).replace('.', ',');
    case QMetaType::QDateTime:
      return FormatMoment(v.toDateTime());
    case QMetaType::QTime:
      return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Bool:
      return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::QByteArray:
      return Win1251Decode(v.toByteArray());
    default:
      return v.toString();
  }
}

double ToFloat(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::UnknownType:
      return 0;
    case QMetaType::QDateTime:
      return ToDateTime(v.toDateTime());
    case QMetaType::QTime:
      return v.toTime().msecsSinceStartOfDay() / 86400000.0;
    case QMetaType::QString: {
      bool ok = false;
      const double d = v.toString().trimmed().replace(',', '.').toDouble(&ok);
      if (!ok) throw ConversionError(v, "числом");
      return d;
    }
    default:
      return v.toDouble();
  }
}

int ToInteger(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::UnknownType:
      return 0;
    case QMetaType::Double:
      return static_cast<int>(std::llrint(v.toDouble()));
    case QMetaType::QString: {
      bool ok = false;
      const int i = v.toString().trimmed().toInt(&ok);
      if (!ok) throw ConversionError(v, "целым числом");
      return i;
    }
    case QMetaType::QDateTime:
    case QMetaType::QTime:
    case QMetaType::QByteArray:
      throw ConversionError(v, "целым числом");
    default:
      return static_cast<int>(v.toLongLong());
  }
}

bool ToBoolean(const QVariant& v) {
  switch (v.typeId()) {
    case QMetaType::UnknownType:
      return false;
    case QMetaType::Bool:
      return v.toBool();
    case QMetaType::QString: {
      const QString s = v.toString().trimmed().toUpper();
      if (s.startsWith('T') || s.startsWith('Y') || s == "1") return true;
      if (s.startsWith('F') || s.startsWith('N') || s == "0") return false;
      throw ConversionError(v, "логическим значением");
    }
    case QMetaType::QDateTime:
    case QMetaType::QTime:
    case QMetaType::QByteArray:
      throw ConversionError(v, "логическим значением");
    default:
      return v.toDouble() != 0;
  }
}

TDateTime ToDateTimeValue(const QVariant& v) {
  if (v.typeId() == QMetaType::QString) {
    const QDateTime moment = ParseShortDateTime(v.toString());
    if (!moment.isValid()) throw ConversionError(v, "датой");
    return ToDateTime(moment);
  }
  return ToFloat(v);
}

QString TrimTrailingBlanks(QString s) {
  qsizetype n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  s.truncate(n);
  return s;
}

}  // namespace

T_IBDataBase::T_IBDataBase()
    : Database(std::make_unique<TIBConnection>()),
      DirectTransaction(std::make_unique<TIBTransaction>(*Database)),
      QueryTransaction(std::make_unique<TIBTransaction>(*Database)),
      UpdateTransaction(std::make_unique<TIBTransaction>(*Database)),
      Query(std::make_unique<TIBDataSet>(*QueryTransaction)),
      Update(std::make_unique<TIBSQL>(*UpdateTransaction)),
      Direct(std::make_unique<TIBSQL>(*DirectTransaction)) {
  Direct->ParamCheck = false;
}

T_IBDataBase::~T_IBDataBase() {
  try {
    CloseQuery();
  } catch (...) {
  }
  try {
    CloseUpdate();
  } catch (...) {
  }
  try {
    if (Connected()) Disconnect();
  } catch (...) {
  }
  FlushLog();
}

void T_IBDataBase::Connect() {
  Database->Open();
  TUDataBase::Connect();
}

void T_IBDataBase::Disconnect() {
  Query->Close();
  Update->Close();
  Direct->Close();
  for (TIBTransaction* t : {DirectTransaction.get(), QueryTransaction.get(), UpdateTransaction.get()}) {
    try {
      t->Commit();
    } catch (const EDBError&) {
      try {
        t->Rollback();  // only so that the connection can close
      } catch (const EDBError&) {
      }
    }
  }
  Database->Close();
  TUDataBase::Disconnect();
}

bool T_IBDataBase::Connected() { return Database->Connected(); }

void T_IBDataBase::First() { Query->First(); }

void T_IBDataBase::Next() { Query->Next(); }

bool T_IBDataBase::Eof() { return Query->Eof(); }

TIBDataSet& T_IBDataBase::DataSetOf(TUDataSet* dataSet) {
  if (!dataSet) return *Query;
  auto* ds = dynamic_cast<TIBDataSet*>(dataSet);
  if (!ds) throw EDBError(QStringLiteral("Набор данных другого сеанса"));
  return *ds;
}

QVariant T_IBDataBase::FieldAsVariant(const QString& name, TUDataSet* dataSet) {
  TIBDataSet& ds = DataSetOf(dataSet);
  return ds.FieldValue(ds.FieldIndex(name));
}

double T_IBDataBase::FieldAsFloat(const QString& name, TUDataSet* dataSet) {
  return ToFloat(FieldAsVariant(name, dataSet));
}

int T_IBDataBase::FieldAsInteger(const QString& name, TUDataSet* dataSet) {
  return ToInteger(FieldAsVariant(name, dataSet));
}

QString T_IBDataBase::FieldAsString(const QString& name, TUDataSet* dataSet) {
  return TrimTrailingBlanks(ToText(FieldAsVariant(name, dataSet)));
}

bool T_IBDataBase::FieldAsBoolean(const QString& name, TUDataSet* dataSet) {
  return ToBoolean(FieldAsVariant(name, dataSet));
}

QString T_IBDataBase::FieldAsText(const QString& name, TUDataSet* dataSet) {
  return ToText(FieldAsVariant(name, dataSet));
}

std::unique_ptr<QIODevice> T_IBDataBase::FieldAsBlobStream(const QString& name, TUDataSet* dataSet) {
  TIBDataSet& ds = DataSetOf(dataSet);
  const int index = ds.FieldIndex(name);
  if (!ds.FieldIsBlob(index)) return nullptr;
  auto stream = std::make_unique<QBuffer>();
  stream->setData(ds.FieldBlobBytes(index));
  stream->open(QIODevice::ReadOnly);
  return stream;
}

TDateTime T_IBDataBase::FieldAsDateTime(const QString& name, TUDataSet* dataSet) {
  return ToDateTimeValue(FieldAsVariant(name, dataSet));
}

std::unique_ptr<TUDataSet> T_IBDataBase::GetData(const QString& sql) {
  TUDataBase::GetData(sql);
  try {
    QueryTransaction->StartTransaction();
    auto ds = std::make_unique<TIBDataSet>(*QueryTransaction);
    ds->SelectSQL = sql;
    ds->Open();
    LogLine(QString::number(ds->RecordCount()));
    return ds;
  } catch (...) {
    LogError(QStringLiteral("Не удалось получить данные"));
    return nullptr;
  }
}

void T_IBDataBase::ResetQuery(const QString& sql) {
  QueryTransaction->Commit();  // closes the shared query and every GetData dataset
  Query->Close();
  Query->SelectSQL = sql;
  QueryTransaction->StartTransaction();
}

void T_IBDataBase::DoQuery(const QString& sql) {
  TUDataBase::DoQuery(sql);
  ResetQuery(sql);
  Query->Open();
}

void T_IBDataBase::PrepareQuery(const QString& sql) {
  TUDataBase::PrepareQuery(sql);
  ResetQuery(sql);
}

void T_IBDataBase::OpenQuery() {
  QueryTransaction->StartTransaction();
  Query->Open();
}

void T_IBDataBase::UpdateSQL(const QString& sql) {
  TUDataBase::UpdateSQL(sql);
  Update->SetSQL(sql);
  UpdateTransaction->StartTransaction();
  Update->ExecQuery();
  Update->Close();
  Update->SetSQL(QString());
  UpdateTransaction->Commit();
}

void T_IBDataBase::PrepareUpdate(const QString& sql) {
  TUDataBase::PrepareUpdate(sql);
  Update->SetSQL(sql);
}

void T_IBDataBase::SetUpdateParam(int index, const QVariant& value) { Update->SetParam(index, value); }

void T_IBDataBase::ExecPrepared() {
  UpdateTransaction->StartTransaction();
  Update->ExecQuery();
  Update->Close();
  Update->SetSQL(QString());
  UpdateTransaction->Commit();
}

void T_IBDataBase::CommitDirect() { DirectTransaction->Commit(); }

void T_IBDataBase::CloseQuery() {
  Query->Close();
  QueryTransaction->Commit();
}

void T_IBDataBase::CloseUpdate() {
  Update->Close();
  UpdateTransaction->Commit();
}

void T_IBDataBase::ExecDirect(const QString& sql) {
  Direct->Close();
  DirectTransaction->StartTransaction();
  Direct->SetSQL(sql);
  Direct->ExecQuery();
  DirectTransaction->Commit();
}

void T_IBDataBase::ConnectOrCreate(bool local) {
  if (local && !QFileInfo::exists(Database->DatabaseName)) CreateLocalDataBase();
  try {
    Connect();
  } catch (const EDBError& e) {
    if (local) throw LocalOpenError(Database->DatabaseName, e);
    throw;
  }
}

// The new file is built under a temporary name without forced writes (a disk
// flush after every schema statement makes creation many times slower), then
// switched to forced writes and renamed into place: a crash half-way never
// leaves a half-built database under the real name.
void T_IBDataBase::CreateLocalDataBase() {
  using TForcedWrites = TIBConnection::TForcedWrites;
  const QString name = Database->DatabaseName;
  const QString building = name + '.' + QString::number(QCoreApplication::applicationPid()) + ".tmp";
  const QString failure = "Не удалось создать базу данных \"" + name + "\".\n\r";
  QFile::remove(building);
  Database->DatabaseName = building;
  try {
    Database->Create(TForcedWrites::Off);
  } catch (const EDBError& e) {
    Database->DatabaseName = name;
    throw EDBError(failure + e.Text, e.Codes);
  }
  try {
    RunSqlScript(LoadTextResourceString(SchemaResource), [this](const QString& s) { ExecDirect(s); });
    Database->Close();
    Database->Open(TForcedWrites::On);
    Database->Close();
  } catch (const std::exception& e) {
    try {
      Direct->Close();
      DirectTransaction->Rollback();
      Database->Close();
    } catch (...) {
    }
    QFile::remove(building);
    Database->DatabaseName = name;
    const auto* db = dynamic_cast<const EDBError*>(&e);
    throw EDBError(failure + QString::fromUtf8(e.what()), db ? db->Codes : std::vector<long>{});
  }
  Database->DatabaseName = name;
  // Never over another file: if another copy of the program was quicker, its file is used.
  if (!QFile::rename(building, name)) QFile::remove(building);
}
