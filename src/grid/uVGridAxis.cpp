#include "grid/uVGridAxis.h"

#include <algorithm>

#include "grid/uVGrid.h"

TVirtualGridAxis::TVirtualGridAxis(TCustomVirtualGrid* AGrid, bool AIsRows) : FGrid(AGrid), FIsRows(AIsRows) {
  Root = new TVirtualAxisItem;
  Root->Size = 20;
  Root->States = asExpanded;
}

TVirtualGridAxis::~TVirtualGridAxis() { FreeSubtree(Root); }

void TVirtualGridAxis::Touch(bool Layout) {
  FGrid->IncludeState(gsDirty);
  if (Layout) FGrid->IncludeState(gsLayoutChanged);
}

PVirtualAxisItem TVirtualGridAxis::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) return nullptr;
  const int target = Index + 1;
  if (FLastGet && FLastGet->AbsoluteIndex <= target && target - FLastGet->AbsoluteIndex < 64) {
    PVirtualAxisItem item = FLastGet;
    while (item && item->AbsoluteIndex < target) item = NextInOrder(item);
    if (item && item->AbsoluteIndex == target) return FLastGet = item;
  }
  PVirtualAxisItem item = Root->FirstChild;
  // Descend by subtree sizes instead of walking every item.
  while (item) {
    if (item->AbsoluteIndex == target) return FLastGet = item;
    if (target <= item->AbsoluteIndex + item->TotalCount)
      item = item->FirstChild;
    else
      item = item->NextSibling;
  }
  return nullptr;
}

PVirtualAxisItem TVirtualGridAxis::GetLast() const {
  PVirtualAxisItem item = Root->LastChild;
  while (item && item->LastChild) item = item->LastChild;
  return item;
}

PVirtualAxisItem TVirtualGridAxis::GetLastVisible() const {
  PVirtualAxisItem item = Root->LastChild;
  while (item && item->LastChild && item->Has(asExpanded)) item = item->LastChild;
  return item;
}

PVirtualAxisItem TVirtualGridAxis::NextInOrder(PVirtualAxisItem Item) {
  if (Item->FirstChild) return Item->FirstChild;
  while (Item) {
    if (Item->NextSibling) return Item->NextSibling;
    Item = Item->Parent;
  }
  return nullptr;
}

PVirtualAxisItem TVirtualGridAxis::NextShown(PVirtualAxisItem Item) {
  if (Item->FirstChild && Item->Has(asExpanded)) return Item->FirstChild;
  while (Item) {
    if (Item->NextSibling) return Item->NextSibling;
    Item = Item->Parent;
  }
  return nullptr;
}

PVirtualAxisItem TVirtualGridAxis::GetNext(PVirtualAxisItem Item) const {
  if (!Item) return nullptr;
  PVirtualAxisItem next = NextInOrder(Item);
  if (!next) return Item == Root ? nullptr : Item;
  return next;
}

PVirtualAxisItem TVirtualGridAxis::GetNextVisible(PVirtualAxisItem Item) const {
  if (!Item) return nullptr;
  PVirtualAxisItem next = (Item == Root) ? Root->FirstChild : NextShown(Item);
  if (!next) return Item == Root ? nullptr : Item;
  return next;
}

PVirtualAxisItem TVirtualGridAxis::GetPrevVisible(PVirtualAxisItem Item) const {
  if (!Item || Item == Root) return nullptr;
  PVirtualAxisItem prev = Item->PrevSibling;
  if (prev) {
    while (prev->LastChild && prev->Has(asExpanded)) prev = prev->LastChild;
    return prev;
  }
  if (Item->Parent && Item->Parent != Root) return Item->Parent;
  return Item;
}

int TVirtualGridAxis::GetLevel(PVirtualAxisItem Item) {
  int level = 0;
  if (!Item) return 0;
  while (Item->Parent) {
    ++level;
    Item = Item->Parent;
  }
  return level;
}

int TVirtualGridAxis::GetTreeDepth() const {
  int deepest = 0;
  for (PVirtualAxisItem item = Root->FirstChild; item; item = NextInOrder(item))
    if (!item->FirstChild) deepest = std::max(deepest, GetLevel(item));
  return deepest - 1;
}

bool TVirtualGridAxis::IsInSubtree(PVirtualAxisItem Item, PVirtualAxisItem Ancestor) {
  for (; Item; Item = Item->Parent)
    if (Item == Ancestor) return true;
  return false;
}

PVirtualAxisItem TVirtualGridAxis::AddChild(PVirtualAxisItem Parent) {
  if (!Parent) return nullptr;
  FGrid->DropSortState(this);
  auto* item = new TVirtualAxisItem;
  item->Size = DefaultItemSize;
  item->States = asVisible;
  item->Parent = Parent;
  item->PrevSibling = Parent->LastChild;
  if (Parent->LastChild)
    Parent->LastChild->NextSibling = item;
  else
    Parent->FirstChild = item;
  Parent->LastChild = item;
  Parent->States |= asHasChildren | asExpanded;
  ++Parent->ChildCount;
  for (PVirtualAxisItem p = Parent; p; p = p->Parent) ++p->TotalCount;
  Touch(true);
  RenumberFrom(item);
  FGrid->ItemAdded(this, item, Parent);
  return item;
}

void TVirtualGridAxis::RenumberFrom(PVirtualAxisItem Item) {
  int index = Item->PrevSibling ? Item->PrevSibling->AbsoluteIndex + Item->PrevSibling->TotalCount + 1
                                : Item->Parent->AbsoluteIndex + 1;
  for (; Item; Item = NextInOrder(Item)) Item->AbsoluteIndex = index++;
}

void TVirtualGridAxis::Renumber() {
  int index = 1;
  Root->AbsoluteIndex = 0;
  for (PVirtualAxisItem item = Root->FirstChild; item; item = NextInOrder(item)) item->AbsoluteIndex = index++;
}

int TVirtualGridAxis::RecountSubtree(PVirtualAxisItem Item) {
  int children = 0;
  int total = 0;
  for (PVirtualAxisItem c = Item->FirstChild; c; c = c->NextSibling) {
    ++children;
    total += 1 + RecountSubtree(c);
  }
  Item->ChildCount = children;
  Item->TotalCount = total;
  if (children)
    Item->States |= asHasChildren;
  else
    Item->States &= ~asHasChildren;
  return total;
}

void TVirtualGridAxis::FreeSubtree(PVirtualAxisItem Item) {
  PVirtualAxisItem child = Item->FirstChild;
  while (child) {
    PVirtualAxisItem next = child->NextSibling;
    FreeSubtree(child);
    child = next;
  }
  delete Item;
}

void TVirtualGridAxis::DeleteItem(PVirtualAxisItem Item) {
  if (!Item) return;
  FLastGet = nullptr;
  FGrid->ItemsRemoving(this, Item);
  // Selection and the fixed item never keep a pointer to a freed item.
  std::erase_if(Selection, [Item](PVirtualAxisItem s) { return IsInSubtree(s, Item); });
  if (FixedItem && IsInSubtree(FixedItem, Item)) FixedItem = nullptr;
  if (Item == Root) {
    PVirtualAxisItem child = Root->FirstChild;
    while (child) {
      PVirtualAxisItem next = child->NextSibling;
      FreeSubtree(child);
      child = next;
    }
    Root->FirstChild = Root->LastChild = nullptr;
    RecountSubtree(Root);
    Renumber();
    Touch(true);
    return;
  }
  PVirtualAxisItem parent = Item->Parent;
  if (Item->PrevSibling)
    Item->PrevSibling->NextSibling = Item->NextSibling;
  else
    parent->FirstChild = Item->NextSibling;
  if (Item->NextSibling)
    Item->NextSibling->PrevSibling = Item->PrevSibling;
  else
    parent->LastChild = Item->PrevSibling;
  if (--parent->ChildCount == 0) parent->States &= ~asHasChildren;
  const int removed = 1 + Item->TotalCount;
  for (PVirtualAxisItem p = parent; p; p = p->Parent) p->TotalCount -= removed;
  FreeSubtree(Item);
  Touch(true);
  Renumber();
}

void TVirtualGridAxis::Clear() {
  FixedItem = nullptr;
  ClearSelection();
  DeleteItem(Root);
}

void TVirtualGridAxis::SetItemSize(PVirtualAxisItem Item, int Size) {
  if (!Item) return;
  Item->Size = Size;
  if (OnNewItemSize) OnNewItemSize(this, Item);
  Touch(true);
}

void TVirtualGridAxis::SetExpanded(PVirtualAxisItem Item, bool Expanded) {
  if (!Item) return;
  if (Expanded)
    Item->States |= asExpanded;
  else
    Item->States &= ~asExpanded;
  Touch(true);
}

PVirtualAxisItem TVirtualGridAxis::GetItemAtPos(int Pos, int& Offset) const {
  PVirtualAxisItem item = Root->FirstChild;
  if (!item) {
    Offset = 1;
    return nullptr;
  }
  int start = 0;
  int lastStart = 0;
  for (; item; item = NextShown(item)) {
    if (!item->Has(asVisible)) continue;
    if (start + item->Size >= Pos) {
      Offset = Pos - start;
      return item;
    }
    lastStart = start;
    start += item->Size + 1;
  }
  Offset = Pos - lastStart;
  return nullptr;
}

int TVirtualGridAxis::GetFixedExtent() const {
  if (!FixedItem || !Root->FirstChild) return 0;
  int extent = 0;
  for (PVirtualAxisItem item = Root->FirstChild; item; item = NextShown(item)) {
    extent += item->Size + 1;
    if (item == FixedItem) break;
  }
  return extent;
}

void TVirtualGridAxis::SelectItem(PVirtualAxisItem Item, bool WholeLine) {
  if (!Item) return;
  if (!Item->Has(asInSelection)) Selection.push_back(Item);
  Item->States |= asInSelection;
  if (WholeLine)
    Item->States |= asWholeLine;
  else
    Item->States &= ~asWholeLine;
  FGrid->IncludeState(gsDirty);
}

void TVirtualGridAxis::UnselectItem(PVirtualAxisItem Item) {
  if (!Item) return;
  std::erase(Selection, Item);
  Item->States &= ~(asInSelection | asWholeLine);
  FGrid->IncludeState(gsDirty);
}

void TVirtualGridAxis::SelectRange(PVirtualAxisItem First, PVirtualAxisItem Last, bool WholeLine) {
  for (PVirtualAxisItem item = First; item; item = NextInOrder(item)) {
    SelectItem(item, WholeLine);
    if (item == Last) break;
  }
}

void TVirtualGridAxis::ClearSelection() {
  for (PVirtualAxisItem item : Selection) item->States &= ~(asInSelection | asWholeLine);
  Selection.clear();
  FGrid->IncludeState(gsDirty);
}

PVirtualAxisItem TVirtualGridAxis::GetSelected(int Index) const {
  if (Index < 0 || Index >= SelectedCount()) return nullptr;
  return Selection[Index];
}

bool TVirtualGridAxis::IsSelected(PVirtualAxisItem Item) {
  return Item && (Item->States & (asInSelection | asWholeLine)) != 0;
}

void TVirtualGridAxis::SaveOrder() {
  for (PVirtualAxisItem item = Root->FirstChild; item; item = NextInOrder(item)) item->SortKey = item->AbsoluteIndex;
}

int TVirtualGridAxis::Compare(PVirtualAxisItem A, PVirtualAxisItem B) {
  int result = 0;
  if (FSortMode == 0)
    result = A->SortKey > B->SortKey ? 1 : (A->SortKey < B->SortKey ? -1 : 0);
  else
    OnCompareEvent(this, A, B, FSortCmpItem, result);
  return result;
}

bool TVirtualGridAxis::TakeFirst(PVirtualAxisItem A, PVirtualAxisItem B) {
  const int result = Compare(A, B);
  return (FSortMode < 2 && result <= 0) || (FSortMode == 2 && result >= 0);
}

// Merges two NextSibling-chained runs; A is the earlier run.
PVirtualAxisItem TVirtualGridAxis::MergeRuns(PVirtualAxisItem A, PVirtualAxisItem B) {
  TVirtualAxisItem head;
  PVirtualAxisItem tail = &head;
  while (A && B) {
    if (TakeFirst(A, B)) {
      tail->NextSibling = A;
      A = A->NextSibling;
    } else {
      tail->NextSibling = B;
      B = B->NextSibling;
    }
    tail = tail->NextSibling;
  }
  tail->NextSibling = A ? A : B;
  return head.NextSibling;
}

void TVirtualGridAxis::SortSiblings(PVirtualAxisItem Start) {
  PVirtualAxisItem parent = Start->Parent;
  PVirtualAxisItem prefix = Start->PrevSibling;
  // Bottom-up merge sort: runs[i] holds a sorted run of 2^i items, higher
  // slots holding earlier items.
  PVirtualAxisItem runs[32] = {};
  PVirtualAxisItem item = Start;
  while (item) {
    PVirtualAxisItem next = item->NextSibling;
    item->NextSibling = nullptr;
    PVirtualAxisItem carry = item;
    int i = 0;
    for (; i < 31 && runs[i]; ++i) {
      carry = MergeRuns(runs[i], carry);
      runs[i] = nullptr;
    }
    runs[i] = carry;
    item = next;
  }
  PVirtualAxisItem sorted = nullptr;
  for (int i = 0; i < 32; ++i)
    if (runs[i]) sorted = sorted ? MergeRuns(runs[i], sorted) : runs[i];
  // Relink the doubly linked sibling list.
  PVirtualAxisItem prev = prefix;
  if (prefix)
    prefix->NextSibling = sorted;
  else
    parent->FirstChild = sorted;
  for (PVirtualAxisItem s = sorted; s; s = s->NextSibling) {
    s->PrevSibling = prev;
    prev = s;
  }
  parent->LastChild = prev;
  for (PVirtualAxisItem s = sorted; s; s = s->NextSibling)
    if (s->FirstChild && (!OnAllowSortChilds || OnAllowSortChilds(s))) SortSiblings(s->FirstChild);
}

void TVirtualGridAxis::SortItems(PVirtualAxisItem Start, PVirtualAxisItem CmpItem, int Mode) {
  if (!OnCompareEvent || !CmpItem) return;
  FGrid->BeginBusy();
  if (!Start || Start == Root) Start = Root->FirstChild;
  if (Start) {
    FSortCmpItem = CmpItem;
    FSortMode = Mode;
    SortSiblings(Start);
    Renumber();
    Touch(true);
  }
  FGrid->EndBusy();
}

namespace {
void ExpandLevel(PVirtualAxisItem First, int Depth, int Level) {
  for (PVirtualAxisItem item = First; item; item = item->NextSibling) {
    if (Depth <= Level) {
      item->States |= asExpanded;
      ExpandLevel(item->FirstChild, Depth + 1, Level);
    } else if (item->FirstChild) {
      item->States &= ~asExpanded;
    }
  }
}
}  // namespace

void TVirtualGridAxis::ExpandToLevel(int Level) {
  ExpandLevel(Root->FirstChild, 1, Level);
  Touch(true);
}
