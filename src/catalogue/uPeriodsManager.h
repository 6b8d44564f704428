#pragma once
#include <QDate>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

// One period of the fixed calendar 2000..2030.
class TPeriodRecord {
 public:
  enum TKind { Year = 0, HalfYear = 1, Quarter = 2, Month = 3 };

  int OrderKey = 0;  // (Y - 2000) * 1000 + offset within the year
  int Key = 0;       // number stored in the database (set by the store)
  TKind Kind = Year;
  QString Id;        // "year_2017", "halfyear_2017_2", "quarter_2017_3", "month_2017_9"
  QString Caption;   // "2017", "2 Полугодие 2017", "3 Квартал 2017", "Сентябрь 2017"
  TPeriodRecord* Parent = nullptr;
  TPeriodRecord* Prev = nullptr;
  TPeriodRecord* Next = nullptr;
  TPeriodRecord* FirstChild = nullptr;
  TPeriodRecord* LastChild = nullptr;
  QDate StartDate;
  QDate EndDate;  // inclusive
};

// The calendar of years, half-years, quarters and months, depth first:
// each year is followed by its half-years, each half-year by its quarters,
// each quarter by its months.
class TPeriodsManager {
 public:
  static constexpr int kFirstYear = 2000;
  static constexpr int kLastYear = 2030;

  TPeriodsManager();  // builds the whole calendar

  std::vector<std::unique_ptr<TPeriodRecord>> Records;
  TPeriodRecord* FirstYear = nullptr;
  TPeriodRecord* FirstHalfYear = nullptr;
  TPeriodRecord* FirstQuarter = nullptr;
  TPeriodRecord* FirstMonth = nullptr;

  TPeriodRecord* FindById(const QString& id) const;
  static TPeriodRecord* YearOf(TPeriodRecord* period);
  static TPeriodRecord* PrevOf(TPeriodRecord* period);
  static TPeriodRecord* PrevYearOf(TPeriodRecord* period);
  static TPeriodRecord* LastMonthOf(TPeriodRecord* period);

 private:
  QHash<QString, TPeriodRecord*> ById;
  TPeriodRecord* LastOfKind[4] = {};

  TPeriodRecord* Add(TPeriodRecord::TKind kind, int orderKey, QString id, QString caption, QDate start,
                     int months, TPeriodRecord* parent);
  void AddHalfYears(TPeriodRecord* year, int y);
  void AddQuarters(TPeriodRecord* halfYear, int y, int h);
  void AddMonths(TPeriodRecord* quarter, int y, int q);
};

// "Январь".."Декабрь"; month 1..12.
QString MonthName(int month);
