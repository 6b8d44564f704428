// The formula parsers: syntax, error codes and evaluation rules.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "grid/uGridParser.h"

namespace {

struct TNumberCase {
  const char* text;
  double value;
  int error;
};

double Eval(TExResult* node) {
  TExVariant v;
  node->Evaluate(v);
  return v.ToDouble();
}

}  // namespace

TEST(ExParser, NumbersOperatorsAndFunctions) {
  const std::vector<TNumberCase> cases = {
      {"-2+3", 1, 0},        {"+4", 4, 0},         {"2*3^2", 36, 0},         {"2^3^2", 64, 0},
      {"(2*3)", 6, 0},       {"1+2*3", 7, 0},      {"10-4-3", 3, 0},         {"1.E5", 100000, 0},
      {"5.", 5, 0},          {".5", 0.5, 0},       {"-.5", -0.5, 0},         {"2*-.5", -1, 0},
      {"1E3", 1000, 0},      {"2E-2", 0.02, 0},    {"1.5E+1", 15, 0},        {"$FF", 255, 0},
      {"$ff+1", 256, 0},     {"7/0", 7e20, 0},     {"6/3", 2, 0},            {"MAX(1;5;3)", 5, 0},
      {"MIN(4;2;8)", 2, 0},  {"max(2;9)", 9, 0},   {"MAX(1;MIN(7;3))", 3, 0}, {"PI", 3.14159265358979, 0},
      {"E*2", 2 * 2.718281828459045, 0},          {"'5'+1", 6, 0},          {"'1,5'*2", 3, 0},
      {"(2)=3", 2, 0},         {"(1+2)*(3+4)", 21, 0},                        {"2 ", 2, 2},
  };
  TExParser parser;
  for (const TNumberCase& k : cases) {
    PExResult node = parser.Parse(QString::fromUtf8(k.text));
    ASSERT_NE(node, nullptr) << k.text;
    EXPECT_NEAR(Eval(node.get()), k.value, 1e-9 * std::max(1.0, std::fabs(k.value))) << k.text;
    EXPECT_EQ(parser.ErrorCode, k.error) << k.text;
  }
}

TEST(ExParser, ValueKinds) {
  TExParser parser;
  EXPECT_EQ(parser.Parse(QStringLiteral("$FF"))->Value().Kind, TExVariant::vkInteger);
  EXPECT_EQ(parser.Parse(QStringLiteral("12"))->Value().Kind, TExVariant::vkReal);
  EXPECT_EQ(parser.Parse(QStringLiteral("'abc'"))->Value().Str, QStringLiteral("abc"));
  EXPECT_EQ(parser.Parse(QStringLiteral("'abc"))->Value().Str, QStringLiteral("abc"));  // runs to the end
  EXPECT_EQ(parser.Parse(QStringLiteral("$7FFFFFFF"))->Value().Int, 2147483647);
  // Power works in single precision.
  const double root = parser.Parse(QStringLiteral("2^0.5"))->Value().Real;
  EXPECT_EQ(root, static_cast<double>(std::pow(2.0f, 0.5f)));
  EXPECT_NE(root, std::sqrt(2.0));
}

TEST(ExParser, SyntaxErrors) {
  TExParser parser;
  EXPECT_EQ(parser.Parse(QStringLiteral("((1)")), nullptr);
  EXPECT_EQ(parser.ErrorCode, 2);
  EXPECT_EQ(parser.Parse(QStringLiteral("1)")), nullptr);
  EXPECT_EQ(parser.ErrorCode, 2);
  EXPECT_EQ(parser.Parse(QStringLiteral("$123456789")), nullptr);  // nine digits: not a number
  EXPECT_EQ(parser.ErrorCode, 2);
  EXPECT_EQ(parser.Parse(QStringLiteral("12a")), nullptr);  // a letter is no delimiter
  EXPECT_EQ(parser.ErrorCode, 2);
  EXPECT_EQ(parser.Parse(QStringLiteral("2=2")), nullptr);  // nor is "="
  EXPECT_EQ(parser.ErrorCode, 2);

  // A comma is no delimiter: the 1 is no number, the argument list stays empty.
  PExResult max = parser.Parse(QStringLiteral("MAX(1,5)"));
  ASSERT_NE(max, nullptr);
  EXPECT_EQ(parser.ErrorCode, 1);
  EXPECT_TRUE(max->Value().IsEmpty());

  PExResult open = parser.Parse(QStringLiteral("MAX(1;2("));
  EXPECT_EQ(open, nullptr);  // unbalanced
  PExResult missing = parser.Parse(QStringLiteral("MAX(1;2;)"));
  ASSERT_NE(missing, nullptr);
  EXPECT_EQ(parser.ErrorCode, 0);
  EXPECT_EQ(Eval(missing.get()), 2);  // an empty argument is left out

  PExResult half = parser.Parse(QStringLiteral("1+"));
  ASSERT_NE(half, nullptr);
  EXPECT_THROW(half->Value(), EExEvalError);  // the missing operand fails at evaluation
  EXPECT_THROW(parser.Parse(QStringLiteral("'abc'+1"))->Value(), EExEvalError);
  EXPECT_THROW(parser.Parse(QStringLiteral("2-'x'"))->Value(), EExEvalError);
}

TEST(ExParser, ConstantsNeedADelimiter) {
  TExParser parser;
  int calls = 0;
  ASSERT_TRUE(parser.RegisterFunction(QStringLiteral("EXP"), 1, 1, [&](const TVArray& a, TExVariant& r) {
    ++calls;
    r = TExVariant::FromReal(std::exp(a.at(0).ToDouble()));
  }));
  PExResult node = parser.Parse(QStringLiteral("EXP(1)"));
  ASSERT_NE(node, nullptr);
  EXPECT_NEAR(Eval(node.get()), 2.718281828459045, 1e-12);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(parser.Parse(QStringLiteral("PIE")), nullptr);
}

TEST(ExParser, FunctionRegistry) {
  TExParser parser;
  auto one = [](const TVArray&, TExVariant& r) { r = TExVariant::Integer(1); };
  auto two = [](const TVArray&, TExVariant& r) { r = TExVariant::Integer(2); };
  EXPECT_FALSE(parser.RegisterFunction(QString(), 0, 0, one));
  EXPECT_FALSE(parser.RegisterFunction(QStringLiteral("1F"), 0, 0, one));
  EXPECT_FALSE(parser.RegisterFunction(QStringLiteral("Ф"), 0, 0, one));
  EXPECT_TRUE(parser.RegisterFunction(QStringLiteral("_f"), 3, 4, one));
  EXPECT_TRUE(parser.RegisterFunction(QStringLiteral("_F"), 0, 0, two));  // same name: new callback, counts kept
  EXPECT_EQ(parser.Functions.size(), 3u);
  EXPECT_EQ(parser.FindFunction(QStringLiteral("_f"))->MinArgs, 3);
  EXPECT_EQ(parser.Parse(QStringLiteral("_f()"))->Value().Int, 2);
  EXPECT_FALSE(parser.RegisterFunction(QStringLiteral("_f"), 0, 0, nullptr));  // unregisters
  EXPECT_EQ(parser.FindFunction(QStringLiteral("_F")), nullptr);
  EXPECT_EQ(parser.FindFunction(QStringLiteral("+")), nullptr);  // operators are not callable by name
}

TEST(ExParser, TextOfATree) {
  TExParser parser;
  EXPECT_EQ(parser.Parse(QStringLiteral("1+2*3"))->GetText(nullptr, nullptr), QStringLiteral("1+2*3"));
  EXPECT_EQ(parser.Parse(QStringLiteral("MAX(1;'a')"))->GetText(nullptr, nullptr), QStringLiteral("MAX(1,a)"));
  EXPECT_EQ(parser.Parse(QStringLiteral("0.5"))->GetText(nullptr, nullptr), QStringLiteral("0,5"));
}

namespace {
struct TGridParserFixture : ::testing::Test {
  TCustomVirtualGrid grid;
  std::map<std::pair<int, int>, QString> texts;  // (row index, column index), 1-based
  void SetUp() override {
    for (int i = 0; i < 12; ++i) grid.Rows->AddChild(grid.Rows->Root);
    for (int i = 0; i < 5; ++i) grid.Cols->AddChild(grid.Cols->Root);
    grid.OnGetCellText = [this](PVirtualAxisItem r, PVirtualAxisItem c, QString& t) {
      auto it = texts.find({r->AbsoluteIndex, c->AbsoluteIndex});
      t = it == texts.end() ? QString() : it->second;
    };
    texts[{10, 3}] = QStringLiteral("1") + QChar(0x00A0) + QStringLiteral("234.5");
    texts[{9, 3}] = QStringLiteral("abc");
    texts[{1, 1}] = QStringLiteral("2");
    texts[{1, 2}] = QStringLiteral("3,5");
    texts[{1, 4}] = QStringLiteral("x");
    texts[{1, 5}] = QStringLiteral("y");
    texts[{2, 1}] = QStringLiteral("1.5.2");
  }
  PVirtualAxisItem Row(int abs) { return grid.Rows->GetItem(abs - 1); }
};
}  // namespace

TEST_F(TGridParserFixture, LinksRelativeToTheBaseRow) {
  TGridParser parser(&grid);
  struct Case {
    int baseRow;  // AbsoluteIndex, 0 none
    const char* text;
    double value;
  };
  const std::vector<Case> cases = {
      {10, "R[0]C[3]", 1234.5},  // no-break space dropped, "." read as decimal separator
      {10, "R[-1]C[3]", 0},      // a word counts as 0
      {0, "R[1]C[1]+R[1]C[2]", 5.5},
      {0, "r[1]c[1]*2", 4},  // lower case is upper-cased first
      {3, "R[-2]C[1]", 2},
      {0, "R[$1]C[$2]", 3.5},
      {0, "R[2]C[1]", 0},  // two separators: not a number
      {0, "R[5]C[5]", 0},  // an empty cell
  };
  for (const Case& k : cases) {
    PExResult node = parser.Parse(k.baseRow ? Row(k.baseRow) : nullptr, nullptr, QString::fromUtf8(k.text));
    ASSERT_NE(node, nullptr) << k.text;
    EXPECT_DOUBLE_EQ(Eval(node.get()), k.value) << k.text;
    EXPECT_EQ(parser.ErrorCode, 0) << k.text;
  }
  PExResult link = parser.Parse(Row(10), nullptr, QStringLiteral("R[-1]C[3]"));
  auto* l = dynamic_cast<TExLink*>(link.get());
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Row, Row(9));
  EXPECT_EQ(l->Col->AbsoluteIndex, 3);
  EXPECT_EQ(l->GetText(Row(10), nullptr), QStringLiteral("R[-1]C[3]"));
  EXPECT_EQ(l->GetText(nullptr, grid.Cols->GetItem(0)), QStringLiteral("R[9]C[2]"));
}

TEST_F(TGridParserFixture, RangesAndCount) {
  TGridParser parser(&grid);
  struct Case {
    const char* text;
    int64_t count;
  };
  const std::vector<Case> cases = {
      {"COUNT(R[1]C[1]:R[1]C[4])", 3},  // four cells of one row, one empty
      {"COUNT(R[1]C[3]:R[1]C[5])", 2},  // ends at the last column
      {"COUNT(R[1]C[4]:R[1]C[2])", 1},  // reversed: the first cell only
      {"COUNT(R[1]C[1]:R[12]C[1])", 2},  // along a column
      {"COUNT(R[1]C[1]:R[2]C[2])", 0},   // two rows and two columns: null, skipped
      {"COUNT(R[1]C[1]:R[1]C[5];R[9]C[3]:R[10]C[3])", 6},
      {"COUNT()", 0},
  };
  for (const Case& k : cases) {
    PExResult node = parser.Parse(nullptr, nullptr, QString::fromUtf8(k.text));
    ASSERT_NE(node, nullptr) << k.text;
    TExVariant v = node->Value();
    EXPECT_EQ(v.Kind, TExVariant::vkInteger) << k.text;
    EXPECT_EQ(v.Int, k.count) << k.text;
  }
  EXPECT_TRUE(parser.Parse(nullptr, nullptr, QStringLiteral("R[1]C[1]:R[2]C[2]"))->Value().IsNull());
  EXPECT_THROW(parser.Parse(nullptr, nullptr, QStringLiteral("COUNT(1)"))->Value(), EExEvalError);
  EXPECT_THROW(parser.Parse(nullptr, nullptr, QStringLiteral("R[1]C[1]:R[1]C[2]+1"))->Value(), EExEvalError);
}

TEST_F(TGridParserFixture, BrokenReferences) {
  TGridParser parser(&grid);
  parser.Parse(nullptr, nullptr, QStringLiteral("R[1C[1]"));
  EXPECT_EQ(parser.ErrorCode, 2);  // a missing "]"
  PExResult outside = parser.Parse(nullptr, nullptr, QStringLiteral("R[99]C[1]+1"));
  ASSERT_NE(outside, nullptr);  // the reference is consumed without an operand
  EXPECT_EQ(parser.ErrorCode, 0);
  EXPECT_THROW(outside->Value(), EExEvalError);
  EXPECT_EQ(parser.Parse(nullptr, nullptr, QStringLiteral("R[1]C[99]")), nullptr);
  EXPECT_NEAR(Eval(parser.Parse(nullptr, nullptr, QStringLiteral("max(r[1]c[1];r[1]c[2])")).get()), 3.5, 1e-12);
}
