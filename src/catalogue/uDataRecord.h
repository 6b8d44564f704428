#pragma once
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TRBook;

// The classes an "object:" field can point to.  Meta-classes implement it;
// this keeps typed records below the object definitions.
class IRefClass {
 public:
  virtual ~IRefClass() = default;
  // A typed text to an object name of this class, or none.
  virtual std::optional<QString> ResolveReference(const QString& text) const = 0;
  // The caption text of the named object, or none when there is no such object.
  virtual std::optional<QString> ObjectCaption(const QString& name) const = 0;
};

// Attribute type codes, in the order of their type texts.
enum TAttrType {
  atString = 0,
  atInteger = 1,
  atFloat = 2,
  atDate = 3,
  atCode = 4,
  atObject = 5,
  atText = 6,
  atBlob = 7
};

// "string", "integer", "float", "date", "code:<book>", "object:<class>", "text", "blob".
int TypeCodeOf(const QString& typeText);

class TDFLDheader {
 public:
  QString Name;
  QString Caption;
  QString TypeText;
  int MaxLength = 0;
  int TypeCode = atString;
  TRBook* RefBook = nullptr;
  IRefClass* RefClass = nullptr;
};

class TDRecordHeader {
 public:
  std::vector<std::unique_ptr<TDFLDheader>> Fields;

  // Adds a definition unless one of that name exists; links code fields to
  // their reference book and object fields to their class.
  TDFLDheader* AddField(const QString& name, const QString& caption, int maxLength, const QString& typeText);
  TDFLDheader* FieldDefinition(const QString& name) const;  // without regard to case
  int IndexOf(const QString& name) const;

  // Finds the class of "object:<name>" fields (installed by the object manager).
  static std::function<IRefClass*(const QString& className)> ClassResolver;
};

// One typed value.  Value is a null QVariant, a QString, an int, a double or
// a QDateTime.
class TDFLD {
 public:
  explicit TDFLD(TDFLDheader* definition) : Definition(definition) {}
  TDFLDheader* Definition;
  QVariant Value;
  bool Modified = false;
  bool Changed = false;

  // Converts to the field's type; changes and marks the field only when the
  // converted value differs.
  void SetValue(const QVariant& value);
  QString AsText() const;
  bool IsNull() const { return !Value.isValid() || Value.isNull(); }
};

class TDRecord {
 public:
  explicit TDRecord(TDRecordHeader* header);
  virtual ~TDRecord() = default;

  TDRecordHeader* Header;
  std::vector<std::unique_ptr<TDFLD>> Values;

  TDFLD* FieldByName(const QString& name) const;
  bool IsModified() const;
  void SetModified(bool flag);
  void ResetValues(bool flag);
  // Adds fields for definitions added to the header after this record was made.
  void SyncWithHeader();
};

// " 3.50": two decimals, point, at least 5 characters.
QString FloatFieldText(double value);
// A number typed by the operator: decimal comma or point; none if unreadable.
std::optional<double> ParseLocalFloat(const QString& text);
