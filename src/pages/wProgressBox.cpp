#include "pages/wProgressBox.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QVBoxLayout>

TProgressForm::TProgressForm(QWidget* owner) : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setFixedSize(324, 110);
  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(2);

  ProcessLabel = new QLabel(QStringLiteral(" "), panel);
  QFont bold = ProcessLabel->font();
  bold.setPointSize(12);
  bold.setBold(true);
  ProcessLabel->setFont(bold);

  ProgressBar = new QProgressBar(panel);
  ProgressBar->setFixedHeight(25);
  ProgressBar->setTextVisible(false);
  ProgressBar1 = new QProgressBar(panel);
  ProgressBar1->setFixedHeight(9);
  ProgressBar1->setTextVisible(false);
  StatusBar1 = new QStatusBar(panel);
  StatusBar1->setSizeGripEnabled(false);

  auto* inner = new QVBoxLayout(panel);
  inner->addWidget(ProcessLabel);
  inner->addWidget(ProgressBar);
  inner->addWidget(ProgressBar1);
  inner->addStretch();
  inner->addWidget(StatusBar1);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(panel);
}

void TProgressForm::ProcessMessages() {
  ++MessagePumps;
  QApplication::processEvents();
}

void TProgressForm::RunStatements(const QStringList& lines, const TStatementRunner& execute) {
  const int count = static_cast<int>(lines.size());
  ProgressBar1->setRange(0, count);
  for (int i = 0; i < count; ++i) {
    if (!lines[i].isEmpty()) {
      try {
        execute(lines[i]);
      } catch (const std::exception&) {
        // A script line that fails is skipped; the lines before it stay applied.
      }
    }
    ProgressBar1->setValue(i);
    if (i % 10 == 0) ProcessMessages();
  }
  ProgressBar1->setValue(count);
  ProcessMessages();
}
