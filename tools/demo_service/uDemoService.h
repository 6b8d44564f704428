#pragma once
#include <httplib.h>

#include <QDateTime>
#include <QString>
#include <map>
#include <mutex>
#include <tuple>

#include "uDemoFixtures.h"

// A small stand-in for the central data service: answers the eight requests
// of the workstation from fixture data, keeps every uploaded archive in its
// data folder and reports form states from what it holds.
class TDemoService {
 public:
  // Reads the archives already kept in dataFolder (creating the folder).
  TDemoService(TDemoFixtures fixtures, const QString& dataFolder);

  // Binds host:port (port 0: any free port); returns the port, or -1.
  int Bind(const std::string& host, int port);
  // Serves until Stop(); returns false when serving failed.
  bool Serve();
  void Stop() { Server.stop(); }
  bool IsRunning() const { return Server.is_running(); }

  bool Verbose = false;  // one line per request on standard output
  static constexpr size_t kMaxUpload = 32 * 1024 * 1024;
  static constexpr qint64 kMaxPackage = 8 * 1024 * 1024;  // unpacked, per entry

 private:
  // process, class object, period, form
  using TStateKey = std::tuple<QString, QString, QString, QString>;

  void Route();
  bool SignMatches(const QString& school, const QString& sign) const;
  QByteArray SchoolInfo(const QString& school, const QString& sign) const;
  QByteArray ClassesList(const QString& school) const;
  QByteArray PupilsList(const QString& cls) const;
  QByteArray States(const QString& process, const QString& cls, const QString& period);
  // Empty text when the upload was kept, else the reason it was refused.
  QString Upload(const QByteArray& archive);
  bool Register(const QByteArray& archive, const QDateTime& when, QString* why);
  void LoadKeptUploads();

  TDemoFixtures Fixtures;
  QString DataFolder;
  httplib::Server Server;
  std::mutex Mutex;  // guards States and UploadCount
  std::map<TStateKey, QDateTime> StatesHeld;
  int UploadCount = 0;
};
