#include "exchange/uExchangeArchive.h"

#include <archive.h>
#include <archive_entry.h>

#include <QDateTime>
#include <QFile>
#include <memory>

namespace {
struct TArchiveFree {
  void operator()(archive* a) const { archive_free(a); }
};
using TArchivePtr = std::unique_ptr<archive, TArchiveFree>;

struct TEntryFree {
  void operator()(archive_entry* e) const { archive_entry_free(e); }
};

la_ssize_t AppendToBuffer(archive*, void* client, const void* buffer, size_t length) {
  static_cast<QByteArray*>(client)->append(static_cast<const char*>(buffer), static_cast<qsizetype>(length));
  return static_cast<la_ssize_t>(length);
}

QString ErrorOf(archive* a) {
  const char* text = archive_error_string(a);
  return text ? QString::fromUtf8(text) : QStringLiteral("archive error");
}

void Check(archive* a, int status, const char* what) {
  if (status < ARCHIVE_WARN) throw EArchiveError(std::string(what) + ": " + ErrorOf(a).toStdString());
}

void AddEntry(archive* a, const QString& name, const QByteArray& data, time_t stamp) {
  std::unique_ptr<archive_entry, TEntryFree> entry(archive_entry_new());
  archive_entry_set_pathname_utf8(entry.get(), name.toUtf8().constData());
  archive_entry_set_filetype(entry.get(), AE_IFREG);
  archive_entry_set_perm(entry.get(), 0644);
  archive_entry_set_size(entry.get(), data.size());
  archive_entry_set_mtime(entry.get(), stamp, 0);
  Check(a, archive_write_header(a, entry.get()), "archive entry");
  if (!data.isEmpty() && archive_write_data(a, data.constData(), static_cast<size_t>(data.size())) != data.size())
    throw EArchiveError("archive data: " + ErrorOf(a).toStdString());
}

bool Fail(QString* error, const QString& text) {
  if (error) *error = text;
  return false;
}

bool ReadEntries(archive* a, const TArchiveEntryHandler& onEntry, QString* error, qint64 maxEntry) {
  archive_entry* entry = nullptr;
  for (;;) {
    const int status = archive_read_next_header(a, &entry);
    if (status == ARCHIVE_EOF) return true;
    if (status < ARCHIVE_WARN) return Fail(error, ErrorOf(a));
    if (archive_entry_filetype(entry) != AE_IFREG) continue;
    const char* utf8 = archive_entry_pathname_utf8(entry);
    const QString name = utf8 ? QString::fromUtf8(utf8) : QString::fromLocal8Bit(archive_entry_pathname(entry));
    QByteArray data;
    char buffer[64 * 1024];
    la_ssize_t got = 0;
    while ((got = archive_read_data(a, buffer, sizeof buffer)) > 0) {
      if (data.size() + got > maxEntry) return Fail(error, QStringLiteral("entry %1 is too large").arg(name));
      data.append(buffer, got);
    }
    if (got < 0) return Fail(error, ErrorOf(a));
    if (!onEntry(name, data)) return true;
  }
}
}  // namespace

QString ArchiveEntryName(int n) { return QStringLiteral("..\\Stream%1.xml").arg(n); }

QByteArray BuildExchangeArchive(const std::vector<QByteArray>& packages) {
  QByteArray out;
  TArchivePtr a(archive_write_new());
  if (!a) throw EArchiveError("archive writer unavailable");
  Check(a.get(), archive_write_set_format_7zip(a.get()), "7z format");
  Check(a.get(), archive_write_set_bytes_per_block(a.get(), 0), "archive block");
  Check(a.get(), archive_write_set_format_option(a.get(), "7zip", "compression", "lzma2"), "7z method");
  Check(a.get(), archive_write_open2(a.get(), &out, nullptr, AppendToBuffer, nullptr, nullptr), "archive open");
  const time_t stamp = static_cast<time_t>(QDateTime::currentSecsSinceEpoch());
  for (size_t n = 0; n < packages.size(); ++n) AddEntry(a.get(), ArchiveEntryName(static_cast<int>(n)), packages[n], stamp);
  Check(a.get(), archive_write_close(a.get()), "archive close");
  return out;
}

bool ReadExchangeArchive(const QByteArray& archive, const TArchiveEntryHandler& onEntry, QString* error,
                         qint64 maxEntry) {
  TArchivePtr a(archive_read_new());
  if (!a) return Fail(error, QStringLiteral("archive reader unavailable"));
  archive_read_support_format_7zip(a.get());
  if (archive_read_open_memory(a.get(), archive.constData(), static_cast<size_t>(archive.size())) != ARCHIVE_OK)
    return Fail(error, ErrorOf(a.get()));
  return ReadEntries(a.get(), onEntry, error, maxEntry);
}

bool ReadExchangeArchiveFile(const QString& fileName, const TArchiveEntryHandler& onEntry, QString* error,
                             qint64 maxEntry) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) return Fail(error, file.errorString());
  return ReadExchangeArchive(file.readAll(), onEntry, error, maxEntry);
}
