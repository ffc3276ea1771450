// Marks may be any 64-bit position (the command line and the mark list file take them so). A mark
// far beyond the file must mean "beyond the sample area", never a byte offset that wrapped round
// (which copied header bytes as audio). Found by the FuzzOutputs target.
#include <cstdint>
#include <limits>

#include "output/CopyPlan.h"
#include "output/OutputFixture.h"

namespace sonaveld::test {
namespace {

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();

class LargeMarkTest : public OutputTest {
 protected:
  void SetUp() override {
    WavRecipe recipe;
    recipe.frames = 1000;  // 4000 sample bytes from byte 44
    MakeSource(recipe);
  }
};

TEST_F(LargeMarkTest, RangeStretchesStayInsideTheSampleArea) {
  const WaveHeader& h = file.Header;
  for (int64_t far : {kMax, kMax - 1, kMax / 4 + 2, int64_t{1} << 62}) {
    SCOPED_TRACE(far);
    EXPECT_EQ(RangeStretch(h, h.DataEnd, {far, far, true}).length, 0);
    EXPECT_EQ(RangeStretch(h, h.DataEnd, {far, kMax, false}).length, 0);
    // From frame 101 to far: every chunk to the end of the sample area.
    EXPECT_EQ(RangeStretch(h, h.DataEnd, {101, far, false}), (ByteStretch{444, 3600}));
    // A mark that far causes no cut.
    EXPECT_EQ(SplitAtMarksPieces(h, h.DataEnd, {far}), (std::vector<ByteStretch>{{44, 4000}}));
  }
}

TEST_F(LargeMarkTest, CommandsWithAFarMarkCopyOnlySampleBytes) {
  const OutputOptions options = FineOptions();
  // Keep head off: (101, far) runs to the end of the sample area.
  OutputResult r = WriteCutEditedFile(file, {101, kMax}, false, dir.File("a.wav"), flags, host, options);
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  ExpectWav(dir.File("a.wav"), SourceBytes(444, 3600));
  // Keep head on: (1, 101) gives two chunks; (far, E) adds nothing.
  r = WriteCutEditedFile(file, {101, kMax - 1}, true, dir.File("b.wav"), flags, host, options);
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  ExpectWav(dir.File("b.wav"), SourceBytes(44, 400));
  r = SplitSelectedRanges(file, {kMax}, true, dir.File("s.wav"), flags, host, options);
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  ExpectWav(dir.File("s01.wav"), SourceBytes(44, 4000));
  r = SplitAtMarks(file, {51, kMax}, dir.File("p.wav"), flags, host, options);
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  ASSERT_EQ(r.written.size(), 2u);
  ExpectWav(dir.File("p00.wav"), SourceBytes(44, 400));
  ExpectWav(dir.File("p01.wav"), SourceBytes(444, 3600));
}

}  // namespace
}  // namespace sonaveld::test
