#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <functional>

#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "exchange/wServSettings.h"
#include "platform/uAppGlobals.h"
#include "platform/uCodec.h"
#include "platform/uDialogs.h"

namespace {
class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    App().AppDir = Temp.Path();
    App().RequestManager = &Manager;
    Manager.SetHost("old.host");
    Manager.SetPort(8000);
    ServiceSettings() = Kept;
  }
  void TearDown() override {
    ResetAppGlobals();
    ServiceSettings() = TServiceSettings();
  }

  // EditServiceSettings with the operator's part played by act, then OK or Отмена.
  bool Edit(const std::function<void(TServSettingsForm&)>& act, bool ok) {
    QTimer::singleShot(0, [&] {
      TServSettingsForm& form = ServSettingsForm();
      act(form);
      (ok ? form.btOk : form.btCancel)->click();
    });
    return EditServiceSettings();
  }

  QString IniText() { return Win1251Decode(ReadFileBytes(Temp.File("TALVSrv.ini"))); }

  TTempFolder Temp;
  TRDataManager Manager;
  TDialogsRecorderScope Dialogs;
  const TServiceSettings Kept{"old.host", 8000, 700, "gate.local", 3128, "proxyman", "secret"};
};

bool HasLabel(QWidget& form, const QString& text) {
  for (QLabel* label : form.findChildren<QLabel*>())
    if (label->text() == text) return true;
  return false;
}
}  // namespace

TEST_F(SettingsDialog, ControlsAsTheOperatorSeesThem) {
  TServSettingsForm& form = ServSettingsForm();
  EXPECT_EQ(&form, &ServSettingsForm());  // one instance for the whole run
  EXPECT_EQ(form.windowTitle(), "Настройки соединения");
  for (const char* text : {"Адрес сервиса", "Порт", "Время ожидания (TimeOut) сервера (милисекунд)", "Адрес",
                           "Пользователь прокси", "пароль"})
    EXPECT_TRUE(HasLabel(form, text)) << text;
  EXPECT_EQ(form.gbUseProxy->title(), "Использовать ПРОКСИ");
  EXPECT_EQ(form.gbProxyAuth->title(), "Авторизация прокси");
  EXPECT_EQ(form.btOk->text(), "  ОК");
  EXPECT_EQ(form.btCancel->text(), "   Отмена");
  EXPECT_EQ(form.JvSpeedButton2->text(), "Проверить соединение");
  for (QSpinBox* box : {form.udPort, form.udTimeOut, form.udProxyPort}) EXPECT_EQ(box->minimum(), 1);
  EXPECT_EQ(form.udTimeOut->maximum(), 32767);
  // Every TCP port can be set (a port above 32767 must not be clamped).
  EXPECT_EQ(form.udPort->maximum(), 65535);
  EXPECT_EQ(form.udProxyPort->maximum(), 65535);
  EXPECT_EQ(form.eProxyPassword->echoMode(), QLineEdit::Password);

  form.FillFrom(Kept);
  EXPECT_TRUE(form.gbUseProxy->isChecked());
  EXPECT_TRUE(form.gbProxyAuth->isChecked());
  EXPECT_EQ(form.udTimeOut->value(), 700);
  EXPECT_EQ(form.eProxyLogin->text(), "proxyman");
  form.FillFrom(TServiceSettings());
  EXPECT_FALSE(form.gbUseProxy->isChecked());
  EXPECT_FALSE(form.eProxy->isEnabled());  // the group's check box switches its contents
  EXPECT_FALSE(form.gbProxyAuth->isChecked());

  form.FillFrom(Kept);
  form.resize(form.sizeHint());
  form.grab().save("serv_settings.png");
}

TEST_F(SettingsDialog, OkKeepsSavesAndHandsOverAddressAndPort) {
  EXPECT_TRUE(Edit(
      [](TServSettingsForm& f) {
        f.eAddr->setText("new.host");
        f.udPort->setValue(8091);
        f.udTimeOut->setValue(2000);
      },
      true));
  EXPECT_EQ(ServiceSettings().ServiceAddr, "new.host");
  EXPECT_EQ(ServiceSettings().ServiceTimeOut, 2000);
  EXPECT_EQ(Manager.BaseUrl(), "http://new.host:8091/");
  EXPECT_TRUE(IniText().contains("Addr=new.host\nPort=8091\nTimeOut=2000\nProxy=gate.local\n")) << IniText().toStdString();
  // Opened again, the kept time-out is shown.
  int shown = 0;
  EXPECT_FALSE(Edit([&](TServSettingsForm& f) { shown = f.udTimeOut->value(); }, false));
  EXPECT_EQ(shown, 2000);
}

TEST_F(SettingsDialog, CancelChangesNothing) {
  EXPECT_FALSE(Edit([](TServSettingsForm& f) { f.eAddr->setText("elsewhere"); }, false));
  EXPECT_EQ(ServiceSettings(), Kept);
  EXPECT_EQ(Manager.BaseUrl(), "http://old.host:8000/");
  EXPECT_FALSE(QFile::exists(Temp.File("TALVSrv.ini")));
}

TEST_F(SettingsDialog, ProxyRules) {
  // Proxy unchecked: empty "Proxy"; port, user and password stay.
  Edit([](TServSettingsForm& f) { f.gbUseProxy->setChecked(false); }, true);
  EXPECT_EQ(ServiceSettings(), TServiceSettings({"old.host", 8000, 700, "", 3128, "proxyman", "secret"}));
  EXPECT_TRUE(IniText().contains("Proxy=\nProxyPort=3128\nProxyUser=proxyman\nProxyPassword=secret")) << IniText().toStdString();

  // Proxy checked without authentication: user emptied, password kept.
  ServiceSettings() = Kept;
  Edit(
      [](TServSettingsForm& f) {
        f.udProxyPort->setValue(8080);
        f.gbProxyAuth->setChecked(false);
        f.eProxyPassword->setText("typed but unused");
      },
      true);
  EXPECT_EQ(ServiceSettings(), TServiceSettings({"old.host", 8000, 700, "gate.local", 8080, "", "secret"}));
  EXPECT_TRUE(IniText().contains("Proxy=gate.local\nProxyPort=8080\nProxyUser=\nProxyPassword=secret")) << IniText().toStdString();

  // Both checked: everything taken from the dialog.
  Edit(
      [](TServSettingsForm& f) {
        f.gbProxyAuth->setChecked(true);
        f.eProxyLogin->setText("другой");
        f.eProxyPassword->setText("новый");
      },
      true);
  EXPECT_EQ(ServiceSettings(), TServiceSettings({"old.host", 8000, 700, "gate.local", 8080, "другой", "новый"}));
}

TEST_F(SettingsDialog, ConnectionTestRestoresTheKeptValues) {
  TTestServer service;
  std::string body = "<root/>";
  service.Server.Get("/checkservice", [&](const httplib::Request&, httplib::Response& res) { res.set_content(body, "text/xml"); });
  service.Start();
  TServSettingsForm& form = ServSettingsForm();
  const struct {
    int port;
    const char* answer;
    const char* text;
    const char* caption;
  } cases[] = {
      {service.Port, "<root/>", "Ок! Соединение прошло успешно", "Ок"},
      {RefusedPort(), "<root/>", "Ошибка! Не удалось подключиться к сервису", "Error!"},
      {service.Port, "<notroot/>", "Ошибка! Не удалось подключиться к сервису", "Error!"},
      {service.Port, "Service Unavailable", nullptr, "Внимание!"},  // the parser's error reaches the operator
  };
  for (const auto& c : cases) {
    body = c.answer;
    Dialogs.Recorder.Messages.clear();
    form.FillFrom(Kept);
    form.eAddr->setText("127.0.0.1");
    form.udPort->setValue(c.port);
    form.gbUseProxy->setChecked(false);
    form.udTimeOut->setValue(400);
    form.JvSpeedButton2->click();
    ASSERT_EQ(Dialogs.Recorder.Messages.size(), 1u) << c.answer;
    if (c.text) {
      EXPECT_EQ(Dialogs.Recorder.Messages[0].Text, c.text);
    }
    EXPECT_FALSE(Dialogs.Recorder.Messages[0].Text.isEmpty());
    EXPECT_EQ(Dialogs.Recorder.Messages[0].Caption, c.caption);
    EXPECT_EQ(ServiceSettings(), Kept);
    EXPECT_EQ(Manager.BaseUrl(), "http://old.host:8000/");
  }
  EXPECT_FALSE(QFile::exists(Temp.File("TALVSrv.ini")));

  // A test with changed values, then Отмена: the old address and port stay in use.
  Edit(
      [&](TServSettingsForm& f) {
        f.eAddr->setText("127.0.0.1");
        f.udPort->setValue(service.Port);
        f.JvSpeedButton2->click();
      },
      false);
  EXPECT_EQ(Manager.BaseUrl(), "http://old.host:8000/");
  EXPECT_EQ(ServiceSettings(), Kept);
}
