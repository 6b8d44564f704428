#pragma once
#include <QString>
#include <QStringList>

#include "store/uDefaultValue.h"

// Connection parameters of the local database, section "DefaultDataBase" of
// "DBSettings.ini".  Missing keys (or a missing file) give the defaults.
class TDBParams : public TDefaultIniValue {
 public:
  explicit TDBParams(const QString& fileName);
  ~TDBParams() override;

  QString DBName = QStringLiteral("MIRVOL.gdb");
  QString DBServer = QStringLiteral("localhost");
  QString Login = QStringLiteral("SYSDBA");
  QString Password = QStringLiteral("pinewoods");
  bool UseLocal = true;

  void Load() override;
  void Save() override;
};

// What the session needs to attach: the database name and the connection
// parameters ("name=value" lines).
struct TDBConnection {
  QString DatabaseName;
  QStringList Params;
  bool Local = true;  // the local file in the program folder, created when missing
};

// The local database file's name in the program folder.
inline const QString LocalDBFileName = QStringLiteral("TALVEXDB.FDB");

// Local: appDir + "TALVEXDB.FDB" as SYSDBA with the built-in password (the
// embedded engine resolves a bare name against the working directory, so the
// program folder is prefixed); the file's name, server and account are ignored.
// Otherwise DBServer + ":" + DBName (DBName alone when DBServer is empty) with
// Login and Password.  Both end with "lc_ctype=WIN1251".
TDBConnection DBConnectionOf(const TDBParams& params, const QString& appDir);
// The same in the program folder, App().AppDir.
TDBConnection DBConnectionOf(const TDBParams& params);
