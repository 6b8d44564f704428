#pragma once
#include <QDialog>

#include "exchange/uServManager.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Настройки соединения": edits the service settings and can try the
// service with the values being edited.  One instance for the whole run.
class TServSettingsForm : public QDialog {
  Q_OBJECT

 public:
  explicit TServSettingsForm(QWidget* parent = nullptr);

  // Puts the settings into the controls.
  void FillFrom(const TServiceSettings& s);
  // The values of the controls applied to s (proxy rules included).
  void TakeInto(TServiceSettings& s) const;

  // The connection test: tries the service with the dialog's values and
  // restores the kept values whatever happens.
  void JvSpeedButton2Click();

  QLineEdit* eAddr;
  QSpinBox* udPort;
  QSpinBox* udTimeOut;
  QGroupBox* gbUseProxy;
  QLineEdit* eProxy;
  QSpinBox* udProxyPort;
  QGroupBox* gbProxyAuth;
  QLineEdit* eProxyLogin;
  QLineEdit* eProxyPassword;
  QPushButton* btOk;
  QPushButton* btCancel;
  QPushButton* JvSpeedButton2;
};

// The dialog, created on first use and kept until the application ends.
TServSettingsForm& ServSettingsForm();

// Shows the dialog with the current settings; on OK keeps, saves and hands
// the new address and port to the request manager.  True when OK was pressed.
bool EditServiceSettings();
