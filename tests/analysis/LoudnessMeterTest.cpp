// The meter's own promises: the same figures however the file is cut into stretches and threads
// and whether it is read in place or through reads; refusals, read errors and stops. (Silence is
// in the command line test.)
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/LoudnessMeter.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

// The bytes of a memory file, shown only through reads (as a file the system will not map), or
// failing every read.
class ReadOnlySource final : public ByteSource {
 public:
  ReadOnlySource(std::vector<uint8_t> bytes, bool fail) : inner_(std::move(bytes)), fail_(fail) {}
  int64_t Size() override { return inner_.Size(); }
  int64_t ReadAt(int64_t offset, void* buffer, int64_t n) override {
    return fail_ && offset > 100 ? -1 : inner_.ReadAt(offset, buffer, n);
  }

 private:
  MemorySource inner_;
  bool fail_;
};

// 70 s of 16-bit stereo at 48 kHz: tones whose level steps every 1.3 s, and loud clicks, so
// the filter state at any stretch boundary matters.
std::vector<uint8_t> Programme() {
  test::WavRecipe r;
  r.rate = 48000;
  r.frames = 70 * 48000;
  r.sample = [](int64_t f, int c) {
    const double t = f / 48000.0;
    const double level = std::pow(10.0, -(static_cast<int>(t / 1.3) % 7) * 6.0 / 20.0);
    const double tone = std::sin(2 * std::numbers::pi * (c ? 50.0 : 3000.0) * t);
    return f % 9973 == 0 ? 32767 : static_cast<int>(std::lround(20000 * level * tone));
  };
  return test::BuildWav(r);
}

LoudnessFigures Measure(ByteSource& source, int threads) {
  const ProbeResult probe = ProbeWave(source);
  LoudnessOptions options;
  options.threads = threads;
  const Result<LoudnessFigures> r = MeasureLoudness(source, probe.header, options);
  EXPECT_TRUE(r.ok()) << r.status.message();
  return r.value;
}

TEST(LoudnessMeter, SameFiguresWhateverTheStretchesAndReads) {
  MemorySource whole(Programme());
  ReadOnlySource reads(Programme(), false);
  const LoudnessFigures one = Measure(whole, 1), many = Measure(whole, 5), read = Measure(reads, 3);
  for (const LoudnessFigures* other : {&many, &read}) {
    EXPECT_NEAR(other->integratedLufs, one.integratedLufs, 1e-9);
    EXPECT_NEAR(other->lraLu, one.lraLu, 1e-9);
    EXPECT_NEAR(other->momentaryMaxLufs, one.momentaryMaxLufs, 1e-9);
    EXPECT_NEAR(other->shortTermMaxLufs, one.shortTermMaxLufs, 1e-9);
    EXPECT_EQ(other->samplePeakDbfs, one.samplePeakDbfs);
    EXPECT_EQ(other->truePeakDbtp, one.truePeakDbtp);
    EXPECT_EQ(other->gatingBlocks.size(), one.gatingBlocks.size());
  }
  EXPECT_EQ(one.samplePeakDbfs, 20 * std::log10(32767 / 32768.0));
}

TEST(LoudnessMeter, RefusalsReadErrorsAndStops) {
  const std::vector<uint8_t> bytes = Programme();
  ReadOnlySource failing(bytes, true);
  ProbeResult probe = ProbeWave(failing);
  Result<LoudnessFigures> r = MeasureLoudness(failing, probe.header, {}, {}, "a.wav");
  EXPECT_EQ(r.status.message(), "ファイル a.wav を読み込めません。");

  MemorySource source(bytes);
  probe = ProbeWave(source);
  LoudnessHooks hooks;
  int64_t asked = 0, lastDone = 0, lastTotal = -1;
  hooks.stopTest = [&] { return ++asked == 1; };
  hooks.progress = [&](int64_t done, int64_t total) { lastDone = done, lastTotal = total; };
  hooks.idleInterval = std::chrono::milliseconds(0);
  r = MeasureLoudness(source, probe.header, {}, hooks);
  EXPECT_TRUE(r.status.stopped());
  hooks.stopTest = nullptr;
  r = MeasureLoudness(source, probe.header, {}, hooks);
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(lastTotal, probe.header.DataEnd - probe.header.DataOffset);
  EXPECT_EQ(lastDone, lastTotal);

  WaveHeader slow = probe.header;
  slow.SampleRate = kLoudnessMinRate - 1;
  EXPECT_EQ(MeasureLoudness(source, slow, {}, {}, "b.wav").status.message(),
            "ファイル b.wav はサンプリング周波数が 4000 Hz 未満なので、ラウドネスを測定できません。");
}

}  // namespace
}  // namespace sonaveld
