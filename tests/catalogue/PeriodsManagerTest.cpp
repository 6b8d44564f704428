#include <gtest/gtest.h>

#include "catalogue/uPeriodsManager.h"

class PeriodsTest : public ::testing::Test {
 protected:
  TPeriodsManager Periods;
  TPeriodRecord* Find(const char* id) { return Periods.FindById(id); }
};

TEST_F(PeriodsTest, CountsByKind) {
  int counts[4] = {};
  for (const auto& p : Periods.Records) ++counts[p->Kind];
  EXPECT_EQ(Periods.Records.size(), 589u);
  EXPECT_EQ(counts[0], 31);
  EXPECT_EQ(counts[1], 62);
  EXPECT_EQ(counts[2], 124);
  EXPECT_EQ(counts[3], 372);
}

TEST_F(PeriodsTest, IdsCaptionsKeysAndDates) {
  const struct {
    const char* id;
    const char* caption;
    int key;
    QDate start, end;
  } cases[] = {
      {"year_2017", "2017", 17000, {2017, 1, 1}, {2017, 12, 31}},
      {"halfyear_2017_1", "1 Полугодие 2017", 17250, {2017, 1, 1}, {2017, 6, 30}},
      {"halfyear_2017_2", "2 Полугодие 2017", 17450, {2017, 7, 1}, {2017, 12, 31}},
      {"quarter_2017_3", "3 Квартал 2017", 17300, {2017, 7, 1}, {2017, 9, 30}},
      {"quarter_2017_4", "4 Квартал 2017", 17400, {2017, 10, 1}, {2017, 12, 31}},
      {"month_2017_1", "Январь 2017", 17101, {2017, 1, 1}, {2017, 1, 31}},
      {"month_2017_9", "Сентябрь 2017", 17309, {2017, 9, 1}, {2017, 9, 30}},
      {"month_2017_12", "Декабрь 2017", 17412, {2017, 12, 1}, {2017, 12, 31}},
      {"month_2018_4", "Апрель 2018", 18204, {2018, 4, 1}, {2018, 4, 30}},
      {"month_2016_2", "Февраль 2016", 16102, {2016, 2, 1}, {2016, 2, 29}},
      {"month_2017_2", "Февраль 2017", 17102, {2017, 2, 1}, {2017, 2, 28}},
      {"month_2000_2", "Февраль 2000", 102, {2000, 2, 1}, {2000, 2, 29}},
      {"year_2000", "2000", 0, {2000, 1, 1}, {2000, 12, 31}},
      {"month_2030_12", "Декабрь 2030", 30412, {2030, 12, 1}, {2030, 12, 31}},
  };
  for (const auto& c : cases) {
    const TPeriodRecord* p = Find(c.id);
    ASSERT_NE(p, nullptr) << c.id;
    EXPECT_EQ(p->Caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(p->OrderKey, c.key) << c.id;
    EXPECT_EQ(p->StartDate, c.start) << c.id;
    EXPECT_EQ(p->EndDate, c.end) << c.id;
  }
}

TEST_F(PeriodsTest, UnknownIdsGiveNone) {
  for (const char* id : {"month_2031_1", "month_2018_04", "month_1999_1", "", "Month_2018_4", "month_2018_4 "})
    EXPECT_EQ(Find(id), nullptr) << id;
}

TEST_F(PeriodsTest, ChainsAndNavigation) {
  EXPECT_EQ(TPeriodsManager::PrevOf(Find("halfyear_2018_1")), Find("halfyear_2017_2"));
  EXPECT_EQ(TPeriodsManager::PrevOf(Find("year_2000")), nullptr);
  EXPECT_EQ(TPeriodsManager::PrevOf(Find("month_2018_1")), Find("month_2017_12"));
  EXPECT_EQ(Find("quarter_2017_4")->Next, Find("quarter_2018_1"));
  EXPECT_EQ(Find("month_2030_12")->Next, nullptr);
  EXPECT_EQ(TPeriodsManager::PrevYearOf(Find("month_2018_4")), Find("year_2017"));
  EXPECT_EQ(TPeriodsManager::LastMonthOf(Find("year_2017")), Find("month_2017_12"));
  EXPECT_EQ(TPeriodsManager::LastMonthOf(Find("month_2017_5")), Find("month_2017_5"));
  EXPECT_EQ(TPeriodsManager::YearOf(Find("month_2017_5")), Find("year_2017"));
  EXPECT_EQ(TPeriodsManager::YearOf(nullptr), nullptr);
  EXPECT_EQ(Find("month_2017_5")->Parent, Find("quarter_2017_2"));
  EXPECT_EQ(Find("quarter_2017_2")->Parent, Find("halfyear_2017_1"));
  EXPECT_EQ(Find("year_2017")->FirstChild, Find("halfyear_2017_1"));
  EXPECT_EQ(Find("quarter_2017_3")->LastChild, Find("month_2017_9"));
  EXPECT_EQ(Periods.FirstYear, Find("year_2000"));
  EXPECT_EQ(Periods.FirstMonth, Find("month_2000_1"));
}

TEST_F(PeriodsTest, DepthFirstOrder) {
  QStringList first;
  for (int i = 0; i < 8; ++i) first << Periods.Records[i]->Id;
  EXPECT_EQ(first.join(' '),
            "year_2000 halfyear_2000_1 quarter_2000_1 month_2000_1 month_2000_2 month_2000_3 quarter_2000_2 "
            "month_2000_4");
  // Every month chain link runs one calendar month forward.
  for (TPeriodRecord* m = Periods.FirstMonth; m && m->Next; m = m->Next)
    ASSERT_EQ(m->EndDate.addDays(1), m->Next->StartDate) << m->Id.toStdString();
}
