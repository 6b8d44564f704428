#pragma once
#include <QString>
#include <memory>

// A configuration value backed by a store: read when the object is made,
// written back when it goes away.
//
// C++ does not dispatch virtual calls from a base constructor or destructor to
// the derived class, so the most-derived class runs the life cycle itself:
// ReadFromStore() at the end of its constructor, WriteBackToStore() at the
// start of its destructor.
class TDefaultValue {
 public:
  TDefaultValue();
  virtual ~TDefaultValue();
  TDefaultValue(const TDefaultValue&) = delete;
  TDefaultValue& operator=(const TDefaultValue&) = delete;

  bool SaveOnDestroy = true;

  virtual void Open() {}
  virtual void Close() {}
  virtual void Load() {}
  virtual void Save() {}

 protected:
  // Open, Load, Close; errors reach the creator.
  void ReadFromStore();
  // When SaveOnDestroy: Open, Save, Close under one guard that swallows any
  // error (a failing step skips the ones after it).  Runs at most once.
  void WriteBackToStore() noexcept;

 private:
  bool WrittenBack = false;
};

class TIniFile;

// A value kept in an INI file.  IniFile exists only between Open and Close.
class TDefaultIniValue : public TDefaultValue {
 public:
  explicit TDefaultIniValue(const QString& fileName);
  ~TDefaultIniValue() override;

  QString FileName;
  std::unique_ptr<TIniFile> IniFile;

  void Open() override;
  void Close() override;
};
