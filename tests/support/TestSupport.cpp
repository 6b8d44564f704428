#include "TestSupport.h"

#include <QFile>
#include <stdexcept>

TTempFolder::TTempFolder() {
  if (!Dir.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

QByteArray ReadFileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error(("cannot read " + path).toStdString());
  return file.readAll();
}

void WriteFileBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error(("cannot write " + path).toStdString());
  file.write(bytes);
}

#include <QDir>
#include <QWidget>

void SaveScreenshot(QWidget* widget, const QString& name) {
  const QString dir = qEnvironmentVariable("TALVEX_SCREENSHOTS");
  if (dir.isEmpty()) return;
  QDir().mkpath(dir);
  widget->grab().save(QDir(dir).filePath(name + ".png"));
}
