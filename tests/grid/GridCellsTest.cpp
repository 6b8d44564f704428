// Cell values, their painting and the keyed cell store.
#include <gtest/gtest.h>

#include <QImage>

#include "grid/uDataManager.h"
#include "grid/uVGCells.h"

namespace {
// Counts its destructions.
struct TCountedValue : TCellValue {
  explicit TCountedValue(int* counter) : Counter(counter) {}
  ~TCountedValue() override { ++*Counter; }
  int* Counter;
};

QImage Paint(TCellValue& v, bool text = false) {
  QImage image(40, 20, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  v.PaintBackground(p, QRect(0, 0, 40, 20));
  if (text) v.PaintText(p, QRect(0, 0, 40, 20));
  return image;
}
}  // namespace

TEST(CellValue, ValueAndHint) {
  TCellValue v;
  EXPECT_TRUE(v.IsEditable());
  EXPECT_TRUE(v.GetValue().isEmpty());
  EXPECT_TRUE(v.GetHint().isEmpty());
  v.SetValue(QStringLiteral("first"));
  v.SetValue(QStringLiteral("second"));
  EXPECT_EQ(v.GetValue(), QStringLiteral("second"));
  EXPECT_EQ(v.GetHint(), QStringLiteral("first"));
  EXPECT_EQ(v.GetDisplayText(), QStringLiteral("second"));
  EXPECT_EQ(v.GetRawText(), QStringLiteral("second"));
  EXPECT_EQ(v.Interior->FontName, QStringLiteral("Times New Roman"));
  EXPECT_EQ(v.Interior->BorderStyle, 5);
}

TEST(CellValue, HeaderAndCaptionCells) {
  THeaderCell h;
  h.Editable = true;
  EXPECT_FALSE(h.IsEditable());
  EXPECT_EQ(h.Interior->FontStyle, 1);
  EXPECT_EQ(h.Interior->BGColor, clBtnFace);
  EXPECT_EQ(h.Interior->BorderSides, 0);
  TCaptionCell c;
  EXPECT_FALSE(c.IsEditable());
  EXPECT_EQ(c.Interior->HAlign, 0);
  EXPECT_EQ(c.Interior->FontStyle, 0);
  EXPECT_EQ(c.Interior->BGColor, CaptionColor);
  EXPECT_EQ(ToQColor(CaptionColor), QColor(0xFF, 0xFF, 0xDD));
}

TEST(CellValue, Comments) {
  TCellValue v;
  v.SetComment(QStringLiteral("Key"), QString());
  EXPECT_FALSE(v.HasComments());
  EXPECT_FALSE(v.GetCommentsChanged());
  v.SetComment(QStringLiteral("Ключ"), QStringLiteral("текст"));
  EXPECT_TRUE(v.GetCommentsChanged());
  EXPECT_EQ(v.GetComment(QStringLiteral("КЛЮЧ")), QStringLiteral("текст"));  // keys ignore case
  v.SetCommentsChanged(false);
  v.SetComment(QStringLiteral("ключ"), QStringLiteral("текст"));
  EXPECT_FALSE(v.GetCommentsChanged());
  v.SetComment(QStringLiteral("ключ"), QString());  // kept with an empty text
  EXPECT_TRUE(v.HasComments());
  EXPECT_TRUE(v.GetCommentsChanged());
  EXPECT_EQ(v.GetComments().size(), 1u);
  EXPECT_TRUE(v.GetComment(QStringLiteral("other")).isEmpty());
  v.ClearComments();
  EXPECT_FALSE(v.HasComments());
}

TEST(CellValue, BackgroundAndBorders) {
  TCellValue v;
  v.Interior->BGColor = 0x00FF0000;  // blue in BGR
  QImage image = Paint(v);
  EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(0, 0, 255));  // style 5: no border although all sides are on
  EXPECT_EQ(QColor(image.pixel(39, 19)), QColor(0, 0, 255));
  v.Interior->BorderStyle = 0;
  v.Interior->BorderColor = 0x000000FF;  // red
  v.Interior->BorderSides = 2 | 8;       // top and bottom only
  image = Paint(v);
  EXPECT_EQ(QColor(image.pixel(20, 0)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(image.pixel(20, 19)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(image.pixel(0, 10)), QColor(0, 0, 255));
  EXPECT_EQ(QColor(image.pixel(39, 10)), QColor(0, 0, 255));
  EXPECT_EQ(QColor(image.pixel(20, 10)), QColor(0, 0, 255));
}

TEST(CellValue, CommentMarkIsARedCorner) {
  TCellValue v;
  QImage image = Paint(v, true);
  EXPECT_EQ(QColor(image.pixel(38, 1)), QColor(Qt::white));
  v.SetComment(QStringLiteral("k"), QStringLiteral("t"));
  image = Paint(v, true);
  EXPECT_EQ(QColor(image.pixel(38, 1)), QColor(255, 0, 0));
  EXPECT_EQ(QColor(image.pixel(30, 10)), QColor(Qt::white));
}

TEST(CellStore, EntriesKeyedByItems) {
  TCustomVirtualGrid grid;
  PVirtualAxisItem r = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem c1 = grid.Cols->AddChild(grid.Cols->Root);
  PVirtualAxisItem c2 = grid.Cols->AddChild(grid.Cols->Root);
  TDataManager store(&grid);
  bool existed = true;
  TBaseCellObject* a = store.GetOrCreateCell(r, c1, existed);
  EXPECT_FALSE(existed);
  EXPECT_EQ(store.GetOrCreateCell(r, c1, existed), a);
  EXPECT_TRUE(existed);
  EXPECT_EQ(store.GetCell(r, c1), a);
  EXPECT_EQ(store.GetCell(r, c2), nullptr);
  EXPECT_EQ(a->Owner, &store);
  EXPECT_EQ(static_cast<TIndexCRKey*>(a->Key())->Col, c1);
  EXPECT_NE(dynamic_cast<TCellObject*>(a), nullptr);

  int freed = 0;
  store.SetCellValue(a, std::make_unique<TCountedValue>(&freed));
  EXPECT_EQ(a->Value->Owner, a);
  store.SetCellValue(a, std::make_unique<TCountedValue>(&freed));
  EXPECT_EQ(freed, 1);  // the old value went
  store.SetCellValue(a, nullptr);
  EXPECT_EQ(freed, 2);
  EXPECT_EQ(a->Value, nullptr);

  store.RemoveCell(r, c2);  // absent: nothing
  EXPECT_EQ(store.Count(), 1);
  TBaseCellObject* b = store.GetOrCreateCell(r, c2, existed);
  store.SetCellValue(b, std::make_unique<TCountedValue>(&freed));
  store.RemoveCell(r, c2);
  EXPECT_EQ(freed, 3);
  EXPECT_EQ(store.GetCell(r, c2), nullptr);

  store.SetCellValue(store.GetOrCreateCell(r, c2, existed), std::make_unique<TCountedValue>(&freed));
  store.Clear();
  EXPECT_EQ(freed, 4);
  EXPECT_EQ(store.GetCell(r, c2), nullptr);
  EXPECT_EQ(store.Count(), 0);
}

TEST(CellStore, BaseStoreHoldsOneEntry) {
  TBaseDataManager store;
  bool existed = false;
  std::unique_ptr<TIndexKey> k1 = std::make_unique<TIndexKey>();
  TBaseCellObject* first = store.FindOrAddCell(k1, existed);
  EXPECT_FALSE(existed);
  EXPECT_EQ(k1, nullptr);  // the store took the key
  std::unique_ptr<TIndexKey> k2 = std::make_unique<TIndexKey>();
  EXPECT_EQ(store.FindOrAddCell(k2, existed), first);
  EXPECT_TRUE(existed);
  std::unique_ptr<TIndexKey> none;
  EXPECT_EQ(store.FindOrAddCell(none, existed), nullptr);
  EXPECT_TRUE(existed);
  EXPECT_EQ(store.Count(), 1);
}
