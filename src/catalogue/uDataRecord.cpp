#include "catalogue/uDataRecord.h"

#include <QDateTime>

#include "catalogue/uRefBookManager.h"
#include "platform/uAppGlobals.h"
#include "platform/uDateTime.h"

std::function<IRefClass*(const QString&)> TDRecordHeader::ClassResolver;

namespace {
bool SameValue(const QVariant& a, const QVariant& b) {
  const bool aNull = !a.isValid() || a.isNull();
  const bool bNull = !b.isValid() || b.isNull();
  if (aNull || bNull) return aNull == bNull;
  if (a.typeId() != b.typeId()) return false;
  return a == b;
}

std::optional<QVariant> Convert(const TDFLDheader& def, const QVariant& v, const QVariant& current) {
  if (!v.isValid() || v.isNull()) return QVariant();
  switch (def.TypeCode) {
    case atString: return QVariant(v.toString());
    case atInteger: {
      bool ok = false;
      const int number = v.toString().trimmed().toInt(&ok, 10);
      return ok ? QVariant(number) : current;
    }
    case atFloat:
      if (v.typeId() == QMetaType::QString) return QVariant(ParseLocalFloat(v.toString()).value_or(0.0));
      return QVariant(v.toDouble());
    case atDate:
      if (v.typeId() == QMetaType::QString) {
        const QDateTime parsed = ParseShortDateTime(v.toString());
        return QVariant(parsed.isValid() ? parsed : FromDateTime(0));
      }
      if (v.typeId() == QMetaType::QDateTime) return v;
      if (v.typeId() == QMetaType::QDate) return QVariant(v.toDate().startOfDay());
      return QVariant(FromDateTime(v.toDouble()));
    case atCode: {
      if (!def.RefBook) return std::nullopt;
      const auto code = def.RefBook->ResolveCode(v.toString());
      return code ? std::optional<QVariant>(QVariant(*code)) : std::nullopt;
    }
    case atObject: {
      if (!def.RefClass) return std::nullopt;
      const auto name = def.RefClass->ResolveReference(v.toString());
      return name ? std::optional<QVariant>(QVariant(*name)) : std::nullopt;
    }
    default: return v;
  }
}
}  // namespace

int TypeCodeOf(const QString& typeText) {
  if (typeText == QLatin1String("integer")) return atInteger;
  if (typeText == QLatin1String("float")) return atFloat;
  if (typeText == QLatin1String("date")) return atDate;
  if (typeText.startsWith(QLatin1String("code:"))) return atCode;
  if (typeText.startsWith(QLatin1String("object:"))) return atObject;
  if (typeText == QLatin1String("text")) return atText;
  if (typeText == QLatin1String("blob")) return atBlob;
  return atString;
}

TDFLDheader* TDRecordHeader::AddField(const QString& name, const QString& caption, int maxLength,
                                      const QString& typeText) {
  if (TDFLDheader* existing = FieldDefinition(name)) return existing;
  auto def = std::make_unique<TDFLDheader>();
  def->Name = name;
  def->Caption = caption;
  def->MaxLength = maxLength;
  def->TypeText = typeText;
  def->TypeCode = TypeCodeOf(typeText);
  const QString target = typeText.section(':', 1);
  if (def->TypeCode == atCode && App().RBManager) def->RefBook = App().RBManager->FindBook(target);
  if (def->TypeCode == atObject && ClassResolver) def->RefClass = ClassResolver("objects." + target);
  Fields.push_back(std::move(def));
  return Fields.back().get();
}

TDFLDheader* TDRecordHeader::FieldDefinition(const QString& name) const {
  const int index = IndexOf(name);
  return index < 0 ? nullptr : Fields[index].get();
}

int TDRecordHeader::IndexOf(const QString& name) const {
  for (size_t i = 0; i < Fields.size(); ++i)
    if (Fields[i]->Name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
  return -1;
}

void TDFLD::SetValue(const QVariant& value) {
  const std::optional<QVariant> candidate = Convert(*Definition, value, Value);
  if (!candidate || SameValue(*candidate, Value)) return;
  Value = *candidate;
  Modified = true;
  Changed = true;
}

QString TDFLD::AsText() const {
  if (IsNull()) return {};
  const QString& type = Definition->TypeText;
  if (type == QLatin1String("integer")) return QString::number(Value.toInt());
  if (type == QLatin1String("float")) return FloatFieldText(Value.toDouble());
  if (type == QLatin1String("date")) return FormatShortDate(Value.toDateTime().date());
  if (Definition->RefBook) {
    const TRBItem* item = Definition->RefBook->ItemByCode(Value.toInt());
    return item ? item->Caption : QString();
  }
  if (Definition->RefClass) return Definition->RefClass->ObjectCaption(Value.toString()).value_or(QString());
  return Value.toString();
}

TDRecord::TDRecord(TDRecordHeader* header) : Header(header) { SyncWithHeader(); }

void TDRecord::SyncWithHeader() {
  for (size_t i = Values.size(); i < Header->Fields.size(); ++i)
    Values.push_back(std::make_unique<TDFLD>(Header->Fields[i].get()));
}

TDFLD* TDRecord::FieldByName(const QString& name) const {
  const int index = Header->IndexOf(name);
  return (index < 0 || index >= static_cast<int>(Values.size())) ? nullptr : Values[index].get();
}

bool TDRecord::IsModified() const {
  for (const auto& field : Values)
    if (field->Modified) return true;
  return false;
}

void TDRecord::SetModified(bool flag) {
  for (const auto& field : Values) field->Modified = flag;
}

void TDRecord::ResetValues(bool flag) {
  for (const auto& field : Values) {
    field->SetValue(QVariant());
    field->Modified = flag;
  }
}

QString FloatFieldText(double value) { return QString::asprintf("%5.2f", value); }

std::optional<double> ParseLocalFloat(const QString& text) {
  QString t = text.trimmed();
  t.replace(',', '.');
  bool ok = false;
  const double value = t.toDouble(&ok);
  return ok ? std::optional<double>(value) : std::nullopt;
}
