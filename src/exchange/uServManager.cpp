#include "exchange/uServManager.h"

// Bytes in and out as they are; windows-1251 is converted here, not by the INI reader.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION  // the templates compiled here, header-only
#include <SimpleIni.h>
#include <curl/curl.h>

#include <QCursor>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QUrl>

#include "exchange/uExchangePackages.h"
#include "platform/uCodec.h"

// ---------------------------------------------------------------- settings

namespace {
const char* const kSection = "RDService";

QString IniText(const CSimpleIniA& ini, const char* key, const QString& fallback) {
  const char* value = ini.GetValue(kSection, key, nullptr);
  return value ? Win1251Decode(QByteArray(value)) : fallback;
}

int IniInt(const CSimpleIniA& ini, const char* key, int fallback) {
  const char* value = ini.GetValue(kSection, key, nullptr);
  if (!value) return fallback;
  bool ok = false;
  const int number = QByteArray(value).trimmed().toInt(&ok);
  return ok ? number : fallback;
}
}  // namespace

TServiceSettings& ServiceSettings() {
  static TServiceSettings settings;
  return settings;
}

void LoadServiceSettings(const QString& fileName) {
  CSimpleIniA ini;
  const TServiceSettings defaults;
  TServiceSettings& s = ServiceSettings();
  ini.LoadFile(QFile::encodeName(fileName).constData());  // a missing file leaves every default
  s.ServiceAddr = IniText(ini, "Addr", defaults.ServiceAddr);
  s.ServicePort = IniInt(ini, "Port", defaults.ServicePort);
  s.ServiceTimeOut = IniInt(ini, "TimeOut", defaults.ServiceTimeOut);
  s.ProxyHost = IniText(ini, "Proxy", defaults.ProxyHost);
  s.ProxyPort = IniInt(ini, "ProxyPort", defaults.ProxyPort);
  s.ProxyUser = IniText(ini, "ProxyUser", defaults.ProxyUser);
  s.ProxyPassword = IniText(ini, "ProxyPassword", defaults.ProxyPassword);
}

void SaveServiceSettings(const QString& fileName) {
  const QByteArray path = QFile::encodeName(fileName);
  CSimpleIniA ini;
  ini.SetSpaces(false);  // "Key=value", as Windows writes it
  ini.LoadFile(path.constData());
  const TServiceSettings& s = ServiceSettings();
  const std::pair<const char*, QString> values[] = {
      {"Addr", s.ServiceAddr},    {"Port", QString::number(s.ServicePort)},  {"TimeOut", QString::number(s.ServiceTimeOut)},
      {"Proxy", s.ProxyHost},     {"ProxyPort", QString::number(s.ProxyPort)}, {"ProxyUser", s.ProxyUser},
      {"ProxyPassword", s.ProxyPassword}};
  // Removed first so that the keys come back in this order.
  for (const auto& [key, value] : values) ini.Delete(kSection, key, false);
  for (const auto& [key, value] : values) ini.SetValue(kSection, key, Win1251Encode(value).constData());
  if (ini.SaveFile(path.constData()) < 0)
    throw std::runtime_error(("cannot write " + fileName).toStdString());
}

// ---------------------------------------------------------------- client

namespace {
// The hourglass while a request waits (only where there is a GUI).
class TWaitCursor {
 public:
  TWaitCursor() : Shown(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (Shown) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  }
  ~TWaitCursor() {
    if (Shown) QGuiApplication::restoreOverrideCursor();
  }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

 private:
  bool Shown;
};

size_t AppendBody(char* data, size_t size, size_t count, void* target) {
  static_cast<QByteArray*>(target)->append(data, static_cast<qsizetype>(size * count));
  return size * count;
}

struct TCurlInit {
  TCurlInit() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};
}  // namespace

// The easy handle and the multi handle that runs it; the multi handle owns
// the connection cache, so dropping both closes the connection.
struct TRDataManager::TClient {
  CURL* Easy = nullptr;
  CURLM* Multi = nullptr;
  curl_slist* Headers = nullptr;
  int ReadTimeOut = 500;

  TClient() {
    static TCurlInit init;
    Easy = curl_easy_init();
    Multi = curl_multi_init();
    if (!Easy || !Multi) throw std::runtime_error("HTTP client unavailable");
    Headers = curl_slist_append(nullptr, "Expect:");  // no 100-continue round trip before uploads
    curl_easy_setopt(Easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(Easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(Easy, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(Easy, CURLOPT_HTTPHEADER, Headers);
    curl_easy_setopt(Easy, CURLOPT_WRITEFUNCTION, AppendBody);
  }
  ~TClient() {
    curl_multi_cleanup(Multi);
    curl_easy_cleanup(Easy);
    curl_slist_free_all(Headers);
  }

  // Runs the transfer.  Before the first byte moves the wait may last a
  // connect time-out plus a read time-out; after that each pause in the
  // transfer may last one read time-out.
  CURLcode Run() {
    curl_multi_add_handle(Multi, Easy);
    QElapsedTimer idle;
    idle.start();
    qint64 limit = 2LL * ReadTimeOut;
    curl_off_t lastDown = 0, lastUp = 0;
    int running = 1;
    CURLcode result = CURLE_OK;
    bool timedOut = false;
    while (running) {
      if (curl_multi_perform(Multi, &running) != CURLM_OK) break;
      if (!running) break;
      curl_multi_poll(Multi, nullptr, 0, 20, nullptr);
      curl_off_t down = 0, up = 0;
      curl_easy_getinfo(Easy, CURLINFO_SIZE_DOWNLOAD_T, &down);
      curl_easy_getinfo(Easy, CURLINFO_SIZE_UPLOAD_T, &up);
      if (down != lastDown || up != lastUp) {
        lastDown = down;
        lastUp = up;
        idle.restart();
        limit = ReadTimeOut;
      } else if (idle.elapsed() > limit) {
        timedOut = true;
        break;
      }
    }
    int pending = 0;
    while (CURLMsg* msg = curl_multi_info_read(Multi, &pending))
      if (msg->msg == CURLMSG_DONE) result = msg->data.result;
    curl_multi_remove_handle(Multi, Easy);
    return timedOut ? CURLE_OPERATION_TIMEDOUT : result;
  }
};

TRDataManager::TRDataManager() : Client(std::make_unique<TClient>()) { RebuildBaseUrl(); }

TRDataManager::~TRDataManager() = default;

void TRDataManager::SetHost(const QString& host) {
  FHost = host;
  RebuildBaseUrl();
}

void TRDataManager::SetPort(int port) {
  FPort = port;
  RebuildBaseUrl();
}

void TRDataManager::RebuildBaseUrl() {
  FBaseUrl = FPort < 1 ? "http://" + FHost + "/" : "http://" + FHost + ":" + QString::number(FPort) + "/";
}

void TRDataManager::ApplySettings() {
  const TServiceSettings& s = ServiceSettings();
  CURL* h = Client->Easy;
  // A hand-edited time-out of zero or less would mean waiting for ever (or
  // never): the default stands in for it.
  const int timeOut = s.ServiceTimeOut > 0 ? s.ServiceTimeOut : TServiceSettings().ServiceTimeOut;
  Client->ReadTimeOut = timeOut;
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeOut));
  if (!s.ProxyHost.isEmpty()) {
    curl_easy_setopt(h, CURLOPT_PROXY, s.ProxyHost.toUtf8().constData());
    curl_easy_setopt(h, CURLOPT_PROXYPORT, static_cast<long>(s.ProxyPort));
    if (!s.ProxyUser.isEmpty()) {
      curl_easy_setopt(h, CURLOPT_PROXYAUTH, static_cast<unsigned long>(CURLAUTH_BASIC));
      curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, s.ProxyUser.toUtf8().constData());
      curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, s.ProxyPassword.toUtf8().constData());
      return;
    }
  } else {
    curl_easy_setopt(h, CURLOPT_PROXY, "");  // empty: no proxy, not even one from the environment
    curl_easy_setopt(h, CURLOPT_PROXYPORT, 0L);
  }
  // Without credentials no proxy authentication is sent.
  curl_easy_setopt(h, CURLOPT_PROXYAUTH, static_cast<unsigned long>(CURLAUTH_BASIC));
  curl_easy_setopt(h, CURLOPT_PROXYUSERNAME, static_cast<char*>(nullptr));
  curl_easy_setopt(h, CURLOPT_PROXYPASSWORD, static_cast<char*>(nullptr));
}

QString TRDataManager::RequestUrl(const char* name, TQuery query) const {
  QString url = FBaseUrl + QLatin1String(name);
  char separator = '?';
  for (const auto& [key, value] : query) {
    url += separator + QLatin1String(key) + '=' + QString::fromLatin1(QUrl::toPercentEncoding(value));
    separator = '&';
  }
  return url;
}

std::optional<QByteArray> TRDataManager::Perform(const QString& url, const QByteArray* upload) {
  FLastUrl = url;
  FLastError.clear();
  ApplySettings();
  CURL* h = Client->Easy;
  QByteArray body;
  const QByteArray urlBytes = url.toUtf8();
  curl_easy_setopt(h, CURLOPT_URL, urlBytes.constData());
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &body);
  curl_mime* mime = nullptr;
  if (upload) {
    mime = curl_mime_init(h);
    curl_mimepart* part = curl_mime_addpart(mime);
    curl_mime_name(part, "data");
    curl_mime_data(part, upload->constData(), static_cast<size_t>(upload->size()));
    curl_mime_filename(part, "talvtemp.7z");
    curl_mime_type(part, "application/octet-stream");  // what a file of unknown type is sent as
    curl_easy_setopt(h, CURLOPT_MIMEPOST, mime);
  } else {
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  }
  const CURLcode code = Client->Run();
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  const char* contentType = nullptr;
  curl_easy_getinfo(h, CURLINFO_CONTENT_TYPE, &contentType);
  FLastContentType = contentType ? QString::fromLatin1(contentType) : QString();
  if (mime) {
    curl_easy_setopt(h, CURLOPT_MIMEPOST, static_cast<curl_mime*>(nullptr));
    curl_mime_free(mime);
  }
  if (code == CURLE_OK && status >= 200 && status < 300) return body;
  FLastError = code != CURLE_OK ? QString::fromUtf8(curl_easy_strerror(code)) : QStringLiteral("HTTP %1").arg(status);
  Client = std::make_unique<TClient>();  // close the connection: the next request opens a new one
  return std::nullopt;
}

std::optional<QByteArray> TRDataManager::Get(const QString& url) {
  TWaitCursor wait;
  return Perform(url, nullptr);
}

bool TRDataManager::AskBoolean(const QString& url, bool (*read)(const QByteArray&)) {
  TWaitCursor wait;
  const std::optional<QByteArray> body = Perform(url, nullptr);
  return body && read(*body);  // a body that is not XML raises to the caller
}

bool TRDataManager::CheckVersion(const QString& version) {
  return AskBoolean(RequestUrl("checkversion", {{"version", version}}), ReadOkAnswer);
}

bool TRDataManager::CheckService() { return AskBoolean(RequestUrl("checkservice", {}), ReadServiceAnswer); }

bool TRDataManager::TryLogin(const QString& login, const QString& sign) {
  return AskBoolean(RequestUrl("trylogin", {{"object", login}, {"sign", sign}}), ReadOkAnswer);
}

std::optional<QByteArray> TRDataManager::GetSchoolInfo(const QString& login, const QString& sign) {
  return Get(RequestUrl("getschoolinfo", {{"object", login}, {"sign", sign}}));
}

std::optional<QByteArray> TRDataManager::GetClassesList(const QString& period, const QString& school) {
  return Get(RequestUrl("getclsslist", {{"object", school}, {"period", period}}));
}

std::optional<QByteArray> TRDataManager::GetPupilsList(const QString& period, const QString& classObject) {
  return Get(RequestUrl("getstdslist", {{"object", classObject}, {"period", period}}));
}

std::optional<QByteArray> TRDataManager::GetStates(const QString& process, const QString& period,
                                                   const QString& classObject) {
  return Get(RequestUrl("getrdstates", {{"process", process}, {"object", classObject}, {"period", period}}));
}

QString TRDataManager::SendData(const QByteArray& archive) {
  TWaitCursor wait;
  // Sent straight from memory: no temporary file to collide with or to leave behind.
  const std::optional<QByteArray> answer = Perform(FBaseUrl + QLatin1String("setrdata"), &archive);
  if (!answer) return QStringLiteral("ERROR");
  return FLastContentType.contains(QLatin1String("1251"), Qt::CaseInsensitive) ? Win1251Decode(*answer)
                                                                               : QString::fromUtf8(*answer);
}
