// The grid model without a window: numbering, walks, tree depth, expansion,
// selection, stable sorting and merged cells.
#include <gtest/gtest.h>

#include <vector>

#include "grid/uVGrid.h"

namespace {

// Numbers of every item in the all-items order.
std::vector<int> Indexes(TVirtualGridAxis* axis) {
  std::vector<int> out;
  for (int i = 0; i < axis->GetCount(); ++i) out.push_back(axis->GetItem(i)->AbsoluteIndex);
  return out;
}

// Sort keys for rows: Data holds a pointer to an int.
struct TSortFixture : ::testing::Test {
  TCustomVirtualGrid grid;
  std::vector<int> keys;
  std::vector<PVirtualAxisItem> rows;
  PVirtualAxisItem col = nullptr;

  void Build(const std::vector<int>& values) {
    keys = values;
    col = grid.Cols->AddChild(grid.Cols->Root);
    for (size_t i = 0; i < keys.size(); ++i) {
      PVirtualAxisItem r = grid.Rows->AddChild(grid.Rows->Root);
      r->Data = &keys[i];
      rows.push_back(r);
    }
    grid.Rows->OnCompareEvent = [](TVirtualGridAxis*, PVirtualAxisItem a, PVirtualAxisItem b, PVirtualAxisItem,
                                   int& result) {
      result = *static_cast<int*>(a->Data) - *static_cast<int*>(b->Data);
    };
  }
  // Original positions (0-based) of the rows in their present order.
  std::vector<int> Order() {
    std::vector<int> out;
    for (PVirtualAxisItem r = grid.Rows->GetFirst(); r; r = r->NextSibling) {
      for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i] == r) out.push_back(static_cast<int>(i));
    }
    return out;
  }
};

}  // namespace

TEST(GridAxis, NewAxisHasRootOnly) {
  TCustomVirtualGrid grid;
  EXPECT_EQ(grid.Rows->GetCount(), 0);
  EXPECT_EQ(grid.Rows->Root->Size, 20);
  EXPECT_TRUE(grid.Rows->Root->Has(asExpanded));
  EXPECT_EQ(grid.Rows->DefaultItemSize, 20);
  EXPECT_EQ(grid.Cols->DefaultItemSize, 80);
  EXPECT_EQ(grid.Rows->GetItem(0), nullptr);
  EXPECT_EQ(grid.Rows->GetTreeDepth(), -1);
  EXPECT_EQ(grid.Rows->GetNext(grid.Rows->Root), nullptr);
}

TEST(GridAxis, NumberingAfterAddsAndDeletes) {
  TCustomVirtualGrid grid;
  TVirtualGridAxis* rows = grid.Rows;
  PVirtualAxisItem a = rows->AddChild(rows->Root);
  PVirtualAxisItem b = rows->AddChild(rows->Root);
  PVirtualAxisItem a1 = rows->AddChild(a);  // inserted before b in the all-items order
  EXPECT_EQ(a->AbsoluteIndex, 1);
  EXPECT_EQ(a1->AbsoluteIndex, 2);
  EXPECT_EQ(b->AbsoluteIndex, 3);
  EXPECT_EQ(rows->GetCount(), 3);
  EXPECT_EQ(rows->GetItem(0), a);
  EXPECT_EQ(rows->GetItem(1), a1);
  EXPECT_EQ(rows->GetItem(2), b);
  EXPECT_EQ(rows->GetItem(3), nullptr);
  EXPECT_EQ(rows->GetItem(-1), nullptr);
  EXPECT_EQ(a->ChildCount, 1);
  EXPECT_EQ(rows->Root->TotalCount, 3);

  // A subtree of three descendants below a1 goes with it: count drops by four.
  PVirtualAxisItem x = rows->AddChild(a1);
  rows->AddChild(x);
  rows->AddChild(a1);
  EXPECT_EQ(rows->GetCount(), 6);
  EXPECT_EQ(b->AbsoluteIndex, 6);
  rows->DeleteItem(a1);
  EXPECT_EQ(rows->GetCount(), 2);
  EXPECT_EQ(a->ChildCount, 0);
  EXPECT_FALSE(a->Has(asHasChildren));
  EXPECT_EQ(a->TotalCount, 0);
  EXPECT_EQ(b->AbsoluteIndex, 2);
  EXPECT_EQ(Indexes(rows), (std::vector<int>{1, 2}));

  rows->DeleteItem(nullptr);
  rows->DeleteItem(rows->Root);
  EXPECT_EQ(rows->GetCount(), 0);
  EXPECT_EQ(rows->GetFirst(), nullptr);
  EXPECT_EQ(rows->AddChild(nullptr), nullptr);
}

TEST(GridAxis, NewItemDefaults) {
  TCustomVirtualGrid grid;
  grid.Cols->DefaultItemSize = 33;
  PVirtualAxisItem p = grid.Cols->AddChild(grid.Cols->Root);
  grid.Cols->SetExpanded(p, false);
  PVirtualAxisItem c = grid.Cols->AddChild(p);
  EXPECT_EQ(c->Size, 33);
  EXPECT_EQ(c->States, asVisible);
  EXPECT_EQ(c->Data, nullptr);
  EXPECT_TRUE(p->Has(asExpanded));  // adding a child expands the parent
  EXPECT_TRUE(p->Has(asHasChildren));
  EXPECT_TRUE(grid.HasState(gsLayoutChanged));
}

TEST(GridAxis, WalksStopAtBothEnds) {
  TCustomVirtualGrid grid;
  TVirtualGridAxis* rows = grid.Rows;
  PVirtualAxisItem a = rows->AddChild(rows->Root);
  PVirtualAxisItem a1 = rows->AddChild(a);
  PVirtualAxisItem a2 = rows->AddChild(a);
  PVirtualAxisItem b = rows->AddChild(rows->Root);
  PVirtualAxisItem b1 = rows->AddChild(b);

  EXPECT_EQ(rows->GetNext(rows->Root), a);
  EXPECT_EQ(rows->GetNext(a), a1);
  EXPECT_EQ(rows->GetNext(a2), b);
  EXPECT_EQ(rows->GetNext(b1), b1);  // the last item is its own successor
  EXPECT_EQ(rows->GetNext(nullptr), nullptr);
  EXPECT_EQ(rows->GetPrevVisible(a), a);  // the first item is its own predecessor
  EXPECT_EQ(rows->GetPrevVisible(a1), a);
  EXPECT_EQ(rows->GetPrevVisible(b), a2);  // last shown descendant of the previous sibling

  rows->SetExpanded(a, false);
  EXPECT_EQ(rows->GetNextVisible(a), b);
  EXPECT_EQ(rows->GetNext(a), a1);
  EXPECT_EQ(rows->GetPrevVisible(b), a);
  EXPECT_EQ(rows->GetLast(), b1);
  EXPECT_EQ(rows->GetLastVisible(), b1);
  rows->SetExpanded(b, false);
  EXPECT_EQ(rows->GetNextVisible(b), b);
  EXPECT_EQ(rows->GetLastVisible(), b);
}

TEST(GridAxis, LevelsAndTreeDepth) {
  TCustomVirtualGrid grid;
  TVirtualGridAxis* rows = grid.Rows;
  EXPECT_EQ(rows->GetTreeDepth(), -1);
  PVirtualAxisItem a = rows->AddChild(rows->Root);
  rows->AddChild(rows->Root);
  EXPECT_EQ(rows->GetTreeDepth(), 0);
  PVirtualAxisItem a1 = rows->AddChild(a);
  PVirtualAxisItem a11 = rows->AddChild(a1);
  EXPECT_EQ(rows->GetTreeDepth(), 2);
  EXPECT_EQ(TVirtualGridAxis::GetLevel(rows->Root), 0);
  EXPECT_EQ(TVirtualGridAxis::GetLevel(nullptr), 0);
  EXPECT_EQ(TVirtualGridAxis::GetLevel(a), 1);
  EXPECT_EQ(TVirtualGridAxis::GetLevel(a11), 3);
}

TEST(GridAxis, ExpandToLevel) {
  TCustomVirtualGrid grid;
  TVirtualGridAxis* rows = grid.Rows;
  PVirtualAxisItem a = rows->AddChild(rows->Root);
  PVirtualAxisItem a1 = rows->AddChild(a);
  PVirtualAxisItem a11 = rows->AddChild(a1);
  PVirtualAxisItem a111 = rows->AddChild(a11);
  rows->SetExpanded(a11, false);
  PVirtualAxisItem b = rows->AddChild(rows->Root);  // a leaf

  rows->ExpandToLevel(1);
  EXPECT_TRUE(a->Has(asExpanded));
  EXPECT_FALSE(a1->Has(asExpanded));  // second level with children collapses
  EXPECT_FALSE(a11->Has(asExpanded));  // deeper items keep their state
  EXPECT_EQ(rows->GetNextVisible(a), a1);
  EXPECT_EQ(rows->GetNextVisible(a1), b);

  rows->ExpandToLevel(3);
  EXPECT_TRUE(a1->Has(asExpanded));
  EXPECT_TRUE(a11->Has(asExpanded));
  EXPECT_EQ(rows->GetNextVisible(a11), a111);

  rows->ExpandToLevel(0);
  EXPECT_FALSE(a->Has(asExpanded));
  EXPECT_TRUE(a1->Has(asExpanded));  // not entered
  EXPECT_EQ(rows->GetNextVisible(a), b);
}

TEST(GridAxis, SelectionMarksAndOrder) {
  TCustomVirtualGrid grid;
  TVirtualGridAxis* cols = grid.Cols;
  std::vector<PVirtualAxisItem> c;
  for (int i = 0; i < 5; ++i) c.push_back(cols->AddChild(cols->Root));
  cols->SelectItem(c[3], false);
  cols->SelectItem(c[1], true);
  cols->SelectItem(c[3], true);  // already listed: marks change only
  EXPECT_EQ(cols->SelectedCount(), 2);
  EXPECT_EQ(cols->GetSelected(0), c[3]);
  EXPECT_EQ(cols->GetSelected(1), c[1]);
  EXPECT_EQ(cols->GetSelected(2), nullptr);
  EXPECT_TRUE(c[3]->Has(asWholeLine));
  cols->SelectItem(c[3], false);
  EXPECT_FALSE(c[3]->Has(asWholeLine));
  EXPECT_TRUE(c[3]->Has(asInSelection));
  cols->UnselectItem(c[1]);
  EXPECT_FALSE(TVirtualGridAxis::IsSelected(c[1]));
  EXPECT_EQ(cols->SelectedCount(), 1);

  cols->ClearSelection();
  cols->SelectRange(c[2], c[2], false);  // c[2] .. c[2]
  EXPECT_EQ(cols->SelectedCount(), 1);
  cols->ClearSelection();
  cols->SelectRange(c[2], nullptr, false);  // to the end
  EXPECT_EQ(cols->SelectedCount(), 3);
  cols->ClearSelection();
  EXPECT_EQ(cols->SelectedCount(), 0);
  EXPECT_FALSE(c[4]->Has(asInSelection));
}

TEST(GridModel, CellSelectionRules) {
  TCustomVirtualGrid grid;
  PVirtualAxisItem r1 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem r2 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem c1 = grid.Cols->AddChild(grid.Cols->Root);
  PVirtualAxisItem c2 = grid.Cols->AddChild(grid.Cols->Root);
  grid.Cols->SelectItem(c2, true);
  EXPECT_TRUE(grid.IsCellSelected(r1, c2));  // whole-line column, row not selected
  EXPECT_FALSE(grid.IsCellSelected(r1, c1));
  grid.SelectCells(r2, c1, c1, r2);
  EXPECT_FALSE(grid.IsCellSelected(r1, c2));
  EXPECT_TRUE(grid.IsCellSelected(r2, c1));
  EXPECT_FALSE(grid.IsCellSelected(r1, c1));
  grid.SelectAll();
  EXPECT_EQ(grid.Rows->SelectedCount(), 2);
  EXPECT_EQ(grid.Cols->SelectedCount(), 2);
  EXPECT_TRUE(grid.IsCellSelected(r1, c2));
}

TEST(GridModel, DeletingItemsDropsStaleReferences) {
  TCustomVirtualGrid grid;
  PVirtualAxisItem r1 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem r2 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem c1 = grid.Cols->AddChild(grid.Cols->Root);
  grid.Rows->SelectItem(r1, false);
  grid.Rows->SelectItem(r2, false);
  grid.SetFixedCells(nullptr, r1);
  grid.MergeCells(c1, c1, r1, r2);
  grid.Rows->DeleteItem(r1);
  EXPECT_EQ(grid.Rows->SelectedCount(), 1);
  EXPECT_EQ(grid.Rows->FixedItem, nullptr);
  EXPECT_TRUE(grid.MergedCells.empty());
  EXPECT_EQ(grid.GetMergedCell(r2, c1), nullptr);
}

TEST_F(TSortFixture, StableSortBothDirectionsAndRestore) {
  Build({3, 1, 2, 1, 3});
  grid.Rows->SaveOrder();
  grid.Rows->SortItems(nullptr, col, 1);
  EXPECT_EQ(Order(), (std::vector<int>{1, 3, 2, 0, 4}));  // equal keys keep their order
  EXPECT_EQ(Indexes(grid.Rows), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(rows[1]->AbsoluteIndex, 1);
  grid.Rows->SortItems(grid.Rows->Root, col, 2);
  EXPECT_EQ(Order(), (std::vector<int>{0, 4, 2, 1, 3}));  // descending, ties still in order
  grid.Rows->SortItems(nullptr, col, 0);
  EXPECT_EQ(Order(), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(rows[4]->PrevSibling, rows[3]);
  EXPECT_EQ(grid.Rows->Root->LastChild, rows[4]);
}

TEST_F(TSortFixture, SortFromStartKeepsEarlierSiblings) {
  Build({9, 5, 4, 3, 2, 1, 7, 6});
  grid.Rows->SortItems(rows[2], col, 1);
  EXPECT_EQ(Order(), (std::vector<int>{0, 1, 5, 4, 3, 2, 7, 6}));
  EXPECT_EQ(rows[5]->PrevSibling, rows[1]);
  EXPECT_EQ(rows[1]->NextSibling, rows[5]);
}

TEST_F(TSortFixture, SortNeedsCompareEventAndColumn) {
  Build({2, 1});
  grid.Rows->SortItems(nullptr, nullptr, 1);
  EXPECT_EQ(Order(), (std::vector<int>{0, 1}));
  grid.Rows->OnCompareEvent = nullptr;
  grid.Rows->SortItems(nullptr, col, 1);
  EXPECT_EQ(Order(), (std::vector<int>{0, 1}));
}

TEST_F(TSortFixture, ChildrenSortedUnlessRefused) {
  Build({2, 1});
  int k3 = 3, k1 = 1;
  PVirtualAxisItem c3 = grid.Rows->AddChild(rows[0]);
  c3->Data = &k3;
  PVirtualAxisItem c1 = grid.Rows->AddChild(rows[0]);
  c1->Data = &k1;
  grid.Rows->SortItems(nullptr, col, 1);
  EXPECT_EQ(rows[0]->FirstChild, c1);
  EXPECT_EQ(c1->AbsoluteIndex, 3);  // rows[1], rows[0], c1, c3
  grid.Rows->OnAllowSortChilds = [](PVirtualAxisItem) { return false; };
  grid.Rows->SortItems(nullptr, col, 2);
  EXPECT_EQ(rows[0]->FirstChild, c1);  // children left alone
  EXPECT_EQ(grid.Rows->GetFirst(), rows[0]);
}

TEST(GridModel, MergeCellsIndexAndRepointing) {
  TCustomVirtualGrid grid;
  std::vector<PVirtualAxisItem> r, c;
  for (int i = 0; i < 4; ++i) r.push_back(grid.Rows->AddChild(grid.Rows->Root));
  for (int i = 0; i < 4; ++i) c.push_back(grid.Cols->AddChild(grid.Cols->Root));

  EXPECT_EQ(grid.MergeCells(c[1], c[1], r[1], r[1]), nullptr);  // a single cell
  EXPECT_TRUE(grid.MergedCells.empty());

  TMergedCell* first = grid.MergeCells(c[2], c[0], r[0], r[1]);  // pairs are ordered
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->FirstCol, c[0]);
  EXPECT_EQ(first->LastCol, c[2]);
  EXPECT_EQ(first->PaintBounds.Left, 2147483647);
  EXPECT_EQ(first->PaintBounds.Bottom, -2147483647);
  EXPECT_EQ(grid.GetMergedCell(r[1], c[2]), first);
  EXPECT_EQ(grid.GetMergedCell(r[2], c[2]), nullptr);
  EXPECT_EQ(grid.GetMergedCell(nullptr, c[0]), nullptr);

  TMergedCell* second = grid.MergeCells(c[2], c[3], r[1], r[2]);  // overlaps (r1, c2)
  EXPECT_EQ(grid.MergedCells.size(), 2u);
  EXPECT_EQ(grid.GetMergedCell(r[1], c[2]), second);
  EXPECT_EQ(grid.GetMergedCell(r[0], c[2]), first);
  EXPECT_EQ(grid.MergedIndexSize(), 6 + 3);

  grid.ClearMergedCells();
  EXPECT_TRUE(grid.MergedCells.empty());
  EXPECT_EQ(grid.GetMergedCell(r[0], c[0]), nullptr);
}

TEST(GridModel, ItemAddedInsideSpanWidensMergedCell) {
  TCustomVirtualGrid grid;
  PVirtualAxisItem r1 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem r2 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem r3 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem c1 = grid.Cols->AddChild(grid.Cols->Root);
  PVirtualAxisItem c2 = grid.Cols->AddChild(grid.Cols->Root);
  TMergedCell* m = grid.MergeCells(c1, c2, r1, r2);
  PVirtualAxisItem inside = grid.Rows->AddChild(r1);  // AbsoluteIndex 2, within 1..3
  EXPECT_EQ(grid.GetMergedCell(inside, c1), m);
  EXPECT_EQ(grid.GetMergedCell(inside, c2), m);
  PVirtualAxisItem outside = grid.Rows->AddChild(r3);
  EXPECT_EQ(grid.GetMergedCell(outside, c1), nullptr);
  PVirtualAxisItem subCol = grid.Cols->AddChild(c1);  // a sub-column inside the column span
  EXPECT_EQ(grid.GetMergedCell(r2, subCol), m);
  EXPECT_EQ(grid.GetMergedCell(inside, subCol), m);
}

TEST(GridModel, MergedExtentFollowsShownRows) {
  TCustomVirtualGrid grid;
  PVirtualAxisItem r1 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem r2 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem r3 = grid.Rows->AddChild(grid.Rows->Root);
  PVirtualAxisItem c1 = grid.Cols->AddChild(grid.Cols->Root);
  PVirtualAxisItem c2 = grid.Cols->AddChild(grid.Cols->Root);
  grid.Rows->SetItemSize(r2, 30);
  TMergedCell* m = grid.MergeCells(c1, c2, r1, r3);
  EXPECT_EQ(grid.GetMergedExtent(m), 20 + 31 + 21);
  EXPECT_EQ(grid.GetMergedExtent(m, true), 80 + 81);
}

TEST(GridModel, AddingDropsTheAxisSortState) {
  TCustomVirtualGrid grid;
  PVirtualAxisItem c = grid.Cols->AddChild(grid.Cols->Root);
  PVirtualAxisItem c2 = grid.Cols->AddChild(grid.Cols->Root);
  grid.RowSortItem = c;
  grid.PrevRowSortItem = c2;
  c->SortMark = 2;
  grid.Rows->AddChild(grid.Rows->Root);
  EXPECT_EQ(grid.RowSortItem, c);
  EXPECT_EQ(c->SortMark, 0);
  EXPECT_EQ(grid.PrevRowSortItem, nullptr);
}

TEST(GridModel, CellTextWithoutHandler) {
  TCustomVirtualGrid grid;
  EXPECT_EQ(grid.GetCellText(nullptr, nullptr), QStringLiteral("none "));
  grid.OnGetCellText = [](PVirtualAxisItem, PVirtualAxisItem, QString& t) { t = QStringLiteral("x"); };
  EXPECT_EQ(grid.GetCellText(nullptr, nullptr), QStringLiteral("x"));
}
