#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

#include "catalogue/uProcessManager.h"
#include "platform/uAppGlobals.h"
#include "platform/uClock.h"
#include "platform/uDialogs.h"
#include "shell/wMainForm.h"
#include "shell/wSelectProcessForm.h"
#include "store/uTALVEXDB.h"
#include "TestSupport.h"

namespace {
// Answers the process dialog as an operator would: picks a row, presses the button.
void AnswerProcessDialog(int row) {
  QTimer::singleShot(0, [row] {
    auto* dialog = qobject_cast<TSelectProcessForm*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->ListBox1->setCurrentRow(row);
    dialog->btOk->click();
  });
}
}  // namespace

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override { App().AppDir = Folder.Path(); }
  void TearDown() override { ResetAppGlobals(); }
  TTempFolder Folder;
};

TEST_F(MainFormTest, StartupChoosesProcessAndRebuildsPeriod) {
  const struct {
    int row;
    const char* id;
    const char* period;
  } cases[] = {{0, "p_id1", "month_2018_4"},
               {1, "p_id2", "month_2018_4"},
               {2, "p_id3", "month_2018_4"},
               {3, "p_sd1", "month_2017_9"}};
  for (const auto& c : cases) {
    TTempFolder fresh;  // each process starts on a new database
    App().AppDir = fresh.Path();
    TFixedClockScope fixed(QDate(2018, 3, 15));  // school year 2017/2018 preselected
    AnswerProcessDialog(c.row);
    TMainForm form;
    ASSERT_TRUE(form.StartupCompleted());
    ASSERT_NE(App().ProcessManager, nullptr);
    EXPECT_EQ(App().ProcessManager->CurrentProcess->Id, c.id);
    EXPECT_EQ(App().ProcessManager->CurrentProcess->Period, c.period);
    EXPECT_EQ(form.SchoolYear, 2017);
    ASSERT_EQ(form.tabsMain->count(), 3);
    EXPECT_EQ(form.tabsMain->tabText(0), "Общие сведения");
    EXPECT_EQ(form.tabsMain->tabText(1), "Образовательные результаты");
    EXPECT_EQ(form.tabsMain->tabText(2), "Обмен данными / Выгрузка результатов");
    EXPECT_EQ(form.tabsMain->currentIndex(), 0);
    EXPECT_EQ(form.windowTitle(),
              TMainForm::kBaseCaption + " (версия ПО: April_2018; БД:02-OCT-2019 0:00:00.0000)");
    ASSERT_NE(App().Store, nullptr);
    EXPECT_EQ(App().Store->SchoolYearStart, QDate(2017, 9, 1));
    form.resize(900, 500);
    form.show();
    SaveScreenshot(&form, QString("main_form_") + c.id);
  }
  EXPECT_EQ(App().ProcessManager, nullptr);  // released with the window
}

TEST_F(MainFormTest, TabsWithoutPagesSwitchQuietly) {
  AnswerProcessDialog(0);
  TMainForm form;
  form.tabsMain->setCurrentIndex(2);
  form.ShowTabPage(7, false);
  EXPECT_EQ(form.tabsMain->currentIndex(), 2);
}

TEST_F(MainFormTest, StartupFailureIsShownAndWindowStaysWithoutPages) {
  WriteFileBytes(Folder.File("TALVEXDB.FDB"), "this is not a database");
  TDialogsRecorderScope dialogs;
  AnswerProcessDialog(0);
  TMainForm form;
  EXPECT_FALSE(form.StartupCompleted());
  ASSERT_EQ(dialogs.Recorder.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Recorder.Messages[0].Caption, "Внимание!");
  EXPECT_TRUE(dialogs.Recorder.Messages[0].Text.contains("TALVEXDB.FDB")) << dialogs.Recorder.Messages[0].Text;
  EXPECT_EQ(form.windowTitle(), TMainForm::kBaseCaption);
  EXPECT_EQ(App().Store, nullptr);
  EXPECT_EQ(ReadFileBytes(Folder.File("TALVEXDB.FDB")), QByteArray("this is not a database"));
}
