#include "grid/uGridHistory.h"

void TGridHistory::Add(PVirtualAxisItem Row, PVirtualAxisItem Col, const QString& Text) {
  if (Locked) return;
  auto record = std::make_unique<TGridHistoryRecord>();
  record->Row = Row;
  record->Col = Col;
  record->Text = Text;
  Records.resize(static_cast<size_t>(Current + 1));
  Records.push_back(std::move(record));
  Current = Count() - 1;
  Changed();
}

void TGridHistory::Clear() {
  Records.clear();
  Current = -1;
  Changed();
}

TGridHistoryRecord* TGridHistory::GetCurrent() const {
  if (Current < 0 || Current >= Count()) return nullptr;
  return Records[static_cast<size_t>(Current)].get();
}

void TGridHistory::StepBack() {
  if (Current < 0) return;
  --Current;
  Changed();
}

void TGridHistory::StepForward() {
  if (Current >= Count() - 1) return;
  ++Current;
  Changed();
}
