#include "store/uDefaultDataBase.h"

#include "platform/uAppGlobals.h"
#include "store/uIniFile.h"

namespace {
const QString kSection = QStringLiteral("DefaultDataBase");
}

TDBParams::TDBParams(const QString& fileName) : TDefaultIniValue(fileName) { ReadFromStore(); }

TDBParams::~TDBParams() { WriteBackToStore(); }

void TDBParams::Load() {
  if (!IniFile) return;
  DBName = IniFile->ReadString(kSection, QStringLiteral("DBName"), QStringLiteral("MIRVOL.gdb"));
  DBServer = IniFile->ReadString(kSection, QStringLiteral("DBServer"), QStringLiteral("localhost"));
  Login = IniFile->ReadString(kSection, QStringLiteral("Login"), QStringLiteral("SYSDBA"));
  Password = IniFile->ReadString(kSection, QStringLiteral("Password"), QStringLiteral("pinewoods"));
  UseLocal = IniFile->ReadBool(kSection, QStringLiteral("UseLocal"), true);
}

void TDBParams::Save() {
  if (!IniFile) return;
  IniFile->WriteString(kSection, QStringLiteral("DBName"), DBName);
  IniFile->WriteString(kSection, QStringLiteral("DBServer"), DBServer);
  IniFile->WriteString(kSection, QStringLiteral("Login"), Login);
  IniFile->WriteString(kSection, QStringLiteral("Password"), Password);
  IniFile->WriteBool(kSection, QStringLiteral("UseLocal"), UseLocal);
}

TDBConnection DBConnectionOf(const TDBParams& params, const QString& appDir) {
  TDBConnection c;
  c.Local = params.UseLocal;
  if (params.UseLocal) {
    c.DatabaseName = appDir + LocalDBFileName;
    c.Params << QStringLiteral("USER_NAME=SYSDBA") << QStringLiteral("PASSWORD=pinewoods");
  } else {
    c.DatabaseName = params.DBServer.isEmpty() ? params.DBName : params.DBServer + ':' + params.DBName;
    c.Params << "USER_NAME=" + params.Login << "PASSWORD=" + params.Password;
  }
  c.Params << QStringLiteral("lc_ctype=WIN1251");
  return c;
}

TDBConnection DBConnectionOf(const TDBParams& params) { return DBConnectionOf(params, App().AppDir); }
