// Indicator values with their history, the values query, and the environment.
#include <QHash>

#include "catalogue/uObjsManager.h"
#include "catalogue/uPeriodsManager.h"
#include "catalogue/uRefBookManager.h"
#include "platform/uAppGlobals.h"
#include "platform/uCodec.h"
#include "platform/uDateTime.h"
#include "platform/uXml.h"
#include "store/uTALVEXDB.h"

namespace {
// Numbers collected for one column of the values query, in first-seen order.
struct TKeyCollection {
  QHash<int, QString> Names;
  QStringList List;
  void Add(int number, const QString& name) {
    if (Names.contains(number)) return;
    Names.insert(number, name);
    List << QString::number(number);
  }
  QString InList() const { return '(' + List.join(',') + ')'; }
};

// The value as the operator reads it: general form, decimal comma.
QString DisplayNumberText(double value) { return SqlNumberText(value).replace('.', ','); }
}  // namespace

void TTALVEXDB::SetIndicatorValue(int ind, int obj, int period, int dataKind, const QDateTime& moment, double value,
                                  bool isNull) {
  const QString key = " and OBJ=" + QString::number(obj) + " AND PERIOD=" + QString::number(period) +
                      " AND DATAKIND=" + QString::number(dataKind) + " AND UPDATED='" + NullDate + "';";
  const QString m = FormatMoment(moment);
  const QString newText = isNull ? QStringLiteral("NULL") : SqlNumberText(value);
  const QString indText = QString::number(ind);

  DoQuery("SELECT INDVALUE, INSDATE FROM TB_INDICATORS WHERE IND=" + indText + key);
  if (!Eof()) {
    const QVariant oldValue = FieldAsVariant("INDVALUE");
    const QString oldText = oldValue.isNull() ? QStringLiteral("NULL") : SqlNumberText(oldValue.toDouble());
    if (newText == oldText) return;  // the same value keeps its entry moment
    const QString previousMoment = FormatMoment(FromDateTime(FieldAsDateTime("INSDATE")));
    UpdateSQL("UPDATE TB_INDICATORS SET INDVALUE=" + newText + ", INSDATE='" + m + "' WHERE IND=" + indText + key);
    UpdateSQL("INSERT INTO TB_INDICATORS (IND,OBJ,PERIOD,DATAKIND,UPDATED,INDVALUE,INSDATE) VALUES (" + indText + "," +
              QString::number(obj) + "," + QString::number(period) + "," + QString::number(dataKind) + ",'" + m +
              "'," + oldText + ",'" + previousMoment + "');");
    CloseUpdate();
    return;
  }
  if (isNull) return;
  UpdateSQL("INSERT INTO TB_INDICATORS (IND,OBJ,PERIOD,DATAKIND,UPDATED,INDVALUE,INSDATE) VALUES (" + indText + "," +
            QString::number(obj) + "," + QString::number(period) + "," + QString::number(dataKind) + ",'" + NullDate +
            "'," + newText + ",'" + m + "');");
  CloseUpdate();
}

QString TTALVEXDB::QueryIndicators(const QString& queryXml) {
  const auto document = TXmlDocument::Parse(Win1251Encode(queryXml));
  const TXmlElement data = document->Root().FirstChild("query").FirstChild("indsdata");
  if (!data) return {};
  TObjsManager* objects = App().ObjsManager;
  const TRBook* dataKinds = App().RBManager ? App().RBManager->FindBook(QStringLiteral("datakind")) : nullptr;
  if (!objects || !Periods || !dataKinds) return {};

  TKeyCollection indicators, items, periods, kinds;
  for (const TXmlElement& item : data.Children("item")) {
    const TDObject* i = objects->FindObjectByName(item.Attribute("i"));
    const TDObject* o = objects->FindObjectByName(item.Attribute("o"));
    const TPeriodRecord* p = Periods->FindById(item.Attribute("p"));
    const TRBItem* k = dataKinds->ItemByCode(item.Attribute("dk").toInt());
    if (!i || !o || !p || !k) continue;
    indicators.Add(i->Id, i->Name);
    items.Add(o->Id, o->Name);
    periods.Add(p->Key, p->Id);
    kinds.Add(k->Code, QString::number(k->Code));
  }
  if (indicators.List.isEmpty() || items.List.isEmpty() || periods.List.isEmpty() || kinds.List.isEmpty()) return {};

  DoQuery("SELECT IND, OBJ, PERIOD, DATAKIND, INDVALUE, INSDATE FROM TB_INDICATORS WHERE IND in " +
          indicators.InList() + " and OBJ in " + items.InList() + " and PERIOD in " + periods.InList() +
          " and DATAKIND in " + kinds.InList() + " and UPDATED='" + NullDate + "';");
  QString result = QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>");
  for (; !Eof(); Next()) {
    const QVariant value = FieldAsVariant("INDVALUE");
    if (value.isNull()) continue;
    result += "\n\t<item i=\"" + indicators.Names.value(FieldAsInteger("IND")) + "\" o=\"" +
              items.Names.value(FieldAsInteger("OBJ")) + "\" p=\"" + periods.Names.value(FieldAsInteger("PERIOD")) +
              "\" dk=\"" + kinds.Names.value(FieldAsInteger("DATAKIND")) + "\" v=\"" +
              DisplayNumberText(value.toDouble()) + "\" vd=\"" +
              FormatShortDate(FromDateTime(FieldAsDateTime("INSDATE")).date()) + "\"/>";
  }
  result += QStringLiteral("\n</root>");
  return result;
}

QString TTALVEXDB::GetEnv(const QString& name) {
  DoQuery("SELECT VARVALUE FROM ST_ENVIRONMENT WHERE VARNAME=" + SqlStr(name));
  First();
  return FieldAsString("VARVALUE");
}

void TTALVEXDB::SetEnv(const QString& name, const QString& value) {
  UpdateSQL("DELETE FROM ST_ENVIRONMENT WHERE VARNAME=" + SqlStr(name));
  UpdateSQL("INSERT INTO ST_ENVIRONMENT ( VARNAME, VARVALUE) VALUES (" + SqlStr(name) + ", " + SqlStr(value) + ")");
  CloseUpdate();
}
