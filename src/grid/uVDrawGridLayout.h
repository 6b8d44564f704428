#pragma once
#include <cstdint>

#include "grid/uVGrid.h"

// Fill and line styles of the drawing grid.  Colours are 32-bit BGR values
// ($00BBGGRR; a top byte $FF names a system colour).
struct TFillArea {
  uint32_t Color = 0x00FFFFFF;
  uint32_t BGColor = 0x00FFFFFF;
  int Style = 0;  // 0 solid, 1 clear
};

struct TDrawLines {
  uint32_t Color = 0;
  uint32_t BGColor = 0;
  int Style = 0;  // 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 none
  int Width = 1;
  bool Enabled = false;
};

// What lies under a point of the client area.
enum THitCode : int {
  htNone = 0,
  htCell = 1,
  htColBorder = 2,
  htRowBorder = 3,
  htColHeader = 4,
  htRowHeader = 5,
  htRowToggle = 6,
  htColToggle = 7,
  htCorner = 8,
};

struct THitInfo {
  int Code = htNone;
  PVirtualAxisItem Row = nullptr;
  PVirtualAxisItem Col = nullptr;
  int RowOffset = 0;
  int ColOffset = 0;
};

enum TScrollStep { ssLineBack, ssLineForward, ssPageBack, ssPageForward, ssHome, ssEnd, ssThumb };

// Geometry of the drawing grid without any window: tree areas, headers,
// fixed and scrollable areas, visible items, scroll limits, cell rectangles
// and hit testing.  The widget TVirtualDGrid feeds it the client size;
// tests call SetClientSize directly.
//
// Layout values are refreshed by EnsureLayout (the paint pass does the same
// through UpdateLayout/UpdateVisibleItems/UpdateScrollRanges).
class TVDGridLayout : public TCustomVirtualGrid {
 public:
  TVDGridLayout();

  // --- settings ---
  bool DisplayTopHeader() const { return FDisplayTopHeader; }
  void SetDisplayTopHeader(bool Value);
  bool DisplayLeftHeader() const { return FDisplayLeftHeader; }
  void SetDisplayLeftHeader(bool Value);
  int Indent() const { return FIndent; }
  void SetIndent(int Value);
  // 0-based position in the all-items order (-1 none); reading gives the
  // item's AbsoluteIndex or -1.  Setting widens the item by the tree area.
  int MainColumn() const { return FMainColumn ? FMainColumn->AbsoluteIndex : -1; }
  void SetMainColumn(int Position);
  int MainRow() const { return FMainRow ? FMainRow->AbsoluteIndex : -1; }
  void SetMainRow(int Position);
  PVirtualAxisItem MainColumnItem() const { return FMainColumn; }
  PVirtualAxisItem MainRowItem() const { return FMainRow; }
  TDrawLines FixedGridLines;

  // --- cells the widget tracks (the host may set the focus directly) ---
  PVirtualAxisItem FocusedCol = nullptr;
  PVirtualAxisItem FocusedRow = nullptr;
  PVirtualAxisItem HotCol = nullptr;
  PVirtualAxisItem HotRow = nullptr;
  PVirtualAxisItem AnchorCol = nullptr;
  PVirtualAxisItem AnchorRow = nullptr;
  PVirtualAxisItem EditCol = nullptr;
  PVirtualAxisItem EditRow = nullptr;

  // --- computed layout (read only) ---
  int TreeAreaWidth = 0;
  int TreeAreaHeight = 0;
  int DataLeft = 0;
  int DataTop = 0;
  int FixedColsExtent = 1;
  int FixedRowsExtent = 1;
  int FixedLineOverlap = 0;
  PVirtualAxisItem FirstScrollCol = nullptr;
  PVirtualAxisItem FirstScrollRow = nullptr;
  PVirtualAxisItem LastScrollCol = nullptr;
  PVirtualAxisItem LastScrollRow = nullptr;
  struct TAxisScroll {
    int TotalExtent = 0;
    int ScrollLength = 0;
    bool BarNeeded = false;
    int Positions = 0;  // scroll positions (items that can start the page)
  };
  TAxisScroll HorzScroll;  // columns
  TAxisScroll VertScroll;  // rows
  int MaxScrollX = 0;
  int MaxScrollY = 0;

  int ClientWidth() const { return FClientWidth; }
  int ClientHeight() const { return FClientHeight; }
  void SetClientSize(int Width, int Height);

  int ScrollX() const { return FScrollX; }
  int ScrollY() const { return FScrollY; }
  void SetScrollX(int Value);
  void SetScrollY(int Value);

  void UpdateLayout();
  void UpdateVisibleItems();
  void UpdateScrollRanges();
  // Runs whichever of the three above the grid states ask for (all of them
  // when forced, as the paint pass does).
  void EnsureLayout(bool Force = false);

  // Width of the row-number column for the current row count.
  int RowNumberWidth() const;
  bool IsFixedRow(PVirtualAxisItem Row) const;
  bool IsFixedCol(PVirtualAxisItem Col) const;
  // First item after the fixed area (the first item without one).
  PVirtualAxisItem FirstNonFixed(TVirtualGridAxis* Axis) const;

  TGridRect ScrollArea() const;
  TGridRect FixedColsArea() const;
  TGridRect FixedRowsArea() const;
  TGridRect CornerArea() const;

  // (-2, -2, -1, -1) when either item is none or the cell is not on screen.
  TGridRect GetCellRect(PVirtualAxisItem Row, PVirtualAxisItem Col);
  THitInfo HitTest(int X, int Y);
  // Focuses the item, expands its ancestors and scrolls it to the start of
  // the scrollable area (within the limits).
  bool GoToItem(PVirtualAxisItem Item, bool IsColumn);

  // New offset for a scroll bar command (clamped); ScrollStep applies it.
  int StepOffset(bool IsColumn, TScrollStep Step, int Thumb = 0);
  void ScrollStep(bool IsColumn, TScrollStep Step, int Thumb = 0);
  // Mouse wheel on the grid: rows only.
  void WheelScroll(bool TowardsUser);
  // Scroll bar position: scrollable items before the first one shown
  // (ssThumb takes FixedCount + that position).
  int ScrollBarPosition(bool IsColumn) const;
  // Shown items of the fixed area.
  int FixedCount(TVirtualGridAxis* Axis) const;

  void SortRows(PVirtualAxisItem ColItem, int Mode);
  void CollapseAll(PVirtualAxisItem Item);
  void ExpandAll(PVirtualAxisItem Item);
  // Drops the table: editing, merged cells, fixed cells, selection, focus,
  // scroll offsets, every item, sort state.
  virtual void Clear();

  void ItemsRemoving(TVirtualGridAxis* Axis, PVirtualAxisItem Item) override;

 protected:
  virtual void CancelEditing() {}
  virtual void DoResized() {}
  virtual void ResetPointer() {}
  int ClampOffset(bool IsColumn, int Offset) const;

 private:
  bool FDisplayTopHeader = true;
  bool FDisplayLeftHeader = true;
  int FIndent = 15;
  PVirtualAxisItem FMainColumn = nullptr;
  PVirtualAxisItem FMainRow = nullptr;
  int FClientWidth = 0;
  int FClientHeight = 0;
  int FScrollX = 0;
  int FScrollY = 0;

  void ComputeScrollItems();
  int ComputeTotalExtent(TVirtualGridAxis* Axis) const;
  int ComputePositions(TVirtualGridAxis* Axis, int ScrollLength) const;
  int SumBefore(TVirtualGridAxis* Axis, PVirtualAxisItem Item) const;
  void SetExpandedAll(PVirtualAxisItem Item, bool Expanded);
};
