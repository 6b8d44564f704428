#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <stdexcept>
#include <vector>

// The exchange archive: a 7z archive with one form data package per entry,
// built and read in memory.

class EArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "..\Stream" + n + ".xml"
QString ArchiveEntryName(int n);

// A 7z archive of the packages in the given order, entry n named
// ArchiveEntryName(n).  Throws EArchiveError when compressing fails.
QByteArray BuildExchangeArchive(const std::vector<QByteArray>& packages);

// Called per file entry in archive order; return false to stop reading.
using TArchiveEntryHandler = std::function<bool(const QString& name, const QByteArray& data)>;

// A package is some hundred kilobytes; an entry far beyond that is refused
// rather than unpacked into memory.
constexpr qint64 kMaxArchiveEntry = 64LL * 1024 * 1024;

// Reads every file entry of a 7z archive in archive order.  False (with the
// reason in *error) when the archive cannot be opened or an entry cannot be
// extracted or exceeds maxEntry bytes; the entries handed over before that
// stay handed over.
bool ReadExchangeArchive(const QByteArray& archive, const TArchiveEntryHandler& onEntry, QString* error = nullptr,
                         qint64 maxEntry = kMaxArchiveEntry);
bool ReadExchangeArchiveFile(const QString& fileName, const TArchiveEntryHandler& onEntry, QString* error = nullptr,
                             qint64 maxEntry = kMaxArchiveEntry);
