// A small object for tests of the object model: it counts its own
// destruction so a test can tell it was released exactly once.
#pragma once

#include "tests/platform/com/dispatch_stub.h"

namespace vyn::testing {

struct ITestThing : IDispatch {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("11111111-2222-3333-4444-555555555555");
  virtual int Value() = 0;

 protected:
  ~ITestThing() = default;
};

class CountingObject final : public DispatchStub<CountingObject, ITestThing> {
 public:
  explicit CountingObject(int value, int* destroyed = nullptr)
      : value_(value), destroyed_(destroyed) {}

  int Value() override { return value_; }

 protected:
  ~CountingObject() override {
    if (destroyed_)
      ++*destroyed_;
  }

 private:
  int value_;
  int* destroyed_;
};

}  // namespace vyn::testing
