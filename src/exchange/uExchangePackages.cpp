#include "exchange/uExchangePackages.h"

#include "catalogue/uStringRoutines.h"
#include "platform/uCodec.h"
#include "platform/uXml.h"

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

TPackageObject ReadObject(const TXmlElement& item) {
  TPackageObject object{item.Attribute("name"), item.Attribute("class"), {}};
  for (const TXmlElement& a : item.Children("attribute"))
    object.Attributes.push_back({a.Attribute("name"), a.Attribute("caption"), a.Attribute("type"),
                                 a.Attribute("value"), a.Attribute("valuetitle")});
  return object;
}

TPackageValue ReadValue(const TXmlElement& item) {
  bool ok = false;
  const int kind = item.Attribute("dk").toInt(&ok);
  return {item.Attribute("i"), item.Attribute("o"), item.Attribute("p"), ok ? kind : -1, item.Attribute("v")};
}

TServiceItem ReadItem(const TXmlElement& item) {
  TServiceItem out{item.Attribute("name"), item.Attribute("class"), {}};
  for (const TXmlElement& a : item.Children("attribute"))
    out.Attributes.emplace_back(a.Attribute("name"), a.Attribute("value"));
  return out;
}

// The document element; null for no document.
TXmlElement RootOf(const std::unique_ptr<TXmlDocument>& doc) { return doc ? doc->Root() : TXmlElement(); }

bool IsNamed(const TXmlElement& element, const char* name) { return element && element.Name() == QLatin1String(name); }

// Top-level "root": the document element when it is so named.
TXmlElement TopRoot(const std::unique_ptr<TXmlDocument>& doc) {
  const TXmlElement root = RootOf(doc);
  return IsNamed(root, "root") ? root : TXmlElement();
}

template <class T, class F>
TServiceList<T> ReadList(const QByteArray& body, F convert) {
  TServiceList<T> list;
  const auto doc = TXmlDocument::TryParse(body);
  const TXmlElement root = RootOf(doc);
  list.HasDocument = !root.IsNull();
  list.IsRoot = IsNamed(root, "root");
  if (!list.IsRoot) return list;
  for (const TXmlElement& item : root.Children("item")) list.Items.push_back(convert(item));
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
  const auto doc = TXmlDocument::TryParse(BlankSchoolTitle(raw));
  const TXmlElement root = TopRoot(doc);
  if (!root) return std::nullopt;
  TFormDataPackage package{root.Attribute("pid"), root.Attribute("formid"), root.Attribute("objectid"),
                           root.Attribute("periodid"), {}, {}, {}};
  for (const TXmlElement& section : root.Children()) {
    if (IsNamed(section, "objects")) {
      for (const TXmlElement& item : section.Children("item")) package.Objects.push_back(ReadObject(item));
    } else if (IsNamed(section, "data")) {
      for (const TXmlElement& item : section.Children("item")) package.Values.push_back(ReadValue(item));
    } else if (IsNamed(section, "relations")) {
      for (const TXmlElement& item : section.Children("item"))
        package.Relations.push_back({item.Attribute("relation"), item.Attribute("aobject"), item.Attribute("bobject")});
    }
  }
  return package;
}

bool ReadOkAnswer(const QByteArray& body) {
  const auto doc = TXmlDocument::Parse(body);
  const TXmlElement root = TopRoot(doc);
  return root && root.Text() == QLatin1String("OK");
}

bool ReadServiceAnswer(const QByteArray& body) {
  const auto doc = TXmlDocument::Parse(body);
  return !TopRoot(doc).IsNull();
}

std::optional<TServiceItem> ReadSchoolInfo(const QByteArray& body) {
  const auto doc = TXmlDocument::TryParse(body);
  const std::vector<TXmlElement> items = TopRoot(doc).Children("item");
  if (items.empty()) return std::nullopt;
  return ReadItem(items.front());
}

TServiceList<TServiceItem> ReadServiceItems(const QByteArray& body) { return ReadList<TServiceItem>(body, ReadItem); }

TServiceList<TCLSItem> ReadClassesList(const QByteArray& body) {
  return ReadList<TCLSItem>(body, [](const TXmlElement& node) {
    const TServiceItem item = ReadItem(node);
    return TCLSItem{item.Name, item.Value("code"), item.Value("caption"), item.Value("school"),
                    item.Value("teachercode")};
  });
}

TServiceList<TTSDItem> ReadPupilsList(const QByteArray& body) {
  return ReadList<TTSDItem>(body, [](const TXmlElement& node) {
    const TServiceItem item = ReadItem(node);
    return TTSDItem{item.Name,          item.Value("idx"),           item.Value("code"),         item.Value("caption"),
                    item.Value("sex"), item.Value("month_of_birth"), item.Value("year_of_birth")};
  });
}

TServiceList<TFormState> ReadFormStates(const QByteArray& body) {
  return ReadList<TFormState>(body, [](const TXmlElement& node) {
    const bool loaded = node.Attribute("state") == QLatin1String("1");
    return TFormState{node.Attribute("formid"), loaded, loaded ? node.Attribute("update") : QString()};
  });
}
