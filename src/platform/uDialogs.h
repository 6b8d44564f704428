#pragma once
#include <QString>
#include <deque>
#include <vector>

class QWidget;

// Message boxes and file dialogs go through this interface so that tests can
// record every text and caption and answer in place of the operator.

enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgResult { Ok, Cancel, Yes, No };
enum class TMsgKind { Information, Warning, Error, Question };

class IDialogs {
 public:
  virtual ~IDialogs() = default;
  virtual TMsgResult Message(const QString& text, const QString& caption, TMsgButtons buttons, TMsgKind kind) = 0;
  // Empty result: the operator cancelled.
  virtual QString OpenFileName(const QString& caption, const QString& dir, const QString& filter) = 0;
  virtual QString SaveFileName(const QString& caption, const QString& dir, const QString& filter) = 0;
};

// The dialogs in use (the real ones unless a test installed others).
IDialogs& Dialogs();
// Installs a replacement (not owned); nullptr restores the real dialogs.
// Returns the one installed before.
IDialogs* SetDialogs(IDialogs* dialogs);

// Shorthands for the two captions the program uses.
void ShowError(const QString& text, const QString& caption = QStringLiteral("Внимание!"));
void ShowInfo(const QString& text, const QString& caption = QStringLiteral("Внимание!"));
bool AskYesNo(const QString& text, const QString& caption = QStringLiteral("Внимание!"));

// The real dialogs, parented to the active window.
class TQtDialogs : public IDialogs {
 public:
  TMsgResult Message(const QString& text, const QString& caption, TMsgButtons buttons, TMsgKind kind) override;
  QString OpenFileName(const QString& caption, const QString& dir, const QString& filter) override;
  QString SaveFileName(const QString& caption, const QString& dir, const QString& filter) override;
};

// Test double: records every call and answers from scripted queues.
// Without a scripted answer a message returns its first button (Ok or Yes)
// and a file dialog returns the empty text (cancelled).
class TRecordingDialogs : public IDialogs {
 public:
  struct TRecord {
    QString Text;
    QString Caption;
    TMsgButtons Buttons;
    TMsgKind Kind;
  };
  std::vector<TRecord> Messages;
  std::vector<QString> FileDialogCaptions;
  std::deque<TMsgResult> Answers;
  std::deque<QString> FileAnswers;

  TMsgResult Message(const QString& text, const QString& caption, TMsgButtons buttons, TMsgKind kind) override;
  QString OpenFileName(const QString& caption, const QString& dir, const QString& filter) override;
  QString SaveFileName(const QString& caption, const QString& dir, const QString& filter) override;

 private:
  QString NextFileAnswer(const QString& caption);
};

// Installs a recorder for the lifetime of the guard.
class TDialogsRecorderScope {
 public:
  TDialogsRecorderScope() : Previous(SetDialogs(&Recorder)) {}
  ~TDialogsRecorderScope() { SetDialogs(Previous); }
  TRecordingDialogs Recorder;

 private:
  IDialogs* Previous;
};
