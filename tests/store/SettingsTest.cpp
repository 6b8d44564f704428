#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/uAppGlobals.h"
#include "platform/uCodec.h"
#include "store/uDefaultDataBase.h"
#include "store/uIniFile.h"

namespace {

TDBConnection ConnectionFor(const QString& iniText, const QString& appDir = "/opt/talvex/") {
  TTempFolder folder;
  const QString path = folder.File("DBSettings.ini");
  if (!iniText.isNull()) WriteFileBytes(path, iniText.toUtf8());
  TDBParams params(path);
  params.SaveOnDestroy = false;
  return DBConnectionOf(params, appDir);
}

const QStringList kLocalParams = {"USER_NAME=SYSDBA", "PASSWORD=pinewoods", "lc_ctype=WIN1251"};

}  // namespace

TEST(DBParams, ConnectionForEachCase) {
  const struct {
    const char* name;
    QString ini;  // a null text: no file at all
    QString database;
    QStringList params;
  } cases[] = {
      {"no file", QString(), "/opt/talvex/TALVEXDB.FDB", kLocalParams},
      {"no keys", "[DefaultDataBase]\n", "/opt/talvex/TALVEXDB.FDB", kLocalParams},
      {"remote, empty server",
       "[DefaultDataBase]\nUseLocal=0\nDBServer=\nDBName=/data/school.fdb\nLogin=OPER\nPassword=secret\n",
       "/data/school.fdb",
       {"USER_NAME=OPER", "PASSWORD=secret", "lc_ctype=WIN1251"}},
      {"remote, no name or server", "[DefaultDataBase]\nUseLocal=0\n", "localhost:MIRVOL.gdb",
       {"USER_NAME=SYSDBA", "PASSWORD=pinewoods", "lc_ctype=WIN1251"}},
      {"remote, host and path", "[DefaultDataBase]\nUseLocal=0\nDBServer=srv\nDBName=/db/t.fdb\n", "srv:/db/t.fdb",
       {"USER_NAME=SYSDBA", "PASSWORD=pinewoods", "lc_ctype=WIN1251"}},
      {"local with another account",
       "[DefaultDataBase]\nUseLocal=1\nLogin=OPER\nPassword=secret\nDBName=x.fdb\nDBServer=srv\n",
       "/opt/talvex/TALVEXDB.FDB", kLocalParams},
      {"keys in another letter case", "[defaultdatabase]\nuselocal=0\ndbserver=h\ndbname=p\n", "h:p",
       {"USER_NAME=SYSDBA", "PASSWORD=pinewoods", "lc_ctype=WIN1251"}},
      {"keys in another section only", "[Other]\nUseLocal=0\n", "/opt/talvex/TALVEXDB.FDB", kLocalParams},
  };
  for (const auto& c : cases) {
    const TDBConnection got = ConnectionFor(c.ini);
    EXPECT_EQ(got.DatabaseName, c.database) << c.name;
    EXPECT_EQ(got.Params, c.params) << c.name;
  }
}

TEST(DBParams, LocalFileInTheProgramFolder) {
  TTempFolder folder;
  App().AppDir = folder.Path();
  TDBParams params(folder.File("DBSettings.ini"));
  params.SaveOnDestroy = false;
  EXPECT_EQ(DBConnectionOf(params).DatabaseName, folder.Path() + "TALVEXDB.FDB");
  EXPECT_TRUE(DBConnectionOf(params).Local);
  ResetAppGlobals();
}

TEST(DBParams, DefaultsWithoutFile) {
  TTempFolder folder;
  TDBParams params(folder.File("DBSettings.ini"));
  EXPECT_TRUE(params.SaveOnDestroy);
  params.SaveOnDestroy = false;
  EXPECT_EQ(params.DBName, "MIRVOL.gdb");
  EXPECT_EQ(params.DBServer, "localhost");
  EXPECT_EQ(params.Login, "SYSDBA");
  EXPECT_EQ(params.Password, "pinewoods");
  EXPECT_TRUE(params.UseLocal);
}

TEST(DBParams, BooleanTexts) {
  const struct {
    const char* text;
    bool expected;
  } cases[] = {{"1", true},  {"0", false},   {"2", true},    {"-1", true},       {" 0 ", false},
               {"00", false}, {"$0", false}, {"0x10", true}, {"yes", true},      {"no", true},
               {"", true},   {"true", true}, {"false", true}, {"99999999999", true}, {"\"0\"", false}};
  for (const auto& c : cases) {
    TTempFolder folder;
    const QString path = folder.File("DBSettings.ini");
    WriteFileBytes(path, QByteArray("[DefaultDataBase]\nUseLocal=") + c.text + "\n");
    TDBParams params(path);
    params.SaveOnDestroy = false;
    EXPECT_EQ(params.UseLocal, c.expected) << "UseLocal=" << c.text;
  }
}

TEST(DBParams, WrittenBackOnDestroyKeepingOtherSections) {
  TTempFolder folder;
  const QString path = folder.File("DBSettings.ini");
  WriteFileBytes(path,
                 "; settings of the workstation\n[Server]\nHost=example.org\nPort=8080\n\n"
                 "[DefaultDataBase]\nDBName=old.fdb\nExtra=kept\n\n[Window]\nMaximized=1\n");
  {
    TDBParams params(path);
    EXPECT_EQ(params.DBName, "old.fdb");
    params.DBName = "new.fdb";
    params.UseLocal = false;
  }
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Server", "Host", ""), "example.org");
  EXPECT_EQ(ini.ReadInteger("Server", "Port", 0), 8080);
  EXPECT_EQ(ini.ReadString("Window", "Maximized", ""), "1");
  EXPECT_EQ(ini.ReadString("DefaultDataBase", "Extra", ""), "kept");
  EXPECT_EQ(ini.ReadString("DefaultDataBase", "DBName", ""), "new.fdb");
  EXPECT_EQ(ini.ReadString("DefaultDataBase", "UseLocal", ""), "0");
  EXPECT_EQ(ini.ReadString("DefaultDataBase", "Password", ""), "pinewoods");
  EXPECT_TRUE(ReadFileBytes(path).startsWith("; settings of the workstation"));
}

TEST(DBParams, NotWrittenWhenSaveOnDestroyIsOff) {
  TTempFolder folder;
  const QString path = folder.File("DBSettings.ini");
  {
    TDBParams params(path);
    params.SaveOnDestroy = false;
    params.DBName = "changed.fdb";
  }
  EXPECT_FALSE(QFile::exists(path));
}

TEST(DBParams, WriteErrorIsSwallowed) {
  TTempFolder folder;
  const QString path = folder.File("no/such/folder/DBSettings.ini");
  EXPECT_NO_THROW({ TDBParams params(path); });
  EXPECT_FALSE(QFile::exists(path));
}

TEST(IniFile, Windows1251FileKeepsItsEncoding) {
  TTempFolder folder;
  const QString path = folder.File("x.ini");
  WriteFileBytes(path, Win1251Encode("[DefaultDataBase]\nDBName=C:\\Базы\\школа.fdb\n[Прочее]\nКлюч=значение\n"));
  {
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("DefaultDataBase", "DBName", ""), "C:\\Базы\\школа.fdb");
    ini.WriteString("DefaultDataBase", "Login", "Учитель");
    ini.UpdateFile();
  }
  const QByteArray bytes = ReadFileBytes(path);
  EXPECT_TRUE(bytes.contains(Win1251Encode("Login = Учитель")) || bytes.contains(Win1251Encode("Login=Учитель")));
  EXPECT_TRUE(bytes.contains(Win1251Encode("Ключ")));
}

TEST(IniFile, ValuesTrimmedAndUnquoted) {
  TTempFolder folder;
  const QString path = folder.File("x.ini");
  WriteFileBytes(path, "[S]\nA =  spaced value  \nB=\"quoted path\"\nC=\nD='x'\nE=\"half\n");
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("S", "A", "d"), "spaced value");
  EXPECT_EQ(ini.ReadString("S", "B", "d"), "quoted path");
  EXPECT_EQ(ini.ReadString("S", "C", "d"), "");
  EXPECT_EQ(ini.ReadString("S", "D", "d"), "x");
  EXPECT_EQ(ini.ReadString("S", "E", "d"), "\"half");
  EXPECT_EQ(ini.ReadString("S", "Missing", "d"), "d");
  EXPECT_FALSE(ini.Modified());
}
