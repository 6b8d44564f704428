#include <gtest/gtest.h>

#include "catalogue/uObjsManager.h"
#include "catalogue/uRefBookManager.h"
#include "platform/uAppGlobals.h"
#include "platform/uCodec.h"
#include "platform/uXml.h"

// Reading the definition sections that need no store; the parts that go
// through the store's hooks are tested with the store itself.
namespace {
const char* const kDocument = R"xml(<?xml version="1.0" encoding="windows-1251"?>
<root>
 <rb-codes><code name="sex" caption="Пол"><item code="1" order="1" caption="Женский"/><item code="2" order="2" caption="Мужской"/></code></rb-codes>
 <meta-classes>
  <item class="objects.CityRegion" caption="Район">
   <attribute name="caption" type="string" caption="Название" maxlength="120"/>
   <attribute name="town" type="object:Towns" caption="Город" maxlength="x"/>
  </item>
  <item class="objects.Towns" caption="Населённые пункты">
   <attribute name="caption" type="string" caption="Название"/>
  </item>
  <item class="objects.EduStudent" caption="Учащиеся">
   <attribute name="caption" type="string" caption="ФИО"/>
   <_attribute name="hidden" type="string" caption="off"/>
   <attribute name="sex" type="code:sex" caption="Пол"/>
   <attribute name="sex" type="integer" caption="again"/>
  </item>
  <item class="objects.EduStudent" caption="second definition">
   <attribute name="extra" type="string" caption="x"/>
  </item>
  <_item class="objects.Off" caption="switched off"/>
 </meta-classes>
 <displayheaders>
  <item class="objects.EduStudent" caption="Список">
   <attribute name="caption" caption="ФИО" width="200"/>
   <attribute name="sex" caption="Пол" widht="90"/>
   <attribute name="caption" caption="ФИО ещё раз" width="abc"/>
   <attribute name="unknown" caption="Нет такого" width="10"/>
  </item>
  <item class="objects.Nowhere"><attribute name="caption" width="10"/></item>
 </displayheaders>
</root>)xml";

class ObjsManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App().RBManager = &Books;
    Document = TXmlDocument::Parse(Win1251Encode(QString::fromUtf8(kDocument)));
    Books.LoadRbCodes(Document->Root());
    Manager.LoadMetaClasses(Document->Root());
    Manager.LoadDisplayHeaders(Document->Root());
  }
  void TearDown() override { App().RBManager = nullptr; }

  TRBManager Books;
  TObjsManager Manager;
  std::unique_ptr<TXmlDocument> Document;
};
}  // namespace

TEST_F(ObjsManagerTest, MetaClassesFirstDefinitionWinsAndSwitchedOffIgnored) {
  EXPECT_EQ(Manager.Classes.size(), 3u);
  EXPECT_EQ(Manager.FindClass("objects.Off"), nullptr);
  TMClass* students = Manager.FindClass("objects.EduStudent");
  ASSERT_NE(students, nullptr);
  EXPECT_EQ(students->Caption, "Учащиеся");
  ASSERT_EQ(students->Header.Fields.size(), 2u);
  EXPECT_EQ(students->FieldDefinition("sex")->TypeText, "code:sex");
  EXPECT_EQ(students->FieldDefinition("sex")->RefBook, Books.FindBook("sex"));
  EXPECT_EQ(students->FieldDefinition("extra"), nullptr);
  EXPECT_EQ(students->FieldDefinition("hidden"), nullptr);
}

TEST_F(ObjsManagerTest, ObjectReferenceToClassDefinedLater) {
  TMClass* regions = Manager.FindClass("objects.CityRegion");
  EXPECT_EQ(regions->FieldDefinition("caption")->MaxLength, 120);
  EXPECT_EQ(regions->FieldDefinition("town")->MaxLength, 0);
  EXPECT_EQ(regions->FieldDefinition("town")->RefClass, Manager.FindClass("objects.Towns"));
}

TEST_F(ObjsManagerTest, DisplayHeaderWidths) {
  const auto& headers = Manager.FindClass("objects.EduStudent")->DisplayHeaders;
  ASSERT_EQ(headers.size(), 3u);
  EXPECT_EQ(headers[0].Width, 200);
  EXPECT_EQ(headers[1].Width, 50);  // misspelt width attribute
  EXPECT_EQ(headers[2].Width, 70);  // not a number
  EXPECT_EQ(headers[2].Caption, "ФИО ещё раз");
}

TEST_F(ObjsManagerTest, RegistryAndReferenceResolution) {
  TMClass* towns = Manager.FindClass("objects.Towns");
  TDObject* a = towns->GetOrCreate(12, "town_a");
  TDObject* b = towns->GetOrCreate(30, "town_b");
  EXPECT_EQ(towns->GetOrCreate(12, "other"), a);
  EXPECT_EQ(towns->GetOrCreate(0, "zero"), nullptr);
  a->FieldByName("caption")->SetValue("Город 30");
  b->FieldByName("caption")->SetValue("Малый");
  const struct {
    const char* text;
    std::optional<QString> name;
  } cases[] = {{"12", QString("town_a")}, {"30", QString("town_b")}, {"99", std::nullopt},
               {"town_b", QString("town_b")}, {"малый", QString("town_b")}, {"ГОРОД 30", QString("town_a")},
               {"Нет", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(towns->ResolveReference(QString::fromUtf8(c.text)), c.name) << c.text;
  // An identifier text never matches a caption.
  b->FieldByName("caption")->SetValue("12345");
  EXPECT_EQ(towns->ResolveReference("12345"), std::nullopt);

  TDObject* region = Manager.FindClass("objects.CityRegion")->GetOrCreate(5, "region");
  region->FieldByName("town")->SetValue("Город 30");
  EXPECT_EQ(region->FieldByName("town")->Value.toString(), "town_a");
  EXPECT_EQ(region->Text("town"), "Город 30");
  EXPECT_EQ(Manager.FindObjectById(30), b);
  EXPECT_EQ(Manager.FindObjectByName("region"), region);
  EXPECT_EQ(Manager.FindObjectByName("nobody"), nullptr);

  QStringList texts;
  std::vector<TDObject*> objects;
  towns->FillTexts("caption", texts, &objects);
  EXPECT_EQ(texts, QStringList({"Город 30", "12345"}));
  EXPECT_EQ(objects[1], b);
}

TEST_F(ObjsManagerTest, HooksAbsentMeanNothingHappens) {
  TMClass* towns = Manager.FindClass("objects.Towns");
  EXPECT_EQ(towns->NewObject("x"), nullptr);
  EXPECT_EQ(Manager.NewObjectWithGuid(towns), nullptr);
  towns->ListObjects();
  towns->LoadAllAttributes();
  EXPECT_TRUE(towns->ById.empty());
  EXPECT_EQ(TObjsManager::NewGuidName().size(), 38);
}
