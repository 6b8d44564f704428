#include "store/uNewDataBase.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <ibase.h>

namespace {

// No database file is shorter than its header page (the smallest page size);
// the engine reports such a file as a failed read.
constexpr qint64 kSmallestPage = 1024;

// Index just past a literal or comment starting at i, or i when there is none.
int SkipLiteralOrComment(const QString& s, int i) {
  const int n = static_cast<int>(s.size());
  const QChar ch = s[i];
  if (ch == '\'' || ch == '"') {
    const int end = s.indexOf(ch, i + 1);
    return end < 0 ? n : end + 1;
  }
  if (ch == '-' && i + 1 < n && s[i + 1] == '-') {
    const int end = s.indexOf('\n', i);
    return end < 0 ? n : end + 1;
  }
  if (ch == '/' && i + 1 < n && s[i + 1] == '*') {
    const int end = s.indexOf(QLatin1String("*/"), i + 2);
    return end < 0 ? n : end + 2;
  }
  return i;
}

QString WithoutLeadingComments(QString s) {
  for (;;) {
    s = s.trimmed();
    if (s.isEmpty()) return s;
    const int after = SkipLiteralOrComment(s, 0);
    if (after == 0 || s[0] == '\'' || s[0] == '"') return s;
    s = s.mid(after);
  }
}

}  // namespace

QStringList SplitSqlScript(const QString& script) {
  static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                          QRegularExpression::CaseInsensitiveOption);
  static const QRegularExpression isqlOnly(QStringLiteral("^(SET\\s|COMMIT\\b)"),
                                           QRegularExpression::CaseInsensitiveOption);
  QStringList statements;
  QString term = QStringLiteral(";");
  QString current;
  const int n = static_cast<int>(script.size());
  int i = 0;
  while (i < n) {
    const int after = SkipLiteralOrComment(script, i);
    if (after > i) {
      current += script.mid(i, after - i);
      i = after;
      continue;
    }
    if (script.mid(i, term.size()).compare(term, Qt::CaseInsensitive) != 0) {
      current += script[i++];
      continue;
    }
    i += static_cast<int>(term.size());
    const QString head = WithoutLeadingComments(current);
    const auto m = setTerm.match(head);
    if (m.hasMatch())
      term = m.captured(1);
    else if (!head.isEmpty() && !isqlOnly.match(head).hasMatch())
      statements << head;
    current.clear();
  }
  const QString rest = WithoutLeadingComments(current);
  if (!rest.isEmpty() && !isqlOnly.match(rest).hasMatch()) statements << rest;
  return statements;
}

void RunSqlScript(const QString& script, const std::function<void(const QString&)>& execute) {
  for (const QString& statement : SplitSqlScript(script)) {
    try {
      execute(statement);
    } catch (const EDBError& e) {
      throw EDBError(e.Text + "\n\r" + statement.left(200), e.Codes);
    }
  }
}

EDBError LocalOpenError(const QString& fileName, const EDBError& error) {
  QString sentence;
  if (error.HasCode(isc_already_opened) || error.HasCode(isc_lock_timeout) || error.HasCode(isc_lock_conflict))
    sentence = "Файл базы данных \"" + fileName +
               "\" занят другой программой (возможно, уже запущена другая копия). "
               "Закройте её и запустите программу снова.";
  else if (error.HasCode(isc_bad_db_format) || error.HasCode(isc_wrong_ods) || error.HasCode(isc_io_read_err) ||
           (error.HasCode(isc_io_error) && !error.HasCode(isc_io_open_err) &&
            QFileInfo(fileName).size() < kSmallestPage))
    sentence = "Файл \"" + fileName + "\" не является базой данных программы или повреждён. Файл не изменён.";
  else
    return error;
  return EDBError(sentence + "\n\r" + error.Text, error.Codes);
}
