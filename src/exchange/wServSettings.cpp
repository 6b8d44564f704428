#include "exchange/wServSettings.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "platform/uAppGlobals.h"
#include "platform/uDialogs.h"

namespace {
// Ports reach 65535; a narrower range would silently clamp a valid port.
const int kMaxPort = 65535;
const int kMaxTimeOut = 32767;

QSpinBox* NewUpDown(const char* name, int position, int maximum, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setRange(1, maximum);
  box->setValue(position);
  return box;
}

QLineEdit* NewEdit(const char* name, const QString& text, QWidget* parent) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(QLatin1String(name));
  return edit;
}

// Points the request manager at the address and port of the settings.
void HandOver(TRDataManager& manager, const TServiceSettings& s) {
  manager.SetHost(s.ServiceAddr);
  manager.SetPort(s.ServicePort);
}

TServSettingsForm* Instance = nullptr;

void ReleaseInstance() {
  delete Instance;
  Instance = nullptr;
}
}  // namespace

TServSettingsForm::TServSettingsForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Настройки соединения"));
  auto* service = new QGroupBox(QStringLiteral("Параметры сервиса"), this);
  eAddr = NewEdit("eAddr", TServiceSettings().ServiceAddr, service);
  udPort = NewUpDown("udPort", 80, kMaxPort, service);
  udTimeOut = NewUpDown("udTimeOut", 500, kMaxTimeOut, service);
  auto* serviceLayout = new QVBoxLayout(service);
  serviceLayout->addWidget(new QLabel(QStringLiteral("Адрес сервиса"), service));
  serviceLayout->addWidget(eAddr);
  auto* portRow = new QFormLayout();
  portRow->addRow(QStringLiteral("Порт"), udPort);
  portRow->addRow(QStringLiteral("Время ожидания (TimeOut) сервера (милисекунд)"), udTimeOut);
  serviceLayout->addLayout(portRow);

  gbUseProxy = new QGroupBox(QStringLiteral("Использовать ПРОКСИ"), this);
  gbUseProxy->setObjectName(QStringLiteral("gbUseProxy"));
  gbUseProxy->setCheckable(true);
  gbUseProxy->setChecked(false);
  eProxy = NewEdit("eProxy", QStringLiteral("proxy"), gbUseProxy);
  udProxyPort = NewUpDown("udProxyPort", 80, kMaxPort, gbUseProxy);
  gbProxyAuth = new QGroupBox(QStringLiteral("Авторизация прокси"), gbUseProxy);
  gbProxyAuth->setObjectName(QStringLiteral("gbProxyAuth"));
  gbProxyAuth->setCheckable(true);
  gbProxyAuth->setChecked(false);
  eProxyLogin = NewEdit("eProxyLogin", QString(), gbProxyAuth);
  eProxyPassword = NewEdit("eProxyPassword", QString(), gbProxyAuth);
  eProxyPassword->setEchoMode(QLineEdit::Password);
  eProxyPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
  auto* authLayout = new QFormLayout(gbProxyAuth);
  authLayout->addRow(QStringLiteral("Пользователь прокси"), eProxyLogin);
  authLayout->addRow(QStringLiteral("пароль"), eProxyPassword);
  auto* proxyLayout = new QFormLayout(gbUseProxy);
  proxyLayout->addRow(QStringLiteral("Адрес"), eProxy);
  proxyLayout->addRow(QStringLiteral("Порт"), udProxyPort);
  proxyLayout->addRow(gbProxyAuth);

  btOk = new QPushButton(QStringLiteral("  ОК"), this);
  btOk->setDefault(true);
  btCancel = new QPushButton(QStringLiteral("   Отмена"), this);
  JvSpeedButton2 = new QPushButton(QStringLiteral("Проверить соединение"), this);
  JvSpeedButton2->setObjectName(QStringLiteral("JvSpeedButton2"));
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(JvSpeedButton2);
  buttons->addStretch();
  buttons->addWidget(btOk);
  buttons->addWidget(btCancel);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(service);
  layout->addWidget(gbUseProxy);
  layout->addLayout(buttons);
  setMinimumWidth(420);

  connect(btOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(JvSpeedButton2, &QPushButton::clicked, this, &TServSettingsForm::JvSpeedButton2Click);
}

void TServSettingsForm::FillFrom(const TServiceSettings& s) {
  eAddr->setText(s.ServiceAddr);
  udPort->setValue(s.ServicePort);
  eProxy->setText(s.ProxyHost);
  udProxyPort->setValue(s.ProxyPort);
  eProxyLogin->setText(s.ProxyUser);
  eProxyPassword->setText(s.ProxyPassword);
  gbUseProxy->setChecked(!s.ProxyHost.isEmpty());
  gbProxyAuth->setChecked(!s.ProxyUser.isEmpty());
  udTimeOut->setValue(s.ServiceTimeOut);
}

void TServSettingsForm::TakeInto(TServiceSettings& s) const {
  s.ServiceTimeOut = udTimeOut->value();
  s.ServiceAddr = eAddr->text();
  s.ServicePort = udPort->value();
  if (gbUseProxy->isChecked()) {
    s.ProxyHost = eProxy->text();
    s.ProxyPort = udProxyPort->value();
    if (gbProxyAuth->isChecked()) {
      s.ProxyUser = eProxyLogin->text();
      s.ProxyPassword = eProxyPassword->text();
    } else {
      s.ProxyUser.clear();  // the password stays as it was
    }
  } else {
    s.ProxyHost.clear();  // port, user and password stay as they were
  }
}

void TServSettingsForm::JvSpeedButton2Click() {
  TServiceSettings& current = ServiceSettings();
  const TServiceSettings kept = current;
  std::unique_ptr<TRDataManager> own;
  TRDataManager* manager = App().RequestManager;
  if (!manager) manager = (own = std::make_unique<TRDataManager>()).get();
  // Puts the kept values back on every way out, a parsing error included.
  struct TRestore {
    TServiceSettings& Current;
    const TServiceSettings& Kept;
    TRDataManager& Manager;
    ~TRestore() {
      Current = Kept;
      HandOver(Manager, Kept);
    }
  } restore{current, kept, *manager};

  TakeInto(current);
  HandOver(*manager, current);
  bool reached = false;
  try {
    reached = manager->CheckService();
  } catch (const std::exception& e) {
    Dialogs().Message(QString::fromUtf8(e.what()), QStringLiteral("Внимание!"), TMsgButtons::Ok, TMsgKind::Error);
    return;
  }
  if (reached)
    Dialogs().Message(QStringLiteral("Ок! Соединение прошло успешно"), QStringLiteral("Ок"), TMsgButtons::Ok,
                      TMsgKind::Information);
  else
    Dialogs().Message(QStringLiteral("Ошибка! Не удалось подключиться к сервису"), QStringLiteral("Error!"),
                      TMsgButtons::Ok, TMsgKind::Error);
}

TServSettingsForm& ServSettingsForm() {
  if (!Instance) {
    Instance = new TServSettingsForm();
    qAddPostRoutine(ReleaseInstance);  // widgets must go before the application object
  }
  return *Instance;
}

bool EditServiceSettings() {
  TServSettingsForm& form = ServSettingsForm();
  form.FillFrom(ServiceSettings());
  if (form.exec() != QDialog::Accepted) return false;
  form.TakeInto(ServiceSettings());
  SaveServiceSettings(App().AppDir + QStringLiteral("TALVSrv.ini"));
  if (App().RequestManager) HandOver(*App().RequestManager, ServiceSettings());
  return true;
}
