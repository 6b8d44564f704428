#include <QDateTime>
#include <QLocale>

#include "catalogue/uPeriodsManager.h"
#include "StoreFixture.h"

namespace {
struct TRow {
  QVariant Value;
  QString InsDate;
  QString Updated;
};
}  // namespace

class IndicatorValuesTest : public StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    Open();
    Ind = Object("ind_t.1.")->Id;
    Pupil = Class("objects.EduStudent")->NewObject("std_v")->Id;
  }
  std::vector<TRow> Rows() {
    std::vector<TRow> rows;
    Store->CloseQuery();
    auto data = Store->GetData(QString("select INDVALUE, INSDATE, UPDATED from TB_INDICATORS where IND=%1 and OBJ=%2 "
                                       "order by UPDATED, INSDATE")
                                   .arg(Ind)
                                   .arg(Pupil));
    for (data->First(); !data->Eof(); data->Next())
      rows.push_back({Store->FieldAsVariant("INDVALUE", data.get()),
                      FormatMoment(FromDateTime(Store->FieldAsDateTime("INSDATE", data.get()))),
                      FormatMoment(FromDateTime(Store->FieldAsDateTime("UPDATED", data.get())))});
    return rows;
  }
  void Set(const QDateTime& moment, double value, bool isNull = false) {
    Store->SetIndicatorValue(Ind, Pupil, 18204, 1, moment, value, isNull);
  }
  int Ind = 0;
  int Pupil = 0;
  const QDateTime T1{QDate(2018, 4, 10), QTime(10, 5)};
  const QDateTime T2{QDate(2018, 4, 11), QTime(9, 0)};
  const QDateTime T3{QDate(2018, 4, 12), QTime(0, 0)};
};

TEST_F(IndicatorValuesTest, HistoryOfOneValue) {
  Set(T1, 0, true);
  EXPECT_TRUE(Rows().empty());  // a first entry without a value writes nothing

  Set(T1, 3);
  auto rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].Value.toDouble(), 3);
  EXPECT_EQ(rows[0].InsDate, "10.04.2018 10:05:00");
  EXPECT_EQ(rows[0].Updated, "01.01.1900");

  Set(T2, 3);  // the same value keeps its entry moment
  rows = Rows();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].InsDate, "10.04.2018 10:05:00");

  Set(T2, 4);
  rows = Rows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].Value.toDouble(), 4);
  EXPECT_EQ(rows[0].InsDate, "11.04.2018 09:00:00");
  EXPECT_EQ(rows[0].Updated, "01.01.1900");
  EXPECT_EQ(rows[1].Value.toDouble(), 3);
  EXPECT_EQ(rows[1].InsDate, "10.04.2018 10:05:00");
  EXPECT_EQ(rows[1].Updated, "11.04.2018 09:00:00");

  Set(T3, 0, true);  // cleared
  rows = Rows();
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_TRUE(rows[0].Value.isNull());
  EXPECT_EQ(rows[0].InsDate, "12.04.2018");
  EXPECT_EQ(rows[2].Value.toDouble(), 4);
  EXPECT_EQ(rows[2].Updated, "12.04.2018");
}

TEST_F(IndicatorValuesTest, StatementsUsePointsWhateverTheLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German));
  Set(T1, 2.5);
  QStringList statements;
  Store->OnLogLine = [&](const QString& line) {
    if (line.startsWith("UpdateSQL")) statements << line;
  };
  Set(T2, 2.5);
  EXPECT_TRUE(statements.isEmpty());
  Set(T2, 2.75);
  Store->OnLogLine = nullptr;
  QLocale::setDefault(saved);
  ASSERT_EQ(statements.size(), 2);
  EXPECT_TRUE(statements[0].contains("SET INDVALUE=2.75, INSDATE='11.04.2018 09:00:00'"));
  EXPECT_TRUE(statements[1].contains(",'11.04.2018 09:00:00',2.5,'10.04.2018 10:05:00');"));
}

TEST_F(IndicatorValuesTest, QueryAnswersTheCrossProductWithoutNulls) {
  const int other = Class("objects.EduStudent")->NewObject("std_w")->Id;
  const int ind2 = Object("ind_t.2.")->Id;
  Set(T1, 2.5);
  Store->SetIndicatorValue(ind2, other, 18204, 1, T1, 1, false);
  Store->SetIndicatorValue(ind2, Pupil, 18204, 1, T1, 7, false);
  Store->SetIndicatorValue(Ind, other, 18204, 1, T1, 5, false);
  Store->SetIndicatorValue(Ind, other, 18204, 1, T2, 0, true);  // now NULL
  const QString query =
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>\n\t<query>\n\t\t<indsdata>"
      "\n\t\t\t<item i=\"ind_t.1.\" o=\"std_v\" p=\"month_2018_4\" dk=\"1\"/>"
      "\n\t\t\t<item i=\"ind_t.2.\" o=\"std_w\" p=\"month_2018_4\" dk=\"1\"/>"
      "\n\t\t\t<item i=\"ind_t.2.\" o=\"nobody\" p=\"month_2018_4\" dk=\"1\"/>"
      "\n\t\t</indsdata>\n\t</query>\n</root>";
  const QString answer = Store->QueryIndicators(query);
  EXPECT_TRUE(answer.startsWith("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>"));
  EXPECT_TRUE(answer.endsWith("\n</root>"));
  EXPECT_TRUE(answer.contains(
      "\n\t<item i=\"ind_t.1.\" o=\"std_v\" p=\"month_2018_4\" dk=\"1\" v=\"2,5\" vd=\"10.04.2018\"/>"));
  EXPECT_TRUE(answer.contains("i=\"ind_t.2.\" o=\"std_w\" p=\"month_2018_4\" dk=\"1\" v=\"1\""));
  EXPECT_TRUE(answer.contains("i=\"ind_t.2.\" o=\"std_v\""));  // not asked for, but in the cross product
  EXPECT_FALSE(answer.contains("i=\"ind_t.1.\" o=\"std_w\""));  // NULL left out
  EXPECT_EQ(answer.count("<item"), 3);

  const struct {
    const char* query;
  } empty[] = {
      {"<root><query><indsdata><item i=\"x\" o=\"y\" p=\"month_2018_4\" dk=\"1\"/></indsdata></query></root>"},
      {"<root><query><indsdata><item i=\"ind_t.1.\" o=\"std_v\" p=\"month_2031_4\" dk=\"1\"/></indsdata></query></root>"},
      {"<root><query><indsdata><item i=\"ind_t.1.\" o=\"std_v\" p=\"month_2018_4\" dk=\"9\"/></indsdata></query></root>"},
      {"<root><query/></root>"},
      {"<root/>"},
  };
  for (const auto& c : empty) EXPECT_EQ(Store->QueryIndicators(c.query), "") << c.query;
}
