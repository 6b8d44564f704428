#include <gtest/gtest.h>

#include <QApplication>

#include "platform/uDialogs.h"

// Every test executable gets one QApplication (offscreen under CTest), so
// widget, clipboard and font code can run.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  // No real message box may ever wait for an operator in a test run.
  TRecordingDialogs unattended;
  SetDialogs(&unattended);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
