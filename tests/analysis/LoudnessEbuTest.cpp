// The EBU test signals of Tech 3341 (loudness, true peak) and Tech 3342 (loudness range),
// synthesized here, as one table: each row's signal, the figure it checks, and the tolerance the
// documents allow.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

#include "analysis/LoudnessMeter.h"
#include "support/WavBuilder.h"

namespace sonaveld {
namespace {

// Stretches of one sine on both channels (or the one channel).
struct Piece {
  double dbfs;     // amplitude of the sine, dB of full scale
  double seconds;
};
enum class Figure { kIntegrated, kShortTermMax, kMomentaryMax, kRange, kTruePeak };

struct EbuCase {
  std::string name;
  int rate;
  std::vector<Piece> pieces;
  Figure figure;
  double expected, below, above;  // passes within [expected - below, expected + above]
  double cyclesPerSample = 0.0;   // 0: a 1 kHz sine; else this fraction of the rate
  double phaseDegrees = 0.0;
  int channels = 2;
  bool dualMono = false;
};
void PrintTo(const EbuCase& c, std::ostream* os) { *os << c.name; }

double FigureOf(const LoudnessFigures& f, Figure which) {
  switch (which) {
    case Figure::kIntegrated: return f.integratedLufs;
    case Figure::kShortTermMax: return f.shortTermMaxLufs;
    case Figure::kMomentaryMax: return f.momentaryMaxLufs;
    case Figure::kRange: return f.lraLu;
    case Figure::kTruePeak: return f.truePeakDbtp;
  }
  return 0;
}

class EbuCases : public testing::TestWithParam<EbuCase> {};

TEST_P(EbuCases, MeasureWithinTolerance) {
  const EbuCase& c = GetParam();
  std::vector<double> amplitude;  // of every frame
  for (const Piece& p : c.pieces) {
    amplitude.insert(amplitude.end(), static_cast<size_t>(std::llround(p.seconds * c.rate)), std::pow(10.0, p.dbfs / 20));
  }
  const double step = 2 * std::numbers::pi * (c.cyclesPerSample > 0 ? c.cyclesPerSample : 1000.0 / c.rate);
  const double phase = c.phaseDegrees * std::numbers::pi / 180;
  test::WavRecipe recipe;
  recipe.channels = c.channels;
  recipe.bits = 32;
  recipe.formatTag = 3;
  recipe.rate = c.rate;
  recipe.frames = static_cast<int64_t>(amplitude.size());
  // The true-peak sines fade in over 10 ms: a sine switched on at once overshoots between its
  // first samples, as it would in the analog domain.
  const double fadeFrames = c.figure == Figure::kTruePeak ? c.rate / 100.0 : 0.0;
  recipe.floatSample = [&](int64_t f, int) {
    const double x = static_cast<double>(f);
    const double fade = x < fadeFrames ? std::pow(std::sin(std::numbers::pi / 2 * x / fadeFrames), 2) : 1.0;
    return static_cast<float>(fade * amplitude[static_cast<size_t>(f)] * std::sin(step * x + phase));
  };
  MemorySource source(test::BuildWav(recipe));
  const ProbeResult probe = ProbeWave(source);
  ASSERT_TRUE(probe.status.ok());
  LoudnessOptions options;
  options.dualMono = c.dualMono;
  const Result<LoudnessFigures> r = MeasureLoudness(source, probe.header, options);
  ASSERT_TRUE(r.ok());
  const double got = FigureOf(r.value, c.figure);
  EXPECT_GE(got, c.expected - c.below);
  EXPECT_LE(got, c.expected + c.above);
}

std::vector<EbuCase> Cases() {
  std::vector<EbuCase> all;
  for (int rate : {44100, 48000}) {
    const std::string at = "_" + std::to_string(rate);
    const auto loud = [&](std::string name, std::vector<Piece> pieces, Figure f, double expected, double tolerance) {
      all.push_back({name + at, rate, std::move(pieces), f, expected, tolerance, tolerance});
    };
    loud("I1", {{-23, 20}}, Figure::kIntegrated, -23, 0.1);
    loud("I2", {{-33, 20}}, Figure::kIntegrated, -33, 0.1);
    loud("I3", {{-36, 10}, {-23, 60}, {-36, 10}}, Figure::kIntegrated, -23, 0.1);
    loud("I4", {{-72, 10}, {-36, 10}, {-23, 60}, {-36, 10}, {-72, 10}}, Figure::kIntegrated, -23, 0.1);
    loud("I5", {{-26, 20}, {-20, 20.1}, {-26, 20}}, Figure::kIntegrated, -23, 0.1);
    // Five surround channels cannot be held here; the mono voice counted twice stands in for them.
    all.push_back({"I6DualMono" + at, rate, {{-23, 20}}, Figure::kIntegrated, -23, 0.1, 0.1, 0, 0, 1, true});
    std::vector<Piece> shortTerm, momentary;
    for (int i = 0; i < 5; ++i) shortTerm.insert(shortTerm.end(), {{-20, 1.34}, {-30, 1.66}});
    for (int i = 0; i < 25; ++i) momentary.insert(momentary.end(), {{-20, 0.18}, {-30, 0.22}});
    loud("S9", shortTerm, Figure::kShortTermMax, -23, 0.1);
    loud("M12", momentary, Figure::kMomentaryMax, -23, 0.1);
    loud("LRA1", {{-20, 20}, {-30, 20}}, Figure::kRange, 10, 1);
    loud("LRA2", {{-20, 20}, {-15, 20}}, Figure::kRange, 5, 1);
    loud("LRA3", {{-40, 20}, {-20, 20}}, Figure::kRange, 20, 1);
    loud("LRA4", {{-50, 20}, {-35, 20}, {-20, 20}, {-35, 20}, {-50, 20}}, Figure::kRange, 15, 1);
  }
  // True peak: sines near the rate whose samples miss the crest, at -6 dBTP (and +3 dBTP).
  struct Peak { const char* name; double cycles, phase, dbtp; };
  for (int rate : {44100, 48000, 96000, 192000}) {
    for (const Peak& p : {Peak{"TP15", 0.25, 0, -6}, Peak{"TP16", 0.25, 45, -6}, Peak{"TP17", 1.0 / 6, 60, -6},
                          Peak{"TP18", 0.125, 67.5, -6}, Peak{"TP19", 0.25, 45, 3}}) {
      all.push_back({std::string(p.name) + "_" + std::to_string(rate), rate, {{p.dbtp, 2}}, Figure::kTruePeak,
                     p.dbtp, 0.4, 0.2, p.cycles, p.phase});
    }
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(Tech3341And3342, EbuCases, testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace sonaveld
