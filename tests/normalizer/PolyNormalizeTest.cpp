// Files of 3 to 8 channels in the peak and average modes, each channel alone and linked, held
// against a model of the two runs written from their rules (blocks of the whole frames in 2000
// samples, each channel's full-block means) and the independent gain in GainReference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "NormalizeTestSupport.h"
#include "normalizer/NormalizeReport.h"
#include "support/TempDir.h"

namespace sonaveld {
namespace {

using test::ReferenceExtended;

struct PolyCase {
  int channels, bits;
  bool isFloat;
};
void PrintTo(const PolyCase& c, std::ostream* os) { *os << c.channels << "ch" << c.bits << (c.isFloat ? "f" : ""); }

// One channel's chosen level by the rules: the largest |sample|, or the sum of the full blocks'
// means (integer: truncated) divided by S div B + 1 (8/16 bits: kept to 32 bits, 8 bits halved).
struct ModelLevel {
  int64_t peak = 0, total = 0;
  double floatPeak = 0;
  ReferenceExtended floatTotal{};
};

struct Model {
  std::vector<ModelLevel> channel;
  int64_t blocks = 0;
};

double SampleAt(const uint8_t* p, const PolyCase& c) {
  if (!c.isFloat) return static_cast<double>(test::IntegerAt(p, c.bits));
  float x;
  std::memcpy(&x, p, 4);
  return x;
}

Model MeasureModel(const std::vector<uint8_t>& file, size_t data, const PolyCase& c) {
  const int bytes = c.bits / 8;
  const int64_t blockBytes = 2000 / c.channels * c.channels * bytes;
  Model m;
  m.channel.resize(static_cast<size_t>(c.channels));
  m.blocks = static_cast<int64_t>(file.size()) / blockBytes + 1;
  for (int64_t k = 0; k < m.blocks; ++k) {
    const int64_t start = static_cast<int64_t>(data) + k * blockBytes;
    const int64_t n = std::clamp<int64_t>(static_cast<int64_t>(file.size()) - start, 0, blockBytes);
    for (int ch = 0; ch < c.channels; ++ch) {
      ModelLevel& level = m.channel[static_cast<size_t>(ch)];
      int64_t sum = 0, count = 0;
      ReferenceExtended floatSum{};
      for (int64_t at = start + ch * bytes; at + bytes <= start + n; at += c.channels * bytes, ++count) {
        const double a = std::fabs(SampleAt(&file[static_cast<size_t>(at)], c));
        level.peak = std::max(level.peak, static_cast<int64_t>(a));
        level.floatPeak = std::max(level.floatPeak, a);
        sum += static_cast<int64_t>(a);
        floatSum = floatSum + ReferenceExtended(a);
      }
      if (n != blockBytes || count == 0) continue;
      level.total += sum / count;
      level.floatTotal = level.floatTotal + floatSum / ReferenceExtended(static_cast<double>(count));
    }
    if (n != blockBytes) break;
  }
  return m;
}

// A channel's chosen level: integer kinds the whole number, float the extended value.
struct Chosen {
  int64_t integer = 0;
  ReferenceExtended value{};
  bool operator<(const Chosen& o) const { return integer < o.integer || value < o.value; }
  bool zero() const { return integer == 0 && value == ReferenceExtended(0); }
};

Chosen ChosenOf(const Model& m, size_t ch, const PolyCase& c, bool average) {
  const ModelLevel& l = m.channel[ch];
  if (c.isFloat) {
    return {0, average ? l.floatTotal / ReferenceExtended(static_cast<double>(m.blocks)) : ReferenceExtended(l.floatPeak)};
  }
  if (!average) return {l.peak, {}};
  int64_t a = l.total / m.blocks;
  if (c.bits <= 16) a = static_cast<int32_t>(a);
  return {c.bits == 8 ? a / 2 : a, {}};
}

// A channel with a quiet body and rare spikes (which the average mode's gain clips), each channel
// at its own level; the third is silent and kept as it is.
std::vector<uint8_t> PolyFile(const PolyCase& c, int64_t frames) {
  auto value = [c](int64_t f, int ch) {
    if (ch == 2) return 0.0;
    const double level = 0.9 / (1 + ch);
    const double body = std::sin(0.013 * static_cast<double>(f) * (ch + 1)) * level / 10;
    return f % 211 == 7 ? (f % 2 ? level : -level) : body;
  };
  test::WavRecipe recipe = test::Recipe(c.channels, c.bits, frames);
  const double full = std::ldexp(1.0, c.bits - 1);
  recipe.sample = [=](int64_t f, int ch) {
    const auto v = static_cast<int>(std::lround(value(f, ch) * (full - 1)));
    return c.bits == 8 ? v + 128 : v;
  };
  if (c.isFloat) {
    recipe.formatTag = 3;
    recipe.floatSample = [=](int64_t f, int ch) { return static_cast<float>(value(f, ch)); };
  }
  return test::BuildWav(recipe);
}

class PolyNormalize : public testing::TestWithParam<PolyCase> {};

TEST_P(PolyNormalize, EveryChannelByItsOwnOrTheLinkedGain) {
  const PolyCase c = GetParam();
  const std::vector<uint8_t> source = PolyFile(c, 4321);
  const size_t data = 44;
  const Model model = MeasureModel(source, data, c);
  const int bytes = c.bits / 8;
  const float f = test::ReferenceFactor(100);
  for (const bool average : {false, true}) {
    for (const bool linked : {false, true}) {
      SCOPED_TRACE(std::string(average ? "average" : "peak") + (linked ? " linked" : ""));
      std::vector<Chosen> levels;
      for (size_t ch = 0; ch < static_cast<size_t>(c.channels); ++ch) levels.push_back(ChosenOf(model, ch, c, average));
      const Chosen top = *std::max_element(levels.begin(), levels.end());
      test::TempDir dir;
      test::WriteFileBytes(dir.File("take.wav"), source);
      test::RecordingHost host;
      NormalizePass pass(host);
      NormalizeSettings settings;
      settings.mode = average ? NormalizeMode::kAverage : NormalizeMode::kPeak;
      settings.linked = linked;
      ASSERT_TRUE(pass.Run({dir.File("take.wav")}, settings).status.ok());
      const std::vector<uint8_t> out = test::ReadFileBytes(dir.File("take-n.wav"));
      ASSERT_EQ(out.size(), source.size());
      ASSERT_TRUE(std::equal(source.begin(), source.begin() + static_cast<long>(data), out.begin()));
      std::vector<int64_t> clipped(static_cast<size_t>(c.channels), 0);
      for (size_t at = data, i = 0; at < source.size(); at += static_cast<size_t>(bytes), ++i) {
        const size_t ch = i % static_cast<size_t>(c.channels);
        const Chosen level = linked ? top : levels[ch];
        if (c.isFloat) {
          float x, y;
          std::memcpy(&x, &source[at], 4);
          std::memcpy(&y, &out[at], 4);
          ASSERT_EQ(y, test::ReferenceScaleFloat(average, f, level.value, x)) << "sample " << i;
          clipped[ch] += test::ReferenceClipsFloat(average, f, level.value, x);
          continue;
        }
        const int64_t s = test::IntegerAt(&source[at], c.bits);
        ASSERT_EQ(test::IntegerAt(&out[at], c.bits), test::ReferenceScale(c.bits, average, f, level.integer, s))
            << "sample " << i;
        clipped[ch] += test::ReferenceClips(c.bits, average, f, level.integer, s);
      }
      ASSERT_EQ(host.figures.size(), 1u);
      const EntryFigures& figures = host.figures[0];
      EXPECT_EQ(figures.channels, c.channels);
      for (int ch = 0; ch < c.channels; ++ch) {
        EXPECT_EQ(figures.clipped[ch], clipped[static_cast<size_t>(ch)]) << "channel " << ch;
        EXPECT_EQ(figures.gainDb[ch] == 0.0, (linked ? top : levels[static_cast<size_t>(ch)]).zero());
      }
      EXPECT_GT(clipped[0], average ? 0 : -1);
      // The report holds every channel: left and right, then the third channel on.
      ReportRow row;
      FillLevels(row, figures);
      EXPECT_EQ(row.clippedMore.size(), static_cast<size_t>(c.channels - 2));
      const std::string header = CsvHeader(true, ReportChannels({row}));
      EXPECT_NE(header.find("clipped_right,level_ch3_dbfs,gain_ch3_db,clipped_ch3"), std::string::npos);
      EXPECT_TRUE(header.ends_with(",clipped_ch" + std::to_string(c.channels))) << header;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, PolyNormalize,
                         testing::Values(PolyCase{3, 8, false}, PolyCase{3, 16, false}, PolyCase{6, 16, false},
                                         PolyCase{6, 24, false}, PolyCase{8, 32, false}, PolyCase{8, 32, true},
                                         PolyCase{3, 32, true}),
                         [](const auto& info) {
                           const PolyCase& c = info.param;
                           return std::to_string(c.channels) + "ch" + std::to_string(c.bits) + (c.isFloat ? "f" : "");
                         });

}  // namespace
}  // namespace sonaveld
