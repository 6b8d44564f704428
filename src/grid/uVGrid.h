#pragma once
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "grid/uVGridAxis.h"
#include "grid/uVGridTypes.h"

class TCustomVirtualGrid;

// Rectangle with an exclusive right and bottom edge, as the layout computes it.
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TGridRect&) const = default;
};

// A rectangle of cells drawn and edited as one: every (row, column) with the
// row between FirstRow and LastRow and the column between FirstCol and
// LastCol by AbsoluteIndex (hidden and collapsed items included).
class TMergedCell {
 public:
  explicit TMergedCell(TCustomVirtualGrid* AGrid) : Grid(AGrid) { ResetPaintBounds(); }
  TCustomVirtualGrid* Grid;
  PVirtualAxisItem FirstCol = nullptr;
  PVirtualAxisItem LastCol = nullptr;
  PVirtualAxisItem FirstRow = nullptr;
  PVirtualAxisItem LastRow = nullptr;
  TGridRect PaintBounds;  // widened by every sub-cell met during a paint pass
  TGridRect DrawRect;     // where it was last drawn
  void ResetPaintBounds() { PaintBounds = {2147483647, 2147483647, -2147483647, -2147483647}; }
  void Widen(const TGridRect& R);
};

// Key of the merged-cell index: a (row, column) pair compared by identity.
struct TMergedIndexKey {
  PVirtualAxisItem Col = nullptr;
  PVirtualAxisItem Row = nullptr;
  bool operator<(const TMergedIndexKey& o) const {
    if (Row != o.Row) return std::less<PVirtualAxisItem>()(Row, o.Row);
    return std::less<PVirtualAxisItem>()(Col, o.Col);
  }
};

using TValueChangedEvent = std::function<void(PVirtualAxisItem ARow, PVirtualAxisItem ACol, const QString& AValue)>;
using TGetCellText = std::function<void(PVirtualAxisItem ARow, PVirtualAxisItem ACol, QString& CellText)>;

// The grid model: two axes, selection, sort state and merged cells.  It
// draws nothing; TVirtualDGrid paints it.  A cell is always addressed by its
// (row item, column item) pair.
class TCustomVirtualGrid {
 public:
  TCustomVirtualGrid();
  virtual ~TCustomVirtualGrid();
  TCustomVirtualGrid(const TCustomVirtualGrid&) = delete;
  TCustomVirtualGrid& operator=(const TCustomVirtualGrid&) = delete;

  TNotifyEvent OnCopyToClipBoard;
  TNotifyEvent OnPasteFromClipBoard;
  PVirtualAxisItem RowSortItem = nullptr;      // column the rows are sorted by
  PVirtualAxisItem PrevRowSortItem = nullptr;
  PVirtualAxisItem ColSortItem = nullptr;      // row the columns are sorted by
  PVirtualAxisItem PrevColSortItem = nullptr;
  uint32_t GridStates = 0;

 private:
  std::unique_ptr<TVirtualGridAxis> FRows;
  std::unique_ptr<TVirtualGridAxis> FCols;

 public:
  TVirtualGridAxis* const Rows;
  TVirtualGridAxis* const Cols;
  TValueChangedEvent OnValueChanged;
  TGetCellText OnGetCellText;
  std::vector<std::unique_ptr<TMergedCell>> MergedCells;  // owns the cells

  bool HasState(TGridState s) const { return (GridStates >> s) & 1u; }
  void IncludeState(TGridState s) { GridStates |= (1u << s); }
  void ExcludeState(TGridState s) { GridStates &= ~(1u << s); }

  void SetFixedCells(PVirtualAxisItem ACol, PVirtualAxisItem ARow);
  void ResetFixedCells();
  void ClearSelection();
  void SelectAll();
  void SelectCells(PVirtualAxisItem Row1, PVirtualAxisItem Col1, PVirtualAxisItem Col2, PVirtualAxisItem Row2);
  // A cell is selected when both items are in selection or either is selected whole-line.
  bool IsCellSelected(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const;

  TMergedCell* MergeCells(PVirtualAxisItem Col1, PVirtualAxisItem Col2, PVirtualAxisItem Row1, PVirtualAxisItem Row2);
  TMergedCell* GetMergedCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const;
  // Extent along the rows (or the columns when AlongCols) in pixels.
  int GetMergedExtent(const TMergedCell* Cell, bool AlongCols = false) const;
  int MergedIndexSize() const { return static_cast<int>(FMergedIndex.size()); }

  virtual void DoValueChanged(PVirtualAxisItem ARow, PVirtualAxisItem ACol, const QString& AValue);
  virtual void DoGetCellText(PVirtualAxisItem ARow, PVirtualAxisItem ACol, QString& CellText);
  QString GetCellText(PVirtualAxisItem ARow, PVirtualAxisItem ACol);
  virtual void DoCopyToClipBoard();
  virtual void DoPasteFromClipBoard();
  virtual void ClearMergedCells();
  virtual void ItemAdded(TVirtualGridAxis* Axis, PVirtualAxisItem Item, PVirtualAxisItem Parent);

  // Called by an axis before it frees Item and its subtree, so that no
  // reference to a freed item survives (merged cells, sort state, focus).
  virtual void ItemsRemoving(TVirtualGridAxis* Axis, PVirtualAxisItem Item);
  // Busy cursor around long operations (sorting); nothing without a window.
  virtual void BeginBusy() {}
  virtual void EndBusy() {}
  // Repaint request; nothing without a window.
  virtual void Invalidate() {}

  // The axis' sort state is dropped when items are added to it.
  void DropSortState(TVirtualGridAxis* Axis);

 private:
  std::map<TMergedIndexKey, TMergedCell*> FMergedIndex;
};
