#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "grid/uVGridTypes.h"

// One undoable edit: applying it writes Text into the cell (and the record
// then keeps the text it replaced, so it swaps on every application).
class TGridHistoryRecord {
 public:
  PVirtualAxisItem Row = nullptr;
  PVirtualAxisItem Col = nullptr;
  QString Text;
};

// Linear edit history with a cursor: Current is the record an undo applies.
class TGridHistory {
 public:
  std::vector<std::unique_ptr<TGridHistoryRecord>> Records;
  int Current = -1;
  bool Locked = false;
  TNotifyEvent OnChange;

  // Ignored while locked; drops every record after Current (the redo branch).
  void Add(PVirtualAxisItem Row, PVirtualAxisItem Col, const QString& Text);
  void Clear();
  TGridHistoryRecord* GetCurrent() const;
  int Count() const { return static_cast<int>(Records.size()); }
  void Lock() { Locked = true; }
  void Unlock() { Locked = false; }
  void StepBack();
  void StepForward();

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
};
