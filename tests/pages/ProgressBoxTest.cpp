#include <gtest/gtest.h>

#include <QProgressBar>
#include <stdexcept>

#include "pages/wProgressBox.h"
#include "TestSupport.h"

TEST(ProgressBox, RunStatementsSkipsEmptyAndFailingLinesAndRepaintsEveryTen) {
  TProgressForm form;
  QStringList lines;
  for (int i = 0; i < 25; ++i) lines << (i == 4 ? QString() : QString("statement %1").arg(i));
  QStringList ran;
  std::vector<int> barAtRun;
  form.RunStatements(lines, [&](const QString& statement) {
    ran << statement;
    barAtRun.push_back(form.ProgressBar1->value());
    if (statement == "statement 7") throw std::runtime_error("no such table");
  });
  EXPECT_EQ(ran.size(), 24);  // the empty line is skipped, the failing one does not stop the run
  EXPECT_EQ(ran.last(), "statement 24");
  // After the 1st, 11th and 21st statements, and once more at the end.
  EXPECT_EQ(form.MessagePumps, 4);
  EXPECT_EQ(form.ProgressBar1->maximum(), 25);
  EXPECT_EQ(form.ProgressBar1->value(), 25);
  EXPECT_EQ(barAtRun[4], 4);  // the empty line moved the bar too
}

TEST(ProgressBox, ShapeOfTheWindow) {
  TProgressForm form;
  EXPECT_EQ(form.size(), QSize(324, 110));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.ProgressBar->height(), 25);
  form.show();
  EXPECT_EQ(form.ProgressBar1->height(), 9);
  SaveScreenshot(&form, "progress_box");
}
