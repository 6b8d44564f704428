#pragma once
#include <functional>
#include <vector>

#include "grid/uVGridTypes.h"

class TCustomVirtualGrid;
class TVirtualGridAxis;

using TNewItemSize = std::function<void(TVirtualGridAxis* AAxis, PVirtualAxisItem AItem)>;
// Compares Node1 with Node2 by their cells in the line CmpItem of the other
// axis: negative, 0 or positive in Result.
using TCompareEvent = std::function<void(TVirtualGridAxis* Sender, PVirtualAxisItem Node1, PVirtualAxisItem Node2,
                                         PVirtualAxisItem CmpItem, int& Result)>;
using TOnAllowSortChilds = std::function<bool(PVirtualAxisItem AItem)>;

// One axis (rows or columns) of the grid: a tree of items under an invisible
// root.  Two walking orders are used everywhere:
//  - the all-items order (GetNext): pre-order over every item;
//  - the shown order (GetNextVisible): enters children only of expanded items.
// Walks end at the last item (its successor is itself) and never yield the root.
// The Rows root's Size is the top header height, the Cols root's Size the
// width of the row-number column.
class TVirtualGridAxis {
 public:
  TVirtualGridAxis(TCustomVirtualGrid* AGrid, bool AIsRows);
  ~TVirtualGridAxis();
  TVirtualGridAxis(const TVirtualGridAxis&) = delete;
  TVirtualGridAxis& operator=(const TVirtualGridAxis&) = delete;

  TCustomVirtualGrid* Grid() const { return FGrid; }
  bool IsRows() const { return FIsRows; }

  PVirtualAxisItem Root = nullptr;
  int DefaultItemSize = 20;
  PVirtualAxisItem FixedItem = nullptr;      // last item of the fixed area
  std::vector<PVirtualAxisItem> Selection;  // in the order selected

  TNewItemSize OnNewItemSize;
  TCompareEvent OnCompareEvent;  // sorting is possible only when assigned
  TOnAllowSortChilds OnAllowSortChilds;

  int GetCount() const { return Root->TotalCount; }
  // 0-based position in the all-items order; none out of range.
  PVirtualAxisItem GetItem(int Index) const;
  PVirtualAxisItem GetFirst() const { return Root->FirstChild; }
  PVirtualAxisItem GetLast() const;  // last in the all-items order
  PVirtualAxisItem GetLastVisible() const;

  PVirtualAxisItem GetNext(PVirtualAxisItem Item) const;
  PVirtualAxisItem GetNextVisible(PVirtualAxisItem Item) const;
  PVirtualAxisItem GetPrevVisible(PVirtualAxisItem Item) const;
  // Successor in the shown order or none at the end (for loops).
  static PVirtualAxisItem NextShown(PVirtualAxisItem Item);
  // Successor in the all-items order or none at the end.
  static PVirtualAxisItem NextInOrder(PVirtualAxisItem Item);

  static int GetLevel(PVirtualAxisItem Item);  // 1 for a top-level item
  int GetTreeDepth() const;                   // 0 flat, -1 empty
  // True when Item is Ancestor or lies in its subtree.
  static bool IsInSubtree(PVirtualAxisItem Item, PVirtualAxisItem Ancestor);

  PVirtualAxisItem AddChild(PVirtualAxisItem Parent);
  void DeleteItem(PVirtualAxisItem Item);
  void Clear();
  void SetItemSize(PVirtualAxisItem Item, int Size);
  // Expands or collapses an item (marks the layout as changed).
  void SetExpanded(PVirtualAxisItem Item, bool Expanded);

  // Pixel position along the axis to the shown item there; Offset is the
  // position inside it.  None past the end (Offset from the last item's start)
  // or with no item (Offset 1).
  PVirtualAxisItem GetItemAtPos(int Pos, int& Offset) const;
  int GetFixedExtent() const;

  void SelectItem(PVirtualAxisItem Item, bool WholeLine);
  void UnselectItem(PVirtualAxisItem Item);
  void SelectRange(PVirtualAxisItem First, PVirtualAxisItem Last, bool WholeLine);
  void ClearSelection();
  int SelectedCount() const { return static_cast<int>(Selection.size()); }
  PVirtualAxisItem GetSelected(int Index) const;
  static bool IsSelected(PVirtualAxisItem Item);

  void SaveOrder();
  // Mode 0 restores the saved order, 1 ascending, 2 descending.  Stable.
  void SortItems(PVirtualAxisItem Start, PVirtualAxisItem CmpItem, int Mode);
  void ExpandToLevel(int Level);

  // Recomputes AbsoluteIndex of every item from the tree links.
  void Renumber();

 private:
  TCustomVirtualGrid* FGrid;
  bool FIsRows;
  PVirtualAxisItem FSortCmpItem = nullptr;
  mutable PVirtualAxisItem FLastGet = nullptr;  // speeds up GetItem in ascending loops
  int FSortMode = 0;

  void FreeSubtree(PVirtualAxisItem Item);
  void RenumberFrom(PVirtualAxisItem Item);
  int RecountSubtree(PVirtualAxisItem Item);
  int Compare(PVirtualAxisItem A, PVirtualAxisItem B);
  bool TakeFirst(PVirtualAxisItem A, PVirtualAxisItem B);
  PVirtualAxisItem MergeRuns(PVirtualAxisItem A, PVirtualAxisItem B);
  void SortSiblings(PVirtualAxisItem Start);
  void Touch(bool Layout);
};
