#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

#include "platform/uAppGlobals.h"
#include "shell/wMainForm.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("talvex"));

  QCommandLineParser options;
  options.setApplicationDescription(QStringLiteral("Школьное рабочее место: результаты диагностики"));
  options.addHelpOption();
  const QCommandLineOption dirOption(QStringLiteral("dir"),
                                     QStringLiteral("Папка данных программы (база данных и настройки)."),
                                     QStringLiteral("DIR"));
  options.addOption(dirOption);
  options.process(application);

  QString dir = options.isSet(dirOption) ? options.value(dirOption) : QApplication::applicationDirPath();
  QDir().mkpath(dir);
  App().AppDir = QDir(dir).absolutePath() + '/';

  TMainForm mainForm;
  mainForm.showMaximized();
  return application.exec();
}
