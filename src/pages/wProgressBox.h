#pragma once
#include <QStringList>
#include <QWidget>
#include <functional>

#include "platform/uScriptProgress.h"

class QLabel;
class QProgressBar;
class QStatusBar;

// The small window that stays on top while the database opens and updates.
class TProgressForm : public QWidget, public IScriptProgress {
  Q_OBJECT
 public:
  explicit TProgressForm(QWidget* owner = nullptr);

  // Lets pending window events through so the window repaints during long work.
  void ProcessMessages();

  // Runs one statement per non-empty entry; a failing statement is skipped.
  // The thin bar follows the entries, and the window repaints every ten.
  void RunStatements(const QStringList& lines, const TStatementRunner& execute) override;

  // Counts ProcessMessages calls (for the repaint rhythm).
  int MessagePumps = 0;

  QLabel* ProcessLabel;
  QProgressBar* ProgressBar;
  QProgressBar* ProgressBar1;
  QStatusBar* StatusBar1;
};
