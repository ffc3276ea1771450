// RF64 and BW64: read as libsndfile reads them; outputs RIFF up to the RIFF limit and RF64 past it.
#include <fcntl.h>
#include <unistd.h>

#include "output/ChannelSplit.h"
#include "output/MarkerCopy.h"
#include "output/OutputFixture.h"
#include "output/SelectedRanges.h"
#include "support/SndfileCheck.h"

namespace sonaveld::test {
namespace {

uint64_t U64At(const std::vector<uint8_t>& b, size_t at) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | b[at + static_cast<size_t>(i)];
  return v;
}

std::string Magic(const std::vector<uint8_t>& b) { return std::string(b.begin(), b.begin() + 4); }

// A 24-bit stereo source of 1000 counting frames with a cue chunk, in RF64 or BW64.
class WideFormTest : public OutputTest {
 protected:
  void MakeWideSource(const char* magic) {
    WavRecipe r;
    r.bits = 24;
    r.chunksBeforeData = CueChunk({{1, 50}, {2, 300}, {3, 900}});
    const std::vector<uint8_t> riff = BuildWav(r);
    MakeSource(MakeWide(riff, riff.size() - 6000, magic));
  }
  // The counting values of source frames [first, first + count), 0-based, as libsndfile gives them.
  static std::vector<double> Values(int64_t first, int64_t count) {
    std::vector<double> v;
    for (int64_t f = first; f < first + count; ++f) {
      for (int c = 0; c < 2; ++c) v.push_back(CountingSample(f, c, 24));
    }
    return v;
  }
};

TEST_F(WideFormTest, ProbeFindsTheFormatAfterDs64AndTheDataSizeInIt) {
  for (const char* magic : {"RF64", "BW64"}) {
    MakeWideSource(magic);
    EXPECT_EQ(file.Header.Container, std::string(magic) == "RF64" ? WaveContainer::kRf64 : WaveContainer::kBw64);
    EXPECT_EQ(file.Header.Kind, FormatKind::kStereo24);
    EXPECT_EQ(file.Header.SampleRate, 44100);
    EXPECT_EQ(file.Header.DataEnd, static_cast<int64_t>(sourceBytes.size()));
    EXPECT_EQ(file.Header.Frames(), 1000);
    if (std::string(magic) == "RF64") {
      EXPECT_EQ(ReadSamplesWithSndfile(file.WaveFileName), Values(0, 1000));
    }
  }
}

TEST_F(WideFormTest, CutOfAWideSourceIsRiffBelowTheLimitAndRf64AboveIt) {
  MakeWideSource("RF64");
  for (const int64_t limit : {int64_t{0xFFFFFFFF} + 8, int64_t{1000}}) {
    OutputOptions options;
    options.largestRiff = limit;
    const std::string out = dir.File(limit > 1000 ? "riff.wav" : "rf64.wav");
    ASSERT_TRUE(WriteCutEditedFile(file, {101, 601}, false, out, flags, host, options).status.ok());
    const std::vector<uint8_t> bytes = ReadFileBytes(out);
    EXPECT_EQ(ReadSamplesWithSndfile(out), Values(100, 500)) << out;
    EXPECT_EQ(CueOffsetsIn(bytes), std::vector<uint32_t>{200}) << out;  // the point at 300 moves to 200
    if (limit > 1000) {
      ASSERT_EQ(ReadWithSndfile(out).cues.size(), 1u);
      EXPECT_EQ(ReadWithSndfile(out).cues[0].sampleOffset, 200u);
      EXPECT_EQ(Magic(bytes), "RIFF");
      EXPECT_EQ(std::string(bytes.begin() + 12, bytes.begin() + 16), "fmt ");
      continue;
    }
    EXPECT_EQ(Magic(bytes), "RF64");
    EXPECT_EQ(U64At(bytes, 20), bytes.size() - 8);
    EXPECT_EQ(U64At(bytes, 28), 3000u);
    EXPECT_EQ(U64At(bytes, 36), 500u);
  }
}

TEST_F(WideFormTest, AStoppedRf64OutputIsAValidShorterFile) {
  MakeWideSource("BW64");
  OutputOptions options = FineOptions();
  options.largestRiff = 0;
  host.abortAtIdle = 3;
  ASSERT_TRUE(WriteCutEditedFile(file, {101}, false, dir.File("cut.wav"), flags, host, options).status.stopped());
  const std::vector<uint8_t> bytes = ReadFileBytes(dir.File("cut.wav"));
  ASSERT_EQ(Magic(bytes), "RF64");
  const uint64_t frames = U64At(bytes, 36);
  ASSERT_GT(frames, 0u);
  ASSERT_LT(frames, 900u);
  EXPECT_EQ(U64At(bytes, 28), frames * 6);
  EXPECT_EQ(ReadSamplesWithSndfile(dir.File("cut.wav")), Values(100, static_cast<int64_t>(frames)));
}

TEST_F(WideFormTest, ACopyWithMarkersOfAnRf64SourceKeepsItsFormAndItsSizesInDs64) {
  MakeWideSource("RF64");
  const std::string out = dir.File("marked.wav");
  ASSERT_TRUE(WriteMarkerCopy(file, {{11, "a"}}, out, flags, host, FineOptions()).status.ok());
  const std::vector<uint8_t> bytes = ReadFileBytes(out);
  ASSERT_EQ(Magic(bytes), "RF64");
  EXPECT_EQ(U64At(bytes, 20), bytes.size() - 8);
  EXPECT_EQ(U64At(bytes, 28), 6000u);
  EXPECT_EQ(ReadSamplesWithSndfile(out), Values(0, 1000));
}

// Files of 3 to 8 channels in RF64: 1000 counting frames of each shape.
struct WideShape {
  const char* name;
  int channels, bits;
  uint16_t tag;
  bool extensible;
  int64_t mask;
};
void PrintTo(const WideShape& s, std::ostream* os) { *os << s.name; }

class PolyWideFormTest : public OutputTest, public testing::WithParamInterface<WideShape> {
 protected:
  void SetUp() override {
    const WideShape& s = GetParam();
    WavRecipe r;
    r.channels = s.channels, r.bits = s.bits, r.formatTag = s.tag, r.extensible = s.extensible, r.channelMask = s.mask;
    const std::vector<uint8_t> riff = BuildWav(r);
    MakeSource(MakeWide(riff, riff.size() - static_cast<size_t>(1000 * s.channels * s.bits / 8)));
    source_ = ReadSamplesWithSndfile(file.WaveFileName);
    ASSERT_EQ(source_.size(), static_cast<size_t>(1000 * s.channels));
  }
  // Source frames [first, first + count) as libsndfile reads them from the source, all channels
  // or one.
  std::vector<double> Values(int64_t first, int64_t count, int channel = -1) const {
    const int n = GetParam().channels;
    std::vector<double> v;
    for (int64_t f = first; f < first + count; ++f) {
      for (int c = 0; c < n; ++c) {
        if (channel < 0 || c == channel) v.push_back(source_[static_cast<size_t>(f * n + c)]);
      }
    }
    return v;
  }
  std::vector<double> source_;
};

// Cut and split write RIFF below the lowered RIFF limit and RF64 above it; split-channels one mono
// file a channel; libsndfile reads each back as the source's frames.
TEST_P(PolyWideFormTest, CutSplitAndSplitChannelsReadBackByLibsndfile) {
  for (const int64_t limit : {int64_t{0xFFFFFFFF} + 8, int64_t{1000}}) {
    OutputOptions options = FineOptions();
    options.largestRiff = limit;
    const std::string form = limit > 1000 ? "RIFF" : "RF64";
    const std::string cut = dir.File(form + "cut.wav");
    ASSERT_TRUE(WriteCutEditedFile(file, {101, 601}, false, cut, flags, host, options).status.ok());
    EXPECT_EQ(Magic(ReadFileBytes(cut)), form);
    EXPECT_EQ(ReadSamplesWithSndfile(cut), Values(100, 500)) << cut;
    const std::string base = dir.File(form + "split.wav");
    ASSERT_TRUE(SplitSelectedRanges(file, {101, 601, 701, 951}, false, base, flags, host, options).status.ok());
    for (const int k : {1, 2}) {
      const std::string piece = NumberedOutputName(base, k);
      EXPECT_EQ(Magic(ReadFileBytes(piece)), form) << piece;
      EXPECT_EQ(ReadSamplesWithSndfile(piece), k == 1 ? Values(100, 500) : Values(700, 250)) << piece;
    }
  }
  ASSERT_TRUE(SplitChannels(file.WaveFileName, file.Header, dir.File("mono"), {}).status.ok());
  for (int c = 0; c < GetParam().channels; ++c) {
    const std::string mono = ChannelFileName(dir.File("mono"), c + 1);
    EXPECT_EQ(ReadWithSndfile(mono).channels, 1);
    EXPECT_EQ(ReadSamplesWithSndfile(mono), Values(0, 1000, c)) << mono;
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, PolyWideFormTest,
                         testing::Values(WideShape{"Pcm16SixMask51", 6, 16, 1, true, 0x3F},
                                         WideShape{"Pcm24ThreePlain", 3, 24, 1, false, -1},
                                         WideShape{"FloatEightMaskZero", 8, 32, 3, true, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// A header followed by a hole: a file of more than 4 GiB that takes no room where the file system
// makes sparse files. False when it cannot be made.
bool MakeSparse(const std::string& path, const std::vector<uint8_t>& header, int64_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  const bool ok = ::write(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size()) &&
                  ::ftruncate(fd, size) == 0;
  return ::close(fd) == 0 && ok;
}

TEST(LargeWideFile, FiveGiBFilesReadToTheirSizes) {
  TempDir dir;
  constexpr int64_t kSize = int64_t{5} << 30;
  WavRecipe r;
  r.frames = 0;
  const std::vector<uint8_t> riff = BuildWav(r);
  std::vector<uint8_t> wide = MakeWide(riff, 44);
  const uint64_t data = kSize - 80;
  for (int i = 0; i < 8; ++i) {
    wide[20 + i] = static_cast<uint8_t>((kSize - 8) >> (8 * i));
    wide[28 + i] = static_cast<uint8_t>(data >> (8 * i));
    wide[36 + i] = static_cast<uint8_t>(data / 4 >> (8 * i));
  }
  std::vector<uint8_t> wrapped = riff;  // a RIFF whose sizes wrapped at 32 bits
  PutU32(wrapped, 4, static_cast<uint32_t>(kSize - 8));
  PutU32(wrapped, 40, static_cast<uint32_t>(kSize - 44));
  if (!MakeSparse(dir.File("rf64.wav"), wide, kSize) || !MakeSparse(dir.File("riff.wav"), wrapped, kSize)) {
    GTEST_SKIP() << "no room for 5 GiB sparse files here";
  }
  for (const char* name : {"rf64.wav", "riff.wav"}) {
    auto source = FileSource::Open(dir.File(name));
    ASSERT_TRUE(source);
    const ProbeResult probe = ProbeWave(*source);
    ASSERT_TRUE(probe.status.ok()) << name;
    EXPECT_EQ(probe.header.DataEnd, kSize) << name;
    EXPECT_EQ(probe.header.Frames(), (kSize - probe.header.DataOffset) / 4) << name;
  }
  EXPECT_EQ(ReadWithSndfile(dir.File("rf64.wav")).frames, static_cast<int64_t>(data / 4));
}

}  // namespace
}  // namespace sonaveld::test
