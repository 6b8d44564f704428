#include "ExchangeTestSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QProcess>
#include <chrono>
#include <stdexcept>
#include <vector>

TTestServer::~TTestServer() {
  Server.stop();
  if (Thread.joinable()) Thread.join();
}

void TTestServer::Start() {
  Server.set_tcp_nodelay(true);
  Port = Server.bind_to_any_port("127.0.0.1");
  if (Port <= 0) throw std::runtime_error("cannot bind a loopback port");
  Thread = std::thread([this] { Server.listen_after_bind(); });
  // stop() only works on a running server, so wait until it runs.
  while (!Server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

namespace {
int BoundLoopbackSocket(int* port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    throw std::runtime_error("cannot bind a loopback socket");
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return fd;
}

bool Readable(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, timeoutMs) > 0;
}
}  // namespace

TRawServer::TRawServer(TMode mode) : Mode(mode) {
  Listener = BoundLoopbackSocket(&Port);
  listen(Listener, 8);
  Thread = std::thread([this] { Run(); });
}

TRawServer::~TRawServer() {
  Stopping = true;
  Thread.join();
  close(Listener);
}

void TRawServer::Run() {
  std::vector<int> held;
  while (!Stopping) {
    if (!Readable(Listener, 20)) continue;
    const int client = accept(Listener, nullptr, nullptr);
    if (client < 0) continue;
    // Read the request head (enough for a GET).
    char buffer[4096];
    std::string head;
    while (head.find("\r\n\r\n") == std::string::npos && Readable(client, 1000)) {
      const ssize_t got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      head.append(buffer, static_cast<size_t>(got));
    }
    if (Mode == TMode::Silent) {
      held.push_back(client);
      continue;
    }
    const std::string partial = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: 400\r\n\r\n<root>OK";
    send(client, partial.data(), partial.size(), MSG_NOSIGNAL);
    close(client);
  }
  for (int fd : held) close(fd);
}

int RefusedPort() {
  int port = 0;
  close(BoundLoopbackSocket(&port));  // bound, never listened, closed: nobody answers there
  return port;
}

QByteArray RunProgram(const QString& program, const QStringList& args, int* exitCode, const QString& workDir) {
  QProcess process;
  if (!workDir.isEmpty()) process.setWorkingDirectory(workDir);
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(program, args);
  if (!process.waitForFinished(60000)) process.kill();
  if (exitCode) *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  return process.readAll();
}

QString GoldenPath(const QString& name) { return QStringLiteral(TALVEX_EXCHANGE_GOLDEN "/") + name; }
