#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "catalogue/uDataRecord.h"

class TXmlElement;
class TObjsManager;
class TMClass;

// A column with which a class is displayed.
struct TViewHeaderItem {
  QString AttributeName;
  QString Caption;
  int Width = 50;
};

// A domain object: a typed record of its class's attributes, with the
// database identifier and its unique name.
class TDObject : public TDRecord {
 public:
  TDObject(TMClass* metaClass, int id, const QString& name);

  int Id;
  QString Name;
  TMClass* MetaClass;

  void ReloadFromStore();
  void Store();
  // The display text of one attribute ("" when the class lacks it).
  QString Text(const QString& attribute) const;
};

// A meta-class ("objects.EduClass") with its attribute definitions and the
// objects of it loaded from the store.
class TMClass : public IRefClass {
 public:
  TMClass(TObjsManager* manager, const QString& className);

  TObjsManager* Manager;
  QString ClassName;
  QString Caption;
  std::map<int, std::unique_ptr<TDObject>> ById;
  std::map<QString, TDObject*> ByName;
  TDRecordHeader Header;
  std::vector<TViewHeaderItem> DisplayHeaders;

  TDObject* GetOrCreate(int id, const QString& name);
  TDObject* FindById(int id) const;
  TDObject* FindByName(const QString& name) const;
  TDObject* NewObject(const QString& name = QString());
  void DeleteObject(TDObject* object);
  void ListObjects();
  void LoadAttributes(const QStringList& names);
  void LoadAllAttributes();
  void ReloadObject(TDObject* object);
  TDFLDheader* FieldDefinition(const QString& name) const { return Header.FieldDefinition(name); }
  // The display text of one attribute of every object, identifier order.
  void FillTexts(const QString& attribute, QStringList& texts, std::vector<TDObject*>* objects = nullptr) const;
  std::vector<TDObject*> Objects() const;  // identifier order
  void Clear();

  std::optional<QString> ResolveReference(const QString& text) const override;
  std::optional<QString> ObjectCaption(const QString& name) const override;

 private:
  TDObject* Register(int id, const QString& name);
};

// The meta-classes of the current process and their objects.  It knows no
// SQL: the store reaches it through the five hooks it installs.
class TObjsManager {
 public:
  TObjsManager();
  ~TObjsManager();

  std::map<QString, std::unique_ptr<TMClass>> Classes;  // by class name

  std::function<void(TDObject*)> OnDeleteObject;
  std::function<void(TMClass*)> OnListObjects;
  std::function<int(TMClass*, const QString& name)> OnNewObject;
  std::function<void(TMClass*, const std::vector<int>& ids, const QStringList& names)> OnLoadAttributes;
  std::function<void(TDObject*)> OnStoreObject;

  void LoadMetaClasses(const TXmlElement& root);
  void LoadIndicators(const TXmlElement& root);
  void LoadDisplayHeaders(const TXmlElement& root);
  void LoadInitObjects(const TXmlElement& root);
  void LoadInitObjectsFor(const TXmlElement& root, const QString& schoolId);
  void LoadAll();

  TMClass* FindClass(const QString& className) const;
  TDObject* FindObjectById(int id) const;
  TDObject* FindObjectByName(const QString& name) const;
  static QString NewGuidName();
  TDObject* NewObjectWithGuid(TMClass* metaClass);
  // Creates or updates the object an "item" element describes, and stores it.
  TDObject* ObjectFromXml(const TXmlElement& item);

 private:
  void LinkObjectReferences();
  TDObject* FindOrCreate(TMClass* metaClass, const QString& name);
  void LoadInitObjectItems(const TXmlElement& root, const QString* schoolId);
};
