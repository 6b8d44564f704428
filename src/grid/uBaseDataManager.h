#pragma once
#include <map>
#include <memory>

#include "grid/uVGCells.h"

class TBaseDataManager;

// Key of a cell store entry (subclasses add the fields the store orders by).
class TIndexKey {
 public:
  virtual ~TIndexKey() = default;
};

// One stored cell: its key (owned) and its value (owned, may be none).
class TBaseCellObject {
 public:
  TBaseCellObject(TBaseDataManager* AOwner, std::unique_ptr<TIndexKey> AKey);
  virtual ~TBaseCellObject() = default;
  TBaseDataManager* const Owner;
  TIndexKey* Key() const { return FKey.get(); }
  std::unique_ptr<TBaseCellValue> Value;

 private:
  std::unique_ptr<TIndexKey> FKey;
};

// An ordered store of cell entries keyed by key objects, ordered by the
// virtual Compare.  Lookups are logarithmic: the grid asks it for every
// painted cell.
class TBaseDataManager {
 public:
  TBaseDataManager();
  virtual ~TBaseDataManager();
  TBaseDataManager(const TBaseDataManager&) = delete;
  TBaseDataManager& operator=(const TBaseDataManager&) = delete;

  virtual std::unique_ptr<TBaseCellObject> CreateCellObject(std::unique_ptr<TIndexKey> Key);
  // The base store answers 0: it can hold only one entry.
  virtual int Compare(const TIndexKey* Key1, const TIndexKey* Key2) const { return 0; }
  virtual void Clear();

  TBaseCellObject* FindCell(const TIndexKey* Key) const;
  void RemoveCell(const TIndexKey* Key);
  // None key: none with Existed true.  A created entry takes the key.
  TBaseCellObject* FindOrAddCell(std::unique_ptr<TIndexKey>& Key, bool& Existed);
  // Frees the entry's previous value and stores Value (possibly none).
  void SetCellValue(TBaseCellObject* Entry, std::unique_ptr<TBaseCellValue> Value);
  int Count() const { return static_cast<int>(FMap.size()); }

  template <class F>
  void ForEachCell(F&& f) const {
    for (const auto& [key, entry] : FMap) f(entry.get());
  }

 private:
  struct TLess {
    const TBaseDataManager* Manager;
    bool operator()(const TIndexKey* a, const TIndexKey* b) const { return Manager->Compare(a, b) < 0; }
  };
  std::map<const TIndexKey*, std::unique_ptr<TBaseCellObject>, TLess> FMap;
};
