#pragma once
// Shared plumbing of the Firebird objects (not for use outside the session).
#include <firebird/Interface.h>
#include <ibase.h>

#include "store/uUDataBase.h"

namespace fbapi {

using namespace Firebird;

inline IMaster* Master() {
  static IMaster* master = fb_get_master_interface();
  return master;
}

// A status object for one call; disposed on leaving the scope.
struct TStatus {
  ThrowStatusWrapper W{Master()->getStatus()};
  ~TStatus() { W.dispose(); }
  ThrowStatusWrapper* operator&() { return &W; }
};

// Throws the engine's error as EDBError with its text and codes.
[[noreturn]] void Raise(const FbException& e);

// Runs an engine call, turning its exception into EDBError.
template <class F>
auto Call(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const FbException& e) {
    Raise(e);
  }
}

// Releases an engine interface when leaving the scope.
template <class T>
struct TRef {
  explicit TRef(T* p) : P(p) {}
  T* P = nullptr;
  ~TRef() {
    if (P) P->release();
  }
  TRef(const TRef&) = delete;
  TRef& operator=(const TRef&) = delete;
  T* operator->() const { return P; }
};

template <class T>
inline void Release(T*& handle) {
  if (handle) handle->release();
  handle = nullptr;
}

}  // namespace fbapi
