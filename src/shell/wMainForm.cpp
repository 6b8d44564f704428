#include "shell/wMainForm.h"

#include <QCoreApplication>
#include <QTabBar>
#include <QVBoxLayout>

#include "catalogue/uProcessManager.h"
#include "pages/wProgressBox.h"
#include "platform/uAppGlobals.h"
#include "platform/uDialogs.h"
#include "platform/uErrors.h"
#include "platform/uResources.h"
#include "shell/wSelectProcessForm.h"
#include "store/uTALVEXDB.h"

const QString TMainForm::kBaseCaption = QStringLiteral("ТАЛВЕКС — результаты диагностики учащихся");

TMainForm::TMainForm(QWidget* parent) : QWidget(parent) {
  setWindowTitle(kBaseCaption);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  resize(1024, 700);

  tabsMain = new QTabBar(this);
  tabsMain->setTabsClosable(false);
  tabsMain->setExpanding(false);
  for (const char* caption :
       {"Общие сведения", "Образовательные результаты", "Обмен данными / Выгрузка результатов"})
    tabsMain->addTab(QString::fromUtf8(caption));
  tabsMain->setCurrentIndex(0);
  connect(tabsMain, &QTabBar::currentChanged, this, &TMainForm::tabsMainTabSelecting);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(tabsMain);
  // The pages fill the client area below the tab bar, one visible at a time.
  auto* pageHost = new QWidget(this);
  PageArea = new QVBoxLayout(pageHost);
  PageArea->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pageHost, 1);

  FormCreate();
}

TMainForm::~TMainForm() {
  // The store (with the definitions it published), then the catalogue, then
  // the progress window; each clears its global.
  Store.reset();
  App().ProcessManager = nullptr;
  ProcessManager.reset();
  App().ProgressWindow = nullptr;
  ProgressWindow.reset();
}

void TMainForm::FormCreate() {
  try {
    RunStartupSteps();
    StartupDone = true;
  } catch (const std::exception& error) {
    // The window stays open without pages; the operator can only close it.
    if (ProgressWindow) ProgressWindow->hide();
    ShowError(ErrorText(error));
  }
}

void TMainForm::RunStartupSteps() {
  TAppGlobals& app = App();
  app.VersionTag = QStringLiteral("April_2018");
  if (app.AppDir.isEmpty()) app.AppDir = QCoreApplication::applicationDirPath() + '/';

  ProcessManager = std::make_unique<TProcessManager>();
  app.ProcessManager = ProcessManager.get();
  ProcessManager->LoadFromXml(LoadTextResource(QStringLiteral("RC_PROCESS")));

  {
    TSelectProcessForm dialog(this);
    dialog.Fill(*ProcessManager);
    dialog.exec();
    ProcessManager->CurrentProcess = dialog.SelectedProcess();
    SchoolYear = dialog.SelectedSchoolYear();
  }
  if (!ProcessManager->CurrentProcess) throw EAppError(QStringLiteral("Процедура диагностики не выбрана"));
  ProcessManager->CurrentProcess->SetSchoolYear(SchoolYear);

  ProgressWindow = std::make_unique<TProgressForm>(this);
  app.ProgressWindow = ProgressWindow.get();
  ProgressWindow->show();
  ProgressWindow->ProcessMessages();

  Store = std::make_unique<TTALVEXDB>();
  Store->SetSchoolYear(SchoolYear);

  // The login waits until the message loop runs and the window is on screen.
  QMetaObject::invokeMethod(this, &TMainForm::WMStartLogin, Qt::QueuedConnection);

  setWindowTitle(windowTitle() + " (версия ПО: " + app.VersionTag + "; БД:" + Store->DBVersion + ")");

  ProgressWindow->hide();
}

void TMainForm::WMStartLogin() {
  // Service settings, the request manager and the login dialog join here.
}

void TMainForm::ShowTabPage(int tabIndex, bool hide) {
  if (tabIndex < 0 || tabIndex >= tabsMain->count()) return;
  auto* page = static_cast<QWidget*>(tabsMain->tabData(tabIndex).value<void*>());
  if (!page) return;
  page->setVisible(!hide);
}

void TMainForm::tabsMainTabSelecting(int index) {
  ShowTabPage(CurrentTab, true);
  ShowTabPage(index, false);
  CurrentTab = index;
}
