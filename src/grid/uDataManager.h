#pragma once
#include "grid/uBaseDataManager.h"
#include "grid/uVGrid.h"

// Key of a grid cell: the (column item, row item) pair.
class TIndexCRKey : public TIndexKey {
 public:
  TIndexCRKey(PVirtualAxisItem ACol = nullptr, PVirtualAxisItem ARow = nullptr) : Col(ACol), Row(ARow) {}
  PVirtualAxisItem Col;
  PVirtualAxisItem Row;
};

class TCellObject : public TBaseCellObject {
 public:
  using TBaseCellObject::TBaseCellObject;
};

// The cell store of one grid: one entry per filled cell, keyed by the cell's
// items.  Hosts read GetCell(ARow, ACol)->Value and treat a missing entry or
// value as an empty, non-editable cell.
class TDataManager : public TBaseDataManager {
 public:
  explicit TDataManager(TCustomVirtualGrid* AGrid) : Grid(AGrid) {}
  ~TDataManager() override { Clear(); }
  TCustomVirtualGrid* const Grid;

  std::unique_ptr<TBaseCellObject> CreateCellObject(std::unique_ptr<TIndexKey> Key) override;
  int Compare(const TIndexKey* Key1, const TIndexKey* Key2) const override;

  TBaseCellObject* GetCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const;
  void RemoveCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol);
  using TBaseDataManager::RemoveCell;
  TBaseCellObject* GetOrCreateCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol, bool& Existed);
  // The value of a cell or none.
  TBaseCellValue* GetValue(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const;
};
