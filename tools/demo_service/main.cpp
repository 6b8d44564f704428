// talvex_demo_service: a stand-in for the central data service, for trying
// the workstation without the real one.
//
//   talvex_demo_service --port 8091 --fixtures tools/demo_service/fixtures --data run/service_data
#include <csignal>
#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <string>
#include <thread>

#include "uDemoService.h"

namespace {
struct TOptions {
  std::string Host = "127.0.0.1";
  int Port = 8091;
  QString Fixtures = QStringLiteral("tools/demo_service/fixtures");
  QString Data = QStringLiteral("service_data");
  bool Quiet = false;
};

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "%s\n", problem);
  std::fprintf(stderr,
               "usage: talvex_demo_service [--port P] [--host ADDRESS] [--fixtures DIR] [--data DIR] [--quiet]\n"
               "  --port      port to listen on (default 8091)\n"
               "  --host      address to listen on (default 127.0.0.1)\n"
               "  --fixtures  folder holding service.xml (default tools/demo_service/fixtures)\n"
               "  --data      folder where uploaded archives are kept (default service_data)\n");
  return 2;
}

bool ParseOptions(int argc, char** argv, TOptions& o, const char** problem) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quiet") {
      o.Quiet = true;
      continue;
    }
    if (i + 1 >= argc) return (*problem = "missing value after an option"), false;
    const char* value = argv[++i];
    if (arg == "--port") {
      char* end = nullptr;
      const long port = std::strtol(value, &end, 10);
      if (*end || port < 1 || port > 65535) return (*problem = "--port needs a number from 1 to 65535"), false;
      o.Port = static_cast<int>(port);
    } else if (arg == "--host") {
      o.Host = value;
    } else if (arg == "--fixtures") {
      o.Fixtures = QString::fromLocal8Bit(value);
    } else if (arg == "--data") {
      o.Data = QString::fromLocal8Bit(value);
    } else {
      return (*problem = "unknown option"), false;
    }
  }
  return true;
}
}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  const char* problem = nullptr;
  if (!ParseOptions(argc, argv, options, &problem)) return Usage(problem);

  // SIGINT and SIGTERM are taken by a waiting thread, which stops the server.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  try {
    TDemoService service(LoadDemoFixtures(options.Fixtures), options.Data);
    service.Verbose = !options.Quiet;
    if (service.Bind(options.Host, options.Port) < 0) {
      std::fprintf(stderr, "cannot listen on %s:%d\n", options.Host.c_str(), options.Port);
      return 1;
    }
    std::thread waiter([&] {
      int signal = 0;
      sigwait(&stopSignals, &signal);
      service.Stop();
    });
    waiter.detach();
    std::printf("demo service on http://%s:%d/ (fixtures %s, data %s)\n", options.Host.c_str(), options.Port,
                qPrintable(options.Fixtures), qPrintable(options.Data));
    std::fflush(stdout);
    return service.Serve() ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo service: %s\n", e.what());
    return 1;
  }
}
