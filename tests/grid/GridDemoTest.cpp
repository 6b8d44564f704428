// A small demo table: a two-level header with merged cells, a row tree and
// fixed rows and columns, rendered offscreen to a PNG in the build folder
// for a person to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>

#include "GridTestUtil.h"
#include "catalogue/uStringRoutines.h"
#include "grid/uDataManager.h"
#include "grid/uVGCells.h"

namespace {

struct TDemo {
  TVirtualDGrid grid;
  TDataManager store{&grid};

  template <class T = TCellValue>
  T* Put(PVirtualAxisItem row, PVirtualAxisItem col, const QString& text) {
    bool existed = false;
    TBaseCellObject* cell = store.GetOrCreateCell(row, col, existed);
    auto value = std::make_unique<T>();
    T* raw = value.get();
    raw->SetValue(text);
    store.SetCellValue(cell, std::move(value));
    return raw;
  }

  TDemo() {
    grid.FlatHeaders = true;
    grid.VertGridLines.Enabled = grid.HorizGridLines.Enabled = true;
    grid.OnBeforeCellPaint = [this](QPainter& p, PVirtualAxisItem r, PVirtualAxisItem c, QRect& rect) {
      if (TBaseCellValue* v = store.GetValue(r, c))
        v->PaintBackground(p, rect);
      else
        p.fillRect(rect, ToQColor(0x00B0F8F7));
    };
    grid.OnCellTextPaint = [this](QPainter& p, QRect& rect, PVirtualAxisItem r, PVirtualAxisItem c) {
      if (TBaseCellValue* v = store.GetValue(r, c)) v->PaintText(p, rect);
    };
    grid.OnGetCellText = [this](PVirtualAxisItem r, PVirtualAxisItem c, QString& text) {
      TBaseCellValue* v = store.GetValue(r, c);
      text = v ? v->GetDisplayText() : QString();
    };
    TVirtualGridAxis* rows = grid.Rows;
    TVirtualGridAxis* cols = grid.Cols;
    PVirtualAxisItem name = cols->AddChild(cols->Root);
    cols->SetItemSize(name, 170);
    std::vector<PVirtualAxisItem> c;
    for (int i = 0; i < 6; ++i) c.push_back(cols->AddChild(cols->Root));
    for (PVirtualAxisItem col : c) col->Size = 70;
    PVirtualAxisItem head1 = rows->AddChild(rows->Root);
    PVirtualAxisItem head2 = rows->AddChild(rows->Root);
    head2->Size = 34;
    Put<THeaderCell>(head1, name, QStringLiteral("Ученик"));
    grid.MergeCells(name, name, head1, head2);
    Put<THeaderCell>(head1, c[0], QStringLiteral("Математика"));
    grid.MergeCells(c[0], c[2], head1, head1);
    Put<THeaderCell>(head1, c[3], QStringLiteral("Чтение"));
    grid.MergeCells(c[3], c[5], head1, head1);
    const QStringList sub = {QStringLiteral("Задание 1"), QStringLiteral("Задание 2"), QStringLiteral("Балл"),
                             QStringLiteral("Задание 1"), QStringLiteral("Задание 2"), QStringLiteral("Балл")};
    for (int i = 0; i < 6; ++i) Put<THeaderCell>(head2, c[i], sub[i]);
    const QStringList classes = {QStringLiteral("1 \"А\" класс"), QStringLiteral("1 \"Б\" класс")};
    const QStringList pupils = {QStringLiteral("Иванов Иван"), QStringLiteral("Петрова Мария"),
                                QStringLiteral("Сидоров Пётр")};
    int seed = 1;
    for (const QString& cls : classes) {
      PVirtualAxisItem group = rows->AddChild(rows->Root);
      Put<TCaptionCell>(group, name, cls);
      Put<TCaptionCell>(group, c[0], QString());
      grid.MergeCells(c[0], c[5], group, group);
      for (const QString& pupil : pupils) {
        PVirtualAxisItem row = rows->AddChild(group);
        Put(row, name, pupil)->Editable = false;
        for (int i = 0; i < 6; ++i) {
          TCellValue* v = Put(row, c[i], QString::number((seed * (i + 3)) % 4));
          v->Interior->HAlign = 2;
          if (i == 2 || i == 5) v->Interior->FontStyle = 1;
          ++seed;
        }
      }
    }
    static_cast<TCellValue*>(store.GetValue(rows->GetItem(4), c[1]))->SetComment(QStringLiteral("note"), QStringLiteral("проверить"));
    grid.SetFixedCells(name, head2);
    // Sorted by the maths score, descending: the header shows the mark.
    grid.Rows->OnCompareEvent = [this](TVirtualGridAxis*, PVirtualAxisItem a, PVirtualAxisItem b, PVirtualAxisItem col,
                                       int& result) {
      TBaseCellValue* va = store.GetValue(a, col);
      TBaseCellValue* vb = store.GetValue(b, col);
      result = NaturalCompare(va ? va->GetValue() : QString(), vb ? vb->GetValue() : QString());
    };
    grid.SortRows(c[2], 2);
    grid.SetMainColumn(0);
    grid.FocusedRow = rows->GetItem(3);
    grid.FocusedCol = c[1];
    grid.SelectCells(rows->GetItem(5), c[3], c[4], rows->GetItem(6));
    grid.resize(720, 330);
  }
};

}  // namespace

TEST(GridDemo, RendersHeaderTreeAndFixedAreas) {
  TDemo demo;
  demo.grid.show();
  Pump(&demo.grid);
  const QImage image = demo.grid.grab().toImage();
  const QString path = QStringLiteral(TALVEX_DEMO_DIR) + QStringLiteral("/grid_demo.png");
  ASSERT_TRUE(image.save(path));
  // The fixed lines are drawn in black under the header rows and right of the first column.
  TVirtualDGrid& g = demo.grid;
  const int y = g.DataTop + g.FixedRowsExtent - 1;
  const int x = g.DataLeft + g.FixedColsExtent - 1;
  EXPECT_EQ(QColor(image.pixel(x + 40, y)), QColor(Qt::black));
  EXPECT_EQ(QColor(image.pixel(x, y + 40)), QColor(Qt::black));
  // The merged class caption spans the score columns and was drawn once, in the caption colour.
  EXPECT_EQ(g.Cols->GetItem(3)->SortMark, 2);
  TMergedCell* caption = g.GetMergedCell(g.Rows->GetItem(2), g.Cols->GetItem(3));
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->FirstCol, g.Cols->GetItem(1));
  EXPECT_EQ(caption->DrawRect.Right, g.GetCellRect(g.Rows->GetItem(2), g.Cols->GetItem(6)).Right);
  EXPECT_EQ(QColor(image.pixel(caption->DrawRect.Right - 3, caption->DrawRect.Top + 3)), ToQColor(CaptionColor));
}

TEST(GridDemo, EditorSitsOverItsCell) {
  TDemo demo;
  TVirtualDGrid& g = demo.grid;
  g.show();
  Pump(&g);
  g.FocusedRow = g.Rows->GetItem(4);
  g.FocusedCol = g.Cols->GetItem(2);
  SendKey(&g, Qt::Key_F2);
  Pump(&g);
  ASSERT_TRUE(g.IsEditing());
  auto link = std::dynamic_pointer_cast<TVGCellEditLink>(g.Editor());
  ASSERT_NE(link, nullptr);
  const QRect cell = ToQRect(g.GetCellRect(g.FocusedRow, g.FocusedCol));
  EXPECT_TRUE(cell.contains(link->EditControl()->geometry()));
  EXPECT_TRUE(link->EditControl()->isVisible());
  EXPECT_EQ(link->EditControl()->property("plainText").toString(), QStringLiteral("0"));
  ASSERT_TRUE(g.grab().toImage().save(QStringLiteral(TALVEX_DEMO_DIR) + QStringLiteral("/grid_demo_editing.png")));
}
