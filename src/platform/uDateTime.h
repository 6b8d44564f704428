#pragma once
#include <QDate>
#include <QDateTime>
#include <QString>

// Date-time as days since 30.12.1899, the fraction being the time of day:
// the form the database session hands out and the typed records keep.
using TDateTime = double;

TDateTime ToDateTime(const QDateTime& moment);
TDateTime ToDateTime(const QDate& date);
QDateTime FromDateTime(TDateTime value);

// Fixed Russian forms, whatever the machine's locale.
QString FormatDDMMYYYY(const QDate& date);          // "01.09.2017"
QString FormatShortDate(const QDate& date);         // the short date form, same as above
QString FormatMoment(const QDateTime& moment);      // "24.09.2015 10:05:00", date only at midnight
QDate ParseShortDate(const QString& text);          // "dd.MM.yyyy" with an optional time; invalid date if unreadable
QDateTime ParseShortDateTime(const QString& text);
