#include "platform/uDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace {
IDialogs* gInstalled = nullptr;

QMessageBox::StandardButtons ButtonsOf(TMsgButtons buttons) {
  switch (buttons) {
    case TMsgButtons::Ok: return QMessageBox::Ok;
    case TMsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case TMsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case TMsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(TMsgKind kind) {
  switch (kind) {
    case TMsgKind::Information: return QMessageBox::Information;
    case TMsgKind::Warning: return QMessageBox::Warning;
    case TMsgKind::Error: return QMessageBox::Critical;
    case TMsgKind::Question: return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

TMsgResult FirstButton(TMsgButtons buttons) {
  return (buttons == TMsgButtons::Ok || buttons == TMsgButtons::OkCancel) ? TMsgResult::Ok : TMsgResult::Yes;
}
}  // namespace

IDialogs& Dialogs() {
  static TQtDialogs real;
  return gInstalled ? *gInstalled : real;
}

IDialogs* SetDialogs(IDialogs* dialogs) {
  IDialogs* previous = gInstalled;
  gInstalled = dialogs;
  return previous;
}

void ShowError(const QString& text, const QString& caption) {
  Dialogs().Message(text, caption, TMsgButtons::Ok, TMsgKind::Error);
}

void ShowInfo(const QString& text, const QString& caption) {
  Dialogs().Message(text, caption, TMsgButtons::Ok, TMsgKind::Information);
}

bool AskYesNo(const QString& text, const QString& caption) {
  return Dialogs().Message(text, caption, TMsgButtons::YesNo, TMsgKind::Question) == TMsgResult::Yes;
}

TMsgResult TQtDialogs::Message(const QString& text, const QString& caption, TMsgButtons buttons, TMsgKind kind) {
  QMessageBox box(IconOf(kind), caption, text, ButtonsOf(buttons), QApplication::activeWindow());
  switch (box.exec()) {
    case QMessageBox::Ok: return TMsgResult::Ok;
    case QMessageBox::Yes: return TMsgResult::Yes;
    case QMessageBox::No: return TMsgResult::No;
    default: return TMsgResult::Cancel;
  }
}

QString TQtDialogs::OpenFileName(const QString& caption, const QString& dir, const QString& filter) {
  return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, dir, filter);
}

QString TQtDialogs::SaveFileName(const QString& caption, const QString& dir, const QString& filter) {
  return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, dir, filter);
}

TMsgResult TRecordingDialogs::Message(const QString& text, const QString& caption, TMsgButtons buttons,
                                      TMsgKind kind) {
  Messages.push_back({text, caption, buttons, kind});
  if (Answers.empty()) return FirstButton(buttons);
  const TMsgResult answer = Answers.front();
  Answers.pop_front();
  return answer;
}

QString TRecordingDialogs::NextFileAnswer(const QString& caption) {
  FileDialogCaptions.push_back(caption);
  if (FileAnswers.empty()) return {};
  QString answer = FileAnswers.front();
  FileAnswers.pop_front();
  return answer;
}

QString TRecordingDialogs::OpenFileName(const QString& caption, const QString&, const QString&) {
  return NextFileAnswer(caption);
}

QString TRecordingDialogs::SaveFileName(const QString& caption, const QString&, const QString&) {
  return NextFileAnswer(caption);
}
