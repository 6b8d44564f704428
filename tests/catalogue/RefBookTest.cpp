#include <gtest/gtest.h>

#include "catalogue/uRefBookManager.h"
#include "platform/uCodec.h"
#include "platform/uXml.h"

namespace {
const char* const kBooks = R"xml(<?xml version="1.0" encoding="windows-1251"?>
<root>
 <rb-codes>
  <code name="sex" caption="Пол (Ж/М)">
   <item code="1" order="1" caption="Женский"/>
   <item code="2" order="2" caption="Мужской"/>
   <item code="4" order="3" caption="3"/>
  </code>
  <code name="work_executing" caption="Выполнение работы">
   <item code="0" order="1" caption="0-не выполнена (не принимал участия)"/>
   <item code="1" order="0" caption="1-выполнена"/>
  </code>
 </rb-codes>
 <_rb-codes><code name="off" caption="switched off"/></_rb-codes>
 <rb-codes><code name="sex" caption="ignored"><item code="5" order="9" caption="Иное"/></code></rb-codes>
</root>)xml";

class RefBookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto doc = TXmlDocument::Parse(Win1251Encode(QString::fromUtf8(kBooks)));
    Books.LoadRbCodes(doc->Root());
  }
  TRBManager Books;
};
}  // namespace

TEST_F(RefBookTest, SectionsReadAndSwitchedOffSkipped) {
  EXPECT_EQ(Books.Books.size(), 2u);
  EXPECT_EQ(Books.FindBook("off"), nullptr);
  TRBook* sex = Books.FindBook("sex");
  ASSERT_NE(sex, nullptr);
  EXPECT_EQ(sex->Caption, "Пол (Ж/М)");  // a second section does not rename the book
  EXPECT_EQ(sex->Items.size(), 4u);      // and adds its items
  EXPECT_EQ(sex->ItemByCode(2)->Caption, "Мужской");
  EXPECT_EQ(sex->ItemByCode(9), nullptr);
  EXPECT_EQ(Books.FindBook("Sex"), nullptr);  // exact names
}

TEST_F(RefBookTest, ResolveCode) {
  const TRBook* sex = Books.FindBook("sex");
  const struct {
    const char* text;
    std::optional<int> code;
  } cases[] = {
      {"2", 2}, {"3", std::nullopt}, {"МУЖСКОЙ", 2}, {"женский", 1}, {"Средний", std::nullopt}, {"", std::nullopt},
      {"4", 4},
  };
  for (const auto& c : cases) EXPECT_EQ(sex->ResolveCode(QString::fromUtf8(c.text)), c.code) << c.text;
}

TEST_F(RefBookTest, FillTextsFollowsOrder) {
  QStringList texts;
  std::vector<TRBItem*> items;
  Books.FindBook("work_executing")->FillTexts(texts, &items);
  EXPECT_EQ(texts, QStringList({"1-выполнена", "0-не выполнена (не принимал участия)"}));
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0]->Code, 1);
}

TEST_F(RefBookTest, GetOrCreateKeepsCaption) {
  TRBook* again = Books.GetOrCreateBook("sex", "другое");
  EXPECT_EQ(again, Books.FindBook("sex"));
  EXPECT_EQ(again->Caption, "Пол (Ж/М)");
  TRBook* fresh = Books.GetOrCreateBook("new", "Новый");
  EXPECT_TRUE(fresh->Items.empty());
  EXPECT_EQ(fresh->Manager, &Books);
}
