// Exchange figures: building the archive of a whole process's forms against
// 7-Zip's own tool on the same files, and the round trip of one request to
// the demo service on loopback.
//
//   build/bench/talvex_bench_exchange [path to the demo fixtures]
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "exchange/uExchangeArchive.h"
#include "exchange/uExchangePackages.h"
#include "exchange/uServManager.h"
#include "uDemoService.h"

namespace {
using TClock = std::chrono::steady_clock;

double Ms(TClock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * (v.size() - 1))];
}

// One form of a class: 30 pupils with their card, 50 values each.
QByteArray FormPackage(int form) {
  TFormDataPackage p;
  p.ProcessId = "p_id1";
  p.FormId = QStringLiteral("talv_%1").arg(form + 1, 2, 10, QChar('0'));
  p.ObjectId = "cls_5081_1a";
  p.PeriodId = "month_2018_4";
  p.Objects.push_back({p.ObjectId,
                       "objects.EduClass",
                       {{"code", "Код класса", "string", "1А", "1А"},
                        {"caption", "Наименование", "string", "1 «А»", "1 «А»"},
                        {"school", "Школа", "object:EduObject", "scid_5081", "МБОУ «Школа № 17»"}}});
  for (int i = 0; i < 30; ++i) {
    const QString name = QStringLiteral("std_5081_1a_%1").arg(i + 1, 2, 10, QChar('0'));
    p.Objects.push_back({name,
                         "objects.EduStudent",
                         {{"idx", "№", "integer", QString::number(i + 1), QString::number(i + 1)},
                          {"caption", "Фамилия, имя", "string", QStringLiteral("Ученик Номер%1").arg(i), QStringLiteral("Ученик Номер%1").arg(i)},
                          {"sex", "Пол (Ж/М)", "code:sex", QString::number(1 + i % 2), i % 2 ? "Мужской" : "Женский"},
                          {"month_of_birth", "Месяц рождения", "code:month", QString::number(1 + i % 12), "Март"},
                          {"year_of_birth", "Год рождения", "integer", "2010", "2010"}}});
    for (int k = 0; k < 50; ++k) {
      const int v = (i * 31 + k * 17 + form * 7) % 11;
      p.Values.push_back({QStringLiteral("ind_%1_%2").arg(form).arg(k), name, p.PeriodId, 1 + k % 2,
                          k % 5 == 0 ? QStringLiteral("%1,5").arg(v) : QString::number(v % 4)});
    }
  }
  p.Relations = FormRelations(p.Objects, "is_student_of");
  return WriteFormDataPackage(p);
}

void ArchiveFigures() {
  std::vector<QByteArray> packages;
  qint64 total = 0;
  for (int f = 0; f < 11; ++f) {
    packages.push_back(FormPackage(f));
    total += packages.back().size();
  }
  const int runs = 7;
  std::vector<double> ours;
  QByteArray archive;
  for (int r = 0; r < runs; ++r) {
    const auto start = TClock::now();
    archive = BuildExchangeArchive(packages);
    ours.push_back(Ms(TClock::now() - start));
  }

  QTemporaryDir dir;
  QStringList files;
  for (int f = 0; f < 11; ++f) {
    const QString name = QStringLiteral("package%1.xml").arg(f);
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(packages[f]);
    files << name;
  }
  std::vector<double> tool;
  qint64 toolSize = 0;
  for (int r = 0; r < runs; ++r) {
    QFile::remove(dir.filePath("tool.7z"));
    QProcess zip;
    zip.setWorkingDirectory(dir.path());
    const auto start = TClock::now();
    zip.start("7zz", QStringList({"a", "-t7z", "tool.7z"}) + files);
    zip.waitForFinished(60000);
    tool.push_back(Ms(TClock::now() - start));
    if (zip.exitCode() != 0) {
      std::printf("7zz failed: %s\n", zip.readAll().constData());
      return;
    }
    toolSize = QFileInfo(dir.filePath("tool.7z")).size();
  }
  std::printf("Archive of 11 packages (30 pupils x 50 values each, %lld bytes of XML), median of %d runs:\n",
              static_cast<long long>(total), runs);
  std::printf("  BuildExchangeArchive (libarchive, in memory): %8.2f ms  -> %lld bytes\n", Median(ours),
              static_cast<long long>(archive.size()));
  std::printf("  7zz a -t7z (one run, files on disk, process): %8.2f ms  -> %lld bytes\n", Median(tool),
              static_cast<long long>(toolSize));
  std::printf("  time ratio ours / 7zz: %.2f   size ratio ours / 7zz: %.2f\n", Median(ours) / Median(tool),
              static_cast<double>(archive.size()) / static_cast<double>(toolSize));
}

void RoundTripFigures(const QString& fixtures) {
  QTemporaryDir data;
  TDemoService service(LoadDemoFixtures(fixtures), data.path());
  const int port = service.Bind("127.0.0.1", 0);
  std::thread serving([&] { service.Serve(); });
  while (!service.IsRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  TRDataManager manager;
  manager.SetHost("127.0.0.1");
  manager.SetPort(port);
  for (int i = 0; i < 20; ++i) manager.CheckService();
  const int count = 500;
  std::vector<double> times;
  int failures = 0;
  for (int i = 0; i < count; ++i) {
    const auto start = TClock::now();
    if (!manager.CheckService()) ++failures;
    times.push_back(Ms(TClock::now() - start));
  }
  service.Stop();
  serving.join();
  std::printf("\"checkservice\" round trip to the demo service on loopback (TRDataManager, %d requests, %d failed):\n",
              count, failures);
  std::printf("  median %.3f ms   p95 %.3f ms   max %.3f ms\n", Median(times), Percentile(times, 0.95),
              *std::max_element(times.begin(), times.end()));
}
}  // namespace

int main(int argc, char** argv) {
  const QString fixtures = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TALVEX_DEMO_FIXTURES);
  ArchiveFigures();
  RoundTripFigures(fixtures);
  return 0;
}
