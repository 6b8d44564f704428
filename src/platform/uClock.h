#pragma once
#include <QDate>
#include <QDateTime>

// The program asks this clock for today and now, so tests can fix the date.
class IClock {
 public:
  virtual ~IClock() = default;
  virtual QDateTime Now() const = 0;
  QDate Today() const { return Now().date(); }
};

const IClock& Clock();
// Installs a replacement (not owned); nullptr restores the system clock.
void SetClock(const IClock* clock);

class TFixedClock : public IClock {
 public:
  explicit TFixedClock(QDateTime now) : Moment(std::move(now)) {}
  explicit TFixedClock(QDate today) : Moment(today.startOfDay()) {}
  QDateTime Now() const override { return Moment; }
  QDateTime Moment;
};

// Fixes the clock for the lifetime of the guard.
class TFixedClockScope {
 public:
  explicit TFixedClockScope(QDateTime now) : Fixed(std::move(now)) { SetClock(&Fixed); }
  explicit TFixedClockScope(QDate today) : Fixed(today) { SetClock(&Fixed); }
  ~TFixedClockScope() { SetClock(nullptr); }
  TFixedClock Fixed;
};
