#include "platform/uClock.h"

namespace {
class TSystemClock : public IClock {
 public:
  QDateTime Now() const override { return QDateTime::currentDateTime(); }
};
const IClock* gInstalled = nullptr;
}  // namespace

const IClock& Clock() {
  static const TSystemClock system;
  return gInstalled ? *gInstalled : system;
}

void SetClock(const IClock* clock) { gInstalled = clock; }
