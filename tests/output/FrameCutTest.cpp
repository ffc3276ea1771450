// Cuts of the 24/32-bit and float files and of the files of 3 to 8 channels: exact frames, the fact chunk's count, aborts on whole frames.
#include <sndfile.h>

#include "output/OutputFixture.h"
#include "support/SndfileCheck.h"

namespace sonaveld::test {
namespace {

struct Shape {
  const char* name;
  int bits;
  uint16_t tag;
  int channels;
  bool extensible;
  bool fact;
  bool listFirst;  // an odd-sized LIST chunk stands before the fact chunk
  int64_t mask = -1;  // an extensible file's channel mask (-1: the builder's)
};

void PrintTo(const Shape& s, std::ostream* os) { *os << s.name; }

constexpr int64_t kFrames = 1000;

// A source of kFrames counting frames and 2 bytes of a frame that is not whole, in the given shape.
class FrameCutTest : public OutputTest, public ::testing::WithParamInterface<Shape> {
 protected:
  void SetUp() override {
    const Shape& s = GetParam();
    WavRecipe r;
    r.bits = s.bits;
    r.formatTag = s.tag;
    r.channels = s.channels;
    r.extensible = s.extensible;
    r.channelMask = s.mask;
    r.frames = kFrames;
    r.fact = s.fact && !s.listFirst;
    if (s.listFirst) {
      r.chunksBeforeData = Join({Chunk("LIST", {'I', 'N', 'F', 'O', 'x'}), Chunk("fact", {0xE8, 3, 0, 0})});
    }
    std::vector<uint8_t> bytes = BuildWav(r);
    const auto dataOffset = bytes.size() - static_cast<size_t>(kFrames * s.channels * s.bits / 8);
    bytes.insert(bytes.end(), {0x5A, 0xA5});
    PutU32(bytes, 4, static_cast<uint32_t>(bytes.size() - 8));
    PutU32(bytes, dataOffset - 4, static_cast<uint32_t>(bytes.size() - dataOffset));
    MakeSource(bytes);
    factAt = s.fact ? 12 + 8 + (s.extensible ? 40 : 16) + (s.listFirst ? 14 : 0) + 8 : 0;
  }

  // path holds the source's header, with its sizes and fact count set, then the frames of the
  // (first, count) runs (frames counted from 1); libsndfile reads those sample values back.
  void ExpectFrames(const std::string& path, const std::vector<std::pair<int64_t, int64_t>>& runs) const {
    const Shape& s = GetParam();
    const int frameBytes = s.channels * s.bits / 8;
    const int64_t offset = file.Header.DataOffset;
    std::vector<uint8_t> expected = SourceBytes(0, offset);
    std::vector<double> values;
    int64_t frames = 0;
    for (const auto& [first, count] : runs) {
      if (count > 0) expected = Join({expected, SourceBytes(offset + (first - 1) * frameBytes, count * frameBytes)});
      for (int64_t f = first - 1; f < first - 1 + count; ++f) {
        for (int c = 0; c < s.channels; ++c) {
          // libsndfile reads an 8-bit sample as its byte less 128.
          values.push_back(s.tag == 3 ? static_cast<double>(CountingFloat(f, c))
                                      : CountingSample(f, c, s.bits) - (s.bits == 8 ? 128 : 0));
        }
      }
      frames += count;
    }
    PutU32(expected, 4, static_cast<uint32_t>(expected.size() - 8));
    PutU32(expected, offset - 4, static_cast<uint32_t>(frames * frameBytes));
    if (factAt != 0) PutU32(expected, factAt, static_cast<uint32_t>(frames));
    EXPECT_TRUE(ReadFileBytes(path) == expected) << path;
    const SndfileInfo info = ReadWithSndfile(path);
    EXPECT_EQ(info.frames, frames) << path;
    const int subtype = s.tag == 3     ? SF_FORMAT_FLOAT
                        : s.bits == 8  ? SF_FORMAT_PCM_U8
                        : s.bits == 16 ? SF_FORMAT_PCM_16
                        : s.bits == 24 ? SF_FORMAT_PCM_24
                                       : SF_FORMAT_PCM_32;
    EXPECT_EQ(info.format & SF_FORMAT_SUBMASK, subtype) << path;
    EXPECT_EQ(info.channels, s.channels) << path;
    EXPECT_TRUE(ReadSamplesWithSndfile(path) == values) << path;
  }

  size_t factAt = 0;  // offset of the fact chunk's count, 0 when there is none
};

TEST_P(FrameCutTest, CutAndSplitCopyExactlyTheFramesOfTheRanges) {
  // (101, 301) and (701, E): the range to the end takes every whole frame and leaves the 2 bytes.
  const OutputResult cut = WriteCutEditedFile(file, {101, 301, 701}, false, dir.File("cut.wav"), flags, host);
  ASSERT_TRUE(cut.status.ok()) << cut.status.message();
  ExpectFrames(dir.File("cut.wav"), {{101, 200}, {701, 300}});
  ASSERT_TRUE(SplitSelectedRanges(file, {101, 301, 701}, true, dir.File("s.wav"), flags, host).status.ok());
  ExpectFrames(dir.File("s01.wav"), {{1, 100}});
  ExpectFrames(dir.File("s02.wav"), {{301, 400}});
}

TEST_P(FrameCutTest, SplitAtMarksCutsAtEveryMarkEvenWhereAPieceIsEmpty) {
  const OutputResult r = SplitAtMarks(file, {1, 101, 5000}, dir.File("p.wav"), flags, host, FineOptions());
  ASSERT_TRUE(r.status.ok()) << r.status.message();
  EXPECT_EQ(dir.Listing(), "p00.wav p01.wav p02.wav p03.wav source.wav");
  ExpectFrames(dir.File("p00.wav"), {});
  ExpectFrames(dir.File("p01.wav"), {{1, 100}});
  ExpectFrames(dir.File("p02.wav"), {{101, 900}});
  ExpectFrames(dir.File("p03.wav"), {});  // the mark lies beyond the last frame
}

TEST_P(FrameCutTest, AbortedOutputHoldsWholeFrames) {
  host.abortAtIdle = 1;
  ASSERT_TRUE(WriteCutEditedFile(file, {101}, false, dir.File("cut.wav"), flags, host, FineOptions()).status.stopped());
  const auto bytes = ReadFileBytes(dir.File("cut.wav"));
  const uint32_t w = bytes[file.Header.DataOffset - 4] | bytes[file.Header.DataOffset - 3] << 8;
  const int frameBytes = GetParam().channels * GetParam().bits / 8;
  ASSERT_GT(w, 0u);
  ASSERT_EQ(w % frameBytes, 0u);
  ExpectFrames(dir.File("cut.wav"), {{101, w / frameBytes}});
}

INSTANTIATE_TEST_SUITE_P(Shapes, FrameCutTest,
                         ::testing::Values(Shape{"Pcm24StereoPlain", 24, 1, 2, false, false, false},
                                           Shape{"Pcm24MonoExtensibleFact", 24, 1, 1, true, true, false},
                                           Shape{"Pcm32StereoExtensibleFactAfterList", 32, 1, 2, true, true, true},
                                           Shape{"Pcm32MonoPlainFact", 32, 1, 1, false, true, false},
                                           Shape{"FloatStereoPlainFact", 32, 3, 2, false, true, false},
                                           Shape{"FloatMonoExtensible", 32, 3, 1, true, false, false},
                                           Shape{"Pcm24ThreeChannelsPlain", 24, 1, 3, false, false, false},
                                           Shape{"Pcm8ThreeChannelsPlain", 8, 1, 3, false, false, false},
                                           Shape{"Pcm16SixChannelsMask51", 16, 1, 6, true, true, false, 0x3F},
                                           Shape{"Pcm32SixChannelsPlainFact", 32, 1, 6, false, true, false},
                                           Shape{"FloatEightChannelsMaskZero", 32, 3, 8, true, false, false, 0},
                                           Shape{"Pcm16EightChannelsMaskZeroListFirst", 16, 1, 8, true, true, true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OutputTest, SixteenBitOutputsKeepTheFactChunkAsItWas) {
  WavRecipe recipe;
  recipe.frames = 10000;
  recipe.fact = true;
  MakeSource(recipe);
  ASSERT_TRUE(WriteCutEditedFile(file, {9001}, false, dir.File("cut.wav"), flags, host).status.ok());
  ExpectWav(dir.File("cut.wav"), SourceBytes(file.Header.DataOffset + 9000 * 4, 4000));
}

}  // namespace
}  // namespace sonaveld::test
