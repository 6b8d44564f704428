#include "store/uIBDataSet.h"

#include <QDateTime>
#include <cmath>
#include <cstring>

#include "platform/uCodec.h"
#include "store/uIBEngine.h"

using namespace fbapi;

namespace {

// Engine dates count days from 17.11.1858 and time in 1/10000 s.
const QDate kEngineEpoch(1858, 11, 17);

QDateTime FromEngineTimestamp(const ISC_TIMESTAMP& ts) {
  return QDateTime(kEngineEpoch.addDays(ts.timestamp_date), QTime(0, 0).addMSecs(ts.timestamp_time / 10));
}

QVariant ScaledInteger(qint64 value, int scale) {
  if (scale == 0) return value;
  return static_cast<double>(value) * std::pow(10.0, scale);
}

}  // namespace

TIBDataSet::TIBDataSet(TIBTransaction& transaction) : Transaction(&transaction) {}

TIBDataSet::~TIBDataSet() { Close(); }

void TIBDataSet::Orphan() {
  Close();
  Transaction = nullptr;
}

void TIBDataSet::ReleaseHandles() {
  if (Cursor) {
    try {
      TStatus st;
      Cursor->close(&st);  // releases on success
      Cursor = nullptr;
    } catch (const FbException&) {
      Release(Cursor);
    }
  }
  Release(Meta);
  Release(Stmt);
}

void TIBDataSet::Close() {
  ReleaseHandles();
  if (Opened && Transaction) {
    auto& list = Transaction->OpenDataSets;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  Opened = false;
  HasRow = false;
  SingleRow.clear();
}

void TIBDataSet::Open() {
  Close();
  Columns.clear();
  Fetched = 0;
  if (!Transaction) throw EDBError(QStringLiteral("Набор данных отсоединён от транзакции"));
  IAttachment* att = Transaction->Database.Handle();
  ITransaction* tra = Transaction->Handle();
  const QByteArray text = Win1251Encode(SelectSQL);
  TStatus st;
  try {
    Stmt = Call([&] {
      return att->prepare(&st, tra, 0, text.constData(), Transaction->Database.Dialect(),
                          IStatement::PREPARE_PREFETCH_METADATA);
    });
    ReadColumns();
    Transaction->OpenDataSets.push_back(this);
    Opened = true;
    OpenCursor();
  } catch (...) {
    Close();
    throw;
  }
}

void TIBDataSet::ReadColumns() {
  TStatus st;
  Call([&] {
    Meta = Stmt->getOutputMetadata(&st);
    const unsigned count = Meta->getCount(&st);
    for (unsigned i = 0; i < count; ++i) {
      TColumn c;
      const char* alias = Meta->getAlias(&st, i);
      c.Name = Win1251Decode(QByteArray(alias && *alias ? alias : Meta->getField(&st, i)));
      c.Type = Meta->getType(&st, i);
      c.SubType = static_cast<unsigned>(Meta->getSubType(&st, i));
      c.Length = Meta->getLength(&st, i);
      c.Offset = Meta->getOffset(&st, i);
      c.NullOffset = Meta->getNullOffset(&st, i);
      c.Scale = Meta->getScale(&st, i);
      Columns.push_back(c);
    }
    Buffer.assign(Meta->getMessageLength(&st), 0);
  });
}

void TIBDataSet::OpenCursor() {
  TStatus st;
  ITransaction* tra = Transaction->Handle();
  const unsigned type = Call([&] { return Stmt->getType(&st); });
  Fetched = 0;
  HasRow = false;
  if (type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd) {
    Cursor = Call([&] { return Stmt->openCursor(&st, tra, nullptr, nullptr, Meta, 0); });
    Fetch();
    return;
  }
  // EXECUTE PROCEDURE gives at most one row; other statements none.
  Call([&] { Stmt->execute(&st, tra, nullptr, nullptr, Columns.empty() ? nullptr : Meta, Buffer.data()); });
  if (type == isc_info_sql_stmt_exec_procedure && !Columns.empty()) {
    SingleRow = Buffer;
    HasRow = true;
    Fetched = 1;
  }
}

void TIBDataSet::Fetch() {
  if (!Cursor) {
    HasRow = false;
    return;
  }
  TStatus st;
  HasRow = Call([&] { return Cursor->fetchNext(&st, Buffer.data()); }) == IStatus::RESULT_OK;
  if (HasRow) ++Fetched;
}

void TIBDataSet::First() {
  if (!Opened) return;
  if (!SingleRow.empty()) {
    Buffer = SingleRow;
    HasRow = true;
    return;
  }
  if (Fetched <= 1 && (HasRow || Fetched == 0)) return;  // already on the first row
  // A forward-only cursor: run the select again in the same snapshot.
  TStatus st;
  Call([&] { Cursor->close(&st); });
  Cursor = nullptr;
  Cursor = Call([&] { return Stmt->openCursor(&st, Transaction->Handle(), nullptr, nullptr, Meta, 0); });
  Fetched = 0;
  Fetch();
}

void TIBDataSet::Next() {
  if (!Opened || !HasRow) return;
  if (!SingleRow.empty()) {
    HasRow = false;
    return;
  }
  Fetch();
}

int TIBDataSet::FieldIndex(const QString& name) const {
  if (!Opened) throw EDBError("Набор данных закрыт (поле \"" + name + "\")");
  for (size_t i = 0; i < Columns.size(); ++i)
    if (Columns[i].Name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
  throw EDBError("Поле \"" + name + "\" не найдено");
}

bool TIBDataSet::FieldIsNull(int index) const {
  if (!HasRow) return true;
  const TColumn& c = Columns.at(static_cast<size_t>(index));
  short flag = 0;
  std::memcpy(&flag, Buffer.data() + c.NullOffset, sizeof flag);
  return flag != 0;
}

bool TIBDataSet::FieldIsBlob(int index) const { return Columns.at(static_cast<size_t>(index)).Type == SQL_BLOB; }

QByteArray TIBDataSet::FieldBlobBytes(int index) const {
  if (FieldIsNull(index)) return {};
  const TColumn& c = Columns.at(static_cast<size_t>(index));
  ISC_QUAD id;
  std::memcpy(&id, Buffer.data() + c.Offset, sizeof id);
  if (!Transaction) return {};
  IAttachment* att = Transaction->Database.Handle();
  ITransaction* tra = Transaction->Handle();
  QByteArray bytes;
  TStatus st;
  IBlob* blob = Call([&] { return att->openBlob(&st, tra, &id, 0, nullptr); });
  try {
    char chunk[32768];
    for (;;) {
      unsigned got = 0;
      const int rc = blob->getSegment(&st, sizeof chunk, chunk, &got);
      if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT) break;
      bytes.append(chunk, static_cast<int>(got));
    }
    blob->close(&st);
  } catch (const FbException& e) {
    blob->release();
    Raise(e);
  }
  return bytes;
}

QVariant TIBDataSet::FieldValue(int index) const {
  if (FieldIsNull(index)) return {};
  const TColumn& c = Columns.at(static_cast<size_t>(index));
  const unsigned char* p = Buffer.data() + c.Offset;
  auto read = [p](auto value) {
    std::memcpy(&value, p, sizeof value);
    return value;
  };
  switch (c.Type) {
    case SQL_TEXT:
      return Win1251Decode(QByteArray(reinterpret_cast<const char*>(p), static_cast<int>(c.Length)));
    case SQL_VARYING: {
      const auto length = read(static_cast<unsigned short>(0));
      return Win1251Decode(QByteArray(reinterpret_cast<const char*>(p) + 2, length));
    }
    case SQL_SHORT:
      return ScaledInteger(read(static_cast<short>(0)), c.Scale);
    case SQL_LONG:
      return c.Scale == 0 ? QVariant(read(static_cast<int>(0))) : ScaledInteger(read(static_cast<int>(0)), c.Scale);
    case SQL_INT64:
      return ScaledInteger(read(static_cast<qint64>(0)), c.Scale);
    case SQL_FLOAT:
      return static_cast<double>(read(0.0f));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
      return read(0.0);
    case SQL_TIMESTAMP:
      return FromEngineTimestamp(read(ISC_TIMESTAMP{}));
    case SQL_TYPE_DATE:
      return QDateTime(kEngineEpoch.addDays(read(ISC_DATE{})), QTime(0, 0));
    case SQL_TYPE_TIME:
      return QTime(0, 0).addMSecs(static_cast<int>(read(ISC_TIME{}) / 10));
    case SQL_BOOLEAN:
      return read(static_cast<unsigned char>(0)) != 0;
    case SQL_BLOB: {
      const QByteArray bytes = FieldBlobBytes(index);
      if (c.SubType == 1) return Win1251Decode(bytes);
      return bytes;
    }
    default:
      return {};
  }
}
