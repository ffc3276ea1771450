#include <gtest/gtest.h>

#include "output/SelectedRanges.h"

namespace sonaveld {
namespace {

constexpr int64_t E = 999999;

struct PairingCase {
  std::vector<int64_t> marks;
  bool keepHead;
  std::vector<FrameRange> ranges;
};

void PrintTo(const PairingCase& c, std::ostream* os) { *os << c.marks.size() << (c.keepHead ? " marks, keep head" : " marks"); }

class SelectedRangesTest : public ::testing::TestWithParam<PairingCase> {};

TEST_P(SelectedRangesTest, PairsTheMarks) {
  EXPECT_EQ(SelectedRanges(GetParam().marks, GetParam().keepHead, E), GetParam().ranges);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectedRangesTest,
    ::testing::Values(PairingCase{{}, false, {}},                             //
                      PairingCase{{}, true, {{1, E, true}}},                   //
                      PairingCase{{10}, false, {{10, E, true}}},               //
                      PairingCase{{10}, true, {{1, 10, false}}},               //
                      PairingCase{{10, 20}, false, {{10, 20, false}}},         //
                      PairingCase{{10, 20}, true, {{1, 10, false}, {20, E, true}}},
                      PairingCase{{10, 20, 30}, false, {{10, 20, false}, {30, E, true}}},
                      PairingCase{{10, 20, 30}, true, {{1, 10, false}, {20, 30, false}}},
                      PairingCase{{10, 20, 30, 40}, false, {{10, 20, false}, {30, 40, false}}},
                      PairingCase{{10, 20, 30, 40}, true, {{1, 10, false}, {20, 30, false}, {40, E, true}}}));

TEST(SelectedRanges, AllMarksTheStoreHoldsPairWithoutLimit) {
  std::vector<int64_t> marks;
  for (int i = 1; i <= 255; ++i) marks.push_back(i * 100);
  const auto off = SelectedRanges(marks, false, E);
  ASSERT_EQ(off.size(), 128u);
  EXPECT_EQ(off.back(), (FrameRange{25500, E, true}));
  marks.pop_back();
  const auto on = SelectedRanges(marks, true, E);  // 254 marks with keep head: 128 ranges
  ASSERT_EQ(on.size(), 128u);
  EXPECT_EQ(on.back(), (FrameRange{25400, E, true}));
}

TEST(NumberedOutputName, NumbersAndDots) {
  EXPECT_EQ(NumberedOutputName("/wav/take.wav", 1), "/wav/take01.wav");
  EXPECT_EQ(NumberedOutputName("/wav/take", 1), "/wav/take01.wav");
  EXPECT_EQ(NumberedOutputName("/my.dir/take", 1), "/my.dir/take01.wav");  // a folder's dot never counts
  EXPECT_EQ(NumberedOutputName("/cut/live.wav", 0), "/cut/live00.wav");
  EXPECT_EQ(NumberedOutputName("a.b.wav", 7), "a.b07.wav");
  EXPECT_EQ(NumberedOutputName("song.wav", 10), "song10.wav");
  EXPECT_EQ(NumberedOutputName("song.wav", 100), "song100.wav");
  const std::string longBase = "/w/" + std::string(300, 'n');
  EXPECT_EQ(NumberedOutputName(longBase + ".wav", 2), longBase + "02.wav");
}

}  // namespace
}  // namespace sonaveld
