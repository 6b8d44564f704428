#include <gtest/gtest.h>

#include <QBuffer>

#include "StoreTestDb.h"
#include "TestSupport.h"
#include "platform/uCodec.h"

namespace {

// One database for the whole suite; every test works on its own scratch rows.
class Session : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Folder = new TTempFolder;
    auto db = OpenLocal(File());
    db->ExecDirect(
        "CREATE TABLE T_ROWS (ID INTEGER NOT NULL, C CHAR(6), V VARCHAR(60), N NUMERIC(9,2), F DOUBLE PRECISION, "
        "D DATE, B BLOB SUB_TYPE 1, BB BLOB SUB_TYPE 0)");
  }
  static void TearDownTestSuite() {
    delete Folder;
    Folder = nullptr;
  }
  static QString File() { return Folder->File("TALVEXDB.FDB"); }

  void SetUp() override {
    Db = NewSession(File());
    Db->OnLogLine = [this](const QString& text) { Log << text; };
    Db->Connect();
    Db->UpdateSQL("DELETE FROM T_ROWS");
  }
  void TearDown() override { Db.reset(); }

  // A second, independent connection (another program's view of the file).
  static std::unique_ptr<T_IBDataBase> Other() {
    auto db = NewSession(File());
    db->Connect();
    return db;
  }
  static int CountRows(T_IBDataBase& db, const QString& where = "1=1") {
    db.DoQuery("SELECT COUNT(*) AS N FROM T_ROWS WHERE " + where);
    const int n = db.FieldAsInteger("N");
    db.CloseQuery();
    return n;
  }

  static TTempFolder* Folder;
  std::unique_ptr<T_IBDataBase> Db;
  QStringList Log;
};

TTempFolder* Session::Folder = nullptr;

}  // namespace

TEST_F(Session, DialectOneTakesDoubleQuotedLiterals) {
  EXPECT_EQ(Db->Database->Dialect(), 1u);
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, V, D) VALUES (1, \"is_class_of\", \"01.09.2017\");");
  Db->DoQuery("SELECT ID, V, D FROM T_ROWS WHERE V=\"is_class_of\" and D<=\"01.09.2017\" and D>'31.08.2017'");
  ASSERT_FALSE(Db->Eof());
  EXPECT_EQ(Db->FieldAsInteger("ID"), 1);
  EXPECT_EQ(Db->FieldAsString("V"), "is_class_of");
  EXPECT_EQ(Db->FieldAsDateTime("D"), ToDateTime(QDate(2017, 9, 1)));
  Db->Next();
  EXPECT_TRUE(Db->Eof());
}

TEST_F(Session, FieldAsStringTrimsTrailingBlanksOnly) {
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, C, V) VALUES (1, 'abc', 'abc   ')");
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, C, V) VALUES (2, '   ', '   ')");
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, C, V) VALUES (3, NULL, NULL)");
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, C, V) VALUES (4, '  x', '  x ')");
  const struct {
    int id;
    const char* trimmed;
    const char* charText;  // FieldAsText of the CHAR(6) column: no trimming
  } cases[] = {{1, "abc", "abc   "}, {2, "", "      "}, {3, "", ""}, {4, "  x", "  x   "}};
  for (const auto& c : cases) {
    Db->DoQuery("SELECT C, V FROM T_ROWS WHERE ID=" + QString::number(c.id));
    EXPECT_EQ(Db->FieldAsString("C"), c.trimmed) << c.id;
    EXPECT_EQ(Db->FieldAsString("V"), c.trimmed) << c.id;
    EXPECT_EQ(Db->FieldAsText("C"), c.charText) << c.id;
  }
}

TEST_F(Session, EmptyResultReadsAsNullValues) {
  Db->DoQuery("SELECT ID, V, F, D FROM T_ROWS WHERE ID=-1");
  EXPECT_TRUE(Db->Eof());
  EXPECT_EQ(Db->FieldAsInteger("ID"), 0);
  EXPECT_EQ(Db->FieldAsString("V"), "");
  EXPECT_EQ(Db->FieldAsFloat("F"), 0.0);
  EXPECT_EQ(Db->FieldAsDateTime("D"), 0.0);
  EXPECT_FALSE(Db->FieldAsBoolean("ID"));
  EXPECT_TRUE(Db->FieldAsVariant("V").isNull());
  EXPECT_THROW(Db->FieldAsInteger("NO_SUCH_COLUMN"), EDBError);
}

TEST_F(Session, NullAndTypedValues) {
  Db->UpdateSQL(
      "INSERT INTO T_ROWS (ID, V, N, F, D) VALUES (1, '42', 2.5, 0.125, '24.09.2015 10:05:00')");
  Db->UpdateSQL("INSERT INTO T_ROWS (ID) VALUES (2)");
  Db->DoQuery("SELECT ID, V, N, F, D FROM T_ROWS ORDER BY ID");
  EXPECT_EQ(Db->FieldAsInteger("v"), 42);  // column names match in any letter case
  EXPECT_EQ(Db->FieldAsFloat("N"), 2.5);
  EXPECT_EQ(Db->FieldAsString("N"), "2,5");
  EXPECT_EQ(Db->FieldAsFloat("F"), 0.125);
  EXPECT_EQ(FromDateTime(Db->FieldAsDateTime("D")), QDateTime(QDate(2015, 9, 24), QTime(10, 5)));
  EXPECT_EQ(Db->FieldAsString("D"), "24.09.2015 10:05:00");
  EXPECT_TRUE(Db->FieldAsBoolean("ID"));
  Db->Next();
  for (const char* column : {"V", "N", "F", "D"}) {
    EXPECT_TRUE(Db->FieldAsVariant(column).isNull()) << column;
    EXPECT_EQ(Db->FieldAsInteger(column), 0) << column;
    EXPECT_EQ(Db->FieldAsFloat(column), 0.0) << column;
    EXPECT_EQ(Db->FieldAsString(column), "") << column;
    EXPECT_FALSE(Db->FieldAsBoolean(column)) << column;
  }
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, V) VALUES (3, 'abc')");
  Db->DoQuery("SELECT V FROM T_ROWS WHERE ID=3");
  EXPECT_THROW(Db->FieldAsInteger("V"), EDBError);
}

TEST_F(Session, PrepareQueryCommitsAndOpenQueryReads) {
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, V) VALUES (1, 'one')");
  Db->DoQuery("SELECT V FROM T_ROWS");
  Db->PrepareQuery("SELECT ID, V FROM T_ROWS WHERE ID=1");
  EXPECT_TRUE(Db->Eof());
  EXPECT_THROW(Db->FieldAsString("V"), EDBError);  // prepared, not open: no columns yet
  Db->OpenQuery();
  ASSERT_FALSE(Db->Eof());
  EXPECT_EQ(Db->FieldAsString("V"), "one");
}

TEST_F(Session, FirstReturnsToTheFirstRow) {
  for (int id = 1; id <= 3; ++id) Db->UpdateSQL("INSERT INTO T_ROWS (ID) VALUES (" + QString::number(id) + ")");
  Db->DoQuery("SELECT ID FROM T_ROWS ORDER BY ID");
  QList<int> seen;
  for (; !Db->Eof(); Db->Next()) seen << Db->FieldAsInteger("ID");
  EXPECT_EQ(seen, QList<int>({1, 2, 3}));
  Db->First();
  EXPECT_FALSE(Db->Eof());
  EXPECT_EQ(Db->FieldAsInteger("ID"), 1);
}

TEST_F(Session, DoQueryCommitsThePreviousRead) {
  Db->DoQuery("SELECT COUNT(*) AS N FROM T_ROWS");
  EXPECT_EQ(Db->FieldAsInteger("N"), 0);
  {
    auto other = Other();
    other->UpdateSQL("INSERT INTO T_ROWS (ID) VALUES (1)");
  }
  // Still the first read's snapshot: a dataset in the same transaction misses the new row.
  auto sameSnapshot = Db->GetData("SELECT COUNT(*) AS N FROM T_ROWS");
  ASSERT_NE(sameSnapshot, nullptr);
  EXPECT_EQ(Db->FieldAsInteger("N", sameSnapshot.get()), 0);
  // The next DoQuery commits that transaction and reads in a new one.
  Db->DoQuery("SELECT COUNT(*) AS N FROM T_ROWS");
  EXPECT_EQ(Db->FieldAsInteger("N"), 1);
  EXPECT_TRUE(sameSnapshot->Eof());  // the commit closed the dataset
  EXPECT_THROW(Db->FieldAsInteger("N", sameSnapshot.get()), EDBError);
}

TEST_F(Session, FailedUpdateThenSuccessfulOneCommits) {
  try {
    Db->UpdateSQL("INSERT INTO T_ROWS (ID, V) VALUES (NULL, 'no id')");
    FAIL() << "no error";
  } catch (const EDBError& e) {
    EXPECT_TRUE(e.Text.contains("ID")) << e.Text.toStdString();
  }
  EXPECT_TRUE(Db->UpdateTransaction->InTransaction());
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, V) VALUES (5, 'ok')");
  EXPECT_FALSE(Db->UpdateTransaction->InTransaction());
  auto other = Other();
  EXPECT_EQ(CountRows(*other), 1);
  EXPECT_EQ(CountRows(*other, "ID=5"), 1);
}

TEST_F(Session, SyntaxErrorCarriesTheEngineText) {
  try {
    Db->DoQuery("SELECT FROM WHERE");
    FAIL() << "no error";
  } catch (const EDBError& e) {
    EXPECT_TRUE(e.Text.contains("Token unknown")) << e.Text.toStdString();
    EXPECT_FALSE(e.Codes.empty());
  }
  try {
    Db->UpdateSQL("UPDATE T_ROWZ SET ID=1");
    FAIL() << "no error";
  } catch (const EDBError& e) {
    EXPECT_TRUE(e.Text.contains("T_ROWZ")) << e.Text.toStdString();
  }
}

TEST_F(Session, GetDataOnMisspeltTableGivesNone) {
  Log.clear();
  std::unique_ptr<TUDataSet> ds;
  EXPECT_NO_THROW(ds = Db->GetData("SELECT ID FROM T_ROWZ"));
  EXPECT_EQ(ds, nullptr);
  EXPECT_EQ(Log, QStringList({"GetData ( SELECT ID FROM T_ROWZ )", "ERROR! Не удалось получить данные"}));
}

TEST_F(Session, GetDataReadsBesideTheSharedQuery) {
  for (int id = 1; id <= 3; ++id)
    Db->UpdateSQL("INSERT INTO T_ROWS (ID, V) VALUES (" + QString::number(id) + ", 'r" + QString::number(id) + "')");
  Db->DoQuery("SELECT ID FROM T_ROWS WHERE ID=2");
  auto ds = Db->GetData("SELECT ID, V FROM T_ROWS ORDER BY ID");
  ASSERT_NE(ds, nullptr);
  QStringList values;
  for (ds->First(); !ds->Eof(); ds->Next()) values << Db->FieldAsString("V", ds.get());
  EXPECT_EQ(values, QStringList({"r1", "r2", "r3"}));
  EXPECT_EQ(Db->FieldAsInteger("ID"), 2);  // the shared query is untouched
  EXPECT_TRUE(Log.contains("GetData ( SELECT ID, V FROM T_ROWS ORDER BY ID )"));
}

TEST_F(Session, ExecDirectTakesAColonAsText) {
  Db->ExecDirect("INSERT INTO T_ROWS (ID, V) VALUES (7, 'time 10:05 :param1')");
  Db->ExecDirect(
      "CREATE OR ALTER PROCEDURE P_NEXT (A INTEGER) RETURNS (B INTEGER) AS BEGIN B = :A + 1; SUSPEND; END");
  Db->DoQuery("SELECT V FROM T_ROWS WHERE ID=7");
  EXPECT_EQ(Db->FieldAsString("V"), "time 10:05 :param1");
  Db->DoQuery("SELECT B FROM P_NEXT(41)");
  EXPECT_EQ(Db->FieldAsInteger("B"), 42);
  EXPECT_FALSE(Db->DirectTransaction->InTransaction());
  // A failed direct statement leaves its transaction for CommitDirect.
  EXPECT_THROW(Db->ExecDirect("CREATE TABLE T_ROWS (ID INTEGER)"), EDBError);
  EXPECT_TRUE(Db->DirectTransaction->InTransaction());
  Db->CommitDirect();
  EXPECT_FALSE(Db->DirectTransaction->InTransaction());
}

TEST_F(Session, DoQueryOnAnExecutedProcedureGivesItsOneRow) {
  Db->ExecDirect("CREATE OR ALTER PROCEDURE P_TWICE (A INTEGER) RETURNS (B INTEGER) AS BEGIN B = :A * 2; END");
  Db->DoQuery("EXECUTE PROCEDURE P_TWICE(21)");
  ASSERT_FALSE(Db->Eof());
  EXPECT_EQ(Db->FieldAsInteger("B"), 42);
  Db->Next();
  EXPECT_TRUE(Db->Eof());
  Db->First();
  EXPECT_EQ(Db->FieldAsInteger("B"), 42);
}

TEST_F(Session, UpdateSqlTakesAColonOutsideLiteralsAsAnUnsetParameter) {
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, V, N) VALUES (8, 'at 10:05', :unset)");
  Db->DoQuery("SELECT V, N FROM T_ROWS WHERE ID=8");
  EXPECT_EQ(Db->FieldAsString("V"), "at 10:05");
  EXPECT_TRUE(Db->FieldAsVariant("N").isNull());
}

TEST_F(Session, BlobParameterRoundTrip) {
  QString text;
  for (int i = 0; i < 4000; ++i) text += QStringLiteral("Строка %1: «ёлка» 'кавычки' \"двойные\"\r\n").arg(i);
  Db->PrepareUpdate("INSERT INTO T_ROWS (ID, B, BB) VALUES (9, :param1, :param2)");
  Db->SetUpdateParam(0, text);
  const QByteArray binary("\x00\x01\xff zero inside\x00", 17);
  Db->SetUpdateParam(1, binary);
  Db->ExecPrepared();
  EXPECT_FALSE(Db->UpdateTransaction->InTransaction());
  EXPECT_TRUE(Log.contains("UpdateSQL ( INSERT INTO T_ROWS (ID, B, BB) VALUES (9, :param1, :param2) )"));

  auto other = Other();
  other->DoQuery("SELECT ID, B, BB FROM T_ROWS WHERE ID=9");
  EXPECT_EQ(other->FieldAsText("B"), text);
  auto stream = other->FieldAsBlobStream("B");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->readAll(), Win1251Encode(text));
  auto binaryStream = other->FieldAsBlobStream("BB");
  ASSERT_NE(binaryStream, nullptr);
  EXPECT_EQ(binaryStream->readAll(), binary);
  EXPECT_EQ(other->FieldAsBlobStream("ID"), nullptr);
  EXPECT_THROW(Db->SetUpdateParam(0, 1), EDBError);  // the statement ran; no parameters now
}

TEST_F(Session, CyrillicTextTravelsAsWindows1251) {
  const QString name = QStringLiteral("Ёжиков Пётр «№5»");
  Db->UpdateSQL("INSERT INTO T_ROWS (ID, V) VALUES (10, '" + name + "')");
  Db->DoQuery("SELECT V, OCTET_LENGTH(V) AS BYTES, UPPER(V) AS U FROM T_ROWS WHERE V='" + name + "'");
  ASSERT_FALSE(Db->Eof());
  EXPECT_EQ(Db->FieldAsString("V"), name);
  EXPECT_EQ(Db->FieldAsInteger("BYTES"), name.size());  // one byte per character
  EXPECT_EQ(Db->FieldAsString("U"), name.toUpper());
}

TEST_F(Session, LogLinesOfTheOperations) {
  Log.clear();
  Db->DoQuery("SELECT ID FROM T_ROWS");
  Db->PrepareQuery("SELECT V FROM T_ROWS");
  Db->OpenQuery();
  EXPECT_TRUE(Db->Eof());
  Db->UpdateSQL("DELETE FROM T_ROWS WHERE ID=1");
  Db->Disconnect();
  EXPECT_EQ(Log, QStringList({"DoQuery ( SELECT ID FROM T_ROWS )", "DoQuery ( SELECT V FROM T_ROWS )",
                              "UpdateSQL ( DELETE FROM T_ROWS WHERE ID=1 )", "Сеанс завершен"}));
  EXPECT_FALSE(Db->Connected());
}

TEST_F(Session, CloseQueryAndDestructionCommit) {
  Db->DoQuery("SELECT ID FROM T_ROWS");
  EXPECT_TRUE(Db->QueryTransaction->InTransaction());
  Db->CloseQuery();
  EXPECT_FALSE(Db->QueryTransaction->InTransaction());
  // A failed statement leaves its transaction open; the session's end commits
  // the rest of it without losing the connection.
  Db->UpdateSQL("INSERT INTO T_ROWS (ID) VALUES (11)");
  EXPECT_THROW(Db->UpdateSQL("INSERT INTO T_ROWS (ID) VALUES (NULL)"), EDBError);
  Db.reset();
  auto other = Other();
  EXPECT_EQ(CountRows(*other, "ID=11"), 1);
}

TEST_F(Session, ConnectFailureCarriesTheEngineText) {
  auto db = NewSession(Folder->File("missing.fdb"));
  try {
    db->Connect();
    FAIL() << "no error";
  } catch (const EDBError& e) {
    EXPECT_TRUE(e.Text.contains("missing.fdb")) << e.Text.toStdString();
  }
  EXPECT_FALSE(db->Connected());
  EXPECT_FALSE(QFile::exists(Folder->File("missing.fdb")));
}
