#include <gtest/gtest.h>

#include "ExchangeTestSupport.h"
#include "TestSupport.h"
#include "exchange/uExchangePackages.h"
#include "platform/uXml.h"
#include "platform/uCodec.h"

namespace {
TPackageAttribute Attr(const char* name, const QString& caption, const char* type, const QString& value,
                       const QString& title) {
  return {QString::fromLatin1(name), caption, QString::fromLatin1(type), value, title};
}

// The form of the golden file: a class object, two pupils, three value cells
// (one of them empty), relations of the pupils to the class.
TFormDataPackage SamplePackage() {
  TFormDataPackage p;
  p.ProcessId = "p_id1";
  p.FormId = "talv_02";
  p.ObjectId = "cls_5081_1a";
  p.PeriodId = "month_2018_4";
  p.Objects.push_back(
      {"cls_5081_1a",
       "objects.EduClass",
       {Attr("code", "Код класса", "string", "1А", "1А"),
        Attr("caption", "Наименование", "string", "1 \"А\" класс", "1 \"А\" класс"),
        Attr("school", "Школа", "object:EduObject", "scid_5081", "МБОУ \"Школа № 17\" & филиал")}});
  p.Objects.push_back({"std_5081_0101",
                       "objects.EduStudent",
                       {Attr("caption", "Фамилия, имя", "string", "Соколова Анна", "Соколова Анна"),
                        Attr("sex", "Пол (Ж/М)", "code:sex", "1", "Женский")}});
  p.Objects.push_back({"std_5081_0102",
                       "objects.EduStudent",
                       {Attr("caption", "Фамилия, имя", "string", "Беляев Тимур", "Беляев Тимур"),
                        Attr("sex", "Пол (Ж/М)", "code:sex", "2", "Мужской")}});
  p.Values = {{"ind_m_01", "std_5081_0101", "month_2018_4", 1, "2,5"},
              {"ind_m_01", "std_5081_0102", "month_2018_4", 1, ""},
              {"ind_m_02", "std_5081_0102", "month_2018_4", 1, "1"}};
  p.Relations = FormRelations(p.Objects, "is_student_of");
  return p;
}
}  // namespace

TEST(FormDataPackage, MatchesGoldenFileByteForByte) {
  const QByteArray written = WriteFormDataPackage(SamplePackage());
  const QByteArray golden = ReadFileBytes(GoldenPath("form_package.xml"));
  EXPECT_EQ(written, golden);
  EXPECT_FALSE(written.contains('\r'));
  EXPECT_TRUE(written.contains(Win1251Encode("value=\"1 &quot;А&quot; класс\"")));
}

TEST(FormDataPackage, EmptySectionsWithoutValuesOrPeriod) {
  TFormDataPackage p = SamplePackage();
  p.Values.clear();
  EXPECT_TRUE(FormDataPackageText(p).contains("\n\t<data>\n\t</data>"));
  p = SamplePackage();
  p.PeriodId.clear();  // a form without a period writes no values
  EXPECT_TRUE(FormDataPackageText(p).contains("\n\t<data>\n\t</data>"));
  EXPECT_TRUE(FormDataPackageText(p).contains("periodid=\"\">"));
  p.Objects.resize(1);
  p.Relations = FormRelations(p.Objects, "is_student_of");
  EXPECT_TRUE(FormDataPackageText(p).contains("\n\t<relations>\n\t</relations>\n</root>"));
}

TEST(FormDataPackage, ReadBackWithSchoolTitleBlanked) {
  const TFormDataPackage source = SamplePackage();
  const std::optional<TFormDataPackage> read = ReadFormDataPackage(ReadFileBytes(GoldenPath("form_package.xml")));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->ProcessId, "p_id1");
  EXPECT_EQ(read->FormId, "talv_02");
  EXPECT_EQ(read->ObjectId, "cls_5081_1a");
  EXPECT_EQ(read->PeriodId, "month_2018_4");
  ASSERT_EQ(read->Objects.size(), source.Objects.size());
  for (size_t i = 0; i < source.Objects.size(); ++i) {
    EXPECT_EQ(read->Objects[i].Name, source.Objects[i].Name);
    EXPECT_EQ(read->Objects[i].ClassName, source.Objects[i].ClassName);
    ASSERT_EQ(read->Objects[i].Attributes.size(), source.Objects[i].Attributes.size());
    for (size_t k = 0; k < source.Objects[i].Attributes.size(); ++k) {
      const TPackageAttribute& a = read->Objects[i].Attributes[k];
      const TPackageAttribute& b = source.Objects[i].Attributes[k];
      EXPECT_EQ(a.Name, b.Name);
      EXPECT_EQ(a.Caption, b.Caption);
      EXPECT_EQ(a.Type, b.Type);
      EXPECT_EQ(a.Value, b.Value);
      EXPECT_EQ(a.ValueTitle, a.Name == "school" ? QString() : b.ValueTitle) << a.Name.toStdString();
    }
  }
  ASSERT_EQ(read->Values.size(), 2u);  // the empty cell was left out
  EXPECT_EQ(read->Values[0].Indicator, "ind_m_01");
  EXPECT_EQ(read->Values[0].Value, "2,5");
  EXPECT_EQ(read->Values[1].DataKind, 1);
  ASSERT_EQ(read->Relations.size(), 2u);
  EXPECT_EQ(read->Relations[1].Relation, "is_student_of");
  EXPECT_EQ(read->Relations[1].AObject, "std_5081_0102");
  EXPECT_EQ(read->Relations[1].BObject, "cls_5081_1a");
}

TEST(FormDataPackage, BlankingRule) {
  const QByteArray head = R"(<attribute name="school" value="s" )";
  const QByteArray title = R"(valuetitle="A<&B")";
  // Everything from valuetitle=" up to the closing "/>" becomes blanks; "/>" stays.
  EXPECT_EQ(BlankSchoolTitle(head + title + "/>"), head + QByteArray(title.size(), ' ') + "/>");
  // Only the first such element.
  const QByteArray second = R"(<attribute name="school" valuetitle="y"/>)";
  EXPECT_EQ(BlankSchoolTitle(head + title + "/>" + second), head + QByteArray(title.size(), ' ') + "/>" + second);
  const QByteArray unchanged[] = {
      R"(<attribute name="school" value="s"/><b valuetitle="z"/>)",  // no valuetitle before the element's end
      R"(<attribute name="schools" valuetitle="x"/>)",               // another attribute
      R"(<attribute name="school" valuetitle="x")",                  // no end at all
  };
  for (const QByteArray& raw : unchanged) EXPECT_EQ(BlankSchoolTitle(raw), raw) << raw.constData();
}

TEST(FormDataPackage, UnreadablePackages) {
  EXPECT_FALSE(ReadFormDataPackage("not xml"));
  EXPECT_FALSE(ReadFormDataPackage(""));
  EXPECT_FALSE(ReadFormDataPackage("<?xml version=\"1.0\"?><package/>"));
  // Unknown sections are ignored, known ones still read.
  const auto p = ReadFormDataPackage("<root formid=\"f\"><extra/><data><item i=\"a\" o=\"b\" p=\"c\" dk=\"x\"/></data></root>");
  ASSERT_TRUE(p);
  ASSERT_EQ(p->Values.size(), 1u);
  EXPECT_EQ(p->Values[0].DataKind, -1);
  EXPECT_TRUE(p->Values[0].Value.isEmpty());
}

TEST(ServiceAnswers, OkAndServiceAnswers) {
  const struct {
    const char* body;
    bool ok;
    bool service;
  } cases[] = {
      {"<root>OK</root>", true, true},
      {"<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<root>OK</root>", true, true},
      {"<root>ok</root>", false, true},
      {"<root>OK </root>", false, true},
      {"<root/>", false, true},
      {"<answer>OK</answer>", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadOkAnswer(c.body), c.ok) << c.body;
    EXPECT_EQ(ReadServiceAnswer(c.body), c.service) << c.body;
  }
  EXPECT_THROW(ReadOkAnswer("OK"), EXmlError);
  EXPECT_THROW(ReadServiceAnswer("<root>"), EXmlError);
  EXPECT_THROW(ReadServiceAnswer(""), EXmlError);
}

TEST(ServiceAnswers, SchoolInfoTakesFirstItem) {
  const QByteArray body = Win1251Encode(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?><root><x/><item name=\"scid_5081\" class=\"objects.EduObject\">"
      "<attribute name=\"caption\" value=\"Школа № 17\"/><attribute name=\"code\" value=\"5081\"/></item>"
      "<item name=\"scid_other\"/></root>");
  const std::optional<TServiceItem> item = ReadSchoolInfo(body);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->Name, "scid_5081");
  EXPECT_EQ(item->ClassName, "objects.EduObject");
  EXPECT_EQ(item->Value("caption"), "Школа № 17");
  EXPECT_EQ(item->Value("code"), "5081");
  EXPECT_FALSE(ReadSchoolInfo("<root/>"));
  EXPECT_FALSE(ReadSchoolInfo("<other><item name=\"a\"/></other>"));
  EXPECT_FALSE(ReadSchoolInfo("garbage"));
}

TEST(ServiceAnswers, ClassAndPupilLists) {
  const QByteArray classes = Win1251Encode(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?><root><item name=\"cls_1\">"
      "<attribute name=\"code\" value=\"1А\"/><attribute name=\"caption\" value=\"1 «А»\"/>"
      "<attribute name=\"school\" value=\"scid_5081\"/><attribute name=\"teachercode\" value=\"T1\"/>"
      "<attribute name=\"unknown\" value=\"?\"/></item><item name=\"cls_2\"/></root>");
  const TServiceList<TCLSItem> c = ReadClassesList(classes);
  EXPECT_TRUE(c.HasDocument);
  EXPECT_TRUE(c.IsRoot);
  ASSERT_EQ(c.Items.size(), 2u);
  EXPECT_EQ(c.Items[0].Name, "cls_1");
  EXPECT_EQ(c.Items[0].Code, "1А");
  EXPECT_EQ(c.Items[0].Caption, "1 «А»");
  EXPECT_EQ(c.Items[0].School, "scid_5081");
  EXPECT_EQ(c.Items[0].TeacherCode, "T1");
  EXPECT_TRUE(c.Items[1].Code.isEmpty());

  const TServiceList<TTSDItem> p = ReadPupilsList(
      "<root><item name=\"s1\"><attribute name=\"idx\" value=\"3\"/><attribute name=\"code\" value=\"c\"/>"
      "<attribute name=\"caption\" value=\"n\"/><attribute name=\"sex\" value=\"2\"/>"
      "<attribute name=\"month_of_birth\" value=\"11\"/><attribute name=\"year_of_birth\" value=\"2010\"/></item></root>");
  ASSERT_EQ(p.Items.size(), 1u);
  const TTSDItem& s = p.Items[0];
  EXPECT_EQ(QStringList({s.Name, s.Idx, s.Code, s.Caption, s.Sex, s.MonthOfBirth, s.YearOfBirth}),
            QStringList({"s1", "3", "c", "n", "2", "11", "2010"}));

  const TServiceList<TCLSItem> other = ReadClassesList("<list><item name=\"x\"/></list>");
  EXPECT_TRUE(other.HasDocument);
  EXPECT_FALSE(other.IsRoot);
  EXPECT_TRUE(other.Items.empty());
  const TServiceList<TCLSItem> none = ReadClassesList("<html>broken");
  EXPECT_FALSE(none.HasDocument);
}

TEST(ServiceAnswers, FormStates) {
  const TServiceList<TFormState> s = ReadFormStates(
      "<root><item formid=\"talv_01\" state=\"1\" update=\"12.04.2018 10:15:00\"/>"
      "<item formid=\"talv_02\" state=\"0\" update=\"x\"/><item formid=\"talv_03\"/>"
      "<item formid=\"talv_04\" state=\"1 \"/></root>");
  ASSERT_EQ(s.Items.size(), 4u);
  EXPECT_TRUE(s.Items[0].Loaded);
  EXPECT_EQ(s.Items[0].UpdateTime, "12.04.2018 10:15:00");
  for (int i = 1; i < 4; ++i) {
    EXPECT_FALSE(s.Items[i].Loaded) << i;
    EXPECT_TRUE(s.Items[i].UpdateTime.isEmpty()) << i;
  }
}
