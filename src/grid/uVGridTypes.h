#pragma once
#include <cstdint>
#include <functional>

// Basic types of the tree grid: axis items, their states and the grid's
// state flags.  An axis item is allocated and owned by its axis; hosts keep
// the pointers as stable keys (cell stores, Data back-links).

struct TVirtualAxisItem;
using PVirtualAxisItem = TVirtualAxisItem*;

// Item states (a bit set in TVirtualAxisItem::States).
enum TAxisState : uint8_t {
  asExpanded = 0x01,     // children are shown
  asHasChildren = 0x02,  // ChildCount > 0
  asInSelection = 0x04,  // listed in the axis' Selection
  asWholeLine = 0x08,    // the whole row/column is selected (from its header)
  asVisible = 0x10,      // takes room on screen
  asFixedSize = 0x20,    // the mouse may not resize it
};

struct TVirtualAxisItem {
  int32_t AbsoluteIndex = 0;  // position in the all-items order; root is 0
  int32_t ChildCount = 0;
  int32_t TotalCount = 0;  // all descendants
  int32_t Size = 0;        // pixels, without the grid line after it
  PVirtualAxisItem Parent = nullptr;
  PVirtualAxisItem PrevSibling = nullptr;
  PVirtualAxisItem NextSibling = nullptr;
  PVirtualAxisItem FirstChild = nullptr;
  PVirtualAxisItem LastChild = nullptr;
  uint8_t States = 0;
  void* Data = nullptr;  // host pointer, never read by the grid
  uint8_t SortMark = 0;  // 0 none, 1 ascending, 2 descending
  int32_t SortKey = 0;   // saved AbsoluteIndex (unsorted order)

  bool Has(uint8_t state) const { return (States & state) != 0; }
};

// Grid state flags: bit numbers in TCustomVirtualGrid::GridStates.
enum TGridState : int {
  gsDirty = 0,
  gsLayoutChanged = 2,
  gsScrollChanged = 3,
  gsSelectingCells = 4,
  gsSelectingCols = 5,
  gsSelectingRows = 6,
  gsSizingCol = 7,
  gsSizingRow = 8,
  gsEditPrepared = 11,
  gsEditing = 12,
  gsKeyPending = 13,
};

using TNotifyEvent = std::function<void()>;
