// Start-up and indicator values on the real embedded database:
//   talvex_bench_startup [later-starts]
// prints the first start of each process on a new database, the median of
// later starts, and the indicator writes and query of a 30 x 40 form.
#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "catalogue/uObjsManager.h"
#include "catalogue/uPeriodsManager.h"
#include "catalogue/uProcessManager.h"
#include "platform/uAppGlobals.h"
#include "platform/uDialogs.h"
#include "shell/wMainForm.h"
#include "shell/wSelectProcessForm.h"
#include "store/uTALVEXDB.h"

namespace {
double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Builds the main window as the program does, answering the process dialog.
double StartMs(int processRow) {
  QTimer::singleShot(0, [processRow] {
    auto* dialog = qobject_cast<TSelectProcessForm*>(QApplication::activeModalWidget());
    if (!dialog) return;
    dialog->ListBox1->setCurrentRow(processRow);
    dialog->btOk->click();
  });
  QElapsedTimer timer;
  timer.start();
  TMainForm form;
  const double ms = timer.nsecsElapsed() / 1e6;
  if (!form.StartupCompleted()) std::printf("  start-up failed\n");
  return ms;
}

void IndicatorFigures() {
  TObjsManager& objects = *App().ObjsManager;
  TTALVEXDB& store = *App().Store;
  TMClass* pupils = objects.FindClass("objects.EduStudent");
  std::vector<TDObject*> indicators;
  for (TDObject* indicator : objects.FindClass("objects.Indicator")->Objects())
    if (indicators.size() < 40) indicators.push_back(indicator);
  std::vector<TDObject*> rows;
  for (int i = 0; i < 30; ++i) rows.push_back(pupils->NewObject(QString("bench_pupil_%1").arg(i)));
  const int period = store.Periods->FindById("month_2018_4")->Key;

  const auto saveAll = [&](double offset) {
    QElapsedTimer timer;
    timer.start();
    for (TDObject* pupil : rows)
      for (size_t k = 0; k < indicators.size(); ++k)
        store.SetIndicatorValue(indicators[k]->Id, pupil->Id, period, 1, QDateTime::currentDateTime(),
                                static_cast<double>(k % 5) + offset, false);
    return timer.nsecsElapsed() / 1e6;
  };
  std::printf("SetIndicatorValue, 30 pupils x 40 indicators (1200 values):\n");
  std::printf("  first save       : %8.1f ms\n", saveAll(0));
  std::printf("  same values again: %8.1f ms\n", saveAll(0));
  std::printf("  all changed      : %8.1f ms\n", saveAll(1));

  QString query = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>\n\t<query>\n\t\t<indsdata>";
  for (TDObject* pupil : rows)
    for (TDObject* indicator : indicators)
      query += "\n\t\t\t<item i=\"" + indicator->Name + "\" o=\"" + pupil->Name + "\" p=\"month_2018_4\" dk=\"1\"/>";
  query += "\n\t\t</indsdata>\n\t</query>\n</root>";
  std::vector<double> times;
  int items = 0;
  for (int run = 0; run < 7; ++run) {
    QElapsedTimer timer;
    timer.start();
    const QString answer = store.QueryIndicators(query);
    times.push_back(timer.nsecsElapsed() / 1e6);
    items = static_cast<int>(answer.count("<item"));
  }
  std::printf("QueryIndicators for that form: %8.1f ms (median of 7, %d values answered)\n", Median(times), items);
}
}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});  // figures only
  QApplication application(argc, argv);
  TRecordingDialogs unattended;
  SetDialogs(&unattended);
  const int laterStarts = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
  const char* names[] = {"p_id1", "p_id2", "p_id3", "p_sd1"};

  std::printf("Start-up to the main window (embedded Firebird, files in a temp folder)\n");
  for (int row = 0; row < 4; ++row) {
    QTemporaryDir folder;
    App().AppDir = folder.path() + '/';
    const double first = StartMs(row);
    std::vector<double> later;
    for (int i = 0; i < laterStarts; ++i) later.push_back(StartMs(row));
    std::printf("  %s: first start (new database) %8.1f ms, later start %6.1f ms (median of %d)\n", names[row],
                first, Median(later), laterStarts);
  }

  QTemporaryDir folder;
  App().AppDir = folder.path() + '/';
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<TSelectProcessForm*>(QApplication::activeModalWidget());
    if (dialog) dialog->btOk->click();
  });
  TMainForm form;
  IndicatorFigures();
  if (!unattended.Messages.empty())
    std::printf("messages shown: %s\n", unattended.Messages.front().Text.toUtf8().constData());
  return 0;
}
