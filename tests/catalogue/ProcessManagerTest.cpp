#include <gtest/gtest.h>

#include "catalogue/uProcessManager.h"
#include "platform/uClock.h"
#include "platform/uCodec.h"
#include "platform/uResources.h"

namespace {
QByteArray Catalogue(const QString& processes) {
  return Win1251Encode("<?xml version=\"1.0\" encoding=\"windows-1251\"?><processes>" + processes + "</processes>");
}
}  // namespace

TEST(ProcessCatalogue, ShippedProcessesAndForms) {
  TFixedClockScope clock(QDate(2018, 3, 15));
  TProcessManager manager;
  manager.LoadFromXml(LoadTextResource("RC_PROCESS"));
  ASSERT_EQ(manager.Count(), 4);
  const struct {
    const char* id;
    const char* caption;
    const char* classes;
    const char* code;
    const char* period;
    size_t forms;
  } expected[] = {
      {"p_id1", "Итоговая диагностика 1 класс", "RC_forms_id1\\classes_id1.xml", "01", "month_2018_4", 9},
      {"p_id2", "Итоговая диагностика 2 класс", "RC_forms_id2\\classes_id2.xml", "02", "month_2018_4", 11},
      {"p_id3", "Итоговая диагностика 3 класс", "RC_forms_id3\\classes_id3.xml", "03", "month_2018_4", 11},
      {"p_sd1", "Стартовая диагностика 1 класс", "RC_forms_sd1\\classes_sd1.xml", "01", "month_2018_9", 10},
  };
  for (int i = 0; i < 4; ++i) {
    const TProcessItem* p = manager.Item(i);
    EXPECT_EQ(p->Id, expected[i].id);
    EXPECT_EQ(p->Caption, QString::fromUtf8(expected[i].caption));
    EXPECT_EQ(p->Classes, expected[i].classes);
    EXPECT_EQ(p->ClassCode, expected[i].code);
    EXPECT_EQ(p->Period, expected[i].period);
    EXPECT_EQ(p->Forms.size(), expected[i].forms) << p->Id.toStdString();
  }
}

TEST(ProcessCatalogue, ShippedFormDetails) {
  TProcessManager manager;
  manager.LoadFromXml(LoadTextResource("RC_PROCESS"));
  const struct {
    const char* process;
    const char* form;
    const char* caption;
    const char* kind;
    const char* input;
    const char* file;
  } cases[] = {
      {"p_id1", "talv_01", "Список класса", "objlist", "", "RC_forms_id1\\talvex_01.xml"},
      {"p_id1", "talv_07", "Карта первоклассника", "objlist", "id1_1st", "RC_forms_id1\\talvex_07.xml"},
      {"p_id1", "talv_09", "Анкета Учителя", "multiobjs", "", "RC_forms_id1\\talvex_09.xml"},
      {"p_id2", "talv_04", "Чтение-Художественные тексты", "objlist", "", "RC_forms_id2\\talvex_04.xml"},
      {"p_id2", "talv_11", "Анкета учащегося 2 кл.", "objlist", "id2_2st_a", "RC_forms_id2\\talvex_11.xml"},
      {"p_id2", "talv_06", "Бланк Самооценка", "objlist", "id1_selfy", "RC_forms_id2\\talvex_06.xml"},
      {"p_id3", "talv_10", "Чтение-Научно-популярные тексты", "objlist", "", "RC_forms_id3\\talvex_10.xml"},
      {"p_id3", "talv_07", "Карта учащегося 3 кл.", "objlist", "id3_3st", "RC_forms_id3\\talvex_07.xml"},
      {"p_id3", "talv_08", "Анкета родителей", "objlist", "id3_parents", "RC_forms_id3\\talvex_08.xml"},
      {"p_sd1", "talv_sd_02", "Ф1.Рисунок человека", "objlist", "", "RC_forms_sd1\\talvex_02.xml"},
      {"p_sd1", "talv_sd_07", "Ф5.2 Домики-2", "objlist", "", "RC_forms_sd1\\talvex_10.xml"},
      {"p_sd1", "talv_08", "Анкета родителей", "objlist", "sd_parents", "RC_forms_sd1\\talvex_08.xml"},
  };
  for (const auto& c : cases) {
    const TProcessItem* process = manager.FindById(c.process);
    ASSERT_NE(process, nullptr);
    const TFormItem* form = process->FindForm(c.form);
    ASSERT_NE(form, nullptr) << c.process << " " << c.form;
    EXPECT_EQ(form->Caption, QString::fromUtf8(c.caption));
    EXPECT_EQ(form->Kind, c.kind);
    EXPECT_EQ(form->InputForm, c.input);
    EXPECT_EQ(form->FileName, c.file);
  }
  // Order of the tabs of grade 2.
  QStringList names;
  for (const auto& form : manager.FindById("p_id2")->Forms) names << form->Name;
  EXPECT_EQ(names.join(','), "talv_01,talv_02,talv_03,talv_04,talv_10,talv_05,talv_06,talv_07,talv_11,talv_08,talv_09");
}

TEST(ProcessCatalogue, MonthRules) {
  const struct {
    QDate today;
    const char* month;  // nullptr: attribute missing
    const char* period;
  } cases[] = {
      {QDate(2018, 3, 15), "4", "month_2018_4"},  {QDate(2018, 3, 15), nullptr, "month_2018_4"},
      {QDate(2017, 10, 15), nullptr, "month_2017_9"}, {QDate(2017, 10, 15), "13", "month_2017_9"},
      {QDate(2018, 6, 30), "x", "month_2018_4"},  {QDate(2018, 7, 1), "0", "month_2018_9"},
      {QDate(2018, 3, 15), "12", "month_2018_12"},
  };
  for (const auto& c : cases) {
    TFixedClockScope clock(c.today);
    const QString month = c.month ? QString(" month=\"%1\"").arg(c.month) : QString();
    TProcessManager manager;
    manager.LoadFromXml(Catalogue("<process id=\"p\"" + month + "/>"));
    ASSERT_EQ(manager.Count(), 1);
    EXPECT_EQ(manager.Item(0)->Period, c.period) << (c.month ? c.month : "(none)");
  }
}

TEST(ProcessCatalogue, DroppedAndEmptyEntries) {
  TProcessManager manager;
  manager.LoadFromXml(Catalogue(
      "<process caption=\"no id\"/><process id=\"\"/><other id=\"x\"/>"
      "<process id=\"a\"><forms><item name=\"f1\" kind=\"objlist\"/><skip name=\"s\"/></forms></process>"
      "<process id=\"b\"/>"));
  ASSERT_EQ(manager.Count(), 2);
  EXPECT_EQ(manager.Item(0)->Id, "a");
  ASSERT_EQ(manager.Item(0)->Forms.size(), 1u);
  EXPECT_EQ(manager.Item(0)->Forms[0]->InputForm, "");
  EXPECT_TRUE(manager.Item(1)->Forms.empty());
}

TEST(ProcessCatalogue, MalformedTextRaises) {
  TProcessManager manager;
  EXPECT_THROW(manager.LoadFromXml("<processes><process id=\"a\"></processes>"), std::runtime_error);
}

TEST(ProcessCatalogue, PeriodRebuiltFromSchoolYear) {
  TFixedClockScope clock(QDate(2020, 1, 10));
  TProcessManager manager;
  manager.LoadFromXml(Catalogue("<process id=\"final\" month=\"4\"/><process id=\"start\" month=\"9\"/>"
                                "<process id=\"late\" month=\"11\"/><process id=\"may\" month=\"5\"/>"));
  for (const auto& p : manager.Items) p->SetSchoolYear(2017);
  EXPECT_EQ(manager.Item(0)->Period, "month_2018_4");
  EXPECT_EQ(manager.Item(1)->Period, "month_2017_9");
  EXPECT_EQ(manager.Item(2)->Period, "month_2017_11");
  EXPECT_EQ(manager.Item(3)->Period, "month_2018_5");
}
