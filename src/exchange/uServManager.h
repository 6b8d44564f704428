#pragma once
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

// Where the central service is, how long to wait for it and which proxy to
// use.  Read once at start-up, changed only by the settings dialog.
struct TServiceSettings {
  QString ServiceAddr = QStringLiteral("localhost");
  int ServicePort = 80;
  int ServiceTimeOut = 500;  // milliseconds, for connecting and for each read
  QString ProxyHost;         // empty: no proxy
  int ProxyPort = 80;
  QString ProxyUser;  // empty: proxy without authentication
  QString ProxyPassword;

  bool operator==(const TServiceSettings&) const = default;
};

// The application-wide values.
TServiceSettings& ServiceSettings();

// Section "RDService" of the settings file; missing keys (and integers that
// do not read as integers) give the defaults.
void LoadServiceSettings(const QString& fileName);
// Writes the seven keys in their fixed order, keeping every other key and section.
void SaveServiceSettings(const QString& fileName);

// The client of the central data service: one synchronous HTTP request per
// operation.  Transport failures never escape: the boolean requests answer
// false, the body requests none, SendData "ERROR".
class TRDataManager {
 public:
  TRDataManager();
  ~TRDataManager();
  TRDataManager(const TRDataManager&) = delete;
  TRDataManager& operator=(const TRDataManager&) = delete;

  void SetHost(const QString& host);
  void SetPort(int port);
  const QString& Host() const { return FHost; }
  int Port() const { return FPort; }
  const QString& BaseUrl() const { return FBaseUrl; }

  // A body that is not XML raises EXmlError to the caller.
  bool CheckVersion(const QString& version);
  bool CheckService();
  bool TryLogin(const QString& login, const QString& sign);

  // The whole answer body, or none when the request failed.
  std::optional<QByteArray> GetSchoolInfo(const QString& login, const QString& sign);
  std::optional<QByteArray> GetClassesList(const QString& period, const QString& school);
  std::optional<QByteArray> GetPupilsList(const QString& period, const QString& classObject);
  std::optional<QByteArray> GetStates(const QString& process, const QString& period, const QString& classObject);

  // Posts the archive as the file part "data" named "talvtemp.7z"; the
  // answer body, or "ERROR" when the upload failed.
  QString SendData(const QByteArray& archive);

  // Copies time-out and proxy settings into the client; every request calls it.
  void ApplySettings();

  // The URL of the last request and the reason the last request failed.
  const QString& LastUrl() const { return FLastUrl; }
  const QString& LastError() const { return FLastError; }

 private:
  struct TClient;
  using TQuery = std::initializer_list<std::pair<const char*, QString>>;

  QString RequestUrl(const char* name, TQuery query) const;
  std::optional<QByteArray> Get(const QString& url);
  std::optional<QByteArray> Perform(const QString& url, const QByteArray* upload);
  bool AskBoolean(const QString& url, bool (*read)(const QByteArray&));
  void RebuildBaseUrl();

  std::unique_ptr<TClient> Client;
  QString FHost;
  int FPort = 0;
  QString FBaseUrl;
  QString FLastUrl;
  QString FLastError;
  QString FLastContentType;
};
