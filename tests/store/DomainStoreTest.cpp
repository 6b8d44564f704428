#include <QDateTime>
#include <QLocale>

#include "catalogue/uCalcsManager.h"
#include "catalogue/uPeriodsManager.h"
#include "catalogue/uRefBookManager.h"
#include "platform/uClock.h"
#include "platform/uDialogs.h"
#include "platform/uXml.h"
#include "StoreFixture.h"

TEST(StoreTexts, NumberAndDateForms) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::Russian));  // a comma locale must not matter
  EXPECT_EQ(SqlNumberText(2.5), "2.5");
  EXPECT_EQ(SqlNumberText(3), "3");
  EXPECT_EQ(SqlNumberText(1e-6), "1E-6");
  EXPECT_EQ(SqlNumberText(-0.125), "-0.125");
  EXPECT_EQ(SqlNumberText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(SqlScientificText(2.5), " 2.50000000000000E+0000");
  EXPECT_EQ(SqlScientificText(-1234.5), "-1.23450000000000E+0003");
  EXPECT_EQ(SqlScientificText(0.001), " 1.00000000000000E-0003");
  EXPECT_EQ(SqlStr("O'Neil"), "'O''Neil'");
  EXPECT_EQ(SqlDStr("a\"b"), "\"a\"\"b\"");
  EXPECT_EQ(SqlDate(QDate(2017, 9, 1)), "01.09.2017");
  QLocale::setDefault(saved);
}

class DomainStoreTest : public StoreFixture {};

TEST_F(DomainStoreTest, NewDatabaseWalksTheWholeChain) {
  TFixedClockScope clock(QDate(2018, 3, 15));
  TTALVEXDB& store = Open();
  EXPECT_EQ(store.DBVersion, "02-OCT-2019 0:00:00.0000");
  EXPECT_EQ(store.GetEnv("dbversion"), "02-OCT-2019 0:00:00.0000");
  EXPECT_EQ(store.GetEnv("school"), "");
  EXPECT_EQ(App().Store, &store);
  ASSERT_NE(App().ObjsManager, nullptr);
  ASSERT_NE(App().RBManager->FindBook("datakind"), nullptr);
  EXPECT_NE(App().ConditionManager->ConditionOf("ind_t.1."), nullptr);
  EXPECT_EQ(App().CalcsManager->FormulaOf("ind_t.1."), "SV('ind_t.2.')");
  EXPECT_EQ(store.Periods->FindById("month_2018_4")->Key, 18204);
  EXPECT_EQ(store.Periods->FindById("year_2000")->Key, 0);
  store.SetSchoolYear(2017);
  EXPECT_EQ(store.SchoolYearStart, QDate(2017, 9, 1));
  EXPECT_EQ(store.SchoolYearEnd, QDate(2018, 5, 31));
}

TEST_F(DomainStoreTest, DefinitionsBecomeObjectsAndRelations) {
  Open();
  TDObject* indicator = Object("ind_t.2.");
  ASSERT_NE(indicator, nullptr);
  EXPECT_EQ(indicator->Text("code"), "ind_t.2.");
  EXPECT_EQ(indicator->Text("type"), "code:sex");
  EXPECT_EQ(indicator->FieldByName("okey")->Value, QVariant(796));
  EXPECT_EQ(Object("ind_t.off."), nullptr);
  TDObject* region = Object("region_1");
  ASSERT_NE(region, nullptr);
  EXPECT_EQ(region->Text("town"), "Энск");  // a class defined later in the document
  TDObject* school = Object("scid_100");
  TDObject* cls = Object("cls_100_1a");
  ASSERT_TRUE(school && cls);
  EXPECT_EQ(cls->Text("school"), "Школа № 100");
  const auto classes = Store->GetRelated("is_class_of", school, QDate(2018, 1, 10));
  ASSERT_EQ(classes.size(), 1u);
  EXPECT_EQ(classes[0], cls);
  EXPECT_TRUE(Store->GetRelated("is_class_of", school, QDate(2017, 8, 31)).empty());
}

TEST_F(DomainStoreTest, SecondStartCreatesNothingAndWritesNothing) {
  Open();
  const int objects = Count("select count(*) as N from tb_objects");
  const int attributes = Count("select count(*) as N from tb_oattrs_STR");
  Store.reset();
  QStringList writes;
  Store = std::make_unique<TTALVEXDB>(QString(), [&writes](const QString& line) {
    if (line.startsWith("UpdateSQL") || line.startsWith("ExecDirect")) writes << line;
  });
  EXPECT_EQ(writes, QStringList()) << writes.join('\n').toStdString();
  EXPECT_EQ(Count("select count(*) as N from tb_objects"), objects);
  EXPECT_EQ(Count("select count(*) as N from tb_oattrs_STR"), attributes);
  EXPECT_EQ(Count("select count(*) as N from tb_relations"), 1);
}

TEST_F(DomainStoreTest, QuotesAreStoredAsWritten) {
  Open();
  TDObject* pupil = Class("objects.EduStudent")->NewObject("std_oneil");
  ASSERT_NE(pupil, nullptr);
  pupil->FieldByName("caption")->SetValue("O'Neil Патрик");
  pupil->Store();
  TDObject* school = Class("objects.EduObject")->NewObject("scid_200");
  school->FieldByName("caption")->SetValue("Школа \"Радуга\" № 5");
  school->FieldByName("history")->SetValue("Основана в 1935 году; д'Артаньян");
  school->Store();
  TDObject* named = Class("objects.Towns")->NewObject("town 'quoted' \"name\"");
  ASSERT_NE(named, nullptr);

  Open();  // a new start reads everything back
  EXPECT_EQ(Object("std_oneil")->Text("caption"), "O'Neil Патрик");
  EXPECT_EQ(Object("scid_200")->Text("caption"), "Школа \"Радуга\" № 5");
  EXPECT_EQ(Object("scid_200")->Text("history"), "Основана в 1935 году; д'Артаньян");
  EXPECT_NE(Object("town 'quoted' \"name\""), nullptr);
}

TEST_F(DomainStoreTest, AttributeTypesRoundTrip) {
  Open();
  TDObject* school = Object("scid_100");
  school->FieldByName("founded")->SetValue("01.09.1935");
  school->FieldByName("area")->SetValue(2.5);
  school->FieldByName("pupils")->SetValue("640");
  school->FieldByName("logo")->SetValue(QString("двоичные данные"));
  QStringList statements;
  Store->OnLogLine = [&](const QString& line) { statements << line; };
  school->Store();
  Store->OnLogLine = nullptr;
  EXPECT_TRUE(statements.filter("SET_ATTR_FLOAT(").join(' ').contains(" 2.50000000000000E+0000"));
  EXPECT_TRUE(statements.filter("SET_ATTR_DATE(").join(' ').contains("'01.09.1935'"));
  EXPECT_TRUE(statements.filter("SET_ATTR_BLOB(").join(' ').contains(":param1"));
  EXPECT_FALSE(school->IsModified());

  Open();
  school = Object("scid_100");
  EXPECT_EQ(school->Text("founded"), "01.09.1935");
  EXPECT_EQ(school->Text("area"), " 2.50");
  EXPECT_EQ(school->FieldByName("pupils")->Value, QVariant(640));
  EXPECT_EQ(school->Text("logo"), "двоичные данные");
}

TEST_F(DomainStoreTest, DisabledObjectComesBackWithItsIdentifier) {
  Open();
  TMClass* pupils = Class("objects.EduStudent");
  TDObject* pupil = pupils->NewObject("std_back");
  const int id = pupil->Id;
  pupil->FieldByName("sex")->SetValue("Мужской");
  pupil->Store();
  pupils->DeleteObject(pupil);
  EXPECT_EQ(pupils->FindByName("std_back"), nullptr);
  QStringList statements;
  Store->OnLogLine = [&](const QString& line) { statements << line; };
  TDObject* again = pupils->NewObject("std_back");
  Store->OnLogLine = nullptr;
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->Id, id);
  EXPECT_TRUE(statements.filter("NEW_OBJECT").isEmpty());
  again->ReloadFromStore();
  EXPECT_EQ(again->FieldByName("sex")->Value, QVariant(2));
}

TEST_F(DomainStoreTest, AttributesReadInBatchesOfHundred) {
  Open();
  TMClass* pupils = Class("objects.EduStudent");
  for (int i = 0; i < 101; ++i) pupils->NewObject(QString("std_%1").arg(i));
  const struct {
    int count;
    int queries;
  } cases[] = {{100, 2}, {101, 4}};  // string and integer groups
  for (const auto& c : cases) {
    std::vector<int> ids;
    for (const auto& [id, object] : pupils->ById)
      if (static_cast<int>(ids.size()) < c.count) ids.push_back(id);
    QStringList queries;
    Store->OnLogLine = [&](const QString& line) {
      if (line.startsWith("DoQuery ( SELECT OBJECT_ID")) queries << line;
    };
    Store->LoadAttributes(pupils, ids, {"caption", "sex", "unknown"});
    Store->OnLogLine = nullptr;
    EXPECT_EQ(queries.size(), c.queries) << c.count;
  }
}

TEST_F(DomainStoreTest, RelationsByDate) {
  Open();
  TDObject* pupil = Class("objects.EduStudent")->NewObject("std_r");
  TDObject* classA = Object("cls_100_1a");
  TDObject* classB = Class("objects.EduClass")->NewObject("cls_100_1b");
  const QDate sep1(2017, 9, 1);
  Store->AddRelation("is_student_of", pupil, classA, sep1);
  Store->AddRelation("is_student_of", pupil, classA, sep1);
  EXPECT_EQ(Count("select count(*) as N from tb_relations where relation='is_student_of'"), 1);
  EXPECT_EQ(Store->GetRelated("is_student_of", classA, QDate(2017, 8, 31)).size(), 0u);
  EXPECT_EQ(Store->GetRelated("is_student_of", classA, sep1).size(), 1u);
  EXPECT_FALSE(Store->HasOtherRelation("is_student_of", pupil, classA, QDate(), QDate(2018, 1, 1)));
  EXPECT_TRUE(Store->HasOtherRelation("is_student_of", pupil, classB, QDate(), QDate(2018, 1, 1)));

  // Ended on 31.08.2018 as of 01.04.2018: still current before the end date, not on it.
  Store->EndRelation("is_student_of", pupil, classA, QDate(2018, 8, 31), QDate(2018, 4, 1));
  EXPECT_EQ(Store->GetRelated("is_student_of", classA, QDate(2018, 8, 30)).size(), 1u);
  EXPECT_EQ(Store->GetRelated("is_student_of", classA, QDate(2018, 8, 31)).size(), 0u);
  // After its end a new row is added.
  Store->AddRelation("is_student_of", pupil, classA, QDate(2018, 9, 1));
  EXPECT_EQ(Count("select count(*) as N from tb_relations where relation='is_student_of'"), 2);

  // Ending today as of today removes the open row.
  Store->AddRelation("is_student_of", pupil, classB);
  Store->EndRelation("is_student_of", pupil, classB);
  EXPECT_EQ(Count("select count(*) as N from tb_relations where bobj=" + QString::number(classB->Id)), 0);
}

TEST_F(DomainStoreTest, RelationsXmlBreaksAndEmptyList) {
  Open();
  TDObject* classB = Class("objects.EduClass")->NewObject("cls_empty");
  EXPECT_EQ(Store->RelationsXml("is_student_of", classB),
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n\r<root>\n\r\t<relations>\n\r\t</relations>\n\r</root>");
  TDObject* pupil = Class("objects.EduStudent")->NewObject("std_x");
  Store->AddRelation("is_student_of", pupil, classB, QDate(2017, 9, 1));
  EXPECT_TRUE(Store->RelationsXml("is_student_of", classB)
                  .contains(QString("\n\r\t\t<i r=\"is_student_of\" a=\"%1\" b=\"%2\"/>").arg(pupil->Id).arg(classB->Id)));
  EXPECT_TRUE(Store->RelationsXml("is_student_of", classB, QDate(), true).contains("a=\"std_x\" b=\"cls_empty\""));
}

TEST_F(DomainStoreTest, MalformedClassDocumentStopsWithItsProblem) {
  Processes->Item(0)->Classes = "RC_TEST\\classes_broken.xml";
  try {
    Open();
    FAIL() << "the store opened a broken document";
  } catch (const std::exception& error) {
    const QString text = QString::fromUtf8(error.what());
    EXPECT_TRUE(text.contains("RC_TEST_classes_broken_xml")) << text.toStdString();
    EXPECT_TRUE(text.contains("XML")) << text.toStdString();
  }
  EXPECT_EQ(App().Store, nullptr);
  EXPECT_EQ(App().ObjsManager, nullptr);
}

TEST_F(DomainStoreTest, SchoolNameGivenAtCreationIsKept) {
  Store = std::make_unique<TTALVEXDB>("scid_100");
  EXPECT_EQ(Store->GetEnv("school"), "scid_100");
  Store->SetEnv("schoolsgn", "it's");
  EXPECT_EQ(Store->GetEnv("schoolsgn"), "it's");
}

TEST_F(DomainStoreTest, SchoolFilteredInitialObjectsAndRelations) {
  Open();
  const auto doc = TXmlDocument::Parse(
      "<root><initobjects><class name=\"objects.EduClass\">"
      "<item name=\"cls_200_2a\"><attribute name=\"caption\" value=\"2А\"/></item>"
      "<item name=\"cls_300_2a\"><attribute name=\"caption\" value=\"2А\"/></item>"
      "</class><class name=\"objects.EduObject\"><item name=\"scid_200\"/><item name=\"scid_300\"/></class>"
      "</initobjects><initrelations>"
      "<i r=\"is_class_of\" a=\"cls_200_2a\" b=\"scid_200\" ds=\"01.09.2017\" de=\"01.01.1900\"/>"
      "<i r=\"is_class_of\" a=\"cls_300_2a\" b=\"scid_300\" ds=\"01.09.2017\" de=\"01.01.1900\"/>"
      "<i r=\"is_class_of\" a=\"cls_100_1a\" b=\"scid_100\" ds=\"01.09.2016\" de=\"31.08.2017\"/>"
      "</initrelations></root>");
  App().ObjsManager->LoadInitObjectsFor(doc->Root(), "200");
  EXPECT_NE(Object("cls_200_2a"), nullptr);
  EXPECT_NE(Object("scid_200"), nullptr);
  EXPECT_EQ(Object("cls_300_2a"), nullptr);
  EXPECT_EQ(Object("cls_200_2a")->Text("caption"), "2А");
  Store->ApplySchoolInitRelations(doc->Root(), "200");
  EXPECT_EQ(Store->GetRelated("is_class_of", Object("scid_200"), QDate(2018, 1, 1)).size(), 1u);
  EXPECT_EQ(Count("select count(*) as N from tb_relations"), 2);
  // An ending date ends (here: removes) the relation just opened for it.
  Store->ApplyInitRelations(doc->Root());
  EXPECT_EQ(Count("select count(*) as N from tb_relations where strdate='01.09.2016'"), 0);
}
