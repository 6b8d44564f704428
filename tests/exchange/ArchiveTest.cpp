#include <gtest/gtest.h>

#include <QDir>

#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "exchange/uExchangeArchive.h"
#include "platform/uCodec.h"

namespace {
std::vector<QByteArray> ThreePackages() {
  std::vector<QByteArray> out;
  for (int i = 0; i < 3; ++i)
    out.push_back(Win1251Encode(QStringLiteral("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root formid=\"talv_0%1\">"
                                               "Пакет №%1</root>")
                                    .arg(i + 1)));
  return out;
}

// Entry paths as 7-Zip's own tool lists them, in archive order.
QStringList SevenZipPaths(const QString& archive) {
  int code = -1;
  const QString listing = QString::fromUtf8(RunProgram("7zz", {"l", "-slt", archive}, &code));
  EXPECT_EQ(code, 0) << listing.toStdString();
  QStringList paths;
  // The first "Path = " line names the archive itself.
  const QStringList lines = listing.split('\n');
  bool inEntries = false;
  for (const QString& line : lines) {
    if (line.startsWith(QLatin1String("----------"))) inEntries = true;
    if (inEntries && line.startsWith(QLatin1String("Path = "))) paths << line.mid(7).trimmed();
  }
  return paths;
}

std::vector<std::pair<QString, QByteArray>> ReadAll(const QByteArray& archive, bool* ok, QString* error = nullptr) {
  std::vector<std::pair<QString, QByteArray>> entries;
  *ok = ReadExchangeArchive(
      archive,
      [&](const QString& name, const QByteArray& data) {
        entries.emplace_back(name, data);
        return true;
      },
      error);
  return entries;
}
}  // namespace

TEST(ExchangeArchive, SevenZipListsAndTestsOurArchive) {
  TTempFolder temp;
  const QString file = temp.File("three.7z");
  WriteFileBytes(file, BuildExchangeArchive(ThreePackages()));
  EXPECT_EQ(SevenZipPaths(file), QStringList({"..\\Stream0.xml", "..\\Stream1.xml", "..\\Stream2.xml"}));
  int code = -1;
  const QByteArray test = RunProgram("7zz", {"t", file}, &code);
  EXPECT_EQ(code, 0) << test.constData();
  EXPECT_TRUE(test.contains("Everything is Ok")) << test.constData();
}

TEST(ExchangeArchive, RoundTripInOrder) {
  const std::vector<QByteArray> packages = ThreePackages();
  bool ok = false;
  const auto entries = ReadAll(BuildExchangeArchive(packages), &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(entries.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(entries[i].first, ArchiveEntryName(i));
    EXPECT_EQ(entries[i].second, packages[i]);
  }
  EXPECT_EQ(ArchiveEntryName(12), QStringLiteral("..\\Stream12.xml"));
}

TEST(ExchangeArchive, ReadsArchiveMadeBySevenZipInItsOrder) {
  TTempFolder temp;
  const std::vector<QByteArray> packages = ThreePackages();
  const QStringList names = {"zeta.xml", "alpha.xml", "mid.xml"};
  for (int i = 0; i < 3; ++i) WriteFileBytes(temp.File(names[i]), packages[i]);
  int code = -1;
  const QByteArray made = RunProgram("7zz", QStringList({"a", "-t7z", "made.7z"}) + names, &code, temp.Path());
  ASSERT_EQ(code, 0) << made.constData();
  const QStringList order = SevenZipPaths(temp.File("made.7z"));
  ASSERT_EQ(order.size(), 3);

  bool ok = false;
  const auto entries = ReadAll(ReadFileBytes(temp.File("made.7z")), &ok);
  EXPECT_TRUE(ok);
  ASSERT_EQ(entries.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(entries[i].first, order[i]);
    EXPECT_EQ(entries[i].second, packages[names.indexOf(order[i])]);
  }
}

TEST(ExchangeArchive, BrokenArchivesFail) {
  const QByteArray good = BuildExchangeArchive(ThreePackages());
  const QByteArray broken[] = {QByteArray("not an archive at all"), QByteArray(), good.left(good.size() / 2)};
  for (const QByteArray& bytes : broken) {
    bool ok = true;
    QString error;
    ReadAll(bytes, &ok, &error);
    EXPECT_FALSE(ok) << bytes.size();
    EXPECT_FALSE(error.isEmpty());
  }
  // An entry beyond the size limit is refused, not unpacked.
  QString error;
  EXPECT_FALSE(ReadExchangeArchive(good, [](const QString&, const QByteArray&) { return true; }, &error, 10));
  EXPECT_TRUE(error.contains("too large")) << error.toStdString();
  // A handler can stop the reading early.
  int seen = 0;
  EXPECT_TRUE(ReadExchangeArchive(good, [&](const QString&, const QByteArray&) { return ++seen < 2; }));
  EXPECT_EQ(seen, 2);
  EXPECT_FALSE(ReadExchangeArchiveFile("/nonexistent/file.7z", [](const QString&, const QByteArray&) { return true; }));
}
