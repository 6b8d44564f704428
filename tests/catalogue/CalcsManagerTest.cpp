#include <gtest/gtest.h>

#include <cmath>

#include "catalogue/uCalcsManager.h"
#include "platform/uCodec.h"
#include "platform/uXml.h"

namespace {
std::unique_ptr<TXmlDocument> Parse(const char* text) {
  return TXmlDocument::Parse(Win1251Encode(QString::fromUtf8(text)));
}

const char* const kRules = R"xml(<?xml version="1.0" encoding="windows-1251"?>
<root>
 <calcs>
  <item indicator="sum" value="a+b"/>
  <item indicator="sum" value="a+b+c"/>
  <item indicator="score" value="SV('q1')"/>
 </calcs>
 <calcs><item indicator="ignored" value="x"/></calcs>
 <scorevalues>
  <indicator name="q1" variant="var" caption="Задание 1">
   <variant value="1" default="0"><it value="3" score="2"/><it value="4" score="1"/><it value="3" score="5"/></variant>
   <variant value="2" default="нет"><it value="1" score="x"/></variant>
  </indicator>
  <indicator name="q1" variant="other"><variant value="3" default="7"/></indicator>
 </scorevalues>
 <depends>
  <item name="summary_b"><item name="t1"/><item name="t2"/></item>
  <item name="summary_a"><item name="t2"/><_item name="t3"/></item>
 </depends>
 <conditions>
  <item indicator="w" min="10" max="100" open_min="1" open_max="1" extra="z"/>
  <item indicator="days" min="0" max="366" open_min="0" open_max="0"/>
  <item indicator="narrow" min="0" max="5" open_min="0" open_max="1"/>
 </conditions>
</root>)xml";
}  // namespace

TEST(CalcsManager, FormulasScoresAndDepends) {
  const auto doc = Parse(kRules);
  TCalcsManager calcs;
  calcs.LoadFromXml(doc->Root());
  EXPECT_EQ(calcs.FormulaOf("sum"), "a+b+c");
  EXPECT_EQ(calcs.FormulaOf("ignored"), "");
  EXPECT_EQ(calcs.FormulaOf("none"), "");

  TScoreItem* q1 = calcs.ScoreItemOf("q1");
  ASSERT_NE(q1, nullptr);
  EXPECT_EQ(q1->VariantIndicator, "var");  // the first definition keeps it
  ASSERT_NE(q1->TableOf(1), nullptr);
  EXPECT_EQ(q1->TableOf(1)->ScoreOf("3"), 5);  // the later "it" wins
  EXPECT_EQ(q1->TableOf(1)->ScoreOf("4"), 1);
  EXPECT_EQ(q1->TableOf(1)->ScoreOf("9"), 0);  // default "0"
  EXPECT_EQ(q1->TableOf(2)->ScoreOf("1"), 0);  // score text not a number
  EXPECT_EQ(q1->TableOf(2)->ScoreTextOf("7"), "нет");
  EXPECT_EQ(q1->TableOf(3)->ScoreOf(""), 7);
  EXPECT_EQ(q1->TableOf(-1), nullptr);

  EXPECT_EQ(calcs.DependentOf("t2"), "summary_a");  // first in name order
  EXPECT_EQ(calcs.DependentOf("t1"), "summary_b");
  EXPECT_EQ(calcs.DependentOf("t3"), "");
  ASSERT_NE(calcs.DependsOf("summary_a"), nullptr);
  EXPECT_EQ(*calcs.DependsOf("summary_a"), QStringList({"t2"}));
  EXPECT_EQ(calcs.DependsOf("nothing"), nullptr);
}

TEST(CalcsManager, SwitchedOffScoresAndWrongRoot) {
  const auto off = Parse("<root><_scorevalues><indicator name=\"q\" variant=\"v\"/></_scorevalues></root>");
  TCalcsManager calcs;
  calcs.LoadFromXml(off->Root());
  EXPECT_EQ(calcs.ScoreItemOf("q"), nullptr);
  const auto other = Parse("<document><calcs><item indicator=\"a\" value=\"1\"/></calcs></document>");
  calcs.LoadFromXml(other->Root());
  EXPECT_TRUE(calcs.Formulas.empty());
}

TEST(Conditions, TestFitAndText) {
  const auto doc = Parse(kRules);
  TConditionManager conditions;
  conditions.LoadFromXml(doc->Root());
  const TCondition* w = conditions.ConditionOf("w");
  const TCondition* days = conditions.ConditionOf("days");
  const TCondition* narrow = conditions.ConditionOf("narrow");
  ASSERT_TRUE(w && days && narrow);
  EXPECT_EQ(conditions.ConditionOf("nothing"), nullptr);

  const struct {
    const TCondition* c;
    double x;
    bool passes;
    double fit;
  } cases[] = {
      {w, 10, false, 11},   {w, 11, true, 11},     {w, 100, false, 89}, {w, 5, false, 11},
      {w, 150, false, 89},  {w, 99.5, true, 99.5}, {days, 0, true, 0},  {days, 366, true, 366},
      {days, -3, false, 0}, {days, 400, false, 366}, {narrow, 9, false, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.c->Test(c.x), c.passes) << c.c->Text().toStdString() << " " << c.x;
    EXPECT_DOUBLE_EQ(c.c->Fit(c.x), c.fit) << c.c->Text().toStdString() << " " << c.x;
    EXPECT_TRUE(c.c->Test(c.c->Fit(c.x)));
  }
  EXPECT_EQ(w->Text(), "(10 ; 100)");
  EXPECT_EQ(days->Text(), "[0 ; 366]");
  EXPECT_EQ(OutOfRangeMessage(*w), "Значение выходит за пределы допустимого диапазона.\n\r(10 ; 100)");
  TConditionMinMax fractional;
  fractional.Min = 0.5;
  fractional.Max = 2.25;
  EXPECT_EQ(fractional.Text(), "[0,5 ; 2,25]");
  TCondition anything;
  EXPECT_TRUE(anything.Test(-1e9));
  EXPECT_EQ(anything.Fit(3), 3);
  EXPECT_EQ(anything.Text(), "");
}
