// Geometry without a window: header widths, areas, cell rectangles, hit
// codes, scrolling limits.
#include <gtest/gtest.h>

#include <vector>

#include "grid/uVDrawGridLayout.h"

namespace {

struct TLayoutFixture : ::testing::Test {
  TVDGridLayout grid;
  std::vector<PVirtualAxisItem> r, c;
  void Build(int rows, int cols, int width = 400, int height = 300) {
    for (int i = 0; i < rows; ++i) r.push_back(grid.Rows->AddChild(grid.Rows->Root));
    for (int i = 0; i < cols; ++i) c.push_back(grid.Cols->AddChild(grid.Cols->Root));
    grid.SetClientSize(width, height);
    grid.EnsureLayout();
  }
};

}  // namespace

TEST(GridLayout, RowNumberColumnWidth) {
  struct Case {
    int rows;
    bool sortable;
    int width;
  };
  for (const Case& k : {Case{0, false, 22}, Case{9, false, 22}, Case{10, false, 22}, Case{100, false, 33},
                        Case{100, true, 44}, Case{1000, false, 44}}) {
    TVDGridLayout grid;
    if (k.sortable)
      grid.Cols->OnCompareEvent = [](TVirtualGridAxis*, PVirtualAxisItem, PVirtualAxisItem, PVirtualAxisItem, int&) {};
    for (int i = 0; i < k.rows; ++i) grid.Rows->AddChild(grid.Rows->Root);
    grid.UpdateLayout();
    EXPECT_EQ(grid.Cols->Root->Size, k.width) << k.rows << " rows";
  }
}

TEST_F(TLayoutFixture, HeaderAndTreeAreas) {
  Build(3, 3);
  EXPECT_EQ(grid.TreeAreaWidth, 5);  // flat: depth 0
  EXPECT_EQ(grid.TreeAreaHeight, 5);
  EXPECT_EQ(grid.DataLeft, 5 + 22);
  EXPECT_EQ(grid.DataTop, 5 + 20);
  grid.Rows->AddChild(r[0]);
  grid.EnsureLayout();
  EXPECT_EQ(grid.TreeAreaWidth, 20);
  grid.SetDisplayLeftHeader(false);
  grid.SetDisplayTopHeader(false);
  EXPECT_EQ(grid.DataLeft, 20);
  EXPECT_EQ(grid.DataTop, 5);
  const int before = c[1]->Size;
  grid.SetMainColumn(1);  // widened by the tree area and one indent
  EXPECT_EQ(c[1]->Size, before + 20 + 15);
  EXPECT_EQ(grid.MainColumn(), 2);
  EXPECT_EQ(grid.TreeAreaWidth, 0);
  grid.SetMainColumn(-1);
  EXPECT_EQ(grid.MainColumn(), -1);
}

TEST_F(TLayoutFixture, FixedFirstRowMakesSecondRowScrollable) {
  Build(5, 3);
  EXPECT_EQ(grid.FirstScrollRow, r[0]);
  grid.SetFixedCells(nullptr, r[0]);
  grid.EnsureLayout();
  EXPECT_EQ(grid.FixedRowsExtent, 22);
  EXPECT_EQ(grid.FirstScrollRow, r[1]);
  EXPECT_EQ(grid.FirstScrollCol, c[0]);
  EXPECT_EQ(grid.LastScrollRow, r[4]);
}

TEST_F(TLayoutFixture, CellRectanglesInTheFourAreas) {
  Build(20, 8);
  grid.SetFixedCells(c[0], r[0]);
  grid.EnsureLayout();
  const int L = grid.DataLeft, T = grid.DataTop;
  EXPECT_EQ(grid.GetCellRect(r[0], c[0]), (TGridRect{L + 1, T + 1, L + 81, T + 21}));     // corner
  EXPECT_EQ(grid.GetCellRect(r[1], c[0]), (TGridRect{L + 1, T + 22, L + 81, T + 42}));    // fixed column
  EXPECT_EQ(grid.GetCellRect(r[0], c[1]), (TGridRect{L + 82, T + 1, L + 162, T + 21}));   // fixed row
  EXPECT_EQ(grid.GetCellRect(r[1], c[1]), (TGridRect{L + 82, T + 22, L + 162, T + 42}));  // scrollable
  EXPECT_EQ(grid.GetCellRect(r[2], c[2]), (TGridRect{L + 163, T + 43, L + 243, T + 63}));
  const TGridRect none{-2, -2, -1, -1};
  EXPECT_EQ(grid.GetCellRect(nullptr, c[1]), none);
  EXPECT_EQ(grid.GetCellRect(r[19], c[1]), none);  // below the client area
  EXPECT_EQ(grid.GetCellRect(r[1], c[7]), none);   // right of it

  grid.SetScrollY(21);  // one row scrolled away
  grid.EnsureLayout();
  EXPECT_EQ(grid.FirstScrollRow, r[2]);
  EXPECT_EQ(grid.GetCellRect(r[1], c[1]), none);
  EXPECT_EQ(grid.GetCellRect(r[2], c[1]), (TGridRect{L + 82, T + 22, L + 162, T + 42}));
  EXPECT_EQ(grid.GetCellRect(r[2], c[0]), (TGridRect{L + 1, T + 22, L + 81, T + 42}));
  EXPECT_EQ(grid.GetCellRect(r[0], c[0]), (TGridRect{L + 1, T + 1, L + 81, T + 21}));  // corner does not scroll

  grid.Rows->SetExpanded(r[3], false);  // a collapsed item without children changes nothing
  PVirtualAxisItem child = grid.Rows->AddChild(r[3]);
  grid.Rows->SetExpanded(r[3], false);
  EXPECT_EQ(grid.GetCellRect(child, c[1]), none);
}

TEST_F(TLayoutFixture, HitCodesAtBordersAndHeaders) {
  Build(5, 4);
  const int L = grid.DataLeft, T = grid.DataTop;
  // First scrollable column spans x = L+1 .. L+80, its line at L+81.
  struct Case {
    int x, y, code;
    PVirtualAxisItem row, col;
  };
  const std::vector<Case> cases = {
      {L + 1, T + 1, htCell, r[0], c[0]},
      {L + 78, T + 5, htCell, r[0], c[0]},
      {L + 79, T + 5, htColBorder, r[0], c[0]},  // last three pixels incl. the line
      {L + 81, T + 5, htColBorder, r[0], c[0]},
      {L + 82, T + 5, htCell, r[0], c[1]},
      {L + 10, T + 18, htCell, r[0], c[0]},
      {L + 10, T + 19, htRowBorder, r[0], c[0]},
      {L + 10, T + 22, htCell, r[1], c[0]},
      {L + 10, T - 5, htColHeader, grid.Rows->Root, c[0]},
      {L + 79, T - 5, htColBorder, grid.Rows->Root, c[0]},
      {L - 5, T + 5, htRowHeader, r[0], grid.Cols->Root},
      {L - 5, T + 20, htRowBorder, r[0], grid.Cols->Root},
      {L - 5, T - 5, htCorner, grid.Rows->Root, grid.Cols->Root},
      {L + 10, 2, htColToggle, grid.Rows->Root, c[0]},  // above the top header
      {L + 10, T + 5 * 21 + 5, htColHeader, nullptr, c[0]},  // below the last row: counts as the column
      {L + 4 * 81 + 5, T + 5 * 21 + 5, htNone, nullptr, nullptr},
  };
  for (const Case& k : cases) {
    const THitInfo hit = grid.HitTest(k.x, k.y);
    EXPECT_EQ(hit.Code, k.code) << k.x << "," << k.y;
    EXPECT_EQ(hit.Row, k.row) << k.x << "," << k.y;
    EXPECT_EQ(hit.Col, k.col) << k.x << "," << k.y;
  }
}

TEST_F(TLayoutFixture, TreeToggles) {
  Build(3, 3);
  grid.Rows->AddChild(r[0]);  // a two-level row tree
  grid.EnsureLayout();
  EXPECT_EQ(grid.TreeAreaWidth, 20);
  const int T = grid.DataTop;
  EXPECT_EQ(grid.HitTest(10, T + 5).Code, htRowToggle);  // left of the left header
  EXPECT_EQ(grid.HitTest(25, T + 5).Code, htRowHeader);
  grid.SetMainColumn(0);
  grid.EnsureLayout();
  const int L = grid.DataLeft;
  EXPECT_EQ(grid.HitTest(L + 10, T + 5).Code, htRowToggle);  // level 1: first 15 pixels
  EXPECT_EQ(grid.HitTest(L + 17, T + 5).Code, htCell);
  EXPECT_EQ(grid.HitTest(L + 17, T + 26).Code, htRowToggle);  // level 2: first 30 pixels
}

TEST_F(TLayoutFixture, GoToItemExpandsAndClamps) {
  Build(30, 3);
  PVirtualAxisItem child = grid.Rows->AddChild(r[10]);
  grid.Rows->SetExpanded(r[10], false);
  grid.EnsureLayout();
  EXPECT_FALSE(grid.GoToItem(nullptr, false));
  EXPECT_FALSE(grid.GoToItem(grid.Rows->Root, false));
  ASSERT_TRUE(grid.GoToItem(child, false));
  EXPECT_TRUE(r[10]->Has(asExpanded));
  EXPECT_EQ(grid.FocusedRow, child);
  EXPECT_EQ(grid.HotRow, child);
  EXPECT_EQ(grid.ScrollY(), 11 * 21);
  grid.EnsureLayout();
  EXPECT_EQ(grid.FirstScrollRow, child);
  // The last row cannot reach the top: the offset stops at the limit.
  ASSERT_TRUE(grid.GoToItem(r[29], false));
  EXPECT_EQ(grid.MaxScrollY, (31 * 21 + 2 * 20) - (300 - grid.DataTop - 50));
  EXPECT_EQ(grid.ScrollY(), grid.MaxScrollY);
  // Columns stop at their limit: total extent (with twice the last width) less the page.
  ASSERT_TRUE(grid.GoToItem(c[2], true));
  EXPECT_EQ(grid.HorzScroll.TotalExtent, 3 * 81 + 2 * 80);
  EXPECT_EQ(grid.HorzScroll.ScrollLength, 400 - grid.DataLeft - 50 - 32);  // the vertical bar is shown
  EXPECT_EQ(grid.ScrollX(), grid.HorzScroll.TotalExtent - grid.HorzScroll.ScrollLength);
  ASSERT_TRUE(grid.GoToItem(c[0], true));
  EXPECT_EQ(grid.ScrollX(), 0);
  EXPECT_EQ(grid.FocusedCol, c[0]);
}

TEST_F(TLayoutFixture, ScrollStepsAndLimits) {
  Build(40, 3);
  EXPECT_TRUE(grid.VertScroll.BarNeeded);
  EXPECT_FALSE(grid.HorzScroll.BarNeeded);
  EXPECT_EQ(grid.StepOffset(false, ssLineBack), 0);  // from 0 it stays at 0
  EXPECT_EQ(grid.StepOffset(false, ssLineForward), 20);
  grid.ScrollStep(false, ssLineForward);
  grid.EnsureLayout();
  EXPECT_EQ(grid.FirstScrollRow, r[1]);
  grid.ScrollStep(false, ssLineForward);  // now on the grid line: a whole row on
  EXPECT_EQ(grid.ScrollY(), 41);
  grid.ScrollStep(false, ssEnd);
  const int limit = grid.VertScroll.TotalExtent - grid.VertScroll.ScrollLength;
  EXPECT_EQ(grid.ScrollY(), limit);
  grid.ScrollStep(false, ssPageForward);
  EXPECT_EQ(grid.ScrollY(), limit);
  grid.ScrollStep(false, ssHome);
  EXPECT_EQ(grid.ScrollY(), 0);
  grid.ScrollStep(false, ssThumb, 5);
  EXPECT_EQ(grid.ScrollY(), 5 * 21);
  grid.EnsureLayout();
  EXPECT_EQ(grid.ScrollBarPosition(false), 5);
  grid.WheelScroll(true);
  EXPECT_EQ(grid.ScrollY(), 5 * 21 + 20);
  grid.SetScrollY(0);
  grid.WheelScroll(false);
  EXPECT_EQ(grid.ScrollY(), 0);
  EXPECT_EQ(grid.StepOffset(true, ssPageForward), grid.MaxScrollX);
}

TEST_F(TLayoutFixture, SortRowsKeepsFixedRowsAndMarks) {
  Build(5, 2);
  std::vector<int> keys = {0, 5, 3, 4, 1};
  for (int i = 0; i < 5; ++i) r[i]->Data = &keys[i];
  grid.Rows->OnCompareEvent = [](TVirtualGridAxis*, PVirtualAxisItem a, PVirtualAxisItem b, PVirtualAxisItem,
                                 int& res) { res = *static_cast<int*>(a->Data) - *static_cast<int*>(b->Data); };
  grid.SetFixedCells(nullptr, r[0]);
  grid.SetScrollY(21);
  grid.SortRows(c[1], 2);
  EXPECT_EQ(grid.RowSortItem, c[1]);
  EXPECT_EQ(c[1]->SortMark, 2);
  EXPECT_EQ(grid.ScrollY(), 0);
  std::vector<PVirtualAxisItem> order;
  for (PVirtualAxisItem p = grid.Rows->GetFirst(); p; p = p->NextSibling) order.push_back(p);
  EXPECT_EQ(order, (std::vector<PVirtualAxisItem>{r[0], r[1], r[3], r[2], r[4]}));
  grid.SortRows(c[0], 1);  // another column: the previous mark is cleared
  EXPECT_EQ(grid.PrevRowSortItem, c[1]);
  EXPECT_EQ(c[1]->SortMark, 0);
  grid.SortRows(c[0], 0);  // restores the order saved before the first sort
  order.clear();
  for (PVirtualAxisItem p = grid.Rows->GetFirst(); p; p = p->NextSibling) order.push_back(p);
  EXPECT_EQ(order, r);
}

TEST_F(TLayoutFixture, ClearDropsEverything) {
  Build(12, 3);
  grid.MergeCells(c[0], c[1], r[0], r[0]);
  grid.SetFixedCells(c[0], r[0]);
  grid.FocusedRow = r[3];
  grid.SetScrollY(40);
  grid.Clear();
  EXPECT_EQ(grid.Rows->GetCount(), 0);
  EXPECT_EQ(grid.Cols->GetCount(), 0);
  EXPECT_TRUE(grid.MergedCells.empty());
  EXPECT_EQ(grid.FocusedRow, nullptr);
  EXPECT_EQ(grid.ScrollY(), 0);
  EXPECT_EQ(grid.Rows->Root->Size, 20);
  EXPECT_EQ(grid.Cols->Root->Size, 80);
  grid.EnsureLayout();
  EXPECT_EQ(grid.Cols->Root->Size, 22);
}
