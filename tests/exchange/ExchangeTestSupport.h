#pragma once
#include <httplib.h>

#include <QByteArray>
#include <QString>
#include <atomic>
#include <thread>

#include "exchange/uServManager.h"

// A cpp-httplib server on a loopback port, listening on its own thread.
class TTestServer {
 public:
  TTestServer() = default;
  ~TTestServer();
  void Start();  // after the handlers are registered
  httplib::Server Server;
  int Port = 0;

 private:
  std::thread Thread;
};

// A plain socket server for what a well-behaved HTTP server never does.
class TRawServer {
 public:
  enum class TMode {
    Silent,       // accepts and reads the request, never answers
    DropMidBody,  // announces a longer body than it sends, then closes
  };
  explicit TRawServer(TMode mode);
  ~TRawServer();
  int Port = 0;

 private:
  void Run();
  TMode Mode;
  int Listener = -1;
  std::atomic<bool> Stopping{false};
  std::thread Thread;
};

// A loopback port that refuses connections.
int RefusedPort();

// Sets the service settings for one test and restores the defaults afterwards.
class TServiceSettingsScope {
 public:
  explicit TServiceSettingsScope(const TServiceSettings& settings = TServiceSettings()) { ServiceSettings() = settings; }
  ~TServiceSettingsScope() { ServiceSettings() = TServiceSettings(); }
};

// Runs a program and returns its standard output; exit code in *exitCode.
QByteArray RunProgram(const QString& program, const QStringList& args, int* exitCode = nullptr,
                      const QString& workDir = QString());

QString GoldenPath(const QString& name);
