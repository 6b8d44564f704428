#include "exchange/uExchangePackages.h"

#include "catalogue/uStringRoutines.h"
#include "exchange/uExchangeXml.h"
#include "platform/uCodec.h"

namespace {
const QString kHeader = QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n");

// Names and identifiers are plain identifiers; escaping them changes nothing
// for those and keeps the document well-formed for anything else.
QString Q(const QString& text) { return XmlEscape(text); }

void WriteObject(QString& out, const TPackageObject& object) {
  out += "\n\t\t<item name=\"" + Q(object.Name) + "\" class=\"" + Q(object.ClassName) + "\">";
  for (const TPackageAttribute& a : object.Attributes)
    out += "\n\t\t\t<attribute name=\"" + Q(a.Name) + "\" " + "caption=\"" + Q(a.Caption) + "\" type=\"" + Q(a.Type) +
           "\" " + "value=\"" + Q(a.Value) + "\" valuetitle=\"" + Q(a.ValueTitle) + "\"/>";
  out += QStringLiteral("\n\t\t</item>");
}

void WriteValues(QString& out, const TFormDataPackage& package) {
  if (package.PeriodId.isEmpty()) return;
  for (const TPackageValue& v : package.Values) {
    if (v.Value.isEmpty()) continue;
    out += "\n\t\t\t<item i=\"" + Q(v.Indicator) + "\" o=\"" + Q(v.Object) + "\" p=\"" + Q(package.PeriodId) +
           "\" dk=\"" + QString::number(v.DataKind) + "\" v=\"" + Q(v.Value) + "\"/>";
  }
}

TPackageObject ReadObject(xmlNodePtr item) {
  TPackageObject object{ExAttr(item, "name"), ExAttr(item, "class"), {}};
  for (xmlNodePtr a : ExElements(item, "attribute"))
    object.Attributes.push_back({ExAttr(a, "name"), ExAttr(a, "caption"), ExAttr(a, "type"), ExAttr(a, "value"),
                                 ExAttr(a, "valuetitle")});
  return object;
}

TPackageValue ReadValue(xmlNodePtr item) {
  bool ok = false;
  const int kind = ExAttr(item, "dk").toInt(&ok);
  return {ExAttr(item, "i"), ExAttr(item, "o"), ExAttr(item, "p"), ok ? kind : -1, ExAttr(item, "v")};
}

TServiceItem ReadItem(xmlNodePtr item) {
  TServiceItem out{ExAttr(item, "name"), ExAttr(item, "class"), {}};
  for (xmlNodePtr a : ExElements(item, "attribute")) out.Attributes.emplace_back(ExAttr(a, "name"), ExAttr(a, "value"));
  return out;
}

// Top-level "root": the document element when it is so named.
xmlNodePtr TopRoot(const TExchangeXml& doc) {
  xmlNodePtr root = doc.Root();
  return ExIsNamed(root, "root") ? root : nullptr;
}

template <class T, class F>
TServiceList<T> ReadList(const QByteArray& body, F convert) {
  TServiceList<T> list;
  const TExchangeXml doc = TExchangeXml::TryParse(body);
  list.HasDocument = doc.Root() != nullptr;
  list.IsRoot = ExIsNamed(doc.Root(), "root");
  if (!list.IsRoot) return list;
  for (xmlNodePtr item : ExElements(doc.Root(), "item")) list.Items.push_back(convert(item));
  return list;
}
}  // namespace

QString TServiceItem::Value(const QString& name) const {
  QString found;  // read in order, so a repeated name ends with its last value
  for (const auto& [key, value] : Attributes)
    if (key == name) found = value;
  return found;
}

QString FormDataPackageText(const TFormDataPackage& package) {
  QString out = kHeader + "<root pid=\"" + Q(package.ProcessId) + "\" formid=\"" + Q(package.FormId) +
                "\" objectid=\"" + Q(package.ObjectId) + "\" periodid=\"" + Q(package.PeriodId) + "\">";
  out += QStringLiteral("\n\t<objects>");
  for (const TPackageObject& object : package.Objects) WriteObject(out, object);
  out += QStringLiteral("\n\t</objects>\n\t<data>");
  WriteValues(out, package);
  out += QStringLiteral("\n\t</data>\n\t<relations>");
  for (const TPackageRelation& r : package.Relations)
    out += "\n\t\t<item relation=\"" + Q(r.Relation) + "\" aobject=\"" + Q(r.AObject) + "\" bobject=\"" +
           Q(r.BObject) + "\"/>";
  out += QStringLiteral("\n\t</relations>\n</root>");
  return out;
}

QByteArray WriteFormDataPackage(const TFormDataPackage& package) { return Win1251Encode(FormDataPackageText(package)); }

std::vector<TPackageRelation> FormRelations(const std::vector<TPackageObject>& objects, const QString& relation) {
  std::vector<TPackageRelation> out;
  for (size_t i = 1; i < objects.size(); ++i) out.push_back({relation, objects[i].Name, objects[0].Name});
  return out;
}

QByteArray BlankSchoolTitle(QByteArray raw) {
  const qsizetype start = raw.indexOf("<attribute name=\"school\"");
  if (start < 0) return raw;
  const qsizetype close = raw.indexOf("/>", start);
  if (close < 0) return raw;
  const qsizetype title = raw.indexOf("valuetitle=\"", start);
  if (title < 0 || title >= close) return raw;
  for (qsizetype i = title; i < close; ++i) raw[i] = ' ';
  return raw;
}

std::optional<TFormDataPackage> ReadFormDataPackage(const QByteArray& raw) {
  const TExchangeXml doc = TExchangeXml::TryParse(BlankSchoolTitle(raw));
  xmlNodePtr root = TopRoot(doc);
  if (!root) return std::nullopt;
  TFormDataPackage package{ExAttr(root, "pid"), ExAttr(root, "formid"), ExAttr(root, "objectid"),
                           ExAttr(root, "periodid"), {}, {}, {}};
  for (xmlNodePtr section : ExElements(root)) {
    if (ExIsNamed(section, "objects")) {
      for (xmlNodePtr item : ExElements(section, "item")) package.Objects.push_back(ReadObject(item));
    } else if (ExIsNamed(section, "data")) {
      for (xmlNodePtr item : ExElements(section, "item")) package.Values.push_back(ReadValue(item));
    } else if (ExIsNamed(section, "relations")) {
      for (xmlNodePtr item : ExElements(section, "item"))
        package.Relations.push_back({ExAttr(item, "relation"), ExAttr(item, "aobject"), ExAttr(item, "bobject")});
    }
  }
  return package;
}

bool ReadOkAnswer(const QByteArray& body) {
  const TExchangeXml doc = TExchangeXml::Parse(body);
  xmlNodePtr root = TopRoot(doc);
  return root && ExText(root) == QLatin1String("OK");
}

bool ReadServiceAnswer(const QByteArray& body) { return TopRoot(TExchangeXml::Parse(body)) != nullptr; }

std::optional<TServiceItem> ReadSchoolInfo(const QByteArray& body) {
  const TExchangeXml doc = TExchangeXml::TryParse(body);
  const std::vector<xmlNodePtr> items = ExElements(TopRoot(doc), "item");
  if (items.empty()) return std::nullopt;
  return ReadItem(items.front());
}

TServiceList<TServiceItem> ReadServiceItems(const QByteArray& body) { return ReadList<TServiceItem>(body, ReadItem); }

TServiceList<TCLSItem> ReadClassesList(const QByteArray& body) {
  return ReadList<TCLSItem>(body, [](xmlNodePtr node) {
    const TServiceItem item = ReadItem(node);
    return TCLSItem{item.Name, item.Value("code"), item.Value("caption"), item.Value("school"),
                    item.Value("teachercode")};
  });
}

TServiceList<TTSDItem> ReadPupilsList(const QByteArray& body) {
  return ReadList<TTSDItem>(body, [](xmlNodePtr node) {
    const TServiceItem item = ReadItem(node);
    return TTSDItem{item.Name,          item.Value("idx"),           item.Value("code"),         item.Value("caption"),
                    item.Value("sex"), item.Value("month_of_birth"), item.Value("year_of_birth")};
  });
}

TServiceList<TFormState> ReadFormStates(const QByteArray& body) {
  return ReadList<TFormState>(body, [](xmlNodePtr node) {
    const bool loaded = ExAttr(node, "state") == QLatin1String("1");
    return TFormState{ExAttr(node, "formid"), loaded, loaded ? ExAttr(node, "update") : QString()};
  });
}
