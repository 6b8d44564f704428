#include "grid/uBaseDataManager.h"

TBaseCellObject::TBaseCellObject(TBaseDataManager* AOwner, std::unique_ptr<TIndexKey> AKey)
    : Owner(AOwner), FKey(std::move(AKey)) {}

TBaseDataManager::TBaseDataManager() : FMap(TLess{this}) {}

TBaseDataManager::~TBaseDataManager() { FMap.clear(); }

std::unique_ptr<TBaseCellObject> TBaseDataManager::CreateCellObject(std::unique_ptr<TIndexKey> Key) {
  return std::make_unique<TBaseCellObject>(this, std::move(Key));
}

void TBaseDataManager::Clear() { FMap.clear(); }

TBaseCellObject* TBaseDataManager::FindCell(const TIndexKey* Key) const {
  if (!Key) return nullptr;
  auto it = FMap.find(Key);
  return it == FMap.end() ? nullptr : it->second.get();
}

void TBaseDataManager::RemoveCell(const TIndexKey* Key) {
  if (!Key) return;
  auto it = FMap.find(Key);
  if (it != FMap.end()) FMap.erase(it);
}

TBaseCellObject* TBaseDataManager::FindOrAddCell(std::unique_ptr<TIndexKey>& Key, bool& Existed) {
  Existed = true;
  if (!Key) return nullptr;
  if (TBaseCellObject* found = FindCell(Key.get())) return found;
  Existed = false;
  std::unique_ptr<TBaseCellObject> entry = CreateCellObject(std::move(Key));
  TBaseCellObject* raw = entry.get();
  FMap.emplace(raw->Key(), std::move(entry));
  return raw;
}

void TBaseDataManager::SetCellValue(TBaseCellObject* Entry, std::unique_ptr<TBaseCellValue> Value) {
  if (!Entry) return;
  Entry->Value = std::move(Value);
  if (Entry->Value) Entry->Value->Owner = Entry;
}
