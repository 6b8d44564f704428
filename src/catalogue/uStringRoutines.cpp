#include "catalogue/uStringRoutines.h"

#include <QCryptographicHash>
#include <QFontMetrics>

#include "platform/uCodec.h"

namespace {
const QString kUpperRow = QStringLiteral("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ABCDEFGHIJKLMNOPQRSTUVWXYZ");
const QString kLowerRow = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюя abcdefghijklmnopqrstuvwxyz");

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the digit run at pos as a number (saturating for absurdly long runs).
quint64 ReadNumber(const QByteArray& s, qsizetype& pos) {
  quint64 value = 0;
  while (pos < s.size() && IsDigit(s[pos])) {
    if (value < 1000000000000000000ULL) value = value * 10 + static_cast<quint64>(s[pos] - '0');
    ++pos;
  }
  return value;
}

int CompareBytes(const QByteArray& a, qsizetype i, const QByteArray& b, qsizetype j) {
  for (;;) {
    while (i < a.size() && j < b.size() && a[i] == b[j] && !IsDigit(a[i])) {
      ++i;
      ++j;
    }
    const bool aDone = i >= a.size();
    const bool bDone = j >= b.size();
    if (aDone && bDone) return 0;
    if (bDone) return 1;
    if (aDone) return -1;
    if (!IsDigit(a[i]) || !IsDigit(b[j])) {
      const auto ca = static_cast<unsigned char>(a[i]);
      const auto cb = static_cast<unsigned char>(b[j]);
      return ca < cb ? -1 : (ca > cb ? 1 : 0);
    }
    const quint64 na = ReadNumber(a, i);
    const quint64 nb = ReadNumber(b, j);
    if (na != nb) return na < nb ? -1 : 1;
    if (i >= a.size() && j >= b.size()) return 0;
  }
}

const QString kBreakChars = QStringLiteral("\t\n\r )+,-./:;\\]|}");
}  // namespace

QString LowerCaseRu(const QString& text) {
  QString out = text;
  for (QChar& ch : out) {
    const qsizetype at = kUpperRow.indexOf(ch);
    if (at >= 0) ch = kLowerRow[at];
  }
  return out;
}

QString Md5Hex(const QString& text) {
  return QString::fromLatin1(QCryptographicHash::hash(Win1251Encode(text), QCryptographicHash::Md5).toHex());
}

int NaturalCompare(const QString& a, const QString& b) {
  return CompareBytes(Win1251Encode(a), 0, Win1251Encode(b), 0);
}

QString XmlEscape(const QString& text) {
  QString out = text;
  out.replace('&', QStringLiteral("&amp;"));
  out.replace('<', QStringLiteral("&lt;"));
  out.replace('>', QStringLiteral("&gt;"));
  out.replace('\'', QStringLiteral("&apos;"));
  out.replace('"', QStringLiteral("&quot;"));
  return out;
}

QStringList SplitByChars(const QString& text, const QString& delimiters) {
  QStringList tokens;
  QString current;
  for (const QChar ch : text) {
    if (delimiters.contains(ch)) {
      if (!current.isEmpty()) tokens << current;
      current.clear();
    } else {
      current += ch;
    }
  }
  if (!current.isEmpty()) tokens << current;
  return tokens;
}

int WrappedLineCount(const QString& text, int width, const QFont& font) {
  if (text.isEmpty()) return 0;
  QFont bold = font;
  bold.setBold(true);
  bold.setItalic(true);
  const QFontMetrics metrics(bold);
  int lines = 1;
  int sum = 0;
  int last = 0;
  qsizetype segmentStart = 0;
  qsizetype i = 0;
  while (i < text.size()) {
    const QChar ch = text[i];
    if (kBreakChars.contains(ch) && ch.unicode() < 128) {
      if (ch == '\n') {
        ++lines;
        sum = last;
        last = 0;
        if (i + 1 < text.size() && text[i + 1] == '\r') ++i;
        segmentStart = i + 1;
      } else {
        const int w = metrics.horizontalAdvance(text.mid(segmentStart, i - segmentStart + 1));
        last = w;
        sum += w;
        if (sum > width) {
          ++lines;
          sum = w;
          last = 0;
        }
        segmentStart = i + 1;
      }
      ++i;  // the character right after a break character is never a break
    }
    ++i;
  }
  if (sum + metrics.horizontalAdvance(text.mid(segmentStart)) > width) ++lines;
  return lines;
}
