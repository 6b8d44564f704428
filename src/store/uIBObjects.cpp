#include "store/uIBObjects.h"

#include <QFile>

#include "store/uIBDataSet.h"
#include "store/uIBEngine.h"

using namespace fbapi;

namespace {

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
