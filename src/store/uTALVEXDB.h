#pragma once
#include <QDate>
#include <QString>
#include <memory>
#include <vector>

#include "store/uIBDataBase.h"

class TDBParams;
class TPeriodsManager;
class TRBManager;
class TObjsManager;
class TCalcsManager;
class TConditionManager;
class TMClass;
class TDObject;
class TXmlElement;

// "01.01.1900": in every date column, "not set" (active object, open
// relation, current attribute or indicator row).
extern const QString NullDate;

// SQL literals: names and values inlined into statements are quoted here, so
// a pupil called O'Neil is stored as written, never as broken SQL.
QString SqlStr(const QString& text);   // '...' with ' doubled
QString SqlDStr(const QString& text);  // "..." with " doubled (a dialect-1 literal)
// Number texts for statements, independent of the machine's locale.
QString SqlNumberText(double value);      // "2.5", "3", "1E-6"
QString SqlScientificText(double value);  // " 2.50000000000000E+0000"
QString SqlDate(const QDate& date);       // "01.09.2017"; an invalid date means today

// The domain store: objects with typed attributes, dated relations, indicator
// values with history and the environment, over the local database.  Its
// construction loads the definitions of the current process, publishes the
// definition singletons and brings the database up to date.
class TTALVEXDB : public T_IBDataBase {
 public:
  // onLogLine sees every statement from the first one on (diagnostics, tests).
  explicit TTALVEXDB(const QString& schoolName = QString(),
                     std::function<void(const QString&)> onLogLine = nullptr);
  ~TTALVEXDB() override;

  std::unique_ptr<TDBParams> Params;
  std::unique_ptr<TPeriodsManager> Periods;
  QString DBVersion;
  QDate SchoolYearStart;
  QDate SchoolYearEnd;

  void SetSchoolYear(int year);

  // Objects (installed as the object manager's hooks).
  int CreateObject(TMClass* metaClass, const QString& name);
  void DisableObject(TDObject* object);
  void LoadClassObjects(TMClass* metaClass);
  void LoadAttributes(TMClass* metaClass, const std::vector<int>& ids, const QStringList& names);
  void SaveObject(TDObject* object);

  // Relations; a null date means today.
  void AddRelation(const QString& name, TDObject* a, TDObject* b, const QDate& date = QDate());
  void EndRelation(const QString& name, TDObject* a, TDObject* b, const QDate& endDate = QDate(),
                   const QDate& asOfDate = QDate());
  bool HasOtherRelation(const QString& name, TDObject* a, TDObject* b, const QDate& startLimit = QDate(),
                        const QDate& date = QDate());
  std::vector<TDObject*> GetRelated(const QString& name, TDObject* b, const QDate& date = QDate());
  QString RelationsXml(const QString& name, TDObject* b, const QDate& date = QDate(), bool byName = false);
  void ApplyInitRelations(const TXmlElement& root);
  void ApplySchoolInitRelations(const TXmlElement& root, const QString& schoolCode);
  void LoadRbCodes(const TXmlElement& root);

  // Indicator values and the environment.
  void SetIndicatorValue(int ind, int obj, int period, int dataKind, const QDateTime& moment, double value,
                         bool isNull);
  QString QueryIndicators(const QString& queryXml);
  QString GetEnv(const QString& name);
  void SetEnv(const QString& name, const QString& value);

  // Dated updates.
  void SetVersion(const QString& text);
  void RunUpdates();

 private:
  void LoadDefinitions();
  void InstallHooks();
  void ApplyRelationItems(const TXmlElement& root, const QString* schoolCode);
  void ReleaseDefinitions();

  std::unique_ptr<TRBManager> RBManager;
  std::unique_ptr<TObjsManager> ObjsManager;
  std::unique_ptr<TCalcsManager> CalcsManager;
  std::unique_ptr<TConditionManager> ConditionManager;
};
