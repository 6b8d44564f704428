#include "catalogue/uPeriodsManager.h"

namespace {
const char* const kMonthNames[12] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                     "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
}

QString MonthName(int month) {
  return (month >= 1 && month <= 12) ? QString::fromUtf8(kMonthNames[month - 1]) : QString();
}

TPeriodsManager::TPeriodsManager() {
  for (int y = kFirstYear; y <= kLastYear; ++y) {
    TPeriodRecord* year = Add(TPeriodRecord::Year, (y - 2000) * 1000, QStringLiteral("year_%1").arg(y),
                              QString::number(y), QDate(y, 1, 1), 12, nullptr);
    AddHalfYears(year, y);
  }
}

TPeriodRecord* TPeriodsManager::Add(TPeriodRecord::TKind kind, int orderKey, QString id, QString caption,
                                    QDate start, int months, TPeriodRecord* parent) {
  auto record = std::make_unique<TPeriodRecord>();
  TPeriodRecord* p = record.get();
  p->Kind = kind;
  p->OrderKey = orderKey;
  p->Id = std::move(id);
  p->Caption = std::move(caption);
  p->StartDate = start;
  p->EndDate = start.addMonths(months).addDays(-1);
  p->Parent = parent;
  // Each kind forms one chain across year boundaries.
  p->Prev = LastOfKind[kind];
  if (p->Prev) p->Prev->Next = p;
  LastOfKind[kind] = p;
  TPeriodRecord** first[4] = {&FirstYear, &FirstHalfYear, &FirstQuarter, &FirstMonth};
  if (!*first[kind]) *first[kind] = p;
  if (parent) {
    if (!parent->FirstChild) parent->FirstChild = p;
    parent->LastChild = p;
  }
  ById.insert(p->Id, p);
  Records.push_back(std::move(record));
  return p;
}

void TPeriodsManager::AddHalfYears(TPeriodRecord* year, int y) {
  for (int h = 1; h <= 2; ++h) {
    TPeriodRecord* half = Add(TPeriodRecord::HalfYear, year->OrderKey + 200 * h + 50,
                              QStringLiteral("halfyear_%1_%2").arg(y).arg(h),
                              QStringLiteral("%1 Полугодие %2").arg(h).arg(y),
                              year->StartDate.addMonths(6 * (h - 1)), 6, year);
    AddQuarters(half, y, h);
  }
}

void TPeriodsManager::AddQuarters(TPeriodRecord* halfYear, int y, int h) {
  for (int i = 1; i <= 2; ++i) {
    const int q = h == 1 ? i : i + 2;
    TPeriodRecord* quarter = Add(TPeriodRecord::Quarter, (y - 2000) * 1000 + 100 * q,
                                 QStringLiteral("quarter_%1_%2").arg(y).arg(q),
                                 QStringLiteral("%1 Квартал %2").arg(q).arg(y),
                                 halfYear->StartDate.addMonths(3 * (i - 1)), 3, halfYear);
    AddMonths(quarter, y, q);
  }
}

void TPeriodsManager::AddMonths(TPeriodRecord* quarter, int y, int q) {
  for (int i = 1; i <= 3; ++i) {
    const int m = i + 3 * (q - 1);
    Add(TPeriodRecord::Month, (y - 2000) * 1000 + 100 * q + m, QStringLiteral("month_%1_%2").arg(y).arg(m),
        MonthName(m) + ' ' + QString::number(y), quarter->StartDate.addMonths(i - 1), 1, quarter);
  }
}

TPeriodRecord* TPeriodsManager::FindById(const QString& id) const { return ById.value(id, nullptr); }

TPeriodRecord* TPeriodsManager::YearOf(TPeriodRecord* period) {
  while (period && period->Kind != TPeriodRecord::Year) period = period->Parent;
  return period;
}

TPeriodRecord* TPeriodsManager::PrevOf(TPeriodRecord* period) { return period ? period->Prev : nullptr; }

TPeriodRecord* TPeriodsManager::PrevYearOf(TPeriodRecord* period) { return PrevOf(YearOf(period)); }

TPeriodRecord* TPeriodsManager::LastMonthOf(TPeriodRecord* period) {
  while (period && period->Kind != TPeriodRecord::Month) period = period->LastChild;
  return period;
}
