#include <gtest/gtest.h>

#include "marks/MarkStore.h"

namespace sonaveld {
namespace {

using Lines = std::vector<std::string>;

TEST(MarkStore, KeepsSlotsAndBothListsInStep) {
  MarkStore store;
  for (int64_t p : {300, 100, 200}) ASSERT_TRUE(store.Add(p).ok());
  EXPECT_EQ(store.Slot(0), 1);
  EXPECT_EQ(store.Slot(1), 100);
  EXPECT_EQ(store.Slot(2), 200);
  EXPECT_EQ(store.Slot(3), 300);
  EXPECT_EQ(store.Slot(4), 0);
  EXPECT_EQ(store.Memo1(), (Lines{"300", "100", "200"}));
  EXPECT_EQ(store.Memo2(), (Lines{"100", "200", "300"}));
  EXPECT_EQ(store.Count(), 3);

  // After a delete, the adding order is gone: both lists are ascending.
  EXPECT_EQ(store.DeleteWhere([](int64_t m) { return m == 200; }), 1);
  EXPECT_EQ(store.Memo1(), (Lines{"100", "300"}));
  EXPECT_EQ(store.Memo2(), (Lines{"100", "300"}));
  EXPECT_EQ(store.Slot(2), 300);
  EXPECT_EQ(store.Slot(3), 0);
}

TEST(MarkStore, DeleteWhereCanRemoveSeveralMarksAtOnce) {
  MarkStore store;
  for (int64_t p : {1000, 1500, 2600, 9000}) ASSERT_TRUE(store.Add(p).ok());
  // At a coarse zoom two markers cover the line's column.
  EXPECT_EQ(store.DeleteWhere([](int64_t m) { return m / 1000 == 1; }), 2);
  EXPECT_EQ(store.Sorted(), (std::vector<int64_t>{2600, 9000}));
}

struct Refusal {
  const char* name;
  std::vector<int64_t> before;
  int64_t add;
  const char* message;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

class MarkStoreRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(MarkStoreRefusal, LeavesTheStoreUnchanged) {
  MarkStore store;
  for (int64_t p : GetParam().before) ASSERT_TRUE(store.Add(p).ok());
  const auto memo1 = store.Memo1();
  const Status s = store.Add(GetParam().add);
  EXPECT_EQ(s.message(), GetParam().message);
  EXPECT_EQ(store.Memo1(), memo1);
  EXPECT_EQ(store.Count(), static_cast<int>(GetParam().before.size()));
}

std::vector<int64_t> Positions(int n) {
  std::vector<int64_t> v;
  for (int i = 1; i <= n; ++i) v.push_back(i * 10);
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarkStoreRefusal,
    ::testing::Values(Refusal{"Duplicate", {500}, 500, "この位置ではマーク済みです。"},
                      // An empty slot holds 0; position 0 must not count as "already marked" or be accepted.
                      Refusal{"Zero", {}, 0, "'0' はマーク位置として使えません。"},
                      Refusal{"Negative", {5}, -999, "'-999' はマーク位置として使えません。"},
                      Refusal{"The256th", Positions(255), 99999, "マークは255個までです。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MarkStore, TakesExactly255Marks) {
  MarkStore store;
  for (int64_t p : Positions(255)) ASSERT_TRUE(store.Add(p).ok());
  EXPECT_EQ(store.Slot(255), 2550);
  EXPECT_EQ(store.Count(), 255);
}

TEST(MarkStore, ResetAndDeleteAllClearMarksButNotKeepHead) {
  MarkStore store;
  store.SetKeepHead(true);
  ASSERT_TRUE(store.Add(7).ok());
  store.DeleteAll();
  EXPECT_EQ(store.Count(), 0);
  EXPECT_EQ(store.Slot(1), 0);
  EXPECT_EQ(store.Slot(0), 1);
  EXPECT_TRUE(store.KeepHead());
  ASSERT_TRUE(store.Add(7).ok());
  store.Reset();
  EXPECT_TRUE(store.Memo2().empty());
}

TEST(MarkStore, HoldsPositionsBeyondThirtyTwoBits) {
  MarkStore store;
  ASSERT_TRUE(store.Add(3'000'000'000LL).ok());
  EXPECT_EQ(store.Memo2(), (Lines{"3000000000"}));
}

}  // namespace
}  // namespace sonaveld
