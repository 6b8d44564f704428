#include "grid/uDataManager.h"

#include <functional>

std::unique_ptr<TBaseCellObject> TDataManager::CreateCellObject(std::unique_ptr<TIndexKey> Key) {
  return std::make_unique<TCellObject>(this, std::move(Key));
}

int TDataManager::Compare(const TIndexKey* Key1, const TIndexKey* Key2) const {
  const auto* a = static_cast<const TIndexCRKey*>(Key1);
  const auto* b = static_cast<const TIndexCRKey*>(Key2);
  std::less<PVirtualAxisItem> less;
  if (a->Row != b->Row) return less(a->Row, b->Row) ? -1 : 1;
  if (a->Col != b->Col) return less(a->Col, b->Col) ? -1 : 1;
  return 0;
}

TBaseCellObject* TDataManager::GetCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const {
  const TIndexCRKey key(ACol, ARow);
  return FindCell(&key);
}

void TDataManager::RemoveCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol) {
  const TIndexCRKey key(ACol, ARow);
  TBaseDataManager::RemoveCell(&key);
}

TBaseCellObject* TDataManager::GetOrCreateCell(PVirtualAxisItem ARow, PVirtualAxisItem ACol, bool& Existed) {
  std::unique_ptr<TIndexKey> key = std::make_unique<TIndexCRKey>(ACol, ARow);
  return FindOrAddCell(key, Existed);
}

TBaseCellValue* TDataManager::GetValue(PVirtualAxisItem ARow, PVirtualAxisItem ACol) const {
  TBaseCellObject* cell = GetCell(ARow, ACol);
  return cell ? cell->Value.get() : nullptr;
}
