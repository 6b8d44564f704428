#include "store/uIniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#define SI_NO_CONVERSION  // bytes as stored; the encoding is handled here
#define SI_IMPLEMENTATION  // header-only use of the Debian SimpleIni
#include <SimpleIni.h>
#include <stdexcept>

#include "platform/uCodec.h"

struct TIniFile::TData {
  CSimpleIniA Ini{false, false, false};
};

TIniFile::TIniFile(const QString& fileName) : D(std::make_unique<TData>()), Name(fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return;  // missing or unreadable: empty
  const QByteArray bytes = file.readAll();
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString asUtf8 = utf8(bytes);
  Win1251 = utf8.hasError();
  D->Ini.LoadData(bytes.constData(), static_cast<size_t>(bytes.size()));
}

TIniFile::~TIniFile() = default;

QByteArray TIniFile::Encode(const QString& text) const { return Win1251 ? Win1251Encode(text) : text.toUtf8(); }

QString TIniFile::Decode(const char* bytes) const {
  return Win1251 ? Win1251Decode(QByteArray(bytes)) : QString::fromUtf8(bytes);
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
  const char* raw = D->Ini.GetValue(Encode(section).constData(), Encode(key).constData(), nullptr);
  if (!raw) return defaultValue;
  QString value = Decode(raw).trimmed();
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.mid(1, value.size() - 2);
  return value;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
  QString text = ReadString(section, key, QString());
  bool negative = false;
  if (text.startsWith('-') || text.startsWith('+')) {
    negative = text.startsWith('-');
    text.remove(0, 1);
  }
  int base = 10;
  if (text.startsWith('$')) {
    text.remove(0, 1);
    base = 16;
  } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) && text.size() > 2) {
    text.remove(0, 2);
    base = 16;
  }
  if (text.isEmpty() || text.front() == '-' || text.front() == '+') return defaultValue;
  bool ok = false;
  const qint64 value = text.toLongLong(&ok, base);
  if (!ok) return defaultValue;
  const qint64 signedValue = negative ? -value : value;
  if (signedValue < INT32_MIN || signedValue > INT32_MAX) return defaultValue;
  return static_cast<int>(signedValue);
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  if (D->Ini.SetValue(Encode(section).constData(), Encode(key).constData(), Encode(value).constData()) < 0)
    throw std::runtime_error("cannot store an INI value");
  Dirty = true;
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
  WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
  WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::UpdateFile() {
  if (!Dirty) return;
  std::string text;
  if (D->Ini.Save(text, false) < 0) throw std::runtime_error("cannot format the INI file");
  QSaveFile file(Name);
  if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
      !file.commit())
    throw std::runtime_error(("cannot write " + Name).toStdString());
  Dirty = false;
}
