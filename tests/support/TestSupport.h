#pragma once
#include <QString>
#include <QTemporaryDir>

// A fresh folder for one test, removed afterwards; Path() ends with "/".
class TTempFolder {
 public:
  TTempFolder();
  QString Path() const { return Dir.path() + '/'; }
  QString File(const QString& name) const { return Dir.filePath(name); }

 private:
  QTemporaryDir Dir;
};

// Reads and writes whole files (bytes).
QByteArray ReadFileBytes(const QString& path);
void WriteFileBytes(const QString& path, const QByteArray& bytes);
