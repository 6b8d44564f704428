#include <gtest/gtest.h>

#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <functional>
#include <mutex>

#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "exchange/uServManager.h"
#include "platform/uXml.h"

namespace {
// What a server saw of one request.
struct TSeen {
  std::string Method, Target, Path, ProxyAuthorization;
  bool WaitCursor = false;
};

// A service on loopback whose every answer is scripted.
class TScriptedService {
 public:
  TScriptedService() {
    auto handler = [this](const httplib::Request& req, httplib::Response& res) {
      const QCursor* cursor = QGuiApplication::overrideCursor();
      std::lock_guard<std::mutex> lock(Mutex);
      Seen.push_back({req.method, req.target, req.path, req.get_header_value("Proxy-Authorization"),
                      cursor && cursor->shape() == Qt::WaitCursor});
      LastRequest = req;
      res.status = Status;
      res.set_content(Body, "text/xml");
    };
    Server.Server.Get(".*", handler);
    Server.Server.Post(".*", handler);
    Server.Start();
  }
  TSeen Last() {
    std::lock_guard<std::mutex> lock(Mutex);
    return Seen.empty() ? TSeen() : Seen.back();
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(Mutex);
    return Seen.size();
  }
  int Port() const { return Server.Port; }

  std::string Body = "<root>OK</root>";
  int Status = 200;
  httplib::Request LastRequest;

 private:
  TTestServer Server;
  std::mutex Mutex;
  std::vector<TSeen> Seen;
};

TServiceSettings Timed(int timeOut) {
  TServiceSettings s;
  s.ServiceTimeOut = timeOut;
  return s;
}

// Every request of the manager, each reduced to "did it succeed".
struct TRequestCase {
  const char* Name;
  std::function<bool(TRDataManager&)> Succeeded;
};

const std::vector<TRequestCase>& AllRequests() {
  static const std::vector<TRequestCase> cases = {
      {"checkversion", [](TRDataManager& m) { return m.CheckVersion("April_2018"); }},
      {"checkservice", [](TRDataManager& m) { return m.CheckService(); }},
      {"trylogin", [](TRDataManager& m) { return m.TryLogin("scid_1", "abc"); }},
      {"getschoolinfo", [](TRDataManager& m) { return m.GetSchoolInfo("scid_1", "abc").has_value(); }},
      {"getclsslist", [](TRDataManager& m) { return m.GetClassesList("month_2018_4", "scid_1").has_value(); }},
      {"getstdslist", [](TRDataManager& m) { return m.GetPupilsList("month_2018_4", "cls_1").has_value(); }},
      {"getrdstates", [](TRDataManager& m) { return m.GetStates("p_id1", "month_2018_4", "cls_1").has_value(); }},
      {"setrdata", [](TRDataManager& m) { return m.SendData("7z-bytes") != "ERROR"; }},
  };
  return cases;
}

// Points TMPDIR at a fresh folder for one test.
class TTempDirScope {
 public:
  TTempDirScope() : Old(qgetenv("TMPDIR")) { qputenv("TMPDIR", Folder.Path().toUtf8()); }
  ~TTempDirScope() {
    if (Old.isEmpty())
      qunsetenv("TMPDIR");
    else
      qputenv("TMPDIR", Old);
  }
  QStringList Files() const { return QDir(Folder.Path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot); }
  TTempFolder Folder;

 private:
  QByteArray Old;
};
}  // namespace

TEST(RequestUrls, BaseUrlRules) {
  const struct {
    const char* host;
    int port;
    const char* base;
  } cases[] = {{"svc.example", 80, "http://svc.example:80/"},
               {"svc.example", 0, "http://svc.example/"},
               {"svc.example", -3, "http://svc.example/"},
               {"10.1.2.3", 8091, "http://10.1.2.3:8091/"}};
  TRDataManager m;
  for (const auto& c : cases) {
    m.SetHost(c.host);
    m.SetPort(c.port);
    EXPECT_EQ(m.BaseUrl(), QString(c.base)) << c.host << ":" << c.port;
  }
}

// A proxy on loopback receives the full URL of every request, so the exact
// URLs can be seen for a host that does not exist and for port 80.
TEST(RequestUrls, ExactUrlsOfEveryRequest) {
  TScriptedService proxy;
  TServiceSettings s;
  s.ProxyHost = "127.0.0.1";
  s.ProxyPort = proxy.Port();
  TServiceSettingsScope scope(s);
  TRDataManager m;
  m.SetHost("service.test");
  m.SetPort(80);
  const struct {
    std::function<void(TRDataManager&)> call;
    const char* url;
  } cases[] = {
      {[](TRDataManager& m) { m.CheckVersion("April_2018"); }, "http://service.test:80/checkversion?version=April_2018"},
      {[](TRDataManager& m) { m.CheckService(); }, "http://service.test:80/checkservice"},
      {[](TRDataManager& m) { m.TryLogin("scid_123", "0cc175b9c0f1b6a831c399e269772661"); },
       "http://service.test:80/trylogin?object=scid_123&sign=0cc175b9c0f1b6a831c399e269772661"},
      {[](TRDataManager& m) { m.GetSchoolInfo("scid_123", "ab12"); },
       "http://service.test:80/getschoolinfo?object=scid_123&sign=ab12"},
      {[](TRDataManager& m) { m.GetClassesList("month_2018_4", "scid_123"); },
       "http://service.test:80/getclsslist?object=scid_123&period=month_2018_4"},
      {[](TRDataManager& m) { m.GetPupilsList("month_2018_4", "sc_1"); },
       "http://service.test:80/getstdslist?object=sc_1&period=month_2018_4"},
      {[](TRDataManager& m) { m.GetStates("p_id1", "month_2018_4", "sc_1"); },
       "http://service.test:80/getrdstates?process=p_id1&object=sc_1&period=month_2018_4"},
      {[](TRDataManager& m) { m.SendData("x"); }, "http://service.test:80/setrdata"},
  };
  for (const auto& c : cases) {
    const size_t before = proxy.Count();
    c.call(m);
    EXPECT_EQ(m.LastUrl(), QString(c.url));
    EXPECT_EQ(proxy.Count(), before + 1) << c.url;
    // On the wire the proxy may get the default port left out.
    QString wire = QString::fromStdString(proxy.Last().Target);
    EXPECT_EQ(wire.replace("service.test/", "service.test:80/"), QString(c.url));
  }
  m.SetPort(0);
  m.CheckService();
  EXPECT_EQ(m.LastUrl(), "http://service.test/checkservice");
  EXPECT_EQ(proxy.Last().Target, "http://service.test/checkservice");
}

TEST(RequestUrls, QueryOrderOfStatesOnTheWire) {
  TScriptedService service;
  TServiceSettingsScope scope;
  TRDataManager m;
  m.SetHost("127.0.0.1");
  m.SetPort(service.Port());
  ASSERT_TRUE(m.GetStates("p_id1", "month_2018_4", "sc_1"));
  EXPECT_EQ(service.Last().Target, "/getrdstates?process=p_id1&object=sc_1&period=month_2018_4");
  EXPECT_EQ(service.Last().Method, "GET");
}

TEST(RequestUrls, ValuesAreUrlEncoded) {
  TScriptedService service;
  TServiceSettingsScope scope;
  TRDataManager m;
  m.SetHost("127.0.0.1");
  m.SetPort(service.Port());
  EXPECT_TRUE(m.TryLogin("scid_1 x&sign=forged", "abc"));
  EXPECT_EQ(service.Last().Target, "/trylogin?object=scid_1%20x%26sign%3Dforged&sign=abc");
  EXPECT_EQ(service.LastRequest.get_param_value("object"), "scid_1 x&sign=forged");
  EXPECT_EQ(service.LastRequest.get_param_value_count("sign"), 1u);
  EXPECT_EQ(service.LastRequest.get_param_value("sign"), "abc");
  m.GetClassesList("month_2018_4", QStringLiteral("школа"));
  EXPECT_EQ(service.LastRequest.get_param_value("object"), "школа");
}

TEST(Requests, BooleanAnswers) {
  TScriptedService service;
  TServiceSettingsScope scope;
  TRDataManager m;
  m.SetHost("127.0.0.1");
  m.SetPort(service.Port());
  const struct {
    const char* body;
    bool ok;       // checkversion and trylogin
    bool service;  // checkservice
  } cases[] = {{"<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>OK</root>", true, true},
               {"<root>ok</root>", false, true},
               {"<root>OK </root>", false, true},
               {"<root/>", false, true},
               {"<answer>OK</answer>", false, false}};
  for (const auto& c : cases) {
    service.Body = c.body;
    EXPECT_EQ(m.CheckVersion("April_2018"), c.ok) << c.body;
    EXPECT_EQ(m.TryLogin("scid_1", "s"), c.ok) << c.body;
    EXPECT_EQ(m.CheckService(), c.service) << c.body;
  }
  // A body that is not XML reaches the caller as the parser's error, and the
  // cursor is back to normal.
  service.Body = "<html><body>Service Unavailable";
  EXPECT_THROW(m.CheckService(), EXmlError);
  EXPECT_THROW(m.CheckVersion("April_2018"), EXmlError);
  EXPECT_THROW(m.TryLogin("scid_1", "s"), EXmlError);
  service.Body = "";
  EXPECT_THROW(m.CheckService(), EXmlError);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(Requests, BodiesAreReturnedWholeAndUnexamined) {
  TScriptedService service;
  TServiceSettingsScope scope;
  TRDataManager m;
  m.SetHost("127.0.0.1");
  m.SetPort(service.Port());
  std::string big(300000, 'x');
  big[0] = '\xC0';  // a windows-1251 byte, not UTF-8
  for (const std::string& body : {std::string("not xml at all"), std::string(), big}) {
    service.Body = body;
    const std::optional<QByteArray> answer = m.GetSchoolInfo("scid_1", "s");
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, QByteArray::fromStdString(body));
  }
}

TEST(Requests, WaitCursorDuringEveryRequest) {
  TScriptedService service;
  TServiceSettingsScope scope;
  TRDataManager m;
  m.SetHost("127.0.0.1");
  m.SetPort(service.Port());
  for (const TRequestCase& c : AllRequests()) {
    EXPECT_TRUE(c.Succeeded(m)) << c.Name;
    EXPECT_TRUE(service.Last().WaitCursor) << c.Name;
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << c.Name;
  }
}

TEST(Requests, UploadIsOneFilePartFromMemory) {
  TScriptedService service;
  TServiceSettingsScope scope;
  TTempDirScope temp;
  TRDataManager m;
  m.SetHost("127.0.0.1");
  m.SetPort(service.Port());
  QByteArray archive("7z\xBC\xAF\x27\x1C", 6);
  archive += QByteArray(5000, '\0');
  service.Body = "<html>any page at all</html>";
  EXPECT_EQ(m.SendData(archive), "<html>any page at all</html>");
  const httplib::Request& req = service.LastRequest;
  EXPECT_EQ(req.method, "POST");
  EXPECT_EQ(req.path, "/setrdata");
  EXPECT_EQ(req.files.size(), 1u);
  ASSERT_TRUE(req.has_file("data"));
  const httplib::MultipartFormData part = req.get_file_value("data");
  EXPECT_EQ(part.filename, "talvtemp.7z");
  EXPECT_EQ(QByteArray::fromStdString(part.content), archive);
  EXPECT_EQ(part.content_type, "application/octet-stream");
  EXPECT_TRUE(temp.Files().isEmpty()) << temp.Files().join(',').toStdString();

  service.Status = 500;
  EXPECT_EQ(m.SendData(archive), "ERROR");
  EXPECT_TRUE(temp.Files().isEmpty());
}

// Every request against every kind of broken service: false, none or
// "ERROR", within the time-out, and no archive left in the temp folder.
TEST(Requests, TransportFaults) {
  const int timeOut = 200;
  TServiceSettingsScope scope(Timed(timeOut));
  TTempDirScope temp;
  TScriptedService failing;
  failing.Status = 500;
  failing.Body = "<root>OK</root>";
  TRawServer silent(TRawServer::TMode::Silent);
  TRawServer dropping(TRawServer::TMode::DropMidBody);
  const struct {
    const char* name;
    int port;
  } faults[] = {{"no answer", silent.Port},
                {"connection refused", RefusedPort()},
                {"HTTP 500", failing.Port()},
                {"dropped mid-body", dropping.Port}};
  for (const auto& f : faults) {
    TRDataManager m;
    m.SetHost("127.0.0.1");
    m.SetPort(f.port);
    for (const TRequestCase& c : AllRequests()) {
      QElapsedTimer clock;
      clock.start();
      EXPECT_FALSE(c.Succeeded(m)) << f.name << " / " << c.Name;
      // Connecting plus one read, each bounded by the time-out.
      EXPECT_LT(clock.elapsed(), 2 * timeOut + 400) << f.name << " / " << c.Name;
      EXPECT_FALSE(m.LastError().isEmpty()) << f.name << " / " << c.Name;
      EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
    EXPECT_TRUE(temp.Files().isEmpty()) << f.name;
  }
}

TEST(Requests, SilentServiceWaitsForTheTimeOut) {
  TRawServer silent(TRawServer::TMode::Silent);
  for (int timeOut : {200, 700}) {
    TServiceSettingsScope scope(Timed(timeOut));
    TRDataManager m;
    m.SetHost("127.0.0.1");
    m.SetPort(silent.Port);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(m.CheckService());
    EXPECT_GE(clock.elapsed(), timeOut);
    EXPECT_LT(clock.elapsed(), 2 * timeOut + 400);
  }
}

TEST(Requests, TimeOutOfZeroOrLessFallsBackToTheDefault) {
  TScriptedService service;
  TRawServer silent(TRawServer::TMode::Silent);
  TRDataManager m;
  m.SetHost("127.0.0.1");
  for (int timeOut : {0, -5}) {
    TServiceSettingsScope scope(Timed(timeOut));
    m.SetPort(service.Port());
    EXPECT_TRUE(m.CheckService()) << timeOut;
    m.SetPort(silent.Port);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(m.CheckService()) << timeOut;
    EXPECT_GE(clock.elapsed(), 500) << timeOut;
    EXPECT_LT(clock.elapsed(), 1400) << timeOut;
  }
}

TEST(Requests, NextRequestWorksAfterAFailure) {
  TScriptedService service;
  TServiceSettingsScope scope;
  TRDataManager m;
  m.SetHost("127.0.0.1");
  m.SetPort(service.Port());
  service.Status = 500;
  EXPECT_FALSE(m.CheckService());
  service.Status = 200;
  EXPECT_TRUE(m.CheckService());
}

TEST(Requests, ProxySettingsReachTheClient) {
  TScriptedService proxy;
  TScriptedService direct;
  TRDataManager m;
  m.SetHost("127.0.0.1");
  m.SetPort(direct.Port());
  const struct {
    const char* host;
    const char* user;
    const char* password;
    bool viaProxy;
    std::string authorization;
  } cases[] = {
      {"127.0.0.1", "proxyuser", "p@ss:word", true, "Basic cHJveHl1c2VyOnBAc3M6d29yZA=="},
      {"127.0.0.1", "", "p@ss:word", true, ""},  // no user: no authentication, password unused
      {"", "proxyuser", "p@ss:word", false, ""},  // no host: no proxy at all
  };
  for (const auto& c : cases) {
    TServiceSettings s;
    s.ProxyHost = c.host;
    s.ProxyPort = proxy.Port();
    s.ProxyUser = c.user;
    s.ProxyPassword = c.password;
    TServiceSettingsScope scope(s);
    const size_t proxied = proxy.Count();
    const size_t straight = direct.Count();
    EXPECT_TRUE(m.CheckService()) << c.host << c.user;
    EXPECT_EQ(proxy.Count(), proxied + (c.viaProxy ? 1 : 0)) << c.host << c.user;
    EXPECT_EQ(direct.Count(), straight + (c.viaProxy ? 0 : 1)) << c.host << c.user;
    if (c.viaProxy) {
      EXPECT_EQ(proxy.Last().ProxyAuthorization, c.authorization) << c.user;
      EXPECT_EQ(proxy.Last().Target, "http://127.0.0.1:" + std::to_string(direct.Port()) + "/checkservice");
    }
  }
}
