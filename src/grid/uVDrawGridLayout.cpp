#include "grid/uVDrawGridLayout.h"

#include <algorithm>
#include <vector>

namespace {
const TGridRect kInvisibleRect{-2, -2, -1, -1};

// Walks the shown, visible items from First; each takes positions
// 1 .. Size + 1.  Offset is the position inside the item found (0 .. Size).
PVirtualAxisItem WalkToPosition(PVirtualAxisItem First, int Pos, int& Offset) {
  int start = 0;
  for (PVirtualAxisItem item = First; item; item = TVirtualGridAxis::NextShown(item)) {
    if (!item->Has(asVisible)) continue;
    if (Pos >= start + 1 && Pos <= start + item->Size + 1) {
      Offset = Pos - start - 1;
      return item;
    }
    start += item->Size + 1;
  }
  return nullptr;
}

// The last shown, visible item of an axis.
PVirtualAxisItem LastShownVisible(TVirtualGridAxis* Axis) {
  PVirtualAxisItem last = nullptr;
  for (PVirtualAxisItem item = Axis->GetFirst(); item; item = TVirtualGridAxis::NextShown(item))
    if (item->Has(asVisible)) last = item;
  return last;
}
}  // namespace

TVDGridLayout::TVDGridLayout() { FixedGridLines = TDrawLines{0, 0, 0, 2, true}; }

void TVDGridLayout::SetDisplayTopHeader(bool Value) {
  FDisplayTopHeader = Value;
  UpdateLayout();
}

void TVDGridLayout::SetDisplayLeftHeader(bool Value) {
  FDisplayLeftHeader = Value;
  UpdateLayout();
}

void TVDGridLayout::SetIndent(int Value) {
  FIndent = Value;
  UpdateLayout();
}

void TVDGridLayout::SetMainColumn(int Position) {
  FMainColumn = Cols->GetItem(Position);
  if (FMainColumn) FMainColumn->Size += TreeAreaWidth + FIndent;
  IncludeState(gsLayoutChanged);
  UpdateLayout();
}

void TVDGridLayout::SetMainRow(int Position) {
  FMainRow = Rows->GetItem(Position);
  if (FMainRow) FMainRow->Size += TreeAreaHeight + FIndent;
  IncludeState(gsLayoutChanged);
  UpdateLayout();
}

void TVDGridLayout::SetClientSize(int Width, int Height) {
  FClientWidth = Width;
  FClientHeight = Height;
  IncludeState(gsLayoutChanged);
  UpdateLayout();
}

void TVDGridLayout::SetScrollX(int Value) {
  FScrollX = Value;
  IncludeState(gsScrollChanged);
  IncludeState(gsDirty);
}

void TVDGridLayout::SetScrollY(int Value) {
  FScrollY = Value;
  IncludeState(gsScrollChanged);
  IncludeState(gsDirty);
}

int TVDGridLayout::RowNumberWidth() const {
  const int count = Rows->Root->TotalCount;
  if (count < 10) return 22;
  int chars = static_cast<int>(QString::number(count).size());
  if (Cols->OnCompareEvent) ++chars;  // room for a sort mark
  return 11 * chars;
}

void TVDGridLayout::UpdateLayout() {
  TreeAreaWidth = FMainColumn ? 0 : Rows->GetTreeDepth() * FIndent + 5;
  TreeAreaHeight = FMainRow ? 0 : Cols->GetTreeDepth() * FIndent + 5;
  const int numberWidth = RowNumberWidth();
  if (Cols->Root->Size != numberWidth) {
    Cols->Root->Size = numberWidth;
    IncludeState(gsLayoutChanged);
    IncludeState(gsDirty);
    Invalidate();
  }
  DataLeft = TreeAreaWidth + (FDisplayLeftHeader ? Cols->Root->Size : 0);
  DataTop = TreeAreaHeight + (FDisplayTopHeader ? Rows->Root->Size : 0);
}

void TVDGridLayout::ComputeScrollItems() {
  int offset = 0;
  FirstScrollCol = Cols->GetItemAtPos(FScrollX + FixedColsExtent, offset);
  FirstScrollRow = Rows->GetItemAtPos(FScrollY + FixedRowsExtent, offset);
  auto last = [](PVirtualAxisItem first, int start, int edge) -> PVirtualAxisItem {
    PVirtualAxisItem found = nullptr;
    for (PVirtualAxisItem item = first; item; item = TVirtualGridAxis::NextShown(item)) {
      if (!item->Has(asVisible)) continue;
      found = item;
      start += item->Size + 1;
      if (start > edge) break;
    }
    return found;
  };
  const TGridRect area = ScrollArea();
  LastScrollCol = last(FirstScrollCol, area.Left + 1, FClientWidth);
  LastScrollRow = last(FirstScrollRow, area.Top + 1, FClientHeight);
}

void TVDGridLayout::UpdateVisibleItems() {
  FixedLineOverlap = FixedGridLines.Enabled ? FixedGridLines.Width - 1 : 0;
  if (HasState(gsLayoutChanged)) {
    FixedColsExtent = Cols->GetFixedExtent() + 1;
    FixedRowsExtent = Rows->GetFixedExtent() + 1;
    ComputeScrollItems();
    ExcludeState(gsLayoutChanged);
    ExcludeState(gsScrollChanged);
    DoResized();
  } else if (HasState(gsScrollChanged)) {
    ComputeScrollItems();
    ExcludeState(gsScrollChanged);
  }
}

int TVDGridLayout::ComputeTotalExtent(TVirtualGridAxis* Axis) const {
  PVirtualAxisItem start = Axis->FixedItem ? TVirtualGridAxis::NextShown(Axis->FixedItem) : Axis->GetFirst();
  int total = 0;
  PVirtualAxisItem last = nullptr;
  for (PVirtualAxisItem item = start; item; item = TVirtualGridAxis::NextShown(item)) {
    if (!item->Has(asVisible)) continue;
    total += item->Size + 1;
    last = item;
  }
  if (!last) last = LastShownVisible(Axis);
  return total + (last ? 2 * last->Size : 0);
}

int TVDGridLayout::ComputePositions(TVirtualGridAxis* Axis, int ScrollLength) const {
  PVirtualAxisItem start = Axis->FixedItem ? TVirtualGridAxis::NextShown(Axis->FixedItem) : Axis->GetFirst();
  std::vector<int> sizes;
  for (PVirtualAxisItem item = start; item; item = TVirtualGridAxis::NextShown(item))
    if (item->Has(asVisible)) sizes.push_back(item->Size + 1);
  int fit = 0;
  int sum = 0;
  for (auto it = sizes.rbegin(); it != sizes.rend(); ++it) {
    sum += *it;
    if (sum > ScrollLength) break;
    ++fit;
  }
  return std::max(0, static_cast<int>(sizes.size()) - fit);
}

void TVDGridLayout::UpdateScrollRanges() {
  auto update = [this](TVirtualGridAxis* axis, TAxisScroll& s, int length) {
    s.TotalExtent = ComputeTotalExtent(axis);
    s.ScrollLength = length;
    PVirtualAxisItem last = LastShownVisible(axis);
    s.BarNeeded = s.ScrollLength < s.TotalExtent - 2 * (last ? last->Size : 0);
    s.Positions = ComputePositions(axis, s.ScrollLength);
  };
  const bool vertShown = VertScroll.BarNeeded;
  const bool horzShown = HorzScroll.BarNeeded;
  update(Cols, HorzScroll, FClientWidth - DataLeft - Cols->GetFixedExtent() - 50 - (vertShown ? 32 : 0));
  update(Rows, VertScroll, FClientHeight - DataTop - Rows->GetFixedExtent() - 50 - (horzShown ? 128 : 0));
  MaxScrollX = HorzScroll.TotalExtent - HorzScroll.ScrollLength;
  MaxScrollY = VertScroll.TotalExtent - VertScroll.ScrollLength;
}

void TVDGridLayout::EnsureLayout(bool Force) {
  if (Force || HasState(gsLayoutChanged)) {
    UpdateLayout();
    if (!HasState(gsLayoutChanged)) IncludeState(gsScrollChanged);  // first/last items at least
    UpdateVisibleItems();
    UpdateScrollRanges();
  } else if (HasState(gsScrollChanged)) {
    UpdateVisibleItems();
  }
}

bool TVDGridLayout::IsFixedRow(PVirtualAxisItem Row) const {
  return Rows->FixedItem && Row && Rows->FixedItem->AbsoluteIndex >= Row->AbsoluteIndex;
}

bool TVDGridLayout::IsFixedCol(PVirtualAxisItem Col) const {
  return Cols->FixedItem && Col && Cols->FixedItem->AbsoluteIndex >= Col->AbsoluteIndex;
}

PVirtualAxisItem TVDGridLayout::FirstNonFixed(TVirtualGridAxis* Axis) const {
  return Axis->FixedItem ? TVirtualGridAxis::NextInOrder(Axis->FixedItem) : Axis->GetFirst();
}

TGridRect TVDGridLayout::ScrollArea() const {
  return {DataLeft + FixedColsExtent - FixedLineOverlap, DataTop + FixedRowsExtent - FixedLineOverlap, FClientWidth,
          FClientHeight};
}

TGridRect TVDGridLayout::FixedColsArea() const {
  return {DataLeft, ScrollArea().Top, DataLeft + FixedColsExtent, FClientHeight};
}

TGridRect TVDGridLayout::FixedRowsArea() const {
  return {ScrollArea().Left, DataTop, FClientWidth, DataTop + FixedRowsExtent};
}

TGridRect TVDGridLayout::CornerArea() const {
  return {DataLeft, DataTop, DataLeft + FixedColsExtent, DataTop + FixedRowsExtent};
}

TGridRect TVDGridLayout::GetCellRect(PVirtualAxisItem Row, PVirtualAxisItem Col) {
  if (!Row || !Col || Row == Rows->Root || Col == Cols->Root) return kInvisibleRect;
  EnsureLayout();
  const bool rowFixed = IsFixedRow(Row);
  const bool colFixed = IsFixedCol(Col);
  TGridRect area;
  PVirtualAxisItem firstRow = nullptr;
  PVirtualAxisItem firstCol = nullptr;
  if (!rowFixed && !colFixed) {
    area = ScrollArea();
    firstRow = FirstScrollRow;
    firstCol = FirstScrollCol;
  } else if (colFixed && !rowFixed) {
    area = FixedColsArea();
    firstRow = FirstScrollRow;
    firstCol = Cols->GetFirst();
  } else if (rowFixed && !colFixed) {
    area = FixedRowsArea();
    firstRow = Rows->GetFirst();
    firstCol = FirstScrollCol;
  } else {
    area = CornerArea();
    firstRow = Rows->GetFirst();
    firstCol = Cols->GetFirst();
  }
  int y = area.Top + 1;
  for (PVirtualAxisItem r = firstRow; r && y < area.Bottom; r = TVirtualGridAxis::NextShown(r)) {
    if (!r->Has(asVisible)) continue;
    if (r == Row) {
      int x = area.Left + 1;
      for (PVirtualAxisItem c = firstCol; c && x < area.Right; c = TVirtualGridAxis::NextShown(c)) {
        if (!c->Has(asVisible)) continue;
        if (c == Col) return {x, y, x + Col->Size, y + Row->Size};
        x += c->Size + 1;
      }
      return kInvisibleRect;
    }
    y += r->Size + 1;
  }
  return kInvisibleRect;
}

THitInfo TVDGridLayout::HitTest(int X, int Y) {
  EnsureLayout();
  THitInfo hit;
  const int xr = X - DataLeft;
  if (xr < 1) {
    hit.Col = Cols->Root;
    hit.ColOffset = Cols->Root->Size + xr;
  } else if (xr <= FixedColsExtent) {
    hit.Col = WalkToPosition(Cols->GetFirst(), xr, hit.ColOffset);
  } else {
    hit.Col = WalkToPosition(FirstScrollCol, xr - FixedColsExtent + FixedLineOverlap, hit.ColOffset);
  }
  const int yr = Y - DataTop;
  if (yr < 1) {
    hit.Row = Rows->Root;
    hit.RowOffset = Rows->Root->Size + yr;
  } else if (yr <= FixedRowsExtent) {
    hit.Row = WalkToPosition(Rows->GetFirst(), yr, hit.RowOffset);
  } else {
    hit.Row = WalkToPosition(FirstScrollRow, yr - FixedRowsExtent + FixedLineOverlap, hit.RowOffset);
  }
  const bool rowIsHeader = !hit.Row || hit.Row == Rows->Root;
  const bool colIsHeader = !hit.Col || hit.Col == Cols->Root;
  if (hit.Col == Cols->Root && hit.Row == Rows->Root) {
    hit.Code = htCorner;
  } else if (!colIsHeader && rowIsHeader) {
    if (hit.Col->Size - hit.ColOffset < 3)
      hit.Code = htColBorder;
    else if (!FMainRow && yr + Rows->Root->Size < 0)
      hit.Code = htColToggle;
    else
      hit.Code = htColHeader;
  } else if (!rowIsHeader && colIsHeader) {
    if (hit.Row->Size - hit.RowOffset < 3)
      hit.Code = htRowBorder;
    else if (!FMainColumn && xr + Cols->Root->Size < 0)
      hit.Code = htRowToggle;
    else
      hit.Code = htRowHeader;
  } else if (!rowIsHeader && !colIsHeader) {
    if (hit.Col->Size - hit.ColOffset < 3) {
      hit.Code = htColBorder;
    } else if (hit.Row->Size - hit.RowOffset < 3) {
      hit.Code = htRowBorder;
    } else {
      hit.Code = htCell;
      if (hit.Col == FMainColumn && hit.ColOffset <= TVirtualGridAxis::GetLevel(hit.Row) * FIndent)
        hit.Code = htRowToggle;
      if (hit.Row == FMainRow && hit.RowOffset <= TVirtualGridAxis::GetLevel(hit.Col) * FIndent)
        hit.Code = htColToggle;
    }
  }
  return hit;
}

int TVDGridLayout::SumBefore(TVirtualGridAxis* Axis, PVirtualAxisItem Item) const {
  int sum = 0;
  for (PVirtualAxisItem item = Axis->GetFirst(); item && item != Item; item = TVirtualGridAxis::NextShown(item))
    if (item->Has(asVisible)) sum += item->Size + 1;
  return sum;
}

bool TVDGridLayout::GoToItem(PVirtualAxisItem Item, bool IsColumn) {
  TVirtualGridAxis* axis = IsColumn ? Cols : Rows;
  if (!Item || Item == axis->Root) return false;
  if (IsColumn) {
    FocusedCol = HotCol = Item;
  } else {
    FocusedRow = HotRow = Item;
  }
  for (PVirtualAxisItem p = Item->Parent; p && p != axis->Root; p = p->Parent) p->States |= asExpanded;
  IncludeState(gsLayoutChanged);
  EnsureLayout();
  int offset = SumBefore(axis, Item) - (axis->FixedItem ? axis->GetFixedExtent() : 0);
  const int limit = IsColumn ? HorzScroll.TotalExtent - HorzScroll.ScrollLength : MaxScrollY;
  if (offset < 0 || limit < 0)
    offset = 0;
  else
    offset = std::min(offset, limit);
  if (IsColumn)
    SetScrollX(offset);
  else
    SetScrollY(offset);
  Invalidate();
  return true;
}

int TVDGridLayout::ClampOffset(bool IsColumn, int Offset) const {
  const TAxisScroll& s = IsColumn ? HorzScroll : VertScroll;
  Offset = std::min(Offset, s.TotalExtent - s.ScrollLength);
  return std::max(Offset, 0);
}

int TVDGridLayout::StepOffset(bool IsColumn, TScrollStep Step, int Thumb) {
  EnsureLayout();
  TVirtualGridAxis* axis = IsColumn ? Cols : Rows;
  const TAxisScroll& s = IsColumn ? HorzScroll : VertScroll;
  const int fixed = axis->GetFixedExtent();
  int offset = IsColumn ? FScrollX : FScrollY;
  int r = 0;
  switch (Step) {
    case ssLineBack: {
      PVirtualAxisItem item = axis->GetItemAtPos(fixed + offset, r);
      const int gap = IsColumn ? 1 : 10;
      if (item && r == item->Size)
        offset -= item->Size + gap;
      else
        offset -= (item ? r : 0) + gap;
      break;
    }
    case ssLineForward: {
      PVirtualAxisItem item = axis->GetItemAtPos(fixed + offset, r);
      if (item && r == item->Size) {
        int r2 = 0;
        PVirtualAxisItem next = axis->GetItemAtPos(fixed + offset + 2, r2);
        offset += next ? next->Size + 1 : 0;
      } else if (item) {
        offset += item->Size - r;
      }
      break;
    }
    case ssPageBack: {
      PVirtualAxisItem item = axis->GetItemAtPos(fixed + offset - s.ScrollLength, r);
      if (item || IsColumn)
        offset = offset - s.ScrollLength - (item ? r : 0) - 1;
      else
        offset = 0;
      break;
    }
    case ssPageForward: {
      PVirtualAxisItem item = axis->GetItemAtPos(fixed + offset + s.ScrollLength, r);
      if (item) {
        offset = offset + s.ScrollLength - r;
      } else {
        offset += s.ScrollLength;
        if (!IsColumn && offset > s.TotalExtent) offset = s.TotalExtent - (3 * s.ScrollLength) / 2;
      }
      break;
    }
    case ssHome:
      offset = 0;
      break;
    case ssEnd:
      offset = s.TotalExtent - s.ScrollLength;
      break;
    case ssThumb: {
      int sum = 0;
      int n = 0;
      for (PVirtualAxisItem item = axis->GetFirst(); item && n < Thumb; item = TVirtualGridAxis::NextShown(item)) {
        if (!item->Has(asVisible)) continue;
        sum += item->Size + 1;
        ++n;
      }
      offset = sum - fixed;
      break;
    }
  }
  return ClampOffset(IsColumn, offset);
}

void TVDGridLayout::ScrollStep(bool IsColumn, TScrollStep Step, int Thumb) {
  const int offset = StepOffset(IsColumn, Step, Thumb);
  if (IsColumn)
    SetScrollX(offset);
  else
    SetScrollY(offset);
  Invalidate();
}

void TVDGridLayout::WheelScroll(bool TowardsUser) {
  EnsureLayout();
  int r = 0;
  PVirtualAxisItem item = Rows->GetItemAtPos(Rows->GetFixedExtent() + FScrollY, r);
  int offset = FScrollY;
  if (TowardsUser)
    offset += item ? item->Size : 0;
  else
    offset -= item ? item->Size : 20;
  SetScrollY(ClampOffset(false, offset));
  Invalidate();
}

int TVDGridLayout::FixedCount(TVirtualGridAxis* Axis) const {
  if (!Axis->FixedItem) return 0;
  int n = 0;
  for (PVirtualAxisItem item = Axis->GetFirst(); item; item = TVirtualGridAxis::NextShown(item)) {
    if (item->Has(asVisible)) ++n;
    if (item == Axis->FixedItem) break;
  }
  return n;
}

int TVDGridLayout::ScrollBarPosition(bool IsColumn) const {
  // Scrollable items before the first one shown.
  TVirtualGridAxis* axis = IsColumn ? Cols : Rows;
  PVirtualAxisItem first = IsColumn ? FirstScrollCol : FirstScrollRow;
  PVirtualAxisItem start = axis->FixedItem ? TVirtualGridAxis::NextShown(axis->FixedItem) : axis->GetFirst();
  int n = 0;
  for (PVirtualAxisItem item = start; item && item != first; item = TVirtualGridAxis::NextShown(item))
    if (item->Has(asVisible)) ++n;
  return n;
}

void TVDGridLayout::SortRows(PVirtualAxisItem ColItem, int Mode) {
  if (!Rows->OnCompareEvent || !ColItem) return;
  if (!RowSortItem && !PrevRowSortItem) Rows->SaveOrder();
  if (RowSortItem && RowSortItem->SortMark != 0) PrevRowSortItem = RowSortItem;
  RowSortItem = ColItem;
  if (PrevRowSortItem && PrevRowSortItem != ColItem) PrevRowSortItem->SortMark = 0;
  ColItem->SortMark = static_cast<uint8_t>(Mode);
  PVirtualAxisItem start = FirstNonFixed(Rows);
  if (start) Rows->SortItems(start, ColItem, Mode);
  SetScrollY(0);
  IncludeState(gsLayoutChanged);
  Invalidate();
}

void TVDGridLayout::SetExpandedAll(PVirtualAxisItem Item, bool Expanded) {
  for (; Item; Item = Item->NextSibling) {
    if (!Item->FirstChild) continue;
    if (Expanded)
      Item->States |= asExpanded;
    else
      Item->States &= ~asExpanded;
    SetExpandedAll(Item->FirstChild, Expanded);
  }
}

void TVDGridLayout::CollapseAll(PVirtualAxisItem Item) {
  SetExpandedAll(Item && Item != Rows->Root ? Item : Rows->GetFirst(), false);
  IncludeState(gsLayoutChanged);
  Invalidate();
}

void TVDGridLayout::ExpandAll(PVirtualAxisItem Item) {
  SetExpandedAll(Item && Item != Rows->Root ? Item : Rows->GetFirst(), true);
  IncludeState(gsLayoutChanged);
  Invalidate();
}

void TVDGridLayout::Clear() {
  CancelEditing();
  ClearMergedCells();
  ResetFixedCells();
  ClearSelection();
  HotCol = HotRow = FocusedCol = FocusedRow = nullptr;
  AnchorCol = AnchorRow = EditCol = EditRow = nullptr;
  FScrollX = FScrollY = 0;
  ResetPointer();
  Rows->DeleteItem(Rows->Root);
  Cols->DeleteItem(Cols->Root);
  FMainColumn = FMainRow = nullptr;
  UpdateScrollRanges();
  Rows->Root->Size = 20;
  Cols->Root->Size = 80;
  RowSortItem = PrevRowSortItem = ColSortItem = PrevColSortItem = nullptr;
  IncludeState(gsLayoutChanged);
  IncludeState(gsScrollChanged);
  Invalidate();
}

void TVDGridLayout::ItemsRemoving(TVirtualGridAxis* Axis, PVirtualAxisItem Item) {
  TCustomVirtualGrid::ItemsRemoving(Axis, Item);
  auto drop = [Item](PVirtualAxisItem& p) {
    if (p && TVirtualGridAxis::IsInSubtree(p, Item)) p = nullptr;
  };
  if (Axis == Rows) {
    for (PVirtualAxisItem* p : {&FocusedRow, &HotRow, &AnchorRow, &EditRow, &FirstScrollRow, &LastScrollRow, &FMainRow})
      drop(*p);
  } else {
    for (PVirtualAxisItem* p : {&FocusedCol, &HotCol, &AnchorCol, &EditCol, &FirstScrollCol, &LastScrollCol, &FMainColumn})
      drop(*p);
  }
  IncludeState(gsLayoutChanged);
}
