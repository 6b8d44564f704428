#include <gtest/gtest.h>

#include <QDateTime>

#include "catalogue/uDataRecord.h"
#include "catalogue/uRefBookManager.h"
#include "platform/uAppGlobals.h"

namespace {
// A class of two objects, standing in for a meta-class.
class TTwoObjects : public IRefClass {
 public:
  std::optional<QString> ResolveReference(const QString& text) const override {
    if (text == "obj_1" || text == "Первый") return QString("obj_1");
    return std::nullopt;
  }
  std::optional<QString> ObjectCaption(const QString& name) const override {
    if (name == "obj_1") return QString("Первый");
    return std::nullopt;
  }
};

class DataRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TRBook* sex = Books.GetOrCreateBook("sex", "Пол");
    sex->AddItem(1, 1, "Женский");
    sex->AddItem(2, 2, "Мужской");
    App().RBManager = &Books;
    TDRecordHeader::ClassResolver = [this](const QString& name) -> IRefClass* {
      return name == "objects.Towns" ? &Towns : nullptr;
    };
    for (const auto& [name, type] : std::initializer_list<std::pair<const char*, const char*>>{
             {"caption", "string"}, {"count", "integer"}, {"weight", "float"}, {"born", "date"},
             {"sex", "code:sex"}, {"town", "object:Towns"}, {"other", "code:unknown"}, {"note", "text"},
             {"data", "blob"}, {"nowhere", "object:Nowhere"}})
      Header.AddField(name, name, 0, type);
    Record = std::make_unique<TDRecord>(&Header);
  }
  void TearDown() override {
    App().RBManager = nullptr;
    TDRecordHeader::ClassResolver = nullptr;
  }
  TDFLD* F(const char* name) { return Record->FieldByName(name); }

  TRBManager Books;
  TTwoObjects Towns;
  TDRecordHeader Header;
  std::unique_ptr<TDRecord> Record;
};
}  // namespace

TEST_F(DataRecordTest, HeaderTypesAndLinks) {
  const struct {
    const char* name;
    int code;
  } cases[] = {{"caption", 0}, {"count", 1}, {"weight", 2}, {"born", 3}, {"sex", 4},
               {"town", 5},    {"other", 4}, {"note", 6},   {"data", 7}};
  for (const auto& c : cases) EXPECT_EQ(Header.FieldDefinition(c.name)->TypeCode, c.code) << c.name;
  EXPECT_EQ(TypeCodeOf("strange"), 0);
  EXPECT_EQ(Header.FieldDefinition("sex")->RefBook, Books.FindBook("sex"));
  EXPECT_EQ(Header.FieldDefinition("other")->RefBook, nullptr);
  EXPECT_EQ(Header.FieldDefinition("town")->RefClass, &Towns);
  EXPECT_EQ(Header.FieldDefinition("nowhere")->RefClass, nullptr);
  EXPECT_EQ(Header.AddField("CAPTION", "x", 5, "integer"), Header.FieldDefinition("caption"));
  EXPECT_EQ(Header.Fields.size(), 10u);
  EXPECT_EQ(Record->FieldByName("CAPTION"), F("caption"));
  EXPECT_EQ(Record->FieldByName("missing"), nullptr);
}

TEST_F(DataRecordTest, IntegerConversionAndFlags) {
  F("count")->SetValue("12");
  EXPECT_EQ(F("count")->Value, QVariant(12));
  EXPECT_TRUE(F("count")->Modified);
  F("count")->Modified = false;
  F("count")->SetValue("12a");
  EXPECT_EQ(F("count")->Value, QVariant(12));
  F("count")->SetValue(12);
  EXPECT_FALSE(F("count")->Modified);  // same value: nothing changes
  F("count")->SetValue(QVariant());
  EXPECT_TRUE(F("count")->Modified);
  EXPECT_TRUE(F("count")->IsNull());
  F("count")->Modified = false;
  F("count")->SetValue(QVariant());
  EXPECT_FALSE(F("count")->Modified);
  EXPECT_TRUE(F("count")->Changed);  // never cleared by the record
}

TEST_F(DataRecordTest, ConversionsByType) {
  const struct {
    const char* field;
    QVariant input;
    QVariant stored;
    const char* text;
  } cases[] = {
      {"caption", 15, QVariant(QString("15")), "15"},
      {"weight", QString("abc"), QVariant(0.0), " 0.00"},
      {"weight", QString("3,5"), QVariant(3.5), " 3.50"},
      {"weight", QString("123.456"), QVariant(123.456), "123.46"},
      {"weight", 0.5, QVariant(0.5), " 0.50"},
      {"born", QString("01.09.2010"), QVariant(QDateTime(QDate(2010, 9, 1), QTime(0, 0))), "01.09.2010"},
      {"born", QString("garbage"), QVariant(QDateTime(QDate(1899, 12, 30), QTime(0, 0))), "30.12.1899"},
      {"sex", QString("Мужской"), QVariant(2), "Мужской"},
      {"sex", QString("1"), QVariant(1), "Женский"},
      {"town", QString("Первый"), QVariant(QString("obj_1")), "Первый"},
      {"note", QString("длинный текст"), QVariant(QString("длинный текст")), "длинный текст"},
  };
  for (const auto& c : cases) {
    TDFLD* field = F(c.field);
    field->Value = QVariant();
    field->SetValue(c.input);
    EXPECT_EQ(field->Value, c.stored) << c.field << " " << c.input.toString().toStdString();
    EXPECT_EQ(field->AsText(), QString::fromUtf8(c.text)) << c.field;
  }
}

TEST_F(DataRecordTest, UnresolvableValuesKeepWhatWasThere) {
  F("sex")->SetValue("2");
  F("sex")->Modified = false;
  F("sex")->SetValue("Средний");
  F("sex")->SetValue("7");
  EXPECT_EQ(F("sex")->Value, QVariant(2));
  EXPECT_FALSE(F("sex")->Modified);
  F("town")->SetValue("Неизвестный");
  EXPECT_TRUE(F("town")->IsNull());
  F("other")->SetValue("5");  // no book: nothing can be resolved
  EXPECT_TRUE(F("other")->IsNull());
}

TEST_F(DataRecordTest, AsTextFallbacks) {
  F("sex")->Value = 9;  // a code the book lacks
  EXPECT_EQ(F("sex")->AsText(), "");
  F("town")->Value = QString("obj_2");  // an object that is not there
  EXPECT_EQ(F("town")->AsText(), "");
  F("other")->Value = 5;
  EXPECT_EQ(F("other")->AsText(), "5");
  F("count")->Value = 42;
  EXPECT_EQ(F("count")->AsText(), "42");
  EXPECT_EQ(F("caption")->AsText(), "");
}

TEST_F(DataRecordTest, ModifiedAndReset) {
  EXPECT_FALSE(Record->IsModified());
  F("caption")->SetValue("x");
  EXPECT_TRUE(Record->IsModified());
  Record->SetModified(false);
  EXPECT_FALSE(Record->IsModified());
  Record->ResetValues(true);
  EXPECT_TRUE(F("caption")->IsNull());
  EXPECT_TRUE(F("count")->Modified);
  Record->ResetValues(false);
  EXPECT_FALSE(Record->IsModified());
}
