#include "control/collection.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/com/counting_object.h"

namespace vyn {
namespace {

// A collection of counting objects stands in for the three real ones,
// which differ only in their element interface.
struct ITestCollection : ICollectionOf<testing::ITestThing> {
  using Base = IDispatch;
  static constexpr IID kIid = MakeGuid("22222222-3333-4444-5555-666666666666");

 protected:
  ~ITestCollection() = default;
};
using TestCollection = Collection<ITestCollection>;
using testing::CountingObject;
using testing::ITestThing;

int NumberOf(IDispatch* element) {
  return element ? static_cast<ITestThing*>(element)->Value() : 0;
}

class CollectionTest : public ::testing::Test {
 protected:
  void SetUp() override { live_before_ = LiveComObjectCount(); }
  void TearDown() override {
    if (tracks_) {
      auto taken = tracks_->TakeAll();
      tracks_ = nullptr;
    }
    EXPECT_EQ(LiveComObjectCount(), live_before_) << "an object leaked";
    EXPECT_EQ(ModuleLockCount(), 0);
  }
  // A collection holding tracks numbered 1..count; 0 leaves a null slot.
  void Fill(std::vector<int> numbers) {
    tracks_ = TestCollection::Create();
    for (int n : numbers)
      tracks_->Append(n ? ComPtr<ITestThing>(CountingObject::Create(n)) : nullptr);
  }
  ComPtr<IEnumVARIANT> NewEnum() {
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(tracks_->get__NewEnum(unknown.Receive()), S_OK);
    return unknown.As<IEnumVARIANT>();
  }

  ComPtr<TestCollection> tracks_;
  long live_before_ = 0;
};

// Catches off-by-one indexing and the wrong answer for 0, negatives, past the end.
TEST_F(CollectionTest, ItemIsOneBasedAndClampsLowIndexes) {
  Fill({1, 2, 3});
  static const struct {
    LONG index;
    HRESULT result;
    int number;
  } kCases[] = {{1, S_OK, 1}, {0, S_OK, 1},   {-5, S_OK, 1},    {2, S_OK, 2},
                {3, S_OK, 3}, {4, E_FAIL, 0}, {1000, E_FAIL, 0}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.index);
    ComPtr<ITestThing> item;
    EXPECT_EQ(tracks_->get_Item(c.index, item.Receive()), c.result);
    EXPECT_EQ(NumberOf(item.Get()), c.number);
  }
  LONG count = 0;
  EXPECT_EQ(tracks_->get_Count(&count), S_OK);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(tracks_->get_Count(nullptr), E_POINTER);
  EXPECT_EQ(tracks_->get_Item(1, nullptr), E_POINTER);
  EXPECT_EQ(tracks_->get__NewEnum(nullptr), E_POINTER);
}

TEST_F(CollectionTest, EmptyCollectionAndNullSlots) {
  Fill({});
  ComPtr<ITestThing> item;
  EXPECT_EQ(tracks_->get_Item(1, item.Receive()), E_FAIL);
  EXPECT_EQ(tracks_->get_Item(0, item.Receive()), E_FAIL);
  tracks_->ResetSlots(2);
  tracks_->SetSlot(1, CountingObject::Create(9));
  LONG count = 0;
  tracks_->get_Count(&count);
  EXPECT_EQ(count, 2) << "null slots count";
  EXPECT_EQ(tracks_->get_Item(1, item.Receive()), S_OK);
  EXPECT_FALSE(item);
  EXPECT_EQ(tracks_->get_Item(2, item.Receive()), S_OK);
  EXPECT_EQ(NumberOf(item.Get()), 9);
}

// Catches Next miscounting at the end, or returning S_OK on a short delivery.
TEST_F(CollectionTest, NextDeliversWhatRemains) {
  Fill({1, 0});
  auto walker = NewEnum();
  VARIANT out[3];
  for (auto& v : out)
    VariantInit(&v);
  ULONG fetched = 99;
  EXPECT_EQ(walker->Next(3, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(out[0].vt, VT_DISPATCH);
  EXPECT_EQ(NumberOf(out[0].pdispVal), 1);
  EXPECT_EQ(out[1].vt, VT_DISPATCH);
  EXPECT_EQ(out[1].pdispVal, nullptr) << "a null slot is VT_DISPATCH null";
  EXPECT_EQ(out[2].vt, VT_EMPTY);
  EXPECT_EQ(walker->Next(1, out, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(walker->Next(2, out, nullptr), E_POINTER);
  EXPECT_EQ(walker->Next(1, nullptr, &fetched), E_POINTER);
  for (auto& v : out)
    VariantClear(&v);
}

TEST_F(CollectionTest, SkipResetAndClone) {
  Fill({1, 2, 3, 4});
  auto walker = NewEnum();
  EXPECT_EQ(walker->Skip(0), S_OK);
  EXPECT_EQ(walker->Skip(2), S_OK);
  EXPECT_EQ(walker->Skip(2), S_OK) << "exactly two left";
  EXPECT_EQ(walker->Skip(1), S_FALSE);
  EXPECT_EQ(walker->Reset(), S_OK);
  EXPECT_EQ(walker->Skip(5), S_FALSE);
  walker->Reset();

  vyn::Variant v;
  ULONG fetched = 0;
  ASSERT_EQ(walker->Next(1, v.get(), &fetched), S_OK);
  ComPtr<IEnumVARIANT> clone;
  ASSERT_EQ(walker->Clone(clone.Receive()), S_OK);
  ASSERT_EQ(clone->Next(1, v.get(), nullptr), S_OK);
  EXPECT_EQ(NumberOf(v->pdispVal), 2) << "the clone continues from the second element";
  ASSERT_EQ(clone->Next(1, v.get(), nullptr), S_OK);
  EXPECT_EQ(NumberOf(v->pdispVal), 3);
  ASSERT_EQ(walker->Next(1, v.get(), nullptr), S_OK);
  EXPECT_EQ(NumberOf(v->pdispVal), 2) << "the original moves independently";
  EXPECT_EQ(walker->Clone(nullptr), E_POINTER);
}

// Catches an enumerator that frees its collection early or reads a freed list.
TEST_F(CollectionTest, EnumeratorOutlivesItsOwnerSafely) {
  Fill({1, 2});
  auto walker = NewEnum();
  EXPECT_EQ(ModuleLockCount(), 1) << "a live enumerator locks the module";
  ComPtr<IDispatch> held;
  {
    ComPtr<ITestThing> first;
    tracks_->get_Item(1, first.Receive());
    held = first;
  }
  // The owner rebuilds with one element and drops its collection reference.
  auto old = tracks_->TakeAll();
  old.clear();
  tracks_->Append(CountingObject::Create(7));
  tracks_ = nullptr;

  EXPECT_EQ(NumberOf(held.Get()), 1) << "a held element lives on";
  vyn::Variant v;
  ASSERT_EQ(walker->Next(1, v.get(), nullptr), S_OK);
  EXPECT_EQ(NumberOf(v->pdispVal), 7) << "the enumerator reads the current list";
  EXPECT_EQ(walker->Next(1, v.get(), nullptr), S_FALSE);
  walker = nullptr;
  held = nullptr;
}

TEST_F(CollectionTest, ErrorInfoSupportNamesOnlyItsOwnInterface) {
  auto tracks = TracksCollection::Create();
  EXPECT_EQ(tracks->InterfaceSupportsErrorInfo(ITracksCollection::kIid), S_OK);
  EXPECT_EQ(tracks->InterfaceSupportsErrorInfo(ITrack::kIid), S_FALSE);
  EXPECT_EQ(tracks->InterfaceSupportsErrorInfo(IDrivesCollection::kIid), S_FALSE);
  EXPECT_TRUE(tracks.As<ITracksCollection>());
  EXPECT_TRUE(tracks.As<IDispatch>());
  EXPECT_FALSE(tracks.As<IDrivesCollection>());
}

}  // namespace
}  // namespace vyn
