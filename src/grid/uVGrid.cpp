#include "grid/uVGrid.h"

#include <algorithm>

void TMergedCell::Widen(const TGridRect& R) {
  PaintBounds.Left = std::min(PaintBounds.Left, R.Left);
  PaintBounds.Top = std::min(PaintBounds.Top, R.Top);
  PaintBounds.Right = std::max(PaintBounds.Right, R.Right);
  PaintBounds.Bottom = std::max(PaintBounds.Bottom, R.Bottom);
}

TCustomVirtualGrid::TCustomVirtualGrid()
    : FRows(std::make_unique<TVirtualGridAxis>(this, true)),
      FCols(std::make_unique<TVirtualGridAxis>(this, false)),
      Rows(FRows.get()),
      Cols(FCols.get()) {
  Rows->DefaultItemSize = 20;
  Cols->DefaultItemSize = 80;
}

TCustomVirtualGrid::~TCustomVirtualGrid() {
  FMergedIndex.clear();
  MergedCells.clear();
}

void TCustomVirtualGrid::SetFixedCells(PVirtualAxisItem ACol, PVirtualAxisItem ARow) {
  if (!ACol && !ARow) {
    ResetFixedCells();
    return;
  }
  Cols->FixedItem = ACol;
  Rows->FixedItem = ARow;
  IncludeState(gsLayoutChanged);
  IncludeState(gsDirty);
}

void TCustomVirtualGrid::ResetFixedCells() {
  Cols->FixedItem = nullptr;
  Rows->FixedItem = nullptr;
  IncludeState(gsLayoutChanged);
  IncludeState(gsDirty);
}

void TCustomVirtualGrid::ClearSelection() {
  Rows->ClearSelection();
  Cols->ClearSelection();
}

void TCustomVirtualGrid::SelectAll() {
  ClearSelection();
  for (PVirtualAxisItem c = Cols->GetFirst(); c; c = TVirtualGridAxis::NextInOrder(c)) Cols->SelectItem(c, false);
  for (PVirtualAxisItem r = Rows->GetFirst(); r; r = TVirtualGridAxis::NextInOrder(r)) Rows->SelectItem(r, false);
}

void TCustomVirtualGrid::SelectCells(PVirtualAxisItem Row1, PVirtualAxisItem Col1, PVirtualAxisItem Col2,
                                     PVirtualAxisItem Row2) {
  ClearSelection();
  Cols->SelectRange(Col1, Col2, false);
  Rows->SelectRange(Row1, Row2, false);
}

bool TCustomVirtualGrid::IsCellSelected(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const {
  if (!ARow || !ACol) return false;
  if (ARow->Has(asInSelection) && ACol->Has(asInSelection)) return true;
  return ARow->Has(asWholeLine) || ACol->Has(asWholeLine);
}

TMergedCell* TCustomVirtualGrid::MergeCells(PVirtualAxisItem Col1, PVirtualAxisItem Col2, PVirtualAxisItem Row1,
                                            PVirtualAxisItem Row2) {
  if (!Col1 || !Col2 || !Row1 || !Row2) return nullptr;
  if (Col1->AbsoluteIndex > Col2->AbsoluteIndex) std::swap(Col1, Col2);
  if (Row1->AbsoluteIndex > Row2->AbsoluteIndex) std::swap(Row1, Row2);
  const long long cells = static_cast<long long>(Col2->AbsoluteIndex - Col1->AbsoluteIndex + 1) *
                          (Row2->AbsoluteIndex - Row1->AbsoluteIndex + 1);
  if (cells < 2) return nullptr;
  auto owned = std::make_unique<TMergedCell>(this);
  TMergedCell* cell = owned.get();
  cell->FirstCol = Col1;
  cell->LastCol = Col2;
  cell->FirstRow = Row1;
  cell->LastRow = Row2;
  MergedCells.push_back(std::move(owned));
  for (PVirtualAxisItem r = Row1; r; r = TVirtualGridAxis::NextInOrder(r)) {
    for (PVirtualAxisItem c = Col1; c; c = TVirtualGridAxis::NextInOrder(c)) {
      FMergedIndex[TMergedIndexKey{c, r}] = cell;
      if (c == Col2) break;
    }
    if (r == Row2) break;
  }
  IncludeState(gsDirty);
  Invalidate();
  return cell;
}

TMergedCell* TCustomVirtualGrid::GetMergedCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const {
  if (!ARow || !ACol || FMergedIndex.empty()) return nullptr;
  auto it = FMergedIndex.find(TMergedIndexKey{ACol, ARow});
  return it == FMergedIndex.end() ? nullptr : it->second;
}

int TCustomVirtualGrid::GetMergedExtent(const TMergedCell* Cell, bool AlongCols) const {
  if (!Cell) return 0;
  PVirtualAxisItem first = AlongCols ? Cell->FirstCol : Cell->FirstRow;
  PVirtualAxisItem last = AlongCols ? Cell->LastCol : Cell->LastRow;
  int extent = first->Size;
  PVirtualAxisItem item = first;
  while (item->AbsoluteIndex < last->AbsoluteIndex) {
    item = TVirtualGridAxis::NextShown(item);
    if (!item) break;
    extent += item->Size + 1;
  }
  return extent;
}

void TCustomVirtualGrid::DoValueChanged(PVirtualAxisItem ARow, PVirtualAxisItem ACol, const QString& AValue) {
  if (OnValueChanged) OnValueChanged(ARow, ACol, AValue);
}

void TCustomVirtualGrid::DoGetCellText(PVirtualAxisItem ARow, PVirtualAxisItem ACol, QString& CellText) {
  if (OnGetCellText)
    OnGetCellText(ARow, ACol, CellText);
  else
    CellText = QStringLiteral("none ");
}

QString TCustomVirtualGrid::GetCellText(PVirtualAxisItem ARow, PVirtualAxisItem ACol) {
  QString text;
  DoGetCellText(ARow, ACol, text);
  return text;
}

void TCustomVirtualGrid::DoCopyToClipBoard() {
  if (OnCopyToClipBoard) OnCopyToClipBoard();
}

void TCustomVirtualGrid::DoPasteFromClipBoard() {
  if (OnPasteFromClipBoard) OnPasteFromClipBoard();
}

void TCustomVirtualGrid::ClearMergedCells() {
  FMergedIndex.clear();
  MergedCells.clear();
}

void TCustomVirtualGrid::ItemAdded(TVirtualGridAxis* Axis, PVirtualAxisItem Item, PVirtualAxisItem Parent) {
  const bool rows = Axis == Rows;
  for (const auto& cell : MergedCells) {
    PVirtualAxisItem first = rows ? cell->FirstRow : cell->FirstCol;
    PVirtualAxisItem last = rows ? cell->LastRow : cell->LastCol;
    if (Item->AbsoluteIndex < first->AbsoluteIndex || Item->AbsoluteIndex > last->AbsoluteIndex) continue;
    PVirtualAxisItem otherFirst = rows ? cell->FirstCol : cell->FirstRow;
    PVirtualAxisItem otherLast = rows ? cell->LastCol : cell->LastRow;
    for (PVirtualAxisItem o = otherFirst; o; o = TVirtualGridAxis::NextInOrder(o)) {
      FMergedIndex[rows ? TMergedIndexKey{o, Item} : TMergedIndexKey{Item, o}] = cell.get();
      if (o == otherLast) break;
    }
  }
}

void TCustomVirtualGrid::ItemsRemoving(TVirtualGridAxis* Axis, PVirtualAxisItem Item) {
  const bool rows = Axis == Rows;
  auto gone = [Item](PVirtualAxisItem p) { return p && TVirtualGridAxis::IsInSubtree(p, Item); };
  if (rows) {
    if (gone(ColSortItem)) ColSortItem = nullptr;
    if (gone(PrevColSortItem)) PrevColSortItem = nullptr;
  } else {
    if (gone(RowSortItem)) RowSortItem = nullptr;
    if (gone(PrevRowSortItem)) PrevRowSortItem = nullptr;
  }
  if (MergedCells.empty()) return;
  // A merged cell whose bounds are freed cannot be drawn any more; index
  // entries keyed by freed items would match new items at the same address.
  std::erase_if(FMergedIndex, [&](const auto& entry) {
    PVirtualAxisItem key = rows ? entry.first.Row : entry.first.Col;
    TMergedCell* c = entry.second;
    return gone(key) || gone(c->FirstRow) || gone(c->LastRow) || gone(c->FirstCol) || gone(c->LastCol);
  });
  std::erase_if(MergedCells, [&](const std::unique_ptr<TMergedCell>& c) {
    return gone(c->FirstRow) || gone(c->LastRow) || gone(c->FirstCol) || gone(c->LastCol);
  });
}

void TCustomVirtualGrid::DropSortState(TVirtualGridAxis* Axis) {
  if (Axis == Rows) {
    PrevRowSortItem = nullptr;
    if (RowSortItem) RowSortItem->SortMark = 0;
  } else {
    PrevColSortItem = nullptr;
    if (ColSortItem) ColSortItem->SortMark = 0;
  }
}
