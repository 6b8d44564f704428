#include "uDemoService.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

#include "catalogue/uStringRoutines.h"
#include "exchange/uExchangeArchive.h"
#include "exchange/uExchangePackages.h"
#include "platform/uCodec.h"

namespace {
const char* const kXmlType = "text/xml; charset=windows-1251";

QString Param(const httplib::Request& req, const char* name) {
  return QString::fromStdString(req.get_param_value(name));
}

std::string Document(const QString& body) {
  return Win1251Encode("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n" + body).toStdString();
}

std::string RootText(const QString& text) { return Document("<root>" + XmlEscape(text) + "</root>"); }

QString Item(const TDemoObject& object, const QString& className, const QString& indent) {
  QString out = indent + "<item name=\"" + XmlEscape(object.Name) + "\"";
  if (!className.isEmpty()) out += " class=\"" + XmlEscape(className) + "\"";
  out += ">\n";
  for (const auto& [name, value] : object.Attributes)
    out += indent + "\t<attribute name=\"" + XmlEscape(name) + "\" value=\"" + XmlEscape(value) + "\"/>\n";
  return out + indent + "</item>\n";
}

QString FormatUpdate(const QDateTime& when) { return when.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")); }
}  // namespace

TDemoService::TDemoService(TDemoFixtures fixtures, const QString& dataFolder)
    : Fixtures(std::move(fixtures)), DataFolder(dataFolder) {
  if (!QDir().mkpath(DataFolder)) throw std::runtime_error(("cannot create " + DataFolder).toStdString());
  LoadKeptUploads();
  Route();
}

int TDemoService::Bind(const std::string& host, int port) {
  if (port == 0) return Server.bind_to_any_port(host);
  return Server.bind_to_port(host, port) ? port : -1;
}

bool TDemoService::Serve() { return Server.listen_after_bind(); }

void TDemoService::Route() {
  Server.set_payload_max_length(kMaxUpload);
  Server.set_read_timeout(10, 0);
  Server.set_keep_alive_timeout(1);  // idle clients do not hold up a stop for long
  Server.set_tcp_nodelay(true);      // head and body go out at once, no wait for an ACK
  Server.set_logger([this](const httplib::Request& req, const httplib::Response& res) {
    if (Verbose) std::printf("%s %s -> %d\n", req.method.c_str(), req.target.c_str(), res.status), std::fflush(stdout);
  });
  Server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
    res.status = 500;
    res.set_content("internal error", "text/plain");
  });
  Server.Get("/checkservice", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(RootText("OK"), kXmlType);
  });
  Server.Get("/checkversion", [this](const httplib::Request& req, httplib::Response& res) {
    const bool current = Fixtures.AcceptedVersions.contains(Param(req, "version"));
    res.set_content(RootText(current ? "OK" : "OUTDATED"), kXmlType);
  });
  Server.Get("/trylogin", [this](const httplib::Request& req, httplib::Response& res) {
    const bool ok = SignMatches(Param(req, "object"), Param(req, "sign"));
    res.set_content(RootText(ok ? "OK" : "DENIED"), kXmlType);
  });
  Server.Get("/getschoolinfo", [this](const httplib::Request& req, httplib::Response& res) {
    res.set_content(SchoolInfo(Param(req, "object"), Param(req, "sign")).toStdString(), kXmlType);
  });
  Server.Get("/getclsslist", [this](const httplib::Request& req, httplib::Response& res) {
    res.set_content(ClassesList(Param(req, "object")).toStdString(), kXmlType);
  });
  Server.Get("/getstdslist", [this](const httplib::Request& req, httplib::Response& res) {
    res.set_content(PupilsList(Param(req, "object")).toStdString(), kXmlType);
  });
  Server.Get("/getrdstates", [this](const httplib::Request& req, httplib::Response& res) {
    res.set_content(States(Param(req, "process"), Param(req, "object"), Param(req, "period")).toStdString(), kXmlType);
  });
  Server.Post("/setrdata", [this](const httplib::Request& req, httplib::Response& res) {
    if (!req.is_multipart_form_data() || !req.has_file("data")) {
      res.status = 400;
      res.set_content(RootText("no file part \"data\""), kXmlType);
      return;
    }
    const QString refused = Upload(QByteArray::fromStdString(req.get_file_value("data").content));
    res.status = refused.isEmpty() ? 200 : 422;
    res.set_content(RootText(refused.isEmpty() ? QStringLiteral("OK") : refused), kXmlType);
  });
}

bool TDemoService::SignMatches(const QString& school, const QString& sign) const {
  const TDemoSchool* s = Fixtures.FindSchool(school);
  return s && sign.compare(Md5Hex(s->Password), Qt::CaseInsensitive) == 0;
}

QByteArray TDemoService::SchoolInfo(const QString& school, const QString& sign) const {
  if (!SignMatches(school, sign)) return QByteArray::fromStdString(Document("<root/>"));
  const TDemoSchool* s = Fixtures.FindSchool(school);
  return QByteArray::fromStdString(Document("<root>\n" + Item(*s, s->ClassName, "\t") + "</root>"));
}

QByteArray TDemoService::ClassesList(const QString& school) const {
  QString body = "<root>\n";
  if (const TDemoSchool* s = Fixtures.FindSchool(school))
    for (const TDemoClass& c : s->Classes) body += Item(c, QString(), "\t");
  return QByteArray::fromStdString(Document(body + "</root>"));
}

QByteArray TDemoService::PupilsList(const QString& cls) const {
  QString body = "<root>\n";
  if (const TDemoClass* c = Fixtures.FindClass(cls))
    for (const TDemoObject& p : c->Pupils) body += Item(p, QString(), "\t");
  return QByteArray::fromStdString(Document(body + "</root>"));
}

QByteArray TDemoService::States(const QString& process, const QString& cls, const QString& period) {
  QString body = "<root>\n";
  std::lock_guard<std::mutex> lock(Mutex);
  for (const auto& [key, when] : StatesHeld) {
    const auto& [p, c, d, form] = key;
    if (p == process && c == cls && d == period)
      body += "\t<item formid=\"" + XmlEscape(form) + "\" state=\"1\" update=\"" + FormatUpdate(when) + "\"/>\n";
  }
  return QByteArray::fromStdString(Document(body + "</root>"));
}

// Checks every package of an archive before anything is kept: a readable 7z
// whose entries are all form data packages naming process, form, class and period.
bool TDemoService::Register(const QByteArray& archive, const QDateTime& when, QString* why) {
  std::vector<TStateKey> keys;
  QString error;
  const bool read = ReadExchangeArchive(
      archive,
      [&](const QString& name, const QByteArray& data) {
        const std::optional<TFormDataPackage> p = ReadFormDataPackage(data);
        if (!p || p->ProcessId.isEmpty() || p->FormId.isEmpty() || p->ObjectId.isEmpty() || p->PeriodId.isEmpty()) {
          error = "entry " + name + " is not a form data package";
          return false;
        }
        keys.emplace_back(p->ProcessId, p->ObjectId, p->PeriodId, p->FormId);
        return true;
      },
      &error, kMaxPackage);
  if (read && error.isEmpty() && keys.empty()) error = QStringLiteral("the archive holds no package");
  if (!read && error.isEmpty()) error = QStringLiteral("not a 7z archive");
  if (!error.isEmpty()) {
    *why = error;
    return false;
  }
  std::lock_guard<std::mutex> lock(Mutex);
  for (const TStateKey& key : keys) {
    QDateTime& held = StatesHeld[key];
    if (!held.isValid() || held < when) held = when;
  }
  return true;
}

QString TDemoService::Upload(const QByteArray& archive) {
  const QDateTime now = QDateTime::currentDateTime();
  QString why;
  if (!Register(archive, now, &why)) return why;
  int number = 0;
  {
    std::lock_guard<std::mutex> lock(Mutex);
    number = ++UploadCount;
  }
  const QString name = QStringLiteral("upload_%1_%2.7z").arg(now.toString(QStringLiteral("yyyyMMdd_hhmmss_zzz"))).arg(number);
  QSaveFile file(QDir(DataFolder).filePath(name));
  if (!file.open(QIODevice::WriteOnly) || file.write(archive) != archive.size() || !file.commit())
    std::fprintf(stderr, "cannot keep %s\n", qPrintable(name));
  else if (Verbose)
    std::printf("kept %s (%lld bytes)\n", qPrintable(name), static_cast<long long>(archive.size())), std::fflush(stdout);
  return QString();
}

void TDemoService::LoadKeptUploads() {
  const QFileInfoList files = QDir(DataFolder).entryInfoList({QStringLiteral("*.7z")}, QDir::Files, QDir::Name);
  for (const QFileInfo& info : files) {
    QFile file(info.filePath());
    QString why;
    if (!file.open(QIODevice::ReadOnly) || !Register(file.readAll(), info.lastModified(), &why))
      std::fprintf(stderr, "skipped %s: %s\n", qPrintable(info.fileName()), qPrintable(why));
  }
  UploadCount = static_cast<int>(files.size());
}
