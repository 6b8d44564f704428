#include "catalogue/uObjsManager.h"

#include "catalogue/uStringRoutines.h"
#include "platform/uErrors.h"
#include "platform/uSystem.h"
#include "platform/uXml.h"

// ---- TDObject ---------------------------------------------------------------

TDObject::TDObject(TMClass* metaClass, int id, const QString& name)
    : TDRecord(&metaClass->Header), Id(id), Name(name), MetaClass(metaClass) {}

void TDObject::ReloadFromStore() { MetaClass->ReloadObject(this); }

void TDObject::Store() {
  if (MetaClass->Manager->OnStoreObject) MetaClass->Manager->OnStoreObject(this);
}

QString TDObject::Text(const QString& attribute) const {
  const TDFLD* field = FieldByName(attribute);
  return field ? field->AsText() : QString();
}

// ---- TMClass ----------------------------------------------------------------

TMClass::TMClass(TObjsManager* manager, const QString& className) : Manager(manager), ClassName(className) {}

TDObject* TMClass::Register(int id, const QString& name) {
  auto object = std::make_unique<TDObject>(this, id, name);
  TDObject* added = object.get();
  ById[id] = std::move(object);
  ByName[name] = added;
  return added;
}

TDObject* TMClass::GetOrCreate(int id, const QString& name) {
  if (id <= 0) return nullptr;
  if (TDObject* existing = FindById(id)) return existing;
  return Register(id, name);
}

TDObject* TMClass::FindById(int id) const {
  const auto it = ById.find(id);
  return it == ById.end() ? nullptr : it->second.get();
}

TDObject* TMClass::FindByName(const QString& name) const {
  const auto it = ByName.find(name);
  return it == ByName.end() ? nullptr : it->second;
}

TDObject* TMClass::NewObject(const QString& name) {
  const QString objectName = name.isEmpty() ? TObjsManager::NewGuidName() : name;
  if (!Manager->OnNewObject) return nullptr;
  const int id = Manager->OnNewObject(this, objectName);
  if (id <= 0) return nullptr;
  if (TDObject* existing = FindById(id)) return existing;  // a revived object we already hold
  return Register(id, objectName);
}

void TMClass::DeleteObject(TDObject* object) {
  if (!object) return;
  if (Manager->OnDeleteObject) Manager->OnDeleteObject(object);
  ByName.erase(object->Name);
  ById.erase(object->Id);
}

void TMClass::ListObjects() {
  if (Manager->OnListObjects) Manager->OnListObjects(this);
}

void TMClass::LoadAttributes(const QStringList& names) {
  if (!Manager->OnLoadAttributes) return;
  std::vector<int> ids;
  ids.reserve(ById.size());
  for (const auto& [id, object] : ById) ids.push_back(id);
  Manager->OnLoadAttributes(this, ids, names);
}

void TMClass::LoadAllAttributes() {
  QStringList names;
  for (const auto& def : Header.Fields) names << def->Name;
  LoadAttributes(names);
}

void TMClass::ReloadObject(TDObject* object) {
  if (!object) return;
  if (Manager->OnLoadAttributes) {
    QStringList names;
    for (const auto& def : Header.Fields) names << def->Name;
    Manager->OnLoadAttributes(this, {object->Id}, names);
  }
  object->SetModified(false);
}

void TMClass::FillTexts(const QString& attribute, QStringList& texts, std::vector<TDObject*>* objects) const {
  texts.clear();
  if (objects) objects->clear();
  for (const auto& [id, object] : ById) {
    texts << object->Text(attribute);
    if (objects) objects->push_back(object.get());
  }
}

std::vector<TDObject*> TMClass::Objects() const {
  std::vector<TDObject*> list;
  list.reserve(ById.size());
  for (const auto& [id, object] : ById) list.push_back(object.get());
  return list;
}

void TMClass::Clear() {
  ByName.clear();
  ById.clear();
}

std::optional<QString> TMClass::ResolveReference(const QString& text) const {
  bool isNumber = false;
  const int id = text.toInt(&isNumber, 10);
  if (isNumber) {
    const TDObject* object = FindById(id);
    return object ? std::optional<QString>(object->Name) : std::nullopt;
  }
  if (FindByName(text)) return text;
  const QString wanted = LowerCaseRu(text);
  for (const auto& [objectId, object] : ById)
    if (LowerCaseRu(object->Text(QStringLiteral("caption"))) == wanted) return object->Name;
  return std::nullopt;
}

std::optional<QString> TMClass::ObjectCaption(const QString& name) const {
  const TDObject* object = FindByName(name);
  if (!object) return std::nullopt;
  const TDFLD* caption = object->FieldByName(QStringLiteral("caption"));
  return caption ? caption->AsText() : QStringLiteral(" - ");
}

// ---- TObjsManager -----------------------------------------------------------

TObjsManager::TObjsManager() {
  TDRecordHeader::ClassResolver = [this](const QString& name) -> IRefClass* { return FindClass(name); };
}

TObjsManager::~TObjsManager() { TDRecordHeader::ClassResolver = nullptr; }

void TObjsManager::LoadMetaClasses(const TXmlElement& root) {
  for (const TXmlElement& section : root.Children("meta-classes")) {
    for (const TXmlElement& item : section.Children("item")) {
      const QString className = item.Attribute("class");
      if (FindClass(className)) continue;  // the first definition wins
      auto metaClass = std::make_unique<TMClass>(this, className);
      metaClass->Caption = item.Attribute("caption");
      for (const TXmlElement& attribute : item.Children("attribute")) {
        bool ok = false;
        const int maxLength = attribute.Attribute("maxlength").toInt(&ok, 10);
        metaClass->Header.AddField(attribute.Attribute("name"), attribute.Attribute("caption"), ok ? maxLength : 0,
                                   attribute.Attribute("type"));
      }
      Classes[className] = std::move(metaClass);
    }
  }
  LinkObjectReferences();
}

// An "object:" attribute may name a class defined further down the document.
void TObjsManager::LinkObjectReferences() {
  for (const auto& [name, metaClass] : Classes)
    for (const auto& def : metaClass->Header.Fields)
      if (def->TypeCode == atObject && !def->RefClass)
        def->RefClass = FindClass("objects." + def->TypeText.section(':', 1));
}

TDObject* TObjsManager::FindOrCreate(TMClass* metaClass, const QString& name) {
  if (TDObject* existing = metaClass->FindByName(name)) return existing;
  if (!OnNewObject) return nullptr;
  const int id = OnNewObject(metaClass, name);
  return id > 0 ? metaClass->GetOrCreate(id, name) : nullptr;
}

void TObjsManager::LoadIndicators(const TXmlElement& root) {
  TMClass* indicators = FindClass(QStringLiteral("objects.Indicator"));
  if (!indicators) return;
  for (const TXmlElement& section : root.Children("indicators")) {
    for (const TXmlElement& item : section.Children("item")) {
      TDObject* indicator = FindOrCreate(indicators, item.Attribute("name"));
      if (!indicator) continue;
      const auto set = [indicator](const char* field, const QVariant& value) {
        if (TDFLD* f = indicator->FieldByName(field)) f->SetValue(value);
      };
      set("code", item.Attribute("name"));
      set("caption", item.Attribute("caption"));
      set("type", item.Attribute("type"));
      const QString okei = item.Attribute("okei");
      if (!okei.isEmpty()) {
        bool ok = false;
        const int code = okei.toInt(&ok, 10);
        if (!ok) throw EAppError(QStringLiteral("\"%1\" is not a valid integer value").arg(okei));
        set("okey", code);
      }
      if (indicator->IsModified()) indicator->Store();
    }
  }
}

void TObjsManager::LoadDisplayHeaders(const TXmlElement& root) {
  for (const TXmlElement& section : root.Children("displayheaders")) {
    for (const TXmlElement& item : section.Children("item")) {
      TMClass* metaClass = FindClass(item.Attribute("class"));
      if (!metaClass) continue;
      for (const TXmlElement& attribute : item.Children("attribute")) {
        const QString name = attribute.Attribute("name");
        if (!metaClass->FieldDefinition(name)) continue;
        const QString widthText = attribute.Attribute("width");
        bool ok = false;
        const int width = widthText.toInt(&ok, 10);
        metaClass->DisplayHeaders.push_back({name, attribute.Attribute("caption"),
                                             widthText.isEmpty() ? 50 : (ok ? width : 70)});
      }
    }
  }
}

void TObjsManager::LoadInitObjectItems(const TXmlElement& root, const QString* schoolId) {
  for (const TXmlElement& section : root.Children("initobjects")) {
    for (const TXmlElement& classElement : section.Children("class")) {
      TMClass* metaClass = FindClass(classElement.Attribute("name"));
      if (!metaClass) continue;
      for (const TXmlElement& item : classElement.Children("item")) {
        const QString name = item.Attribute("name");
        if (schoolId && !name.contains(*schoolId)) continue;
        TDObject* object = FindOrCreate(metaClass, name);
        if (!object) continue;
        for (const TXmlElement& attribute : item.Children("attribute")) {
          TDFLD* field = object->FieldByName(attribute.Attribute("name"));
          const QString value = attribute.Attribute("value");
          if (field && !value.isEmpty()) field->SetValue(value);
        }
        if (object->IsModified()) object->Store();
      }
    }
  }
}

void TObjsManager::LoadInitObjects(const TXmlElement& root) { LoadInitObjectItems(root, nullptr); }

void TObjsManager::LoadInitObjectsFor(const TXmlElement& root, const QString& schoolId) {
  LoadInitObjectItems(root, &schoolId);
}

void TObjsManager::LoadAll() {
  for (const auto& [name, metaClass] : Classes) metaClass->ListObjects();
  for (const auto& [name, metaClass] : Classes) metaClass->LoadAllAttributes();
}

TMClass* TObjsManager::FindClass(const QString& className) const {
  const auto it = Classes.find(className);
  return it == Classes.end() ? nullptr : it->second.get();
}

TDObject* TObjsManager::FindObjectById(int id) const {
  for (const auto& [name, metaClass] : Classes)
    if (TDObject* object = metaClass->FindById(id)) return object;
  return nullptr;
}

TDObject* TObjsManager::FindObjectByName(const QString& objectName) const {
  for (const auto& [name, metaClass] : Classes)
    if (TDObject* object = metaClass->FindByName(objectName)) return object;
  return nullptr;
}

QString TObjsManager::NewGuidName() { return NewGuidText(); }

TDObject* TObjsManager::NewObjectWithGuid(TMClass* metaClass) {
  if (!metaClass || !OnNewObject) return nullptr;
  const QString name = NewGuidName();
  const int id = OnNewObject(metaClass, name);
  return id >= 1 ? metaClass->GetOrCreate(id, name) : nullptr;
}

TDObject* TObjsManager::ObjectFromXml(const TXmlElement& item) {
  if (!item || item.Name() != QLatin1String("item")) return nullptr;
  TMClass* metaClass = FindClass(item.Attribute("class"));
  if (!metaClass) return nullptr;
  const QString name = item.Attribute("name");
  TDObject* object = metaClass->FindByName(name);
  if (!object) object = metaClass->NewObject(name);
  if (!object) return nullptr;
  for (const TXmlElement& attribute : item.Children("attribute")) {
    TDFLD* field = object->FieldByName(attribute.Attribute("name"));
    if (!field) continue;
    field->SetValue(attribute.Attribute("value"));
    if (field->Value.typeId() == QMetaType::QString && field->Value.toString().isEmpty()) field->SetValue(QVariant());
  }
  object->Store();
  return object;
}
