#include "spc/spc_request_lock.h"

std::mutex& SPC_RequestLock() {
  // Constant-initialised: ready before any export can be called, with nothing
  // to make or release while the library loads or unloads.
  static std::mutex lock;
  return lock;
}
