#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "catalogue/uProcessManager.h"
#include "platform/uClock.h"
#include "platform/uResources.h"
#include "shell/wSelectProcessForm.h"
#include "TestSupport.h"

TEST(SchoolYears, ListAndSelectionByDate) {
  const struct {
    QDate today;
    const char* entries;
    const char* selected;
  } cases[] = {
      {{2018, 3, 15}, "2014 - 2015|2015 - 2016|2016 - 2017|2017 - 2018|2018 - 2019", "2017 - 2018"},
      {{2017, 10, 10}, "2014 - 2015|2015 - 2016|2016 - 2017|2017 - 2018", "2017 - 2018"},
      {{2018, 8, 31}, "2014 - 2015|2015 - 2016|2016 - 2017|2017 - 2018|2018 - 2019", "2017 - 2018"},
      {{2018, 9, 1}, "2015 - 2016|2016 - 2017|2017 - 2018|2018 - 2019", "2018 - 2019"},
      {{2019, 1, 1}, "2015 - 2016|2016 - 2017|2017 - 2018|2018 - 2019|2019 - 2020", "2018 - 2019"},
      {{2018, 12, 31}, "2015 - 2016|2016 - 2017|2017 - 2018|2018 - 2019", "2018 - 2019"},
  };
  for (const auto& c : cases) {
    int selected = -1;
    QStringList texts;
    const auto choices = SchoolYearChoices(c.today, &selected);
    for (const auto& choice : choices) {
      texts << choice.Text;
      EXPECT_EQ(choice.Text, QStringLiteral("%1 - %2").arg(choice.FirstYear).arg(choice.FirstYear + 1));
    }
    EXPECT_EQ(texts.join('|'), c.entries) << c.today.toString().toStdString();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(choices[selected].Text, c.selected) << c.today.toString().toStdString();
  }
}

class SelectProcessFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Processes.LoadFromXml(LoadTextResource("RC_PROCESS"));
    Form.Fill(Processes);
  }
  TFixedClockScope Fixed{QDate(2018, 3, 15)};
  TProcessManager Processes;
  TSelectProcessForm Form;
};

TEST_F(SelectProcessFormTest, FillListsProcessesAndPreselectsFirst) {
  EXPECT_EQ(Form.windowTitle(), "Выбор процедуры диагностики");
  EXPECT_EQ(Form.btOk->text(), " Продолжить");
  ASSERT_EQ(Form.ListBox1->count(), 4);
  EXPECT_EQ(Form.ListBox1->item(3)->text(), "Стартовая диагностика 1 класс");
  EXPECT_EQ(Form.SelectedProcess(), Processes.Item(0));
  EXPECT_EQ(Form.cbSTYear->count(), 5);
  EXPECT_EQ(Form.SelectedSchoolYear(), 2017);
  EXPECT_FALSE(Form.windowFlags() & Qt::WindowCloseButtonHint);
  Form.show();
  SaveScreenshot(&Form, "select_process");
}

TEST_F(SelectProcessFormTest, EnterAndDoubleClickNeedASelectedEntry) {
  QSignalSpy accepted(&Form, &QDialog::accepted);
  Form.ListBox1->clearSelection();
  Form.ListBox1->setCurrentItem(nullptr);
  QTest::keyClick(Form.ListBox1, Qt::Key_Return);
  EXPECT_EQ(accepted.count(), 0);
  Form.ListBox1->setCurrentRow(2);
  QTest::keyClick(Form.ListBox1, Qt::Key_Return);
  EXPECT_EQ(accepted.count(), 1);
  EXPECT_EQ(Form.SelectedProcess(), Processes.Item(2));
  Form.ListBox1->setCurrentRow(1);
  emit Form.ListBox1->itemDoubleClicked(Form.ListBox1->item(1));
  EXPECT_EQ(accepted.count(), 2);
}

TEST_F(SelectProcessFormTest, EscapeDoesNotClose) {
  QSignalSpy rejected(&Form, &QDialog::rejected);
  Form.show();
  QTest::keyClick(&Form, Qt::Key_Escape);
  Form.reject();
  EXPECT_EQ(rejected.count(), 0);
  EXPECT_TRUE(Form.isVisible());
}
