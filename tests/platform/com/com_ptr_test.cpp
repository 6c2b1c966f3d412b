#include "platform/com/com_ptr.h"

#include <gtest/gtest.h>

#include "tests/platform/com/counting_object.h"

namespace {

using vyn::testing::CountingObject;
using vyn::testing::ITestThing;

// Catches a QueryInterface that misses a base interface or answers a stranger.
TEST(ComObjectTest, AnswersListedInterfacesAndTheirBases) {
  auto object = CountingObject::Create(7);
  static const struct {
    IID iid;
    HRESULT expected;
  } kCases[] = {
      {IUnknown::kIid, S_OK},
      {IDispatch::kIid, S_OK},
      {ITestThing::kIid, S_OK},
      {MakeGuid("00000000-0000-0000-0000-000000000001"), E_NOINTERFACE},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.iid.ToString());
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(object->QueryInterface(c.iid, &out), c.expected);
    if (c.expected == S_OK) {
      ASSERT_NE(out, nullptr);
      static_cast<IUnknown*>(out)->Release();
    } else {
      EXPECT_EQ(out, nullptr);
    }
  }
  EXPECT_EQ(object->QueryInterface(IUnknown::kIid, nullptr), E_POINTER);
}

// Catches reference leaks and double releases across ComPtr's operations.
TEST(ComPtrTest, EveryPathReleasesOnce) {
  long live_before = vyn::LiveComObjectCount();
  int destroyed = 0;
  {
    ComPtr<CountingObject> a = CountingObject::Create(1, &destroyed);
    ComPtr<CountingObject> copy = a;
    ComPtr<CountingObject> moved = std::move(copy);
    EXPECT_FALSE(copy);
    ComPtr<ITestThing> thing = a.As<ITestThing>();
    ASSERT_TRUE(thing);
    EXPECT_EQ(thing->Value(), 1);
    ComPtr<IDispatch> base = thing;  // implicit upcast adds a reference
    ITestThing* raw = nullptr;
    EXPECT_EQ(thing.CopyTo(&raw), S_OK);
    ComPtr<ITestThing> adopted = ComPtr<ITestThing>::Adopt(raw);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(a.QueryInterface(&unknown), S_OK);
    ITestThing* detached = adopted.Detach();
    detached->Release();
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(vyn::LiveComObjectCount(), live_before);
}

TEST(ComPtrTest, ReceiveReleasesWhatItHeld) {
  int destroyed = 0;
  ComPtr<ITestThing> holder = CountingObject::Create(1, &destroyed);
  ITestThing** slot = holder.Receive();
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(*slot, nullptr);
  ComPtr<ITestThing> none;
  EXPECT_EQ(none.As<IDispatch>(), nullptr);
}

}  // namespace
