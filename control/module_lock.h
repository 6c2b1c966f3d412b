// The module-wide lock count: how many objects of this module are alive
// that keep it from being unloaded (controls, drives, enumerators) plus the
// class factory's explicit locks. Thread-safe.
#pragma once

namespace vyn {

long ModuleLockCount();
void LockModule();
void UnlockModule();

// Holds one module lock for as long as the owning object lives.
class ModuleLock {
 public:
  ModuleLock() { LockModule(); }
  ~ModuleLock() { UnlockModule(); }
  ModuleLock(const ModuleLock&) = delete;
  ModuleLock& operator=(const ModuleLock&) = delete;
};

}  // namespace vyn
