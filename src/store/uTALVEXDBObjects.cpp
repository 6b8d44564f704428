// Objects and their typed attributes.
#include <QDateTime>

#include "catalogue/uObjsManager.h"
#include "platform/uDateTime.h"
#include "platform/uErrors.h"
#include "store/uTALVEXDB.h"

namespace {
// The attribute tables, in the order their groups are read.
enum TValueGroup { gString, gInteger, gFloat, gDate, gLarge, gCount };
const char* const kGroupTables[gCount] = {"tb_oattrs_STR", "tb_oattrs_INT", "tb_oattrs_FLOAT", "tb_oattrs_DATE",
                                          "tb_oattrs_BLOB"};
constexpr size_t kBatchSize = 100;

TValueGroup GroupOf(int typeCode) {
  switch (typeCode) {
    case atInteger:
    case atCode: return gInteger;
    case atFloat: return gFloat;
    case atDate: return gDate;
    case atText:
    case atBlob: return gLarge;
    default: return gString;
  }
}

QString InList(const QStringList& items) { return '(' + items.join(',') + ')'; }

int IntegerOf(const TDFLD& field) {
  if (field.Value.typeId() == QMetaType::Int) return field.Value.toInt();
  bool ok = false;
  const int value = field.Value.toString().toInt(&ok);
  if (!ok) throw EAppError(QStringLiteral("\"%1\" is not a valid integer value").arg(field.Value.toString()));
  return value;
}

double FloatOf(const TDFLD& field) {
  bool ok = false;
  const double value = field.Value.toDouble(&ok);
  if (!ok) throw EAppError(QStringLiteral("\"%1\" is not a valid floating point value").arg(field.Value.toString()));
  return value;
}
}  // namespace

int TTALVEXDB::CreateObject(TMClass* metaClass, const QString& name) {
  DoQuery("select ID from tb_objects where idname=" + SqlStr(name) + " and disabled>'" + NullDate + "';");
  int id = -1;
  if (!Eof()) {
    // A disabled object of that name comes back to life with its old values.
    id = FieldAsInteger("ID");
    UpdateSQL("update tb_objects set disabled='" + NullDate + "' where id=" + QString::number(id));
    CloseUpdate();
  } else {
    DoQuery("SELECT ID FROM NEW_OBJECT(" + SqlStr(metaClass->ClassName) + "," + SqlStr(name) + ");");
    if (!Eof()) id = FieldAsInteger("ID");
  }
  CloseQuery();  // commits the procedure's insert
  return id;
}

void TTALVEXDB::DisableObject(TDObject* object) {
  UpdateSQL("UPDATE TB_OBJECTS SET DISABLED=current_timestamp WHERE ID=" + QString::number(object->Id) +
            " and CLASS=" + SqlStr(object->MetaClass->ClassName) + ";");
  CloseUpdate();
}

void TTALVEXDB::LoadClassObjects(TMClass* metaClass) {
  DoQuery("SELECT ID,IDNAME FROM TB_OBJECTS WHERE CLASS=" + SqlStr(metaClass->ClassName) + " and (DISABLED=\"" +
          NullDate + "\");");
  while (!Eof()) {
    metaClass->GetOrCreate(FieldAsInteger("ID"), FieldAsString("IDNAME"));
    Next();
  }
  CloseQuery();
}

void TTALVEXDB::LoadAttributes(TMClass* metaClass, const std::vector<int>& ids, const QStringList& names) {
  if (ids.empty()) return;
  QStringList groupNames[gCount];
  for (const QString& name : names)
    if (const TDFLDheader* def = metaClass->FieldDefinition(name)) groupNames[GroupOf(def->TypeCode)] << SqlStr(def->Name);

  for (int group = 0; group < gCount; ++group) {
    if (groupNames[group].isEmpty()) continue;
    const QString nameList = InList(groupNames[group]);
    for (size_t start = 0; start < ids.size(); start += kBatchSize) {
      QStringList batch;
      for (size_t i = start; i < std::min(ids.size(), start + kBatchSize); ++i) batch << QString::number(ids[i]);
      DoQuery(QStringLiteral("SELECT OBJECT_ID,ATRNAME,AVALUE FROM ") + kGroupTables[group] + " WHERE (OBJECT_ID in " +
              InList(batch) + ") AND (ATRNAME in " + nameList + ") and (UPDATEDATE='" + NullDate +
              "') ORDER by object_id;");
      for (; !Eof(); Next()) {
        TDObject* object = metaClass->FindById(FieldAsInteger("OBJECT_ID"));
        TDFLD* field = object ? object->FieldByName(FieldAsString("ATRNAME")) : nullptr;
        if (!field) continue;
        switch (group) {
          case gString: field->Value = FieldAsString("AVALUE"); break;
          case gInteger: field->Value = FieldAsInteger("AVALUE"); break;
          case gFloat: field->Value = FieldAsFloat("AVALUE"); break;
          case gDate: field->Value = FromDateTime(FieldAsDateTime("AVALUE")); break;
          default: field->Value = FieldAsText("AVALUE"); break;
        }
        if (FieldAsVariant("AVALUE").isNull()) field->Value = QVariant();
        field->Modified = false;  // loaded values are not written back
      }
    }
  }
}

void TTALVEXDB::SaveObject(TDObject* object) {
  if (object->Id < 1) object->Id = CreateObject(object->MetaClass, object->Name);
  if (object->Id <= 0) return;
  const QString id = QString::number(object->Id);
  for (const auto& field : object->Values) {
    if (!field->Modified || field->IsNull()) continue;
    const QString name = SqlStr(field->Definition->Name);
    switch (field->Definition->TypeCode) {
      case atInteger:
      case atCode:
        UpdateSQL("execute procedure SET_ATTR_INT(" + id + "," + name + "," + QString::number(IntegerOf(*field)) + ");");
        break;
      case atFloat:
        UpdateSQL("execute procedure SET_ATTR_FLOAT(" + id + "," + name + "," + SqlScientificText(FloatOf(*field)) +
                  ");");
        break;
      case atDate:
        UpdateSQL("execute procedure SET_ATTR_DATE(" + id + "," + name + ",'" +
                  FormatDDMMYYYY(field->Value.toDateTime().date()) + "');");
        break;
      case atText:
        UpdateSQL("execute procedure SET_ATTR_BLOB(" + id + "," + name + "," + SqlStr(field->Value.toString()) + ");");
        break;
      case atBlob:
        PrepareUpdate("execute procedure SET_ATTR_BLOB(" + id + "," + name + ",:param1);");
        SetUpdateParam(0, field->Value);
        ExecPrepared();
        break;
      default:
        UpdateSQL("execute procedure SET_ATTR_STR(" + id + "," + name + "," + SqlStr(field->Value.toString()) + ");");
        break;
    }
    field->Modified = false;
  }
}
