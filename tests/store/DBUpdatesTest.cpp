#include "platform/uClock.h"
#include "StoreFixture.h"

// Dated updates: a database is set back to an older version, given a few
// relations, and opened again.
class DBUpdatesTest : public StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    Open();
    Pupil = Class("objects.EduStudent")->NewObject("std_u")->Id;
    ClassId = Object("cls_100_1a")->Id;
  }
  void Relation(const char* start, const char* end) {
    Store->UpdateSQL(QString("INSERT INTO TB_RELATIONS (RELATION,AOBJ,BOBJ,STRDATE,ENDDATE) VALUES "
                             "('is_student_of',%1,%2,'%3','%4')")
                         .arg(Pupil)
                         .arg(ClassId)
                         .arg(start, end));
  }
  QStringList Relations() {
    QStringList rows;
    Store->CloseQuery();
    auto data = Store->GetData(QString("select STRDATE, ENDDATE from TB_RELATIONS where AOBJ=%1 order by STRDATE")
                                   .arg(Pupil));
    for (data->First(); !data->Eof(); data->Next())
      rows << FormatDDMMYYYY(FromDateTime(Store->FieldAsDateTime("STRDATE", data.get())).date()) + "-" +
                  FormatDDMMYYYY(FromDateTime(Store->FieldAsDateTime("ENDDATE", data.get())).date());
    return rows;
  }
  void StartAt(const QString& version, const QDate& today) {
    Store->SetEnv("dbversion", version);
    TFixedClockScope clock(today);
    Open();
  }
  int Pupil = 0;
  int ClassId = 0;
};

TEST_F(DBUpdatesTest, FromMay2018OnlyTheLastTwoSteps) {
  Relation("15.10.2016", "01.01.1900");
  Relation("10.10.2019", "10.10.2019");  // would be deleted by the earlier step
  QStringList statements;
  Store->SetEnv("dbversion", "08-MAY-2018 0:00:00.0000");
  {
    TFixedClockScope clock(QDate(2020, 2, 1));
    Store.reset();
    Store = std::make_unique<TTALVEXDB>(QString(), [&](const QString& line) {
      if (line.startsWith("UpdateSQL ( update tb_relations") || line.startsWith("UpdateSQL ( delete"))
        statements << line;
    });
  }
  EXPECT_EQ(Store->DBVersion, "02-OCT-2019 0:00:00.0000");
  EXPECT_EQ(statements.size(), 4);  // the four alignments; no 2019 step in 2020
  EXPECT_EQ(Relations(), QStringList({"01.09.2016-31.08.2017", "10.10.2019-10.10.2019"}));
}

TEST_F(DBUpdatesTest, The2019StepRunsOnlyIn2019) {
  Relation("15.10.2019", "01.01.1900");
  StartAt("07-JAN-2019 0:00:00.0000", QDate(2020, 1, 5));
  EXPECT_EQ(Relations(), QStringList({"15.10.2019-01.01.1900"}));
  StartAt("07-JAN-2019 0:00:00.0000", QDate(2019, 12, 5));
  EXPECT_EQ(Relations(), QStringList({"01.09.2019-01.01.1900"}));
  EXPECT_EQ(Store->DBVersion, "02-OCT-2019 0:00:00.0000");
}

TEST_F(DBUpdatesTest, FromMay2017DeletesEqualDatesFirst) {
  Relation("10.10.2016", "10.10.2016");
  Relation("01.02.2018", "01.01.1900");
  StartAt("02-MAY-2017 0:00:00.0000", QDate(2020, 1, 1));
  EXPECT_EQ(Relations(), QStringList({"01.09.2017-31.08.2018"}));
}

TEST_F(DBUpdatesTest, UnknownVersionIsLeftAlone) {
  Relation("15.10.2016", "01.01.1900");
  StartAt("1.0", QDate(2019, 10, 1));
  EXPECT_EQ(Store->DBVersion, "1.0");
  EXPECT_EQ(Relations(), QStringList({"15.10.2016-01.01.1900"}));
  Store->UpdateSQL("DELETE FROM ST_ENVIRONMENT WHERE VARNAME='dbversion'");
  Open();
  EXPECT_EQ(Store->DBVersion, "");
}

TEST_F(DBUpdatesTest, FailedStepKeepsVersionAndIsRetried) {
  Relation("15.10.2016", "01.01.1900");
  Store->SetEnv("dbversion", "02-MAY-2017 0:00:00.0000");
  // With the start-date column renamed the step's statement cannot run.
  Store->ExecDirect("ALTER TABLE TB_RELATIONS ALTER COLUMN STRDATE TO OLD_STRDATE");
  Store.reset();
  EXPECT_THROW(Store = std::make_unique<TTALVEXDB>(), std::exception);
  EXPECT_EQ(App().Store, nullptr);

  {  // The administrator puts the column back with a bare session.
    T_IBDataBase session;
    session.Database->DatabaseName = Folder.Path() + "TALVEXDB.FDB";
    session.Database->Params = QStringList({"user_name=SYSDBA", "password=pinewoods", "lc_ctype=WIN1251"});
    session.Connect();
    session.DoQuery("SELECT VARVALUE FROM ST_ENVIRONMENT WHERE VARNAME='dbversion'");
    EXPECT_EQ(session.FieldAsString("VARVALUE"), "02-MAY-2017 0:00:00.0000");
    session.CloseQuery();
    session.ExecDirect("ALTER TABLE TB_RELATIONS ALTER COLUMN OLD_STRDATE TO STRDATE");
  }
  TFixedClockScope clock(QDate(2020, 1, 1));
  Open();
  EXPECT_EQ(Store->DBVersion, "02-OCT-2019 0:00:00.0000");
  EXPECT_EQ(Relations(), QStringList({"01.09.2016-31.08.2017"}));
}

TEST_F(DBUpdatesTest, TwoProcessesShareObjectsAndValues) {
  const int ind = Object("ind_t.1.")->Id;
  Store->SetIndicatorValue(ind, Pupil, 18204, 1, QDateTime(QDate(2018, 4, 1), QTime(8, 0)), 6, false);
  auto second = std::make_unique<TProcessItem>();
  second->Id = "p_other";
  second->Classes = "RC_TEST\\classes_test.xml";
  Processes->Items.push_back(std::move(second));
  Processes->CurrentProcess = Processes->Item(1);
  Open();
  EXPECT_EQ(Object("std_u")->Id, Pupil);
  EXPECT_EQ(Object("ind_t.1.")->Id, ind);
  const QString answer = Store->QueryIndicators(
      "<root><query><indsdata><item i=\"ind_t.1.\" o=\"std_u\" p=\"month_2018_4\" dk=\"1\"/></indsdata></query></root>");
  EXPECT_TRUE(answer.contains("v=\"6\"")) << answer.toStdString();
}
