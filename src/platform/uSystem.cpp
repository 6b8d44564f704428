#include "platform/uSystem.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QUrl>
#include <QUuid>

namespace {
TFileLauncher& Launcher() {
  static TFileLauncher launcher;
  return launcher;
}
}  // namespace

QString TempPath() {
  QString path = QDir::toNativeSeparators(QDir::tempPath());
  if (!path.endsWith(QDir::separator())) path += QDir::separator();
  return path;
}

QString NewGuidText() { return QUuid::createUuid().toString(QUuid::WithBraces).toUpper(); }

void CopyTextToClipboard(const QString& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (text.isEmpty())
    clipboard->clear();
  else
    clipboard->setText(text);
}

QString ClipboardText() { return QGuiApplication::clipboard()->text(); }

bool OpenWithDefaultApplication(const QString& path) {
  if (Launcher()) return Launcher()(path);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void SetFileLauncher(TFileLauncher launcher) { Launcher() = std::move(launcher); }
