#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "StoreTestDb.h"
#include "TestSupport.h"
#include "platform/uAppGlobals.h"
#include "platform/uDateTime.h"
#include "store/uDefaultDataBase.h"

namespace {

int IntOf(T_IBDataBase& db, const QString& sql) {
  db.DoQuery(sql);
  const int n = db.FieldAsInteger("N");
  db.CloseQuery();
  return n;
}

// The store's object creation: NEW_OBJECT read through the shared query, committed by CloseQuery.
int NewObject(T_IBDataBase& db, const QString& cls, const QString& name) {
  db.DoQuery("SELECT ID FROM NEW_OBJECT('" + cls + "','" + name + "');");
  const int id = db.Eof() ? -1 : db.FieldAsInteger("ID");
  db.CloseQuery();
  return id;
}

}  // namespace

TEST(NewDataBase, CreatedWithTheSchemaWhenMissing) {
  TTempFolder folder;
  const QString file = folder.File("TALVEXDB.FDB");
  auto db = OpenLocal(file);
  EXPECT_TRUE(QFile::exists(file));
  EXPECT_EQ(db->Database->Dialect(), 1u);
  db->DoQuery("SELECT RDB$CHARACTER_SET_NAME AS CS FROM RDB$DATABASE");
  EXPECT_EQ(db->FieldAsString("CS"), "WIN1251");
  QStringList tables;
  db->DoQuery("SELECT RDB$RELATION_NAME AS NAME FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG=0 ORDER BY 1");
  for (; !db->Eof(); db->Next()) tables << db->FieldAsString("NAME");
  EXPECT_EQ(tables, QStringList({"TB_INDICATORS", "TB_OATTRS_BLOB", "TB_OATTRS_DATE", "TB_OATTRS_FLOAT",
                                 "TB_OATTRS_INT", "TB_OATTRS_STR", "TB_OBJECTS", "TB_RELATIONS"}));
  QStringList procedures;
  db->DoQuery("SELECT RDB$PROCEDURE_NAME AS NAME FROM RDB$PROCEDURES ORDER BY 1");
  for (; !db->Eof(); db->Next()) procedures << db->FieldAsString("NAME");
  EXPECT_EQ(procedures, QStringList({"NEW_OBJECT", "SET_ATTR_BLOB", "SET_ATTR_DATE", "SET_ATTR_FLOAT",
                                     "SET_ATTR_INT", "SET_ATTR_STR"}));
  db->DoQuery("SELECT MON$FORCED_WRITES AS N FROM MON$DATABASE");
  EXPECT_EQ(db->FieldAsInteger("N"), 1);
  EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), QStringList({"TALVEXDB.FDB"}));
  // The environment table is the store's to create.
  EXPECT_THROW(db->DoQuery("SELECT VARVALUE FROM ST_ENVIRONMENT WHERE VARNAME='dbversion'"), EDBError);
}

TEST(NewDataBase, DefaultSettingsGiveTheLocalFileInTheProgramFolder) {
  TTempFolder folder;
  App().AppDir = folder.Path();
  TDBParams params(App().AppDir + "DBSettings.ini");  // no such file
  params.SaveOnDestroy = false;
  const TDBConnection c = DBConnectionOf(params);
  T_IBDataBase db;
  db.Database->DatabaseName = c.DatabaseName;
  db.Database->Params = c.Params;
  db.ConnectOrCreate(c.Local);
  ResetAppGlobals();
  EXPECT_TRUE(db.Connected());
  EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), QStringList({"TALVEXDB.FDB"}));
  db.DoQuery(
      "SELECT CURRENT_USER AS U, C.RDB$CHARACTER_SET_NAME AS CS FROM MON$ATTACHMENTS A JOIN RDB$CHARACTER_SETS C "
      "ON C.RDB$CHARACTER_SET_ID = A.MON$CHARACTER_SET_ID WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION");
  EXPECT_EQ(db.FieldAsString("U"), "SYSDBA");
  EXPECT_EQ(db.FieldAsString("CS"), "WIN1251");
}

TEST(NewDataBase, ExistingFileIsOpenedNotRecreated) {
  TTempFolder folder;
  const QString file = folder.File("TALVEXDB.FDB");
  const int id = NewObject(*OpenLocal(file), "objects.EduObject", "scid_1001");
  auto db = OpenLocal(file);
  EXPECT_EQ(IntOf(*db, "SELECT COUNT(*) AS N FROM TB_OBJECTS WHERE ID=" + QString::number(id)), 1);
}

TEST(NewDataBase, NewObjectGivesIncreasingIdentifiers) {
  TTempFolder folder;
  auto db = OpenLocal(folder.File("TALVEXDB.FDB"));
  const int first = NewObject(*db, "objects.EduClass", "Класс 1А");
  const int second = NewObject(*db, "objects.EduClass", "Класс 1Б");
  const int third = NewObject(*db, "objects.EduStudent", "{6F9619FF-8B86-D011-B42D-00CF4FC964FF}");
  EXPECT_GT(first, 0);
  EXPECT_GT(second, first);
  EXPECT_GT(third, second);
  // Committed by CloseQuery, active, with class and name as given.
  auto other = OpenLocal(folder.File("TALVEXDB.FDB"));
  other->DoQuery("SELECT ID,IDNAME FROM TB_OBJECTS WHERE CLASS='objects.EduClass' and (DISABLED=\"01.01.1900\");");
  QStringList names;
  for (; !other->Eof(); other->Next()) names << other->FieldAsString("IDNAME");
  EXPECT_EQ(names, QStringList({"Класс 1А", "Класс 1Б"}));
}

TEST(NewDataBase, SetAttrKeepsOneCurrentRowAndTheHistory) {
  TTempFolder folder;
  auto db = OpenLocal(folder.File("TALVEXDB.FDB"));
  const int id = NewObject(*db, "objects.EduStudent", "pupil");
  const QString sid = QString::number(id);
  const struct {
    const char* procedure;
    const char* table;
    const char* first;  // the value as the store writes it into the statement
    const char* second;
    const char* firstRead;  // FieldAsString of AVALUE
    const char* secondRead;
  } cases[] = {
      {"SET_ATTR_STR", "tb_oattrs_STR", "'Иванов'", "'Иванов-Петров'", "Иванов", "Иванов-Петров"},
      {"SET_ATTR_INT", "tb_oattrs_INT", "3", "4", "3", "4"},
      {"SET_ATTR_FLOAT", "tb_oattrs_FLOAT", " 2.50000000000000E+0000", " 2.75000000000000E+0000", "2,5", "2,75"},
      {"SET_ATTR_DATE", "tb_oattrs_DATE", "'01.09.2017'", "'31.05.2018'", "01.09.2017", "31.05.2018"},
      {"SET_ATTR_BLOB", "tb_oattrs_BLOB", "'первый текст'", "'второй текст'", "первый текст", "второй текст"},
  };
  for (const auto& c : cases) {
    const QString table = c.table;
    const QString set = QString("execute procedure %1(%2,'attr',").arg(c.procedure, sid);
    const QString rows = "SELECT COUNT(*) AS N FROM " + table + " WHERE OBJECT_ID=" + sid + " AND ATRNAME='attr'";
    const QString current = "SELECT OBJECT_ID,ATRNAME,AVALUE FROM " + table + " WHERE (OBJECT_ID in (" + sid +
                            ")) AND (ATRNAME in ('attr')) and (UPDATEDATE='01.01.1900') ORDER by object_id;";
    db->UpdateSQL(set + c.first + ");");
    EXPECT_EQ(IntOf(*db, rows), 1) << c.procedure;
    db->UpdateSQL(set + c.first + ");");
    EXPECT_EQ(IntOf(*db, rows), 1) << c.procedure << ": the same value writes nothing";
    db->UpdateSQL(set + c.second + ");");
    EXPECT_EQ(IntOf(*db, rows), 2) << c.procedure;
    db->DoQuery(current);
    ASSERT_FALSE(db->Eof()) << c.procedure;
    EXPECT_EQ(db->FieldAsString("AVALUE"), c.secondRead) << c.procedure;
    db->Next();
    EXPECT_TRUE(db->Eof()) << c.procedure << ": one current row";
    db->DoQuery("SELECT AVALUE, UPDATEDATE FROM " + table + " WHERE OBJECT_ID=" + sid +
                " AND ATRNAME='attr' AND UPDATEDATE>'01.01.1900'");
    ASSERT_FALSE(db->Eof()) << c.procedure;
    EXPECT_EQ(db->FieldAsString("AVALUE"), c.firstRead) << c.procedure;
    EXPECT_GT(db->FieldAsDateTime("UPDATEDATE"), ToDateTime(QDate(2000, 1, 1))) << c.procedure;
    db->CloseQuery();
  }
}

TEST(NewDataBase, BlobAttributeAsParameter) {
  TTempFolder folder;
  auto db = OpenLocal(folder.File("TALVEXDB.FDB"));
  const QString sid = QString::number(NewObject(*db, "objects.EduObject", "scid_7"));
  const QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n\r<a t='школа'/>");
  for (int round = 0; round < 2; ++round) {  // the second time writes nothing
    db->PrepareUpdate("execute procedure SET_ATTR_BLOB(" + sid + ",'doc',:param1);");
    db->SetUpdateParam(0, xml);
    db->ExecPrepared();
  }
  db->DoQuery("SELECT AVALUE FROM tb_oattrs_BLOB WHERE OBJECT_ID=" + sid + " and (UPDATEDATE='01.01.1900')");
  EXPECT_EQ(db->FieldAsText("AVALUE"), xml);
  db->Next();
  EXPECT_TRUE(db->Eof());
  EXPECT_EQ(IntOf(*db, "SELECT COUNT(*) AS N FROM tb_oattrs_BLOB WHERE OBJECT_ID=" + sid), 1);
}

TEST(NewDataBase, FileThatIsNotADatabaseIsLeftAlone) {
  const struct {
    const char* name;
    QByteArray bytes;
  } cases[] = {
      {"short text", "this is not a database\n"},
      {"empty file", QByteArray()},
      {"64 KB of text", QByteArray(65536, 'x')},
  };
  for (const auto& c : cases) {
    TTempFolder folder;
    const QString file = folder.File("TALVEXDB.FDB");
    WriteFileBytes(file, c.bytes);
    auto db = NewSession(file);
    try {
      db->ConnectOrCreate(true);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EDBError& e) {
      EXPECT_TRUE(e.Text.startsWith("Файл \"" + file + "\" не является базой данных программы или повреждён."))
          << c.name << ": " << e.Text.toStdString();
    }
    EXPECT_FALSE(db->Connected()) << c.name;
    EXPECT_EQ(ReadFileBytes(file), c.bytes) << c.name;
  }
}

TEST(NewDataBase, FileHeldByAnotherProcess) {
  TTempFolder folder;
  const QString file = folder.File("TALVEXDB.FDB");
  const int id = NewObject(*OpenLocal(file), "objects.EduObject", "scid_held");
  QProcess holder;
  holder.start(DB_HOLDER_EXE, {file});
  ASSERT_TRUE(holder.waitForReadyRead(20000));
  ASSERT_EQ(holder.readLine().trimmed(), "ready");

  auto db = NewSession(file);
  try {
    db->ConnectOrCreate(true);
    ADD_FAILURE() << "no error";
  } catch (const EDBError& e) {
    EXPECT_TRUE(e.Text.startsWith("Файл базы данных \"" + file + "\" занят другой программой"))
        << e.Text.toStdString();
  }
  EXPECT_FALSE(db->Connected());

  // Once the other program is gone the same file opens with its data.
  holder.closeWriteChannel();
  ASSERT_TRUE(holder.waitForFinished(20000));
  db->ConnectOrCreate(true);
  EXPECT_EQ(IntOf(*db, "SELECT COUNT(*) AS N FROM TB_OBJECTS WHERE ID=" + QString::number(id)), 1);
}

TEST(NewDataBase, SecondAttachmentInTheSameProcessShares) {
  TTempFolder folder;
  const QString file = folder.File("TALVEXDB.FDB");
  auto first = OpenLocal(file);
  auto second = OpenLocal(file);
  const int id = NewObject(*first, "objects.EduObject", "scid_2");
  EXPECT_EQ(IntOf(*second, "SELECT COUNT(*) AS N FROM TB_OBJECTS WHERE ID=" + QString::number(id)), 1);
}

TEST(NewDataBase, FailedSetUpLeavesNoFile) {
  TTempFolder folder;
  const QString file = folder.File("TALVEXDB.FDB");
  auto db = NewSession(file);
  db->SchemaResource = "RC_BROKEN_SCHEMA";
  try {
    db->ConnectOrCreate(true);
    ADD_FAILURE() << "no error";
  } catch (const EDBError& e) {
    EXPECT_TRUE(e.Text.startsWith("Не удалось создать базу данных \"" + file + "\".")) << e.Text.toStdString();
    EXPECT_TRUE(e.Text.contains("NO_SUCH_TABLE")) << e.Text.toStdString();
  }
  EXPECT_FALSE(db->Connected());
  EXPECT_TRUE(QDir(folder.Path()).entryList(QDir::Files).isEmpty());
}

TEST(NewDataBase, FolderThatCannotHoldTheFile) {
  TTempFolder folder;
  const QString file = folder.File("no/such/folder/TALVEXDB.FDB");
  auto db = NewSession(file);
  try {
    db->ConnectOrCreate(true);
    ADD_FAILURE() << "no error";
  } catch (const EDBError& e) {
    EXPECT_TRUE(e.Text.startsWith("Не удалось создать базу данных \"" + file + "\".")) << e.Text.toStdString();
  }
  EXPECT_FALSE(db->Connected());
}
