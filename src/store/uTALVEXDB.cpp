#include "store/uTALVEXDB.h"

#include <cmath>

#include "catalogue/uCalcsManager.h"
#include "catalogue/uObjsManager.h"
#include "catalogue/uPeriodsManager.h"
#include "catalogue/uProcessManager.h"
#include "catalogue/uRefBookManager.h"
#include "platform/uAppGlobals.h"
#include "platform/uClock.h"
#include "platform/uDateTime.h"
#include "platform/uErrors.h"
#include "platform/uResources.h"
#include "platform/uXml.h"
#include "store/uDefaultDataBase.h"

const QString NullDate = QStringLiteral("01.01.1900");

QString SqlStr(const QString& text) { return '\'' + QString(text).replace('\'', QStringLiteral("''")) + '\''; }

QString SqlDStr(const QString& text) { return '"' + QString(text).replace('"', QStringLiteral("\"\"")) + '"'; }

QString SqlNumberText(double value) {
  QString text = QString::number(value, 'g', 15);
  const qsizetype e = text.indexOf('e');
  if (e < 0) return text;
  // "1e-06" -> "1E-6", "1e+20" -> "1E20"
  const QString mantissa = text.left(e);
  const int exponent = text.mid(e + 1).toInt();
  return mantissa + 'E' + QString::number(exponent);
}

QString SqlScientificText(double value) {
  QString text = QString::asprintf("%.14E", std::fabs(value));  // "2.50000000000000E+00"
  const qsizetype e = text.indexOf('E');
  const int exponent = text.mid(e + 1).toInt();
  text = text.left(e) + 'E' + (exponent < 0 ? '-' : '+') + QString::asprintf("%04d", std::abs(exponent));
  return (value < 0 ? "-" : " ") + text;
}

QString SqlDate(const QDate& date) { return FormatDDMMYYYY(date.isValid() ? date : Clock().Today()); }

TTALVEXDB::TTALVEXDB(const QString& schoolName, std::function<void(const QString&)> onLogLine) {
  OnLogLine = std::move(onLogLine);
  TAppGlobals& app = App();
  try {
    Params = std::make_unique<TDBParams>(app.AppDir + "DBSettings.ini");
    Params->SaveOnDestroy = false;  // the settings file is only ever read
    const TDBConnection connection = DBConnectionOf(*Params, app.AppDir);
    Database->DatabaseName = connection.DatabaseName;
    Database->Params = connection.Params;
    ConnectOrCreate(connection.Local);
    app.Store = this;

    try {
      DBVersion = GetEnv(QStringLiteral("dbversion"));
    } catch (const std::exception&) {
      // A new database: the environment table comes first, then every update.
      ExecDirect(QStringLiteral("CREATE TABLE ST_ENVIRONMENT (VARNAME VARCHAR(255) NOT NULL,VARVALUE VARCHAR(1024));"));
      SetVersion(QStringLiteral("23-SEP-2015 0:00:00.0000"));
    }
    if (!schoolName.isEmpty()) SetEnv(QStringLiteral("school"), schoolName);

    LoadDefinitions();
    RunUpdates();
  } catch (...) {
    ReleaseDefinitions();
    app.Store = nullptr;
    throw;
  }
}

TTALVEXDB::~TTALVEXDB() { ReleaseDefinitions(); }

void TTALVEXDB::ReleaseDefinitions() {
  TAppGlobals& app = App();
  if (app.Store == this) app.Store = nullptr;
  if (app.RBManager == RBManager.get()) app.RBManager = nullptr;
  if (app.ObjsManager == ObjsManager.get()) app.ObjsManager = nullptr;
  if (app.CalcsManager == CalcsManager.get()) app.CalcsManager = nullptr;
  if (app.ConditionManager == ConditionManager.get()) app.ConditionManager = nullptr;
  RBManager.reset();
  ObjsManager.reset();
  CalcsManager.reset();
  ConditionManager.reset();
}

void TTALVEXDB::LoadDefinitions() {
  TAppGlobals& app = App();
  const TProcessItem* process = app.ProcessManager ? app.ProcessManager->CurrentProcess : nullptr;
  if (!process) throw EAppError(QStringLiteral("Не выбрана процедура диагностики"));
  const QString resource = ResourceNameOf(process->Classes);
  std::unique_ptr<TXmlDocument> document;
  try {
    document = TXmlDocument::Parse(LoadTextResource(resource));
  } catch (const std::exception& error) {
    throw EAppError(QStringLiteral("Описание классов %1 не прочитано: %2").arg(resource, ErrorText(error)));
  }
  const TXmlElement root = document->Root();

  RBManager = std::make_unique<TRBManager>();
  app.RBManager = RBManager.get();
  LoadRbCodes(root);

  ObjsManager = std::make_unique<TObjsManager>();
  app.ObjsManager = ObjsManager.get();
  InstallHooks();
  ObjsManager->LoadMetaClasses(root);
  ObjsManager->LoadAll();
  ObjsManager->LoadIndicators(root);
  ObjsManager->LoadDisplayHeaders(root);
  ObjsManager->LoadInitObjects(root);
  for (const char* name : {"objects.CityRegion", "objects.EduObject", "objects.EduClass", "objects.EduStudent"})
    if (TMClass* metaClass = ObjsManager->FindClass(QString::fromLatin1(name))) metaClass->LoadAllAttributes();
  ApplyInitRelations(root);

  ConditionManager = std::make_unique<TConditionManager>();
  ConditionManager->LoadFromXml(root);
  app.ConditionManager = ConditionManager.get();
  CalcsManager = std::make_unique<TCalcsManager>();
  CalcsManager->LoadFromXml(root);
  app.CalcsManager = CalcsManager.get();

  Periods = std::make_unique<TPeriodsManager>();
  for (const auto& period : Periods->Records) period->Key = period->OrderKey > 0 ? period->OrderKey : 0;
}

void TTALVEXDB::InstallHooks() {
  ObjsManager->OnNewObject = [this](TMClass* c, const QString& name) { return CreateObject(c, name); };
  ObjsManager->OnDeleteObject = [this](TDObject* object) { DisableObject(object); };
  ObjsManager->OnListObjects = [this](TMClass* c) { LoadClassObjects(c); };
  ObjsManager->OnLoadAttributes = [this](TMClass* c, const std::vector<int>& ids, const QStringList& names) {
    LoadAttributes(c, ids, names);
  };
  ObjsManager->OnStoreObject = [this](TDObject* object) { SaveObject(object); };
}

void TTALVEXDB::SetSchoolYear(int year) {
  SchoolYearStart = QDate(year, 9, 1);
  SchoolYearEnd = QDate(year + 1, 5, 31);
}

void TTALVEXDB::LoadRbCodes(const TXmlElement& root) { RBManager->LoadRbCodes(root); }
