// Joining files: the samples of all in order (as libsndfile reads each), the cue points moved.
#include "output/JoinWaves.h"

#include "output/OutputFixture.h"
#include "support/SndfileCheck.h"

namespace sonaveld::test {
namespace {

// A bext body whose TimeReference (bytes 338..345) is reference.
std::vector<uint8_t> Bext(uint32_t reference) {
  std::vector<uint8_t> body(602, 0);
  PutU32(body, 338, reference);
  return Chunk("bext", body);
}

class JoinWavesTest : public OutputTest {
 protected:
  // Three 24-bit stereo files of different lengths and samples; the first with a bext chunk.
  void SetUp() override {
    const int64_t frames[] = {700, 333, 501};
    for (int i = 0; i < 3; ++i) {
      WavRecipe r;
      r.bits = 24;
      r.frames = frames[i];
      r.sample = [i](int64_t f, int c) { return CountingSample(f * 3 + i, c, 24); };
      if (i == 0) r.chunksBeforeData = Join({Bext(48000), CueChunk({{7, 10}})});
      if (i == 1) r.chunksAfterData = CueChunk({{7, 0}, {9, 300}});
      const std::string path = dir.File("take" + std::to_string(i) + ".wav");
      WriteFileBytes(path, BuildWav(r));
      paths.push_back(path);
    }
  }

  std::vector<double> Concatenated() const {
    std::vector<double> all;
    for (const std::string& p : paths) {
      const std::vector<double> one = ReadSamplesWithSndfile(p);
      all.insert(all.end(), one.begin(), one.end());
    }
    return all;
  }

  std::vector<std::string> paths;
};

TEST_F(JoinWavesTest, JoinsTheSamplesInOrderWithTheFirstHeaderAndEveryCuePointMoved) {
  const auto sources = ProbeJoinSources(paths);
  ASSERT_TRUE(sources.ok()) << sources.status.message();
  for (const int64_t limit : {int64_t{0xFFFFFFFF} + 8, int64_t{0}}) {
    OutputOptions options = FineOptions();
    options.largestRiff = limit;
    const std::string out = dir.File(limit == 0 ? "rf64.wav" : "riff.wav");
    const OutputResult r = JoinWaves(sources.value, out, flags, host, options);
    ASSERT_TRUE(r.status.ok()) << r.status.message();
    EXPECT_EQ(r.written, std::vector<std::string>{out});
    const std::vector<uint8_t> bytes = ReadFileBytes(out);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), limit == 0 ? "RF64" : "RIFF");
    EXPECT_EQ(ReadSamplesWithSndfile(out), Concatenated()) << out;
    const SndfileInfo info = ReadWithSndfile(out);
    EXPECT_EQ(info.frames, 1534);
    EXPECT_EQ(info.timeReference, 48000u);
    EXPECT_EQ(CueOffsetsIn(bytes), (std::vector<uint32_t>{10, 700, 1000})) << out;
    const std::vector<SndfileInfo::Cue> cues{{1, 10, 10}, {2, 700, 700}, {3, 1000, 1000}};
    if (limit != 0) {
      EXPECT_EQ(info.cues, cues);  // libsndfile reads no cue points from RF64
    }
  }
}

TEST_F(JoinWavesTest, AFileOfAnotherFormatIsRefusedBeforeAnythingIsWritten) {
  WavRecipe other;
  other.bits = 24;
  other.rate = 48000;
  WriteFileBytes(dir.File("take1.wav"), BuildWav(other));
  const auto sources = ProbeJoinSources(paths);
  EXPECT_EQ(sources.status.message(), FormatMessage(MessageId::kJoinMismatch, paths[1]));
}

TEST_F(JoinWavesTest, AStoppedJoinLeavesNoFile) {
  const auto sources = ProbeJoinSources(paths);
  ASSERT_TRUE(sources.ok());
  host.abortAtIdle = 4;
  const OutputResult r = JoinWaves(sources.value, dir.File("joined.wav"), flags, host, FineOptions());
  EXPECT_TRUE(r.status.stopped());
  EXPECT_TRUE(r.written.empty());
  EXPECT_EQ(dir.Listing(), "take0.wav take1.wav take2.wav");
  EXPECT_FALSE(flags.Busy);
}

}  // namespace
}  // namespace sonaveld::test
