#include <gtest/gtest.h>

#include <QFont>

#include "catalogue/uStringRoutines.h"

TEST(LowerCaseRu, TableAndUntouchedCharacters) {
  EXPECT_EQ(LowerCaseRu("ЁЖ Ab"), "ёж ab");
  EXPECT_EQ(LowerCaseRu("МУЖСКОЙ"), "мужской");
  EXPECT_EQ(LowerCaseRu("Я-12,Z!"), "я-12,z!");
  EXPECT_EQ(LowerCaseRu("ÄÖ"), "ÄÖ");  // outside the table
}

TEST(NaturalCompare, Cases) {
  const struct {
    const char* a;
    const char* b;
    int expected;
  } cases[] = {
      {"Класс 2", "Класс 10", -1}, {"a10", "a010", 0},  {"12a", "12b", -1}, {"abc", "ab", 1},
      {"ab", "abc", -1},           {"", "", 0},         {"1А", "1Б", -1},   {"x9y", "x9", 1},
      {"Ё", "А", -1},  // windows-1251 byte order: Ё (0xA8) before А (0xC0)
      {"a2b10", "a2b9", 1},        {"10", "9", 1},      {"b", "a1", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NaturalCompare(c.a, c.b), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(NaturalCompare(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
  }
}

TEST(XmlEscape, AllFiveEntities) {
  EXPECT_EQ(XmlEscape("a<b & 'c'"), "a&lt;b &amp; &apos;c&apos;");
  EXPECT_EQ(XmlEscape("\"x\">"), "&quot;x&quot;&gt;");
  EXPECT_EQ(XmlEscape("&amp;"), "&amp;amp;");
}

TEST(Md5Hex, DigestOfWindows1251Bytes) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  // "я" is the single byte 0xFF in windows-1251.
  EXPECT_EQ(Md5Hex("я"), "00594fd4f42ba43fc1ca0427a0576295");
}

TEST(SplitByChars, Tokens) {
  EXPECT_EQ(SplitByChars("SV('x')+y", "+()'"), QStringList({"SV", "x", "y"}));
  EXPECT_EQ(SplitByChars("", "+"), QStringList());
  EXPECT_EQ(SplitByChars("++a++", "+"), QStringList({"a"}));
  EXPECT_EQ(SplitByChars("abc", ""), QStringList({"abc"}));
}

TEST(WrappedLineCount, EmptyShortLongAndBreaks) {
  QFont font("DejaVu Sans", 8);
  EXPECT_EQ(WrappedLineCount("", 100, font), 0);
  EXPECT_EQ(WrappedLineCount("abc", 1000, font), 1);
  EXPECT_EQ(WrappedLineCount("a\nb", 1000, font), 2);
  EXPECT_EQ(WrappedLineCount("a\n\rb", 1000, font), 2);
  const QString words = "one two three four five six seven eight nine ten";
  const int narrow = WrappedLineCount(words, 60, font);
  EXPECT_GT(narrow, 2);
  EXPECT_LT(WrappedLineCount(words, 200, font), narrow);
  EXPECT_EQ(WrappedLineCount(words, 10000, font), 1);
  // The font given stays as it was.
  EXPECT_FALSE(font.bold());
}
