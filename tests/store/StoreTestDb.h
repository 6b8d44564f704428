#pragma once
#include <QString>
#include <QStringList>
#include <memory>

#include "store/uIBDataBase.h"

// A session set up for a database file the way the store sets it up for the
// local database (SYSDBA, lc_ctype WIN1251); not yet connected.
inline std::unique_ptr<T_IBDataBase> NewSession(const QString& file) {
  auto db = std::make_unique<T_IBDataBase>();
  db->Database->DatabaseName = file;
  db->Database->Params = {"USER_NAME=SYSDBA", "PASSWORD=pinewoods", "lc_ctype=WIN1251"};
  return db;
}

// Opens the file, creating it with the schema when it is missing.
inline std::unique_ptr<T_IBDataBase> OpenLocal(const QString& file) {
  auto db = NewSession(file);
  db->ConnectOrCreate(true);
  return db;
}
