// Dated updates: each start brings an older database up to the current version.
#include <QRegularExpression>

#include "catalogue/uObjsManager.h"
#include "platform/uAppGlobals.h"
#include "platform/uClock.h"
#include "platform/uResources.h"
#include "platform/uScriptProgress.h"
#include "platform/uXml.h"
#include "store/uTALVEXDB.h"

namespace {
const char* const kAlignSchoolYears[] = {
    "update tb_relations set strdate = '01.09.2014', enddate = '31.08.2015' where strdate between '01.09.2014' and "
    "'31.08.2015'",
    "update tb_relations set strdate = '01.09.2015', enddate = '31.08.2016' where strdate between '01.09.2015' and "
    "'31.08.2016'",
    "update tb_relations set strdate = '01.09.2016', enddate = '31.08.2017' where strdate between '01.09.2016' and "
    "'31.08.2017'",
    "update tb_relations set strdate = '01.09.2017', enddate = '31.08.2018' where strdate between '01.09.2017' and "
    "'31.08.2018'",
};

// The plain fallback when no progress window is up: same rules, no bar.
void RunScript(const QStringList& lines, const IScriptProgress::TStatementRunner& execute) {
  for (const QString& line : lines) {
    if (line.isEmpty()) continue;
    try {
      execute(line);
    } catch (const std::exception&) {
    }
  }
}
}  // namespace

void TTALVEXDB::SetVersion(const QString& text) {
  DBVersion = text;
  SetEnv(QStringLiteral("dbversion"), text);
}

void TTALVEXDB::RunUpdates() {
  {  // School-specific objects and relations, at every start.
    const auto document = TXmlDocument::Parse(LoadTextResource(QStringLiteral("RC_UP20150924")));
    const QString schoolCode = GetEnv(QStringLiteral("school")).remove(QStringLiteral("scid_"), Qt::CaseInsensitive);
    if (App().ObjsManager) App().ObjsManager->LoadInitObjectsFor(document->Root(), schoolCode);
    ApplySchoolInitRelations(document->Root(), schoolCode);
    if (DBVersion == QLatin1String("23-SEP-2015 0:00:00.0000")) SetVersion(QStringLiteral("24-SEP-2015 0:00:00.0000"));
  }
  const char* const steps[][2] = {
      {"24-SEP-2015 0:00:00.0000", "30-SEP-2015 0:00:00.0000"},
      {"30-SEP-2015 0:00:00.0000", "10-MAY-2016 0:00:00.0000"},
      {"10-MAY-2016 0:00:00.0000", "22-SEP-2016 0:00:00.0000"},
      {"22-SEP-2016 0:00:00.0000", "20-MAR-2017 0:00:00.0000"},
  };
  for (const auto& step : steps)
    if (DBVersion == QLatin1String(step[0])) SetVersion(QString::fromLatin1(step[1]));

  if (DBVersion == QLatin1String("20-MAR-2017 0:00:00.0000")) {
    const QStringList lines =
        LoadTextResourceString(QStringLiteral("RC_UP20170502")).split(QRegularExpression(QStringLiteral("\r?\n")));
    const auto execute = [this](const QString& statement) { UpdateSQL(statement); };
    if (App().ProgressWindow)
      App().ProgressWindow->RunStatements(lines, execute);
    else
      RunScript(lines, execute);
    SetVersion(QStringLiteral("02-MAY-2017 0:00:00.0000"));
  }
  if (DBVersion == QLatin1String("02-MAY-2017 0:00:00.0000")) {
    UpdateSQL(QStringLiteral("delete from tb_relations where strdate=enddate;"));
    SetVersion(QStringLiteral("08-MAY-2018 0:00:00.0000"));
  }
  if (DBVersion == QLatin1String("08-MAY-2018 0:00:00.0000")) {
    for (const char* statement : kAlignSchoolYears) UpdateSQL(QString::fromLatin1(statement));
    SetVersion(QStringLiteral("07-JAN-2019 0:00:00.0000"));
  }
  if (DBVersion == QLatin1String("07-JAN-2019 0:00:00.0000")) {
    if (Clock().Today().year() == 2019)
      UpdateSQL(QStringLiteral(
          "update tb_relations set strdate = '01.09.2019' where strdate between '01.09.2019' and '31.08.2020'"));
    SetVersion(QStringLiteral("02-OCT-2019 0:00:00.0000"));
  }
}
