#include "platform/uResources.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <stdexcept>

#include "platform/uCodec.h"

static void InitTextResources() { Q_INIT_RESOURCE(talvex_text); }

namespace {

const char* const kResourceRoot = ":/text";

// Upper-cased name -> path in the Qt resource tree, built once.
const QHash<QString, QString>& ResourceIndex() {
  static const QHash<QString, QString> index = [] {
    InitTextResources();
    QHash<QString, QString> map;
    const QDir root(kResourceRoot);
    for (const QString& entry : root.entryList(QDir::Files)) map.insert(entry.toUpper(), root.filePath(entry));
    return map;
  }();
  return index;
}

}  // namespace

bool HasTextResource(const QString& name) { return ResourceIndex().contains(name.toUpper()); }

QStringList TextResourceNames() {
  QStringList names;
  for (const QString& path : ResourceIndex()) names << QFileInfo(path).fileName();
  names.sort();
  return names;
}

QByteArray LoadTextResource(const QString& name) {
  const auto it = ResourceIndex().constFind(name.toUpper());
  if (it == ResourceIndex().constEnd())
    throw std::runtime_error(("Ресурс не найден: " + name).toStdString());
  QFile file(*it);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error(("Не удалось прочитать ресурс: " + name).toStdString());
  QByteArray bytes = file.readAll();
  const qsizetype zero = bytes.indexOf('\0');
  if (zero >= 0) bytes.truncate(zero);
  return bytes;
}

QString LoadTextResourceString(const QString& name) { return Win1251Decode(LoadTextResource(name)); }

QString ResourceNameOf(const QString& path) {
  QString name = path;
  name.replace('\\', '_');
  name.replace('.', '_');
  return name;
}
