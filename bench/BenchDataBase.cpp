// Times the local database's two start-up paths: creating a new file with the
// schema, and opening an existing one (connect + first query).
//
// Run: ./build/bench/talvex_bench_database [runs]
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/uResources.h"
#include "store/uIBDataBase.h"
#include "store/uNewDataBase.h"

namespace {

std::unique_ptr<T_IBDataBase> Session(const QString& file) {
  auto db = std::make_unique<T_IBDataBase>();
  db->Database->DatabaseName = file;
  db->Database->Params = {"USER_NAME=SYSDBA", "PASSWORD=pinewoods", "lc_ctype=WIN1251"};
  return db;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
  QTemporaryDir folder;
  if (!folder.isValid()) return 1;
  std::vector<double> create, reference, open;
  try {
    for (int i = 0; i < runs; ++i) {
      const QString file = folder.filePath(QString("new%1.FDB").arg(i));
      QElapsedTimer t;
      t.start();
      Session(file)->ConnectOrCreate(true);  // create, schema, disconnect
      create.push_back(Ms(t));
    }
    // Reference: the same schema on a file with forced writes from the start.
    for (int i = 0; i < runs; ++i) {
      auto db = Session(folder.filePath(QString("ref%1.FDB").arg(i)));
      QElapsedTimer t;
      t.start();
      db->Database->Create(TIBConnection::TForcedWrites::On);
      RunSqlScript(LoadTextResourceString("RC_SCHEMA"), [&](const QString& s) { db->ExecDirect(s); });
      db->Disconnect();
      reference.push_back(Ms(t));
    }
    const QString existing = folder.filePath("new0.FDB");
    for (int i = 0; i < runs; ++i) {
      QElapsedTimer t;
      t.start();
      auto db = Session(existing);
      db->ConnectOrCreate(true);
      db->DoQuery("SELECT COUNT(*) AS N FROM TB_OBJECTS");
      (void)db->FieldAsInteger("N");
      open.push_back(Ms(t));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
  const double c = Median(create), r = Median(reference), o = Median(open);
  std::printf("Local database, %d runs each (median):\n", runs);
  std::printf("  create new file with schema : %8.1f ms\n", c);
  std::printf("    (forced writes throughout : %8.1f ms, %.1f x slower)\n", r, c > 0 ? r / c : 0.0);
  std::printf("  open existing + first query : %8.1f ms\n", o);
  std::printf("  create / open               : %8.1f x\n", o > 0 ? c / o : 0.0);
  return 0;
}
