// The split into mono files: each output read by libsndfile holds the source's channel n as
// libsndfile reads it from the source, with the source's cue points and bext time.
#include <sndfile.h>

#include <filesystem>

#include "output/ChannelSplit.h"
#include "output/OutputFixture.h"
#include "support/SndfileCheck.h"

namespace sonaveld::test {
namespace {

using Bytes = std::vector<uint8_t>;

struct Shape {
  const char* name;
  int bits;
  uint16_t tag;
  int channels;
  bool extensible;
  int64_t mask;
  int64_t frames;  // odd for the 8/24-bit shapes: each mono output needs a pad byte
};

void PrintTo(const Shape& s, std::ostream* os) { *os << s.name; }

Bytes U32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

// A bext chunk whose time reference is 123456789, and cue points at frames 0, 250 and 999.
Bytes Bext() {
  Bytes body(602, ' ');
  for (int i = 0; i < 8; ++i) body[338 + i] = uint8_t(uint64_t{123456789} >> (8 * i));
  return Chunk("bext", body);
}
Bytes Cues() {
  Bytes body = U32(3);
  for (uint32_t id : {1u, 2u, 3u}) {
    const uint32_t frame = id == 1 ? 0 : id == 2 ? 250 : 999;
    body = Join({body, U32(id), U32(frame), Bytes{'d', 'a', 't', 'a'}, U32(0), U32(0), U32(frame)});
  }
  return Chunk("cue ", body);
}
const Bytes kAfter = Chunk("LIST", {'I', 'N', 'F', 'O', 'I', 'C', 'M', 'T', 3, 0, 0, 0, 'a', 'b', 0, 0});

class ChannelSplitTest : public OutputTest, public ::testing::WithParamInterface<Shape> {
 protected:
  void SetUp() override {
    const Shape& s = GetParam();
    WavRecipe r;
    r.bits = s.bits;
    r.formatTag = s.tag;
    r.channels = s.channels;
    r.extensible = s.extensible;
    r.channelMask = s.mask;
    r.frames = s.frames;
    r.chunksBeforeData = Join({Bext(), Cues()});
    r.chunksAfterData = kAfter;
    MakeSource(r);
  }
  ChannelSplitResult Split(const ChannelSplitHooks& hooks = {}) {
    return SplitChannels(file.WaveFileName, file.Header, dir.File("mono"), hooks);
  }
};

TEST_P(ChannelSplitTest, EachOutputIsOneChannelOfTheSourceWithItsCuesAndTime) {
  const Shape& s = GetParam();
  const ChannelSplitResult result = Split();
  ASSERT_TRUE(result.status.ok()) << result.status.message();
  ASSERT_EQ(result.written.size(), static_cast<size_t>(s.channels));
  const SndfileInfo source = ReadWithSndfile(file.WaveFileName);
  const std::vector<double> all = ReadSamplesWithSndfile(file.WaveFileName);
  ASSERT_EQ(source.frames, s.frames);
  for (int c = 0; c < s.channels; ++c) {
    const std::string path = dir.File("mono_" + std::to_string(c + 1) + ".wav");
    EXPECT_EQ(result.written[c], path);
    const SndfileInfo mono = ReadWithSndfile(path);
    ASSERT_TRUE(mono.opened) << path;
    EXPECT_EQ(mono.channels, 1);
    EXPECT_EQ(mono.rate, source.rate);
    EXPECT_EQ(mono.format & SF_FORMAT_SUBMASK, source.format & SF_FORMAT_SUBMASK);
    EXPECT_EQ(mono.cues, source.cues);
    EXPECT_EQ(mono.timeReference, std::optional<uint64_t>(123456789));
    std::vector<double> expected;
    for (int64_t f = 0; f < s.frames; ++f) expected.push_back(all[f * s.channels + c]);
    EXPECT_TRUE(ReadSamplesWithSndfile(path) == expected) << path;
    const Bytes bytes = ReadFileBytes(path);
    // The chunk after the samples follows them and their pad byte, unchanged.
    const int64_t w = s.frames * s.bits / 8;
    ASSERT_EQ(static_cast<int64_t>(bytes.size()), file.Header.DataOffset + w + (w & 1) + int64_t(kAfter.size()));
    EXPECT_TRUE(Bytes(bytes.end() - kAfter.size(), bytes.end()) == kAfter) << path;
    if (s.extensible) {
      // The speaker of channel c: the c-th set bit of the source's mask, none past its last.
      uint32_t expectedMask = 0;
      for (int bit = 0, seen = 0; bit < 32; ++bit) {
        if ((s.mask >> bit & 1) && seen++ == c) expectedMask = 1u << bit;
      }
      EXPECT_EQ(bytes[40] | bytes[41] << 8 | bytes[42] << 16 | uint32_t(bytes[43]) << 24, expectedMask);
    }
  }
}

TEST_P(ChannelSplitTest, AStopKeepsNoOutput) {
  ChannelSplitHooks hooks;
  hooks.stopTest = [] { return true; };
  EXPECT_TRUE(Split(hooks).status.stopped());
  EXPECT_EQ(dir.Listing(), "source.wav");
}

// The cut commands' free-space rule: short of the source's size, asked before anything is created;
// No writes nothing, Yes goes on, room for the whole source asks nothing.
TEST_P(ChannelSplitTest, LowSpaceIsAskedAboutFirst) {
  const auto size = static_cast<int64_t>(std::filesystem::file_size(file.WaveFileName));
  int64_t room = size - 1;
  std::vector<std::string> asked;
  bool answer = false;
  ChannelSplitHooks hooks;
  hooks.freeBytes = [&](const std::string& path) {
    EXPECT_EQ(path, ChannelFileName(dir.File("mono"), 1));
    return room;
  };
  hooks.confirmLowSpace = [&](const std::string& question) {
    asked.push_back(question);
    return answer;
  };
  EXPECT_TRUE(Split(hooks).status.silent());
  EXPECT_EQ(dir.Listing(), "source.wav");
  answer = true;
  EXPECT_TRUE(Split(hooks).status.ok());
  room = size;
  EXPECT_TRUE(Split(hooks).status.ok());
  EXPECT_EQ(asked, std::vector<std::string>(2, "保存しようとしているドライブの容量が不足している可能性があります。保存しますか？"));
}

INSTANTIATE_TEST_SUITE_P(Shapes, ChannelSplitTest,
                         ::testing::Values(Shape{"Pcm24ThreePlain", 24, 1, 3, false, -1, 1001},
                                           Shape{"Pcm8ThreePlain", 8, 1, 3, false, -1, 1001},
                                           Shape{"Pcm16SixMask51Side", 16, 1, 6, true, 0x60F, 1000},
                                           Shape{"Pcm32SixMaskOfFour", 32, 1, 6, true, 0x33, 1000},
                                           Shape{"FloatEightMaskZero", 32, 3, 8, true, 0, 1000},
                                           Shape{"Pcm16Stereo", 16, 1, 2, false, -1, 1000}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sonaveld::test
