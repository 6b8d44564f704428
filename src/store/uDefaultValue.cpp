#include "store/uDefaultValue.h"

#include "store/uIniFile.h"

TDefaultValue::TDefaultValue() = default;

TDefaultValue::~TDefaultValue() = default;

void TDefaultValue::ReadFromStore() {
  Open();
  Load();
  Close();
}

void TDefaultValue::WriteBackToStore() noexcept {
  if (WrittenBack) return;
  WrittenBack = true;
  if (!SaveOnDestroy) return;
  try {
    Open();
    Save();
    Close();
  } catch (...) {
    // A settings file that cannot be written must not stop the program.
  }
}

TDefaultIniValue::TDefaultIniValue(const QString& fileName) : FileName(fileName) {}

TDefaultIniValue::~TDefaultIniValue() = default;

void TDefaultIniValue::Open() { IniFile = std::make_unique<TIniFile>(FileName); }

void TDefaultIniValue::Close() {
  if (!IniFile) return;
  std::unique_ptr<TIniFile> file = std::move(IniFile);
  file->UpdateFile();
}
