#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <map>

#include "catalogue/uCalcsManager.h"
#include "catalogue/uObjsManager.h"
#include "catalogue/uRefBookManager.h"
#include "platform/uAppGlobals.h"
#include "platform/uCodec.h"
#include "platform/uResources.h"
#include "platform/uXml.h"

// The class-definition documents the program carries, read through the
// definition managers as the store reads them, and the two update resources.
namespace {

struct TIndicatorItem {
  QString Name;
  QString Caption;
  QString Type;
  QString Okei;
};

// One shipped document with its books, meta-classes, display headers, rules
// and the "item" elements of its "indicators" section (indicators become
// objects only in the store).
class TShippedDocument {
 public:
  explicit TShippedDocument(const QByteArray& bytes) {
    App().RBManager = &Books;
    Document = TXmlDocument::Parse(bytes);
    const TXmlElement root = Document->Root();
    Books.LoadRbCodes(root);
    Objects.LoadMetaClasses(root);
    Objects.LoadDisplayHeaders(root);
    Calcs.LoadFromXml(root);
    Conditions.LoadFromXml(root);
    for (const TXmlElement& section : root.Children("indicators"))
      for (const TXmlElement& item : section.Children("item")) {
        Indicators.push_back(
            {item.Attribute("name"), item.Attribute("caption"), item.Attribute("type"), item.Attribute("okei")});
        ByName[Indicators.back().Name] = Indicators.size() - 1;
      }
  }
  ~TShippedDocument() { App().RBManager = nullptr; }

  static QByteArray Bytes(const QString& catalogPath) { return LoadTextResource(ResourceNameOf(catalogPath)); }

  const TIndicatorItem* Indicator(const QString& name) const {
    const auto it = ByName.find(name);
    return it == ByName.end() ? nullptr : &Indicators[it->second];
  }
  // Names with this prefix, in document order.
  QStringList NamesStartingWith(const QString& prefix) const {
    QStringList names;
    for (const TIndicatorItem& item : Indicators)
      if (item.Name.startsWith(prefix)) names << item.Name;
    return names;
  }

  TRBManager Books;
  TObjsManager Objects;
  TCalcsManager Calcs;
  TConditionManager Conditions;
  std::vector<TIndicatorItem> Indicators;
  std::map<QString, size_t> ByName;
  std::unique_ptr<TXmlDocument> Document;
};

QStringList Range(const QString& prefix, int first, int last) {
  QStringList names;
  for (int i = first; i <= last; ++i) names << prefix + QString::number(i) + '.';
  return names;
}

QString U(const char* text) { return QString::fromUtf8(text); }

const char* const kDocuments[] = {"RC_forms_id1\\classes_id1.xml", "RC_forms_id2\\classes_id2.xml",
                                  "RC_forms_id3\\classes_id3.xml", "RC_forms_sd1\\classes_sd1.xml"};

class ClassDocument : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { Doc = std::make_unique<TShippedDocument>(TShippedDocument::Bytes(GetParam())); }
  bool IsStart() const { return QString(GetParam()).contains("sd1"); }
  std::unique_ptr<TShippedDocument> Doc;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Shipped, ClassDocument, ::testing::ValuesIn(kDocuments));

TEST_P(ClassDocument, ReferenceBooks) {
  const struct {
    const char* book;
    std::vector<std::pair<int, const char*>> items;  // in display order
  } cases[] = {
      {"sex", {{1, "Женский"}, {2, "Мужской"}}},
      {"datakind", {{1, "Отчет"}, {2, "Оценка"}, {3, "План"}}},
      {"work_executing", {{1, "1-выполнена"}, {0, "0-не выполнена (не принимал участия)"}}},
      {"bool", {{0, "Нет"}, {1, "Да"}}},
      {"variant_math", {{1, "1-й Вариант"}, {2, "2-й Вариант"}}},
  };
  for (const auto& c : cases) {
    const TRBook* book = Doc->Books.FindBook(c.book);
    ASSERT_NE(book, nullptr) << c.book;
    const std::vector<TRBItem*> sorted = book->SortedItems();
    ASSERT_EQ(sorted.size(), c.items.size()) << c.book;
    for (size_t i = 0; i < sorted.size(); ++i) {
      EXPECT_EQ(sorted[i]->Code, c.items[i].first) << c.book;
      EXPECT_EQ(sorted[i]->Caption, U(c.items[i].second)) << c.book;
    }
  }
  EXPECT_EQ(Doc->Books.FindBook("work_executing")->ItemByCode(1)->Order, 0);

  const TRBook* months = Doc->Books.FindBook("month");
  ASSERT_NE(months, nullptr);
  ASSERT_EQ(months->Items.size(), 12u);
  EXPECT_EQ(months->ItemByCode(1)->Caption, U("Январь"));
  EXPECT_EQ(months->ItemByCode(12)->Caption, U("Декабрь"));

  // the books an input card shows from code 1 on, and the book mathgroup fills
  const struct {
    const char* book;
    int count;
  } fromOne[] = {{"state_of_mind", 3}, {"physkult_group", 3}, {"zdrav_group", 4}, {"math_teachgroup", 4}};
  for (const auto& c : fromOne) {
    const TRBook* book = Doc->Books.FindBook(c.book);
    ASSERT_NE(book, nullptr) << c.book;
    ASSERT_EQ(book->Items.size(), size_t(c.count)) << c.book;
    EXPECT_EQ(book->Items.begin()->first, 1) << c.book;
    EXPECT_EQ(book->Items.rbegin()->first, c.count) << c.book;
  }
  for (const char* name : {"school_type", "school_kind", "teacher_category"}) {
    const TRBook* book = Doc->Books.FindBook(name);
    ASSERT_NE(book, nullptr) << name;
    EXPECT_GE(book->Items.size(), 2u) << name;
  }
}

TEST_P(ClassDocument, MetaClassesAndTheirLinks) {
  const struct {
    const char* className;
    const char* attribute;
    const char* type;
  } cases[] = {
      {"objects.CityRegion", "town", "object:Towns"},
      {"objects.CityRegion", "caption", "string"},
      {"objects.Towns", "caption", "string"},
      {"objects.EduObject", "code", "string"},
      {"objects.EduObject", "caption", "string"},
      {"objects.EduObject", "school_type", "code:school_type"},
      {"objects.EduObject", "school_kind", "code:school_kind"},
      {"objects.EduClass", "code", "string"},
      {"objects.EduClass", "caption", "string"},
      {"objects.EduClass", "school", "object:EduObject"},
      {"objects.EduClass", "teachercode", "string"},
      {"objects.EduStudent", "idx", "integer"},
      {"objects.EduStudent", "code", "string"},
      {"objects.EduStudent", "caption", "string"},
      {"objects.EduStudent", "sex", "code:sex"},
      {"objects.EduStudent", "month_of_birth", "code:month"},
      {"objects.EduStudent", "year_of_birth", "integer"},
      {"objects.Indicator", "code", "string"},
      {"objects.Indicator", "caption", "string"},
      {"objects.Indicator", "type", "string"},
      {"objects.Indicator", "okey", "integer"},
  };
  for (const auto& c : cases) {
    const TMClass* metaClass = Doc->Objects.FindClass(c.className);
    ASSERT_NE(metaClass, nullptr) << c.className;
    const TDFLDheader* field = metaClass->FieldDefinition(c.attribute);
    ASSERT_NE(field, nullptr) << c.className << "." << c.attribute;
    EXPECT_EQ(field->TypeText, c.type) << c.className << "." << c.attribute;
  }
  // every coded attribute finds its book, every object attribute its class
  for (const auto& [name, metaClass] : Doc->Objects.Classes) {
    EXPECT_FALSE(metaClass->Caption.isEmpty()) << name.toStdString();
    for (const auto& field : metaClass->Header.Fields) {
      const std::string type = field->TypeText.toStdString();
      if (field->TypeCode == atCode) {
        EXPECT_NE(field->RefBook, nullptr) << type;
        EXPECT_EQ(field->RefBook, Doc->Books.FindBook(field->TypeText.section(':', 1))) << type;
      }
      if (field->TypeCode == atObject) {
        EXPECT_NE(field->RefClass, nullptr) << type;
        EXPECT_EQ(field->RefClass, Doc->Objects.FindClass("objects." + field->TypeText.section(':', 1))) << type;
      }
    }
  }
  EXPECT_EQ(Doc->Objects.FindClass("objects.CityRegion")->FieldDefinition("town")->RefClass,
            Doc->Objects.FindClass("objects.Towns"));
}

TEST_P(ClassDocument, DisplayHeadersOfSchoolCardAndClassList) {
  const TMClass* school = Doc->Objects.FindClass("objects.EduObject");
  const TMClass* classes = Doc->Objects.FindClass("objects.EduClass");
  QStringList schoolColumns, classColumns;
  for (const TViewHeaderItem& h : school->DisplayHeaders) {
    schoolColumns << h.AttributeName;
    EXPECT_FALSE(h.Caption.isEmpty());
    EXPECT_GT(h.Width, 50);  // every width is written and numeric
  }
  for (const TViewHeaderItem& h : classes->DisplayHeaders) classColumns << h.AttributeName;
  for (const char* name : {"code", "caption", "school_type"}) EXPECT_TRUE(schoolColumns.contains(name)) << name;
  EXPECT_EQ(classColumns.mid(0, 3), QStringList({"code", "caption", "teachercode"}));
  // no header names an attribute its class lacks (the loader would drop it)
  int written = 0;
  for (const TXmlElement& section : Doc->Document->Root().Children("displayheaders"))
    for (const TXmlElement& item : section.Children("item")) written += int(item.Children("attribute").size());
  EXPECT_EQ(written, int(school->DisplayHeaders.size() + classes->DisplayHeaders.size()));
}

TEST_P(ClassDocument, IndicatorsAreWellFormedAndTyped) {
  ASSERT_FALSE(Doc->Indicators.empty());
  EXPECT_EQ(Doc->ByName.size(), Doc->Indicators.size()) << "an indicator is declared twice";
  // lower case (formulas look names up lower-cased) and a final point, so that
  // "x_2.2.1." never matches inside "x_2.2.10."
  const QRegularExpression name(R"(^ind_(sd_)?talvo_\d+\.(\d+\.)+$)");
  for (const TIndicatorItem& item : Doc->Indicators) {
    const std::string n = item.Name.toStdString();
    EXPECT_TRUE(name.match(item.Name).hasMatch()) << n;
    EXPECT_FALSE(item.Caption.isEmpty()) << n;
    EXPECT_TRUE(item.Okei.isEmpty()) << n;
    if (item.Type == "integer" || item.Type == "float") continue;
    const QString prefix = item.Type.section(':', 0, 0);
    ASSERT_TRUE(prefix == "code" || prefix == "codefaset" || prefix == "codeordset")
        << n << " " << item.Type.toStdString();
    const TRBook* book = Doc->Books.FindBook(item.Type.section(':', 1));
    ASSERT_NE(book, nullptr) << n << " " << item.Type.toStdString();
    if (prefix != "code") {  // a set is written one digit per code
      for (const auto& [code, bookItem] : book->Items) EXPECT_TRUE(code >= 0 && code <= 9) << n;
    }
  }
}

TEST_P(ClassDocument, CardAndQuestionnaireIndicators) {
  const TIndicatorItem* weight = Doc->Indicator("ind_talvo_7.1.");
  const TIndicatorItem* height = Doc->Indicator("ind_talvo_7.2.");
  ASSERT_TRUE(weight && height);
  EXPECT_EQ(weight->Type, "integer");
  EXPECT_EQ(height->Type, "integer");
  // the two radio groups of every pupil card whose values start at 1
  EXPECT_EQ(Doc->Indicator("ind_talvo_7.3.")->Type, "code:physkult_group");
  EXPECT_EQ(Doc->Indicator("ind_talvo_7.4.")->Type, "code:zdrav_group");

  const TIndicatorItem* pupils = Doc->Indicator("ind_talvo_9.3.");
  ASSERT_NE(pupils, nullptr);
  EXPECT_EQ(pupils->Caption, U("Число учащихся в классе"));
  EXPECT_EQ(pupils->Type, "integer");
}

TEST_P(ClassDocument, RangeConditions) {
  struct TRange {
    const char* indicator;
    double min, max;
  };
  std::vector<TRange> ranges = {{"ind_talvo_7.1.", 10, 99}, {"ind_talvo_7.2.", 50, 200}, {"ind_talvo_9.3.", 1, 40}};
  if (!IsStart()) ranges.push_back({"ind_talvo_7.5.", 0, 366});
  for (const TRange& r : ranges) {
    const auto* condition = dynamic_cast<const TConditionMinMax*>(Doc->Conditions.ConditionOf(r.indicator));
    ASSERT_NE(condition, nullptr) << r.indicator;
    EXPECT_EQ(condition->Min, r.min) << r.indicator;
    EXPECT_EQ(condition->Max, r.max) << r.indicator;
    EXPECT_FALSE(condition->OpenMin || condition->OpenMax) << r.indicator;
    EXPECT_TRUE(condition->Test(r.min) && condition->Test(r.max)) << r.indicator;
    EXPECT_FALSE(condition->Test(r.min - 1) || condition->Test(r.max + 1)) << r.indicator;
  }
  EXPECT_FALSE(Doc->Conditions.ConditionOf("ind_talvo_9.3.")->Test(45));
  // only numbers typed by hand are bounded, and all of them are
  for (const auto& [name, condition] : Doc->Conditions.Conditions) {
    const TIndicatorItem* item = Doc->Indicator(name);
    ASSERT_NE(item, nullptr) << name.toStdString();
    EXPECT_EQ(item->Type, "integer") << name.toStdString();
    EXPECT_TRUE(Doc->Calcs.FormulaOf(name).isEmpty()) << name.toStdString();
  }
  for (const TIndicatorItem& item : Doc->Indicators) {
    if (item.Type == "integer" && Doc->Calcs.FormulaOf(item.Name).isEmpty()) {
      EXPECT_NE(Doc->Conditions.ConditionOf(item.Name), nullptr) << item.Name.toStdString();
    }
  }
}

TEST_P(ClassDocument, FormulasNameDeclaredIndicators) {
  ASSERT_FALSE(Doc->Calcs.Formulas.empty());
  const QRegularExpression reference(R"(ind_(sd_)?talvo_[0-9.]+)");
  QSet<QString> functions;
  for (const auto& [indicator, formula] : Doc->Calcs.Formulas) {
    EXPECT_NE(Doc->Indicator(indicator), nullptr) << indicator.toStdString();
    EXPECT_FALSE(formula.contains(' ')) << formula.toStdString();  // the parser skips no blanks
    auto matches = reference.globalMatch(formula);
    int references = 0;
    while (matches.hasNext()) {
      const QString name = matches.next().captured(0);
      EXPECT_NE(Doc->Indicator(name), nullptr) << indicator.toStdString() << ": " << name.toStdString();
      EXPECT_NE(name, indicator) << "formula refers to itself";
      ++references;
    }
    EXPECT_GT(references, 0) << indicator.toStdString();
    for (const char* f : {"SV(", "EV(", "mathgroup("})
      if (formula.contains(f)) functions << f;
    if (formula.contains('+')) functions << "+";
    // a score is only summed from point books, whose captions are numbers
    static const QRegularExpression scored(R"(SV\('([^']+)'\))");
    auto svs = scored.globalMatch(formula);
    while (svs.hasNext()) {
      const TIndicatorItem* item = Doc->Indicator(svs.next().captured(1));
      ASSERT_NE(item, nullptr);
      EXPECT_TRUE(item->Type.startsWith("code:task_")) << item->Name.toStdString();
    }
  }
  const QSet<QString> expected =
      IsStart() ? QSet<QString>{"SV(", "EV(", "+"} : QSet<QString>{"SV(", "EV(", "mathgroup(", "+"};
  EXPECT_EQ(functions, expected);
}

TEST_P(ClassDocument, EveryTaskMarksItsWorkAsDone) {
  ASSERT_FALSE(Doc->Calcs.Depends.empty());
  for (const auto& [summary, members] : Doc->Calcs.Depends) {
    const TIndicatorItem* item = Doc->Indicator(summary);
    ASSERT_NE(item, nullptr) << summary.toStdString();
    EXPECT_EQ(item->Type, "code:work_executing") << summary.toStdString();
    EXPECT_FALSE(members.isEmpty());
    for (const QString& member : members) {
      EXPECT_NE(Doc->Indicator(member), nullptr) << member.toStdString();
      EXPECT_EQ(Doc->Calcs.DependentOf(member), summary) << member.toStdString() << " is in two summaries";
    }
  }
  const QRegularExpression task(IsStart() ? R"(^ind_sd_talvo_(2|3|4|5|6|10)\.2\.\d+\.$)"
                                          : R"(^ind_talvo_(2|3|4|10)\.2\.\d+\.$)");
  int tasks = 0;
  for (const TIndicatorItem& item : Doc->Indicators)
    if (task.match(item.Name).hasMatch()) {
      ++tasks;
      EXPECT_FALSE(Doc->Calcs.DependentOf(item.Name).isEmpty()) << item.Name.toStdString();
    }
  EXPECT_GT(tasks, 20);
  if (IsStart()) {
    EXPECT_EQ(Doc->Calcs.DependentOf("ind_sd_talvo_2.2.1."), "ind_sd_talvo_1.6.");
    EXPECT_EQ(Doc->Calcs.DependentOf("ind_sd_talvo_3.2.1."), "ind_sd_talvo_1.7.");
  } else {
    EXPECT_EQ(Doc->Calcs.DependentOf("ind_talvo_2.2.1."), "ind_talvo_1.6.");
    EXPECT_EQ(Doc->Indicator("ind_talvo_1.6.")->Caption, U("Выполнение работы по математике"));
    EXPECT_EQ(Doc->Calcs.DependentOf("ind_talvo_2.3.1."), "") << "a derived score never marks the work";
  }
}

TEST_P(ClassDocument, ScoreTablesShipSwitchedOff) {
  EXPECT_TRUE(Doc->Calcs.ScoreItems.empty());
  EXPECT_FALSE(Doc->Document->Root().FirstChild("_scorevalues").IsNull());
  EXPECT_TRUE(Doc->Document->Root().FirstChild("scorevalues").IsNull());
}

// The answer keys, switched on: the section must then read as live tables.
TEST(ClassDocuments, ScoreTablesWhenSwitchedOn) {
  QString text = Win1251Decode(TShippedDocument::Bytes(kDocuments[0]));
  text.replace("_scorevalues>", "scorevalues>");
  TShippedDocument doc(Win1251Encode(text));
  ASSERT_EQ(doc.Calcs.ScoreItems.size(), 3u);
  for (const auto& [name, score] : doc.Calcs.ScoreItems) {
    const TIndicatorItem* scored = doc.Indicator(name);
    const TIndicatorItem* variant = doc.Indicator(score->VariantIndicator);
    ASSERT_TRUE(scored && variant) << name.toStdString();
    EXPECT_FALSE(scored->Type.startsWith("code:")) << "keys are for set answers";
    EXPECT_TRUE(variant->Type.startsWith("code:variant_")) << variant->Type.toStdString();
    EXPECT_NE(score->TableOf(1), nullptr);
    EXPECT_NE(score->TableOf(2), nullptr);
  }
  const TScoreItem* choice = doc.Calcs.ScoreItemOf("ind_talvo_2.2.10.");
  ASSERT_NE(choice, nullptr);
  EXPECT_EQ(choice->VariantIndicator, "ind_talvo_2.1.");
  EXPECT_EQ(choice->TableOf(1)->ScoreOf("13"), 2);
  EXPECT_EQ(choice->TableOf(1)->ScoreOf("3"), 1);
  EXPECT_EQ(choice->TableOf(1)->ScoreOf("24"), 0);
  EXPECT_EQ(choice->TableOf(2)->ScoreOf("24"), 2);
  EXPECT_EQ(choice->TableOf(2)->ScoreOf(""), 0);
  EXPECT_EQ(doc.Calcs.ScoreItemOf("ind_talvo_4.2.5.")->TableOf(2)->ScoreOf("3142"), 2);
}

// What each input card registers: exact names where they are fixed, counts
// and ends where only the range is.
TEST(ClassDocuments, InputCardIndicatorsPerProcess) {
  const QStringList card1 = Range("ind_talvo_7.", 1, 17) + Range("ind_talvo_7.18.", 1, 30);
  const QStringList card23 = Range("ind_talvo_7.", 1, 17) + Range("ind_talvo_7.18.", 1, 31);
  QStringList startCard = {"ind_talvo_7.1.", "ind_talvo_7.2.", "ind_talvo_7.3.", "ind_talvo_7.4.", "ind_talvo_7.10."};
  startCard += Range("ind_talvo_7.18.", 1, 23) + Range("ind_talvo_7.18.", 25, 26);
  const QStringList startCardOwn = {"ind_sd_talvo_7.6.1.", "ind_sd_talvo_7.6.2.", "ind_sd_talvo_7.6.3.",
                                    "ind_sd_talvo_7.6.5.", "ind_sd_talvo_7.6.6.", "ind_sd_talvo_7.6.31."};
  QStringList startParents = {"ind_talvo_8.20.", "ind_talvo_8.1."};
  startParents += Range("ind_talvo_8.4.", 1, 7) + Range("ind_talvo_8.13.", 1, 10);
  startParents += QStringList{"ind_talvo_8.14.1.", "ind_talvo_8.14.3.", "ind_talvo_8.14.4."} +
                  Range("ind_talvo_8.14.", 6, 17) + Range("ind_talvo_8.18.", 1, 7) + Range("ind_talvo_8.16.", 1, 2) +
                  Range("ind_talvo_8.21.", 1, 2);

  TShippedDocument id1(TShippedDocument::Bytes(kDocuments[0]));
  TShippedDocument id2(TShippedDocument::Bytes(kDocuments[1]));
  TShippedDocument id3(TShippedDocument::Bytes(kDocuments[2]));
  EXPECT_EQ(id1.NamesStartingWith("ind_talvo_7."), card1);
  EXPECT_EQ(id2.NamesStartingWith("ind_talvo_7."), card23);
  EXPECT_EQ(id3.NamesStartingWith("ind_talvo_7."), card23);
  for (const TShippedDocument* doc : {&id1, &id2, &id3}) {
    EXPECT_EQ(doc->NamesStartingWith("ind_talvo_6."), Range("ind_talvo_6.", 1, 12));
    EXPECT_EQ(doc->Indicator("ind_talvo_6.1.")->Type, "code:selfy_scale");
    EXPECT_EQ(doc->Indicator("ind_talvo_7.5.")->Type, "integer");
  }
  for (const TShippedDocument* doc : {&id2, &id3})
    EXPECT_EQ(doc->NamesStartingWith("ind_talvo_11."), Range("ind_talvo_11.", 1, 21));
  EXPECT_TRUE(id1.NamesStartingWith("ind_talvo_11.").isEmpty());
  {
    TShippedDocument sd1(TShippedDocument::Bytes(kDocuments[3]));
    EXPECT_EQ(sd1.NamesStartingWith("ind_talvo_7."), startCard);
    EXPECT_EQ(sd1.NamesStartingWith("ind_sd_talvo_7."), startCardOwn);
    EXPECT_EQ(sd1.NamesStartingWith("ind_talvo_8."), startParents);
    const QStringList own = sd1.NamesStartingWith("ind_sd_talvo_8.");
    EXPECT_EQ(own.size(), 66);
    EXPECT_EQ(own.first(), "ind_sd_talvo_8.2.");
    EXPECT_EQ(own.last(), "ind_sd_talvo_8.28.");
    EXPECT_EQ(sd1.NamesStartingWith("ind_sd_talvo_8.15.").size(), 12);
    for (const char* reversed : {"ind_sd_talvo_8.7.", "ind_sd_talvo_8.20.", "ind_sd_talvo_8.22."})
      EXPECT_NE(sd1.Indicator(reversed), nullptr) << reversed;
    EXPECT_EQ(sd1.Indicator("ind_talvo_8.20.")->Type, "code:respondent");
    EXPECT_EQ(sd1.Books.FindBook("respondent")->ItemByCode(0)->Caption, U("Мать"));
    EXPECT_TRUE(sd1.NamesStartingWith("ind_talvo_6.").isEmpty());
  }

  const struct {
    const TShippedDocument* doc;
    int count;
    const char* first;
    const char* last;
    QStringList required;  // the questions with card rules
  } parents[] = {
      {&id1, 84, "ind_talvo_8.1.", "ind_talvo_8.21.2.",
       QStringList{"ind_talvo_8.6.", "ind_talvo_8.7.", "ind_talvo_8.19."} + Range("ind_talvo_8.13.", 1, 10) +
           Range("ind_talvo_8.18.", 1, 7)},
      {&id2, 89, "ind_talvo_8.1.1.", "ind_talvo_8.24.1.", {"ind_talvo_8.6.", "ind_talvo_8.7.", "ind_talvo_8.21.1."}},
      {&id3, 95, "ind_talvo_8.1.1.", "ind_talvo_8.24.1.", {"ind_talvo_8.6.", "ind_talvo_8.7."}},
  };
  for (const auto& p : parents) {
    const QStringList names = p.doc->NamesStartingWith("ind_talvo_8.");
    ASSERT_EQ(names.size(), p.count);
    EXPECT_EQ(names.first(), p.first);
    EXPECT_EQ(names.last(), p.last);
    for (const QString& name : p.required) EXPECT_TRUE(names.contains(name)) << name.toStdString();
  }
}

TEST(ClassDocuments, SchoolDataUpdateIsEmpty) {
  const auto doc = TXmlDocument::Parse(LoadTextResource("RC_UP20150924"));
  EXPECT_EQ(doc->Root().Name(), "root");
  EXPECT_TRUE(doc->Root().Children().empty());
}

TEST(ClassDocuments, RelationCleanupScript) {
  const QString text = LoadTextResourceString("RC_UP20170502");
  QStringList lines;
  for (const QString& line : text.split('\n'))
    if (!line.trimmed().isEmpty()) lines << line;
  ASSERT_EQ(lines.size(), 61);
  EXPECT_TRUE(lines.first().startsWith("delete from tb_relations  where ")) << "two blanks before where";

  const QRegularExpression statement(
      R"(^delete from tb_relations +where relation='(is_student_of|is_class_of)' and .*\);$)");
  const QRegularExpression nameList(R"(idname in \(([^)]*)\))");
  std::map<QString, int> kinds;
  for (const QString& line : lines) {
    ASSERT_TRUE(statement.match(line).hasMatch()) << line.toStdString();
    EXPECT_FALSE(line.contains('\r'));
    auto lists = nameList.globalMatch(line);
    while (lists.hasNext()) EXPECT_LE(lists.next().captured(1).split(',').size(), 49);
    const bool byA = line.contains("and aobj in (select id"),
               byB = line.contains("bobj in (select id") || line.contains("bobj=(select id");
    QString kind = line.contains("'is_class_of'")                   ? "class of school"
                   : line.contains("select aobj from tb_relations") ? "pupils of a doubled class"
                   : byA && byB                                     ? "listed pupils of a class"
                   : byA                                            ? "test pupils"
                                                                    : "pupils of a test class";
    ++kinds[kind];
  }
  EXPECT_EQ(kinds, (std::map<QString, int>{{"class of school", 18},
                                           {"pupils of a doubled class", 18},
                                           {"listed pupils of a class", 6},
                                           {"test pupils", 1},
                                           {"pupils of a test class", 18}}));
}
