// Play times and byte offsets of the sample area: frame boundaries, clamping, the played position.
#include <gtest/gtest.h>

#include "playback/PcmTiming.h"

namespace sonaveld {
namespace {

PcmLayout Layout(FormatKind kind, int32_t rate, int64_t dataBytes, int64_t offset = 44) {
  WaveHeader h;
  h.Kind = kind;
  h.SampleRate = rate;
  h.DataOffset = offset;
  h.DataEnd = offset + dataBytes;
  h.FileSize = h.DataEnd;
  return PcmLayout::FromHeader(h);
}

struct ByteCase {
  FormatKind kind;
  int32_t rate;
  int64_t dataBytes;
  int32_t ms;
  int64_t expectedByte;  // from DataOffset 44
};

class ByteAtMsTest : public ::testing::TestWithParam<ByteCase> {};

TEST_P(ByteAtMsTest, LandsOnTheTruncatedFrame) {
  const ByteCase& c = GetParam();
  const PcmLayout layout = Layout(c.kind, c.rate, c.dataBytes);
  const int64_t byte = layout.ByteAtMs(c.ms);
  EXPECT_EQ(byte, c.expectedByte);
  EXPECT_EQ((byte - layout.dataOffset) % layout.frameBytes, 0);
  EXPECT_LE(byte, layout.dataEnd);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ByteAtMsTest,
    ::testing::Values(
        ByteCase{FormatKind::kStereo16, 44100, 44100 * 4, 0, 44},
        ByteCase{FormatKind::kStereo16, 44100, 44100 * 4, 500, 44 + 22050 * 4},
        ByteCase{FormatKind::kMono16, 22050, 22050 * 2, 1, 44 + 22 * 2},      // 22.05 frames -> 22
        ByteCase{FormatKind::kStereo8, 11025, 11025 * 2, 333, 44 + 3671 * 2},  // 3671.325 -> 3671
        ByteCase{FormatKind::kMono8, 8000, 8000, 999, 44 + 7992},
        // Beyond the length and below 0: clamped to the last playable frame and the first.
        ByteCase{FormatKind::kStereo16, 1000, 1000 * 4, 5000, 44 + 1000 * 4},
        ByteCase{FormatKind::kMono8, 8000, 8000, -20, 44}));

TEST(PcmLayoutTest, PartialTrailingFrameIsNotPlayed) {
  const PcmLayout layout = Layout(FormatKind::kStereo16, 1000, 4 * 250 + 3);
  EXPECT_EQ(layout.Frames(), 250);
  EXPECT_EQ(layout.dataEnd, 44 + 1000);
  EXPECT_EQ(layout.LengthMs(), 250);
  EXPECT_EQ(layout.ByteAtMs(layout.LengthMs()), layout.dataEnd);
}

TEST(PcmLayoutTest, LengthTruncatesAndHugeFilesStayIn32Bits) {
  EXPECT_EQ(Layout(FormatKind::kMono16, 44100, 2 * (44100 * 3 + 441)).LengthMs(), 3010);
  EXPECT_EQ(Layout(FormatKind::kMono8, 44100, 44099).LengthMs(), 999);
  EXPECT_EQ(Layout(FormatKind::kNone, 44100, 1000).LengthMs(), 0);
  // 2^40 bytes of 8-bit mono at 1 Hz: far beyond 2^31 ms.
  EXPECT_EQ(Layout(FormatKind::kMono8, 1, int64_t{1} << 40).LengthMs(), INT32_MAX);
  // The byte offset of a late position stays 64-bit.
  const PcmLayout big = Layout(FormatKind::kStereo16, 44100, int64_t{3} << 31);
  EXPECT_EQ(big.ByteAtMs(20'000'000), 44 + int64_t{882'000'000} * 4);
}

TEST(PcmLayoutTest, BytesToMicrosecondsCountsWholeFrames) {
  const PcmLayout layout = Layout(FormatKind::kStereo16, 44100, 44100 * 4);
  EXPECT_EQ(layout.BytesToMicroseconds(44100 * 4), 1'000'000);
  EXPECT_EQ(layout.BytesToMicroseconds(7), 22);  // one whole frame of 22.67 us
  EXPECT_EQ(layout.BytesToMicroseconds(-4), 0);
}

struct PlayedCase {
  int32_t startMs;
  int64_t playedUs;
  int32_t lengthMs;
  int32_t expected;
};

class PlayedPositionTest : public ::testing::TestWithParam<PlayedCase> {};

TEST_P(PlayedPositionTest, StartPlusPlayedClampedToLength) {
  const PlayedCase& c = GetParam();
  EXPECT_EQ(PlayedPositionMs(c.startMs, c.playedUs, c.lengthMs), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlayedPositionTest,
                         ::testing::Values(PlayedCase{0, 0, 1000, 0},
                                           PlayedCase{200, 300'999, 1000, 500},  // truncated
                                           PlayedCase{900, 500'000, 1000, 1000},
                                           PlayedCase{100, -5'000, 1000, 100},
                                           PlayedCase{INT32_MAX - 5, 9'000'000'000, INT32_MAX, INT32_MAX}));

}  // namespace
}  // namespace sonaveld
