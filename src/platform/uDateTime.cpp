#include "platform/uDateTime.h"

#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
}  // namespace

TDateTime ToDateTime(const QDateTime& moment) {
  const double days = kEpoch.daysTo(moment.date());
  return days + moment.time().msecsSinceStartOfDay() / kMsPerDay;
}

TDateTime ToDateTime(const QDate& date) { return kEpoch.daysTo(date); }

QDateTime FromDateTime(TDateTime value) {
  const double whole = std::floor(value);
  const auto ms = static_cast<int>(std::llround((value - whole) * kMsPerDay));
  return QDateTime(kEpoch.addDays(static_cast<qint64>(whole)), QTime(0, 0).addMSecs(ms));
}

QString FormatDDMMYYYY(const QDate& date) { return date.toString(QStringLiteral("dd.MM.yyyy")); }

QString FormatShortDate(const QDate& date) { return FormatDDMMYYYY(date); }

QString FormatMoment(const QDateTime& moment) {
  if (moment.time() == QTime(0, 0)) return FormatShortDate(moment.date());
  return FormatShortDate(moment.date()) + ' ' + moment.time().toString(QStringLiteral("HH:mm:ss"));
}

QDateTime ParseShortDateTime(const QString& text) {
  const QString t = text.trimmed();
  for (const char* format : {"d.M.yyyy H:mm:ss", "d.M.yyyy H:mm", "d.M.yyyy"}) {
    const QDateTime parsed = QDateTime::fromString(t, QString::fromLatin1(format));
    if (parsed.isValid()) return parsed;
  }
  return {};
}

QDate ParseShortDate(const QString& text) { return ParseShortDateTime(text).date(); }
