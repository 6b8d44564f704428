#pragma once
#include <QFont>
#include <QString>
#include <QStringList>

// Text helpers shared by the whole program.

// Lower-cases Cyrillic (with Ё) and Latin capitals by the program's own table;
// every other character is kept.
QString LowerCaseRu(const QString& text);

// MD5 of the text's windows-1251 bytes, 32 lower-case hex digits.
QString Md5Hex(const QString& text);

// Natural order: digit runs compare by value, other characters by their
// windows-1251 byte.  Returns -1, 0 or 1.
int NaturalCompare(const QString& a, const QString& b);

// &, <, >, ' and " as XML entities.
QString XmlEscape(const QString& text);

// Tokens of text split at any of the delimiter characters; no empty tokens.
QStringList SplitByChars(const QString& text, const QString& delimiters);

// Estimated number of lines the text needs when wrapped at break characters
// into width pixels, measured in font made bold and italic.
int WrappedLineCount(const QString& text, int width, const QFont& font);
