#pragma once
#include <QString>
#include <memory>

// An INI file with the Windows profile-file semantics the settings rely on:
// section and key names ignore letter case, a value is trimmed and loses one
// pair of enclosing quotes, a key present with an empty value reads as empty
// (not as the default), and writing keeps every other section, key and
// comment.  A missing or unreadable file reads as empty; nothing is created
// until UpdateFile writes something.
//
// The file may be UTF-8 or, when it is not valid UTF-8, windows-1251 (a file
// carried over from Windows); it is written back in the same encoding.
class TIniFile {
 public:
  explicit TIniFile(const QString& fileName);
  ~TIniFile();

  QString FileName() const { return Name; }

  QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
  // Decimal or hexadecimal ("$1F", "0x1F") integer text; anything else gives the default.
  int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
  // "0" is false, any other integer is true, non-numeric text gives the default.
  bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;

  void WriteString(const QString& section, const QString& key, const QString& value);
  void WriteInteger(const QString& section, const QString& key, int value);
  void WriteBool(const QString& section, const QString& key, bool value);  // "1" or "0"

  bool Modified() const { return Dirty; }
  // Writes the file when something was written; throws std::runtime_error on failure.
  void UpdateFile();

 private:
  struct TData;
  std::unique_ptr<TData> D;
  QString Name;
  bool Win1251 = false;
  bool Dirty = false;

  QByteArray Encode(const QString& text) const;
  QString Decode(const char* bytes) const;
};
