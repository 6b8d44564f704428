#pragma once
#include <QWidget>
#include <memory>

class QTabBar;
class QVBoxLayout;
class TProcessManager;
class TProgressForm;
class TTALVEXDB;

// The main window: runs the start-up sequence when it is created, then hosts
// the three pages under a tab bar.
class TMainForm : public QWidget {
  Q_OBJECT
 public:
  static const QString kBaseCaption;

  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  int SchoolYear = 0;
  QTabBar* tabsMain;

  // True once every step of the start-up sequence has run.
  bool StartupCompleted() const { return StartupDone; }
  // Shows or hides the page carried by a tab; nothing when there is none.
  void ShowTabPage(int tabIndex, bool hide);

 private:
  void FormCreate();
  void RunStartupSteps();
  void WMStartLogin();
  void tabsMainTabSelecting(int index);

  QVBoxLayout* PageArea;
  std::unique_ptr<TProcessManager> ProcessManager;
  std::unique_ptr<TProgressForm> ProgressWindow;
  std::unique_ptr<TTALVEXDB> Store;
  int CurrentTab = 0;
  bool StartupDone = false;
};
