#include "store/uIBObjects.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <QDateTime>
#include <QFile>
#include <QStringDecoder>
#include <cmath>
#include <cstring>

#include "platform/uCodec.h"

using namespace Firebird;

namespace {

IMaster* Master() {
  static IMaster* master = fb_get_master_interface();
  return master;
}

// A status object for one call; disposed on leaving the scope.
struct TStatus {
  ThrowStatusWrapper W{Master()->getStatus()};
  ~TStatus() { W.dispose(); }
  ThrowStatusWrapper* operator&() { return &W; }
};

QString DecodeEngineText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(bytes);
  return utf8.hasError() ? Win1251Decode(bytes) : text;
}

std::vector<long> ErrorCodes(const intptr_t* v) {
  std::vector<long> codes;
  while (v && *v != isc_arg_end) {
    const intptr_t kind = *v++;
    if (kind == isc_arg_gds) codes.push_back(static_cast<long>(*v));
    v += kind == isc_arg_cstring ? 2 : 1;
  }
  return codes;
}

[[noreturn]] void Raise(const FbException& e) {
  char text[4096];
  Master()->getUtilInterface()->formatStatus(text, sizeof text, e.getStatus());
  text[sizeof text - 1] = 0;
  throw EDBError(DecodeEngineText(QByteArray(text)), ErrorCodes(e.getStatus()->getErrors()));
}

// Runs an engine call, turning its exception into EDBError.
template <class F>
auto Call(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const FbException& e) {
    Raise(e);
  }
}

// Releases an engine interface when leaving the scope.
template <class T>
struct TRef {
  explicit TRef(T* p) : P(p) {}
  T* P = nullptr;
  ~TRef() {
    if (P) P->release();
  }
  TRef(const TRef&) = delete;
  TRef& operator=(const TRef&) = delete;
  T* operator->() const { return P; }
};

template <class T>
void Release(T*& handle) {
  if (handle) handle->release();
  handle = nullptr;
}

// Builds a database parameter block from the "name=value" lines.
class TDpb {
 public:
  explicit TDpb(const QStringList& params) {
    Call([&] { B = Master()->getUtilInterface()->getXpbBuilder(&St, IXpbBuilder::DPB, nullptr, 0); });
    for (const QString& line : params) {
      const int eq = line.indexOf('=');
      const QString name = line.left(eq).trimmed().toLower();
      const QByteArray value = line.mid(eq + 1).toUtf8();
      unsigned char tag = 0;
      if (name == "user_name") tag = isc_dpb_user_name;
      else if (name == "password") tag = isc_dpb_password;
      else if (name == "lc_ctype") tag = isc_dpb_lc_ctype;
      else if (name == "sql_role_name") tag = isc_dpb_sql_role_name;
      else throw EDBError("Неизвестный параметр подключения: " + line);
      Call([&] { B->insertString(&St, tag, value.constData()); });
    }
  }
  ~TDpb() {
    if (B) B->dispose();
  }
  void AddInt(unsigned char tag, int value) {
    Call([&] { B->insertInt(&St, tag, value); });
  }
  void AddString(unsigned char tag, const char* value) {
    Call([&] { B->insertString(&St, tag, value); });
  }
  unsigned Length() { return Call([&] { return B->getBufferLength(&St); }); }
  const unsigned char* Data() { return Call([&] { return B->getBuffer(&St); }); }

 private:
  TStatus St;
  IXpbBuilder* B = nullptr;
};

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

// ---------------------------------------------------------------- connection

TIBConnection::~TIBConnection() {
  if (!Att) return;
  try {
    Close();
  } catch (...) {
    Release(Att);
  }
}

IAttachment* TIBConnection::Handle() const {
  if (!Att) throw EDBError(QStringLiteral("Нет соединения с базой данных"));
  return Att;
}

void TIBConnection::Open(TForcedWrites forcedWrites) { Attach(false, forcedWrites); }

void TIBConnection::Create(TForcedWrites forcedWrites) {
  if (Att) throw EDBError(QStringLiteral("Соединение с базой данных уже открыто"));
  Attach(true, forcedWrites);
}

void TIBConnection::Attach(bool create, TForcedWrites forcedWrites) {
  if (Att) return;
  TDpb dpb(Params);
  if (create) {
    dpb.AddInt(isc_dpb_sql_dialect, 1);
    dpb.AddString(isc_dpb_set_db_charset, "WIN1251");
  }
  if (forcedWrites != TForcedWrites::Unchanged) dpb.AddInt(isc_dpb_force_write, forcedWrites == TForcedWrites::On);
  TStatus st;
  IProvider* provider = Master()->getDispatcher();
  const QByteArray file = QFile::encodeName(DatabaseName);
  try {
    Att = create ? provider->createDatabase(&st, file.constData(), dpb.Length(), dpb.Data())
                 : provider->attachDatabase(&st, file.constData(), dpb.Length(), dpb.Data());
  } catch (const FbException& e) {
    provider->release();
    Raise(e);
  }
  provider->release();
  ReadDialect();
}

void TIBConnection::ReadDialect() {
  const unsigned char items[] = {isc_info_db_sql_dialect, isc_info_end};
  unsigned char buffer[32] = {};
  TStatus st;
  Call([&] { Att->getInfo(&st, sizeof items, items, sizeof buffer, buffer); });
  SqlDialect = 3;
  if (buffer[0] == isc_info_db_sql_dialect) {
    const int length = buffer[1] | (buffer[2] << 8);
    int value = 0;
    for (int i = length - 1; i >= 0; --i) value = (value << 8) | buffer[3 + i];
    if (value >= 1 && value < 3) SqlDialect = static_cast<unsigned>(value);
  }
}

void TIBConnection::Close() {
  if (!Att) return;
  TStatus st;
  Call([&] { Att->detach(&st); });  // releases the interface on success
  Att = nullptr;
}

// --------------------------------------------------------------- transaction

TIBTransaction::~TIBTransaction() {
  for (TIBDataSet* ds : std::vector<TIBDataSet*>(OpenDataSets)) ds->Orphan();
  OpenDataSets.clear();
  if (Tra) {
    try {
      Commit();
    } catch (...) {
      Release(Tra);
    }
  }
}

ITransaction* TIBTransaction::Handle() const {
  if (!Tra) throw EDBError(QStringLiteral("Транзакция не активна"));
  return Tra;
}

void TIBTransaction::StartTransaction() {
  if (Tra) return;
  IAttachment* att = Database.Handle();
  TStatus st;
  Tra = Call([&] { return att->startTransaction(&st, 0, nullptr); });
}

void TIBTransaction::CloseDataSets() {
  for (TIBDataSet* ds : std::vector<TIBDataSet*>(OpenDataSets)) ds->Close();
}

void TIBTransaction::Commit() {
  if (!Tra) return;
  CloseDataSets();
  TStatus st;
  Call([&] { Tra->commit(&st); });  // releases the interface on success
  Tra = nullptr;
}

void TIBTransaction::Rollback() {
  if (!Tra) return;
  CloseDataSets();
  TStatus st;
  Call([&] { Tra->rollback(&st); });
  Tra = nullptr;
}

// ------------------------------------------------------------------- dataset

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

// ------------------------------------------------------------ statement text

TParsedSQL ParseParamMarkers(const QString& sql) {
  TParsedSQL r;
  const int n = static_cast<int>(sql.size());
  auto isNameChar = [](QChar ch) { return ch.isLetterOrNumber() || ch == '_' || ch == '$'; };
  int i = 0;
  while (i < n) {
    const QChar ch = sql[i];
    if (ch == '\'' || ch == '"') {  // a literal (a doubled quote inside reopens it at once)
      const int end = sql.indexOf(ch, i + 1);
      const int stop = end < 0 ? n : end + 1;
      r.Text += sql.mid(i, stop - i);
      i = stop;
    } else if (ch == '-' && i + 1 < n && sql[i + 1] == '-') {
      const int end = sql.indexOf('\n', i);
      const int stop = end < 0 ? n : end;
      r.Text += sql.mid(i, stop - i);
      i = stop;
    } else if (ch == '/' && i + 1 < n && sql[i + 1] == '*') {
      const int end = sql.indexOf(QLatin1String("*/"), i + 2);
      const int stop = end < 0 ? n : end + 2;
      r.Text += sql.mid(i, stop - i);
      i = stop;
    } else if (ch == ':' && i + 1 < n && isNameChar(sql[i + 1])) {
      int j = i + 1;
      while (j < n && isNameChar(sql[j])) ++j;
      const QString name = sql.mid(i + 1, j - i - 1).toUpper();
      int index = static_cast<int>(r.Names.indexOf(name));
      if (index < 0) {
        index = static_cast<int>(r.Names.size());
        r.Names << name;
      }
      r.Markers.push_back(index);
      r.Text += '?';
      i = j;
    } else {
      r.Text += ch;
      ++i;
    }
  }
  return r;
}

// ----------------------------------------------------------------- statement

TIBSQL::~TIBSQL() { Close(); }

void TIBSQL::SetSQL(const QString& sql) {
  Close();
  Text = sql;
  ParamNames.clear();
  Markers.clear();
  if (ParamCheck) {
    TParsedSQL parsed = ParseParamMarkers(sql);
    EngineText = Win1251Encode(parsed.Text);
    ParamNames = parsed.Names;
    Markers = parsed.Markers;
  } else {
    EngineText = Win1251Encode(sql);
  }
  Values.assign(ParamNames.size(), QVariant());
}

void TIBSQL::SetParam(int index, const QVariant& value) {
  if (index < 0 || index >= ParamCount())
    throw EDBError("Нет параметра с номером " + QString::number(index));
  Values[static_cast<size_t>(index)] = value;
}

void TIBSQL::Close() { Release(Stmt); }

namespace {

QByteArray ParamBytes(const QVariant& v, unsigned targetType) {
  switch (v.typeId()) {
    case QMetaType::QByteArray:
      return v.toByteArray();
    case QMetaType::Double:
      return QByteArray::number(v.toDouble(), 'g', 17);
    case QMetaType::Bool:
      if (targetType == SQL_BOOLEAN) return v.toBool() ? "TRUE" : "FALSE";
      return v.toBool() ? "1" : "0";
    case QMetaType::QDateTime:
      return v.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss.zzz")).toLatin1();
    case QMetaType::QDate:
      return v.toDate().toString(QStringLiteral("dd.MM.yyyy")).toLatin1();
    default:
      return Win1251Encode(v.toString());
  }
}

ISC_QUAD CreateBlob(IAttachment* att, ITransaction* tra, const QByteArray& bytes) {
  ISC_QUAD id{};
  TStatus st;
  IBlob* blob = Call([&] { return att->createBlob(&st, tra, &id, 0, nullptr); });
  try {
    for (int pos = 0; pos < bytes.size(); pos += 32768) {
      const int part = std::min<int>(32768, static_cast<int>(bytes.size()) - pos);
      blob->putSegment(&st, static_cast<unsigned>(part), bytes.constData() + pos);
    }
    blob->close(&st);
  } catch (const FbException& e) {
    blob->release();
    Raise(e);
  }
  return id;
}

}  // namespace

void TIBSQL::ExecQuery() {
  Close();
  IAttachment* att = Transaction.Database.Handle();
  ITransaction* tra = Transaction.Handle();
  const unsigned dialect = Transaction.Database.Dialect();
  TStatus st;
  Stmt = Call([&] {
    return att->prepare(&st, tra, 0, EngineText.constData(), dialect, IStatement::PREPARE_PREFETCH_METADATA);
  });
  TRef<IMessageMetadata> declared{Call([&] { return Stmt->getInputMetadata(&st); })};
  const unsigned count = Call([&] { return declared->getCount(&st); });
  // Each parameter travels as text (the engine converts it) or as a blob.
  std::vector<QByteArray> data(count);
  std::vector<bool> isNull(count, true);
  TRef<IMetadataBuilder> builder{Call([&] { return declared->getBuilder(&st); })};
  for (unsigned i = 0; i < count; ++i) {
    const QVariant& v = i < Markers.size() ? Values[static_cast<size_t>(Markers[i])] : QVariant();
    isNull[i] = v.isNull();
    if (isNull[i]) continue;
    const unsigned type = Call([&] { return declared->getType(&st, i); });
    if (type == SQL_BLOB) {
      const ISC_QUAD id = CreateBlob(att, tra, ParamBytes(v, type));
      data[i] = QByteArray(reinterpret_cast<const char*>(&id), sizeof id);
      continue;
    }
    data[i] = ParamBytes(v, type);
    Call([&] {
      builder->setType(&st, i, SQL_VARYING);
      builder->setSubType(&st, i, 0);
      builder->setScale(&st, i, 0);
      builder->setLength(&st, i, static_cast<unsigned>(std::max<qsizetype>(1, data[i].size())));
    });
  }
  TRef<IMessageMetadata> inMeta{Call([&] { return builder->getMetadata(&st); })};
  std::vector<unsigned char> in(Call([&] { return inMeta->getMessageLength(&st); }), 0);
  for (unsigned i = 0; i < count; ++i) {
    const short flag = isNull[i] ? -1 : 0;
    std::memcpy(in.data() + Call([&] { return inMeta->getNullOffset(&st, i); }), &flag, sizeof flag);
    if (isNull[i]) continue;
    unsigned char* p = in.data() + Call([&] { return inMeta->getOffset(&st, i); });
    if (Call([&] { return inMeta->getType(&st, i); }) == SQL_VARYING) {
      const auto length = static_cast<unsigned short>(data[i].size());
      std::memcpy(p, &length, sizeof length);
      p += sizeof length;
    }
    std::memcpy(p, data[i].constData(), static_cast<size_t>(data[i].size()));
  }
  TRef<IMessageMetadata> outMeta{Call([&] { return Stmt->getOutputMetadata(&st); })};
  const bool hasOut = Call([&] { return outMeta->getCount(&st); }) > 0;
  std::vector<unsigned char> out(Call([&] { return outMeta->getMessageLength(&st); }) + 1, 0);
  Call([&] {
    Stmt->execute(&st, tra, count ? inMeta.P : nullptr, count ? in.data() : nullptr, hasOut ? outMeta.P : nullptr,
                  hasOut ? out.data() : nullptr);
  });
}
