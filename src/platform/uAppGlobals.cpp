#include "platform/uAppGlobals.h"

TAppGlobals& App() {
  static TAppGlobals globals;
  return globals;
}

void ResetAppGlobals() { App() = TAppGlobals(); }
