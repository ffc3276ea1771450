// The pause finder on recordings generated here, whose pauses are worked out by hand from the rule.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/PauseFinder.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

struct Stretch { int64_t frames; double level; };  // level: the stretch's largest absolute sample

struct Recording {
  const char* name;
  int channels, bits, rate;
  double db;
  int ms;
  std::vector<Stretch> stretches;
  std::vector<uint8_t> tail;  // bytes after the last whole frame, inside the data chunk
  std::vector<int64_t> marks;
  bool isFloat = false;  // 32-bit float samples (bits 32)
};
void PrintTo(const Recording& r, std::ostream* os) { *os << r.name; }

// Samples alternate +level (at most the largest positive value) and -level. Stretches 0 and 1
// sound in the first channel, 2 and 3 in the second, and so on; the other channel is silent.
std::vector<uint8_t> Build(const Recording& r) {
  std::vector<std::pair<double, int>> frames;  // each frame's level and the channel it sounds in
  for (size_t s = 0; s < r.stretches.size(); ++s) {
    frames.insert(frames.end(), r.stretches[s].frames, {r.stretches[s].level, static_cast<int>(s / 2) % r.channels});
  }
  test::WavRecipe recipe;
  std::tie(recipe.channels, recipe.bits, recipe.rate) = std::tuple(r.channels, r.bits, r.rate);
  recipe.frames = static_cast<int64_t>(frames.size());
  recipe.formatTag = r.isFloat ? 3 : 1;
  const double top = std::ldexp(1.0, r.bits - 1) - 1, zero = r.bits == 8 ? 128 : 0;
  recipe.sample = [&](int64_t f, int c) {
    const auto [level, channel] = frames[static_cast<size_t>(f)];
    return static_cast<int>(c != channel ? zero : zero + (f % 2 ? -level : std::min(level, top)));
  };
  recipe.floatSample = [&](int64_t f, int c) {
    const auto [level, channel] = frames[static_cast<size_t>(f)];
    return static_cast<float>(c != channel ? 0 : f % 2 ? -level : level);
  };
  std::vector<uint8_t> file = test::BuildWav(recipe);
  file.insert(file.end(), r.tail.begin(), r.tail.end());
  test::PutU32(file, 40, static_cast<uint32_t>(file.size() - 44));
  return file;
}

PauseResult Scan(ByteSource& source, double db, int32_t ms, const PauseHooks& hooks = {}) {
  const ProbeResult probe = ProbeWave(source, "take.wav");
  EXPECT_TRUE(probe.status.ok()) << probe.status.message();
  return FindPauses(source, probe.header, {db, ms}, hooks, "take.wav");
}

class PauseRule : public testing::TestWithParam<Recording> {};

TEST_P(PauseRule, MarksTheMiddleOfEveryPause) {
  MemorySource source(Build(GetParam()));
  const PauseResult result = Scan(source, GetParam().db, GetParam().ms);
  EXPECT_TRUE(result.status.ok());
  EXPECT_EQ(result.marks, GetParam().marks);
}

// Rate 1000 gives windows of 10 frames and 1 frame a millisecond. -20 dBFS is 3276.8 (16-bit) and
// 12.8 (8-bit); 0 dBFS is full scale itself, which is not quiet. At 22050 Hz windows are 220
// frames and 10 ms are 220.5 frames, so one window is too short; at 11025 Hz 110 and 220.5.
// The last row has a click in the last frame of the first 1 MiB read, inside window 594.
// Full scale is 8388608 (24-bit), 2147483648 (32-bit) and 1 (float); a float window holding a NaN
// or an infinity is loud: it splits the silence around it into two pauses.
INSTANTIATE_TEST_SUITE_P(
    Recordings, PauseRule,
    testing::ValuesIn(std::vector<Recording>{
        {"JustAboveAndBelowMinus20dB", 2, 16, 1000, -20, 100, {{50, 3277}, {100, 3276}, {50, 3277}}, {}, {101}},
        {"FullScaleIsSound", 2, 16, 1000, 0, 100, {{50, 32768}, {100, 32767}, {50, 32768}}, {}, {101}},
        {"EightBitFullScaleIsSound", 2, 8, 1000, 0, 100, {{50, 128}, {100, 127}, {50, 128}}, {}, {101}},
        {"EightBitMonoMinus20dB", 1, 8, 1000, -20, 100, {{50, 13}, {100, 12}, {50, 13}}, {}, {101}},
        {"OneFrameShort", 2, 16, 1000, -50, 101, {{50, 900}, {100, 0}, {50, 900}}, {}, {}},
        {"ExactlyTheMinimum", 2, 16, 1000, -50, 100, {{50, 900}, {100, 0}, {50, 900}}, {}, {101}},
        {"LeadingAndTrailingSilence", 1, 16, 1000, -50, 100,
         {{200, 0}, {50, 900}, {150, 0}, {50, 900}, {200, 0}}, {}, {326}},
        {"Rate22050", 2, 16, 22050, -50, 10, {{440, 900}, {220, 0}, {440, 900}, {440, 0}, {440, 900}}, {}, {1321}},
        {"Rate11025Mono", 1, 16, 11025, -50, 20, {{110, 900}, {220, 0}, {110, 900}, {330, 0}, {110, 900}}, {}, {606}},
        {"Rate50HasOneFrameWindows", 2, 8, 50, -50, 100, {{3, 90}, {5, 0}, {2, 90}, {4, 0}, {1, 90}}, {}, {6}},
        {"ShortLastWindow", 2, 16, 1000, -50, 100, {{50, 900}, {150, 0}, {5, 900}}, {}, {126}},
        {"TrailingPartialFrame", 2, 16, 1000, -50, 100, {{50, 900}, {150, 0}}, {0x00, 0x80, 0x00}, {}},
        {"WindowAcrossTwoReads", 2, 16, 44100, -50, 1000,
         {{44100, 900}, {218043, 0}, {1, 900}, {46556, 0}, {44100, 900}}, {}, {153028, 285548}},
        {"Bits24FullScaleIsSound", 2, 24, 1000, 0, 100, {{50, 8388608}, {100, 8388607}, {50, 8388608}}, {}, {101}},
        {"Bits24MonoMinus20dB", 1, 24, 1000, -20, 100, {{50, 838861}, {100, 838860}, {50, 838861}}, {}, {101}},
        {"Bits32FullScaleIsSound", 2, 32, 1000, 0, 100, {{50, 2147483648.0}, {100, 2147483647}, {50, 2147483648.0}}, {}, {101}},
        {"Bits32MonoMinus20dB", 1, 32, 1000, -20, 100, {{50, 214748365}, {100, 214748364}, {50, 214748365}}, {}, {101}},
        {"FloatFullScaleIsSound", 2, 32, 1000, 0, 100, {{50, 1}, {100, 0.99999994}, {50, 1}}, {}, {101}, true},
        {"FloatMonoMinus20dB", 1, 32, 1000, -20, 100, {{50, 0.1}, {100, 0.099999994}, {50, 0.1}}, {}, {101}, true},
        {"FloatNaNIsLoud", 2, 32, 1000, -50, 40, {{50, .5}, {45, 0}, {1, NAN}, {54, 0}, {50, .5}}, {}, {71, 126}, true},
        {"FloatInfinityIsLoud", 1, 32, 1000, -50, 40, {{50, .5}, {45, 0}, {1, HUGE_VAL}, {54, 0}, {50, .5}}, {}, {71, 126}, true},
        // Polyphonic files: a window is as loud as its loudest channel, the last ones included.
        {"ThreeChannels24SoundInTheThird", 3, 24, 1000, -50, 100,
         {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {50, 30000}, {100, 0}, {50, 30000}}, {}, {101}},
        {"SixChannels16SoundInTheFifthAndSixth", 6, 16, 1000, -50, 100,
         {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {50, 900}, {100, 0}, {50, 900}}, {}, {101}},
        {"EightChannelsFloatSoundInTheEighth", 8, 32, 1000, -50, 100,
         {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0},
          {50, .5}, {100, 0}, {50, .5}}, {}, {101}, true}}),
    [](const auto& info) { return std::string(info.param.name); });

// Fails every read that reaches byte failAt.
class FailingSource final : public ByteSource {
 public:
  FailingSource(std::vector<uint8_t> bytes, int64_t failAt) : inner_(std::move(bytes)), failAt_(failAt) {}
  int64_t Size() override { return inner_.Size(); }
  int64_t ReadAt(int64_t at, void* to, int64_t n) override {
    return at + n > failAt_ ? -1 : inner_.ReadAt(at, to, n);
  }

 private:
  MemorySource inner_;
  int64_t failAt_;
};

TEST(PauseScan, ReportsProgressAndEndsOnStopOrReadError) {
  const auto file = Build({"", 2, 16, 44100, -50, 0, {{300000, 900}, {100000, 0}, {300000, 900}}, {}, {}});
  MemorySource whole(file);
  std::vector<int64_t> done;
  PauseHooks hooks;
  hooks.progress = [&](int64_t d, int64_t total) {
    EXPECT_EQ(total, 2800000);
    done.push_back(d);
  };
  EXPECT_EQ(Scan(whole, -50, 1000, hooks).marks, std::vector<int64_t>{350155});
  EXPECT_EQ(done, (std::vector<int64_t>{1 << 20, 2 << 20, 2800000}));
  int asked = 0;
  hooks.stopTest = [&] { return ++asked == 2; };
  const PauseResult stopped = Scan(whole, -50, 1000, hooks);
  EXPECT_TRUE(stopped.status.stopped() && stopped.marks.empty());
  FailingSource failing(file, 2 << 20);
  const PauseResult failed = Scan(failing, -50, 1000);
  EXPECT_EQ(failed.status.message(), "ファイル take.wav を読み込めません。");
  EXPECT_TRUE(failed.marks.empty());
}

}  // namespace
}  // namespace sonaveld
