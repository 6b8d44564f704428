#pragma once
#include <QString>
#include <vector>

// Plain data of the documents exchanged with the central service and with
// archive files.  The form views and the store fill and consume these; the
// text forms live in uExchangePackages.

// One attribute of an object in a form data package.
struct TPackageAttribute {
  QString Name;
  QString Caption;
  QString Type;        // "string", "integer", "code:sex", "object:EduObject", ...
  QString Value;       // the value as text
  QString ValueTitle;  // the display text
};

struct TPackageObject {
  QString Name;       // IDNAME
  QString ClassName;  // "objects.EduStudent", ...
  std::vector<TPackageAttribute> Attributes;
};

// One indicator value ("data" item).
struct TPackageValue {
  QString Indicator;  // indicator object name
  QString Object;     // object name
  QString Period;     // period identifier
  int DataKind = 0;   // code of the "datakind" book; -1 when a read item had no number there
  QString Value;      // value text (decimal comma as written by the form views)
};

struct TPackageRelation {
  QString Relation;  // "is_student_of", ...
  QString AObject;
  QString BObject;
};

// One form's data: the class object first in Objects, then the pupils.
struct TFormDataPackage {
  QString ProcessId;  // "p_id1"
  QString FormId;     // "talv_02"
  QString ObjectId;   // the class object's name
  QString PeriodId;   // "month_2018_4"; empty when the form has no period
  std::vector<TPackageObject> Objects;
  std::vector<TPackageValue> Values;
  std::vector<TPackageRelation> Relations;
};

// An "item" of a service answer: a name, a class and name/value attributes.
struct TServiceItem {
  QString Name;
  QString ClassName;
  std::vector<std::pair<QString, QString>> Attributes;  // in document order
  // The value of the last attribute with that name; empty when absent.
  QString Value(const QString& name) const;
};

// One class from "getclsslist".
struct TCLSItem {
  QString Name, Code, Caption, School, TeacherCode;
};

// One pupil from "getstdslist".
struct TTSDItem {
  QString Name, Idx, Code, Caption, Sex, MonthOfBirth, YearOfBirth;
};

// One form from "getrdstates".
struct TFormState {
  QString FormId;
  bool Loaded = false;  // "state" was exactly "1"
  QString UpdateTime;   // the "update" text when loaded, empty otherwise
};

// A list answer: whether a document element exists at all, whether it is
// "root", and the items read from it.
template <class T>
struct TServiceList {
  bool HasDocument = false;
  bool IsRoot = false;
  std::vector<T> Items;
};
