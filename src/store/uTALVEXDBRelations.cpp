// Dated relations between objects ("is_class_of", "is_student_of").
#include "catalogue/uObjsManager.h"
#include "platform/uAppGlobals.h"
#include "platform/uDateTime.h"
#include "platform/uXml.h"
#include "store/uTALVEXDB.h"

namespace {
QString Ids(TDObject* a, TDObject* b) {
  return " and AOBJ=" + QString::number(a->Id) + " and BOBJ=" + QString::number(b->Id);
}
}  // namespace

void TTALVEXDB::AddRelation(const QString& name, TDObject* a, TDObject* b, const QDate& date) {
  if (!a || !b) return;
  try {
    const QString d = SqlDate(date);
    DoQuery("SELECT STRDATE FROM TB_RELATIONS WHERE RELATION=" + SqlDStr(name) + Ids(a, b) + " and STRDATE<=\"" + d +
            "\" and (ENDDATE=\"" + NullDate + "\" or ENDDATE>\"" + d + "\");");
    if (!Eof()) return;  // already current at that date
    UpdateSQL("INSERT INTO TB_RELATIONS (RELATION,AOBJ,BOBJ,STRDATE,ENDDATE) VALUES (" + SqlDStr(name) + "," +
              QString::number(a->Id) + "," + QString::number(b->Id) + ",\"" + d + "\",\"" + NullDate + "\");");
    CloseUpdate();
  } catch (const std::exception&) {
    // The relation is simply not added.
  }
}

void TTALVEXDB::EndRelation(const QString& name, TDObject* a, TDObject* b, const QDate& endDate,
                            const QDate& asOfDate) {
  if (!a || !b) return;
  try {
    const QString e = SqlDate(endDate);
    const QString s = asOfDate.isValid() ? SqlDate(asOfDate) : e;
    const QString where = " RELATION=" + SqlDStr(name) + Ids(a, b) + " and STRDATE<=\"" + s + "\" and ENDDATE=\"" +
                          NullDate + "\";";
    // Ending a relation on the day it is looked at removes the open row.
    if (s != e)
      UpdateSQL("UPDATE TB_RELATIONS SET ENDDATE=\"" + e + "\" WHERE " + where);
    else
      UpdateSQL("DELETE FROM TB_RELATIONS WHERE" + where);
    CommitDirect();
    CloseUpdate();
  } catch (const std::exception&) {
  }
}

bool TTALVEXDB::HasOtherRelation(const QString& name, TDObject* a, TDObject* b, const QDate& startLimit,
                                 const QDate& date) {
  if (!a || !b) return false;
  try {
    const QString d = SqlDate(date);
    const QString t = startLimit.isValid() ? SqlDate(startLimit) : d;
    CloseQuery();
    CloseUpdate();
    CommitDirect();
    const auto data = GetData("SELECT BOBJ FROM TB_RELATIONS WHERE RELATION=" + SqlDStr(name) + " and AOBJ=" +
                              QString::number(a->Id) + " and BOBJ<>" + QString::number(b->Id) + " and STRDATE<=\"" +
                              t + "\" and ((ENDDATE=\"" + NullDate + "\") or (ENDDATE<=\"" + d + "\"));");
    if (!data) return false;
    data->First();
    const bool found = !data->Eof();
    CloseQuery();
    return found;
  } catch (const std::exception&) {
    return false;
  }
}

std::vector<TDObject*> TTALVEXDB::GetRelated(const QString& name, TDObject* b, const QDate& date) {
  std::vector<TDObject*> related;
  if (!b) return related;
  const QString d = SqlDate(date);
  CloseQuery();
  CloseUpdate();
  CommitDirect();
  const auto data = GetData("SELECT AOBJ FROM TB_RELATIONS WHERE RELATION=" + SqlDStr(name) +
                            " and BOBJ=" + QString::number(b->Id) + " and (STRDATE<=\"" + d + "\" and (ENDDATE>\"" +
                            d + "\" or ENDDATE=\"" + NullDate + "\"));");
  if (!data) return related;
  std::vector<int> ids;
  for (data->First(); !data->Eof(); data->Next()) ids.push_back(FieldAsInteger("AOBJ", data.get()));
  CloseQuery();
  for (const int id : ids)
    if (TDObject* object = App().ObjsManager ? App().ObjsManager->FindObjectById(id) : nullptr)
      related.push_back(object);
  return related;
}

QString TTALVEXDB::RelationsXml(const QString& name, TDObject* b, const QDate& date, bool byName) {
  QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n\r<root>\n\r\t<relations>");
  for (TDObject* a : GetRelated(name, b, date)) {
    xml += "\n\r\t\t<i r=\"" + name + "\" ";
    xml += byName ? "a=\"" + a->Name + "\" b=\"" + b->Name + "\"/>"
                  : "a=\"" + QString::number(a->Id) + "\" b=\"" + QString::number(b->Id) + "\"/>";
  }
  xml += QStringLiteral("\n\r\t</relations>\n\r</root>");
  CloseQuery();
  return xml;
}

void TTALVEXDB::ApplyRelationItems(const TXmlElement& root, const QString* schoolCode) {
  TObjsManager* objects = App().ObjsManager;
  if (!objects) return;
  for (const TXmlElement& section : root.Children("initrelations")) {
    for (const TXmlElement& item : section.Children("i")) {
      const QString aName = item.Attribute("a");
      const QString bName = item.Attribute("b");
      if (schoolCode && !aName.contains(*schoolCode) && !bName.contains(*schoolCode)) continue;
      TDObject* a = objects->FindObjectByName(aName);
      TDObject* b = objects->FindObjectByName(bName);
      if (!a || !b) continue;
      const QString relation = item.Attribute("r");
      AddRelation(relation, a, b, ParseShortDate(item.Attribute("ds")));
      const QString de = item.Attribute("de");
      if (de != NullDate) EndRelation(relation, a, b, ParseShortDate(de), QDate());
    }
  }
}

void TTALVEXDB::ApplyInitRelations(const TXmlElement& root) { ApplyRelationItems(root, nullptr); }

void TTALVEXDB::ApplySchoolInitRelations(const TXmlElement& root, const QString& schoolCode) {
  ApplyRelationItems(root, &schoolCode);
}
