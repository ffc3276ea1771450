#include <gtest/gtest.h>

#include "output/CopyPlan.h"

namespace sonaveld {
namespace {

WaveHeader Header(FormatKind kind, int64_t dataOffset, int64_t dataEnd) {
  WaveHeader h;
  h.Kind = kind;
  h.DataOffset = dataOffset;
  h.DataEnd = dataEnd;
  h.FileSize = dataEnd;
  return h;
}

TEST(RangeStretch, WholeChunksOnly) {
  const WaveHeader h = Header(FormatKind::kStereo16, 44, 44 + 400000);
  EXPECT_EQ(RangeStretch(h, h.DataEnd, {1, 50, false}), (ByteStretch{44, 0}));        // 196 bytes: no chunk
  EXPECT_EQ(RangeStretch(h, h.DataEnd, {11, 298, false}).length, 1000);             // 1148 bytes
  EXPECT_EQ(RangeStretch(h, h.DataEnd, {101, 151, false}), (ByteStretch{444, 200}));  // exactly one chunk
}

TEST(RangeStretch, CutShortAtTheEndOfTheSampleArea) {
  const WaveHeader h = Header(FormatKind::kStereo16, 44, 44 + 1000);
  // Nominal 100 frames = 400 bytes from byte 844: only 200 bytes are there.
  EXPECT_EQ(RangeStretch(h, h.DataEnd, {201, 301, false}), (ByteStretch{844, 200}));
  // Starting beyond the end adds nothing.
  EXPECT_EQ(RangeStretch(h, h.DataEnd, {400, 600, false}).length, 0);
  EXPECT_EQ(RangeStretch(h, h.DataEnd, {400, 600, true}).length, 0);
}

TEST(RangeStretch, ToTheEndTakesEveryByteForEveryKind) {
  // 8-bit mono: the chunk count of (E - start) could drop the tail; a range to the end never does.
  for (FormatKind kind : {FormatKind::kStereo16, FormatKind::kMono16, FormatKind::kStereo8, FormatKind::kMono8}) {
    const WaveHeader h = Header(kind, 44, 44 + 12345 * FrameBytes(kind));
    const ByteStretch s = RangeStretch(h, h.DataEnd, {3, h.DataEnd - 1, true});
    EXPECT_EQ(s.begin, 44 + 2 * FrameBytes(kind));
    EXPECT_EQ(s.begin + s.length, h.DataEnd) << static_cast<int>(kind);
  }
}

using Pieces = std::vector<ByteStretch>;

struct SplitCase {
  const char* name;
  FormatKind kind;
  int64_t areaBytes;
  std::vector<int64_t> marks;
  std::vector<int64_t> lengths;  // of the pieces, in order
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitAtMarksPiecesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitAtMarksPiecesTest, CutsOnTheChunkGrid) {
  const auto& c = GetParam();
  const WaveHeader h = Header(c.kind, 44, 44 + c.areaBytes);
  const Pieces pieces = SplitAtMarksPieces(h, h.DataEnd, c.marks);
  std::vector<int64_t> lengths;
  int64_t at = 44;
  for (const auto& p : pieces) {
    EXPECT_EQ(p.begin, at) << "pieces must be consecutive";
    at += p.length;
    lengths.push_back(p.length);
  }
  EXPECT_EQ(at, h.DataEnd) << "the pieces together are the whole sample area";
  EXPECT_EQ(lengths, c.lengths);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitAtMarksPiecesTest,
    ::testing::Values(
        // Boundaries at bytes 1000 and 3000: the cut lies 200..399 bytes after the boundary.
        SplitCase{"FarApart", FormatKind::kStereo16, 10050, {251, 751}, {1200, 2000, 6850}},
        SplitCase{"MarkAtFrameOne", FormatKind::kStereo16, 1000, {1}, {200, 800}},
        SplitCase{"TwoMarksInOneChunk", FormatKind::kMono8, 5000, {1001, 1101}, {1200, 200, 3600}},
        // A boundary after the start of the last full chunk causes no cut, nor do later marks.
        SplitCase{"BoundaryInLastChunk", FormatKind::kMono8, 1050, {901, 1001}, {1050}},
        // The end of the area falls on the grid right after a cut: the last piece is empty.
        SplitCase{"EndOnGridAfterCut", FormatKind::kMono8, 1000, {701}, {1000, 0}},
        SplitCase{"NoMarks", FormatKind::kMono8, 777, {}, {777}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonaveld
