#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "normalizer/LevelRuns.h"
#include "normalizer/NormalizePass.h"
#include "normalizer/NormalizerHost.h"
#include "GainReference.h"
#include "support/WavBuilder.h"

namespace sonaveld::test {

// A WAV description with the fields the normalizer tests vary.
WavRecipe Recipe(int channels, int bits, int64_t frames, std::function<int(int64_t, int)> sample = {},
             std::vector<uint8_t> chunksBeforeData = {}, std::vector<uint8_t> chunksAfterData = {});

// A signed sample at p of an integer kind of bits: 8-bit bytes centred on 128, the others
// little-endian two's complement.
int64_t IntegerAt(const uint8_t* p, int bits);

// Pass settings: "File名変更" unticked (the names are swapped); average mode at 100 %.
NormalizeSettings ReplaceNames();
NormalizeSettings AverageMode();

// A literal, block-at-a-time model of the two runs (one read of 2000 samples per block, of the
// whole frames in them for 3 to 8 channels; each sample scaled with ReferenceScale or
// ReferenceScaleFloat, linked: all channels by the largest chosen level), to hold the buffered
// runs against; the samples each channel's gain clamps are counted.
struct ReferenceLevel {
  int64_t peak = 0, total = 0, average = 0;  // integer kinds
  float floatPeak = 0;                       // float kinds
  ReferenceExtended floatTotal{}, floatAverage{};
};
struct ReferenceResult {
  struct {
    ReferenceLevel channel[8];
  } levels;
  std::vector<uint8_t> samples;  // the scaled sample area
  int64_t clipped[8] = {};
};
ReferenceResult ReferenceRuns(const std::vector<uint8_t>& file, const SampleArea& area, NormalizeMode mode,
                              int percent, bool linked = false);

// True when the engine's extended value equals the reference's (they may be different types).
bool SameValue(const Extended& engine, const ReferenceExtended& reference);
// True when the engine's level equals the reference's, field by field.
bool SameLevel(const ChannelLevel& engine, const ReferenceLevel& reference);

// A host that records what the pass does to the window, and answers the question as told.
class RecordingHost final : public NormalizerHost {
 public:
  bool Confirm(const std::string& question) override {
    questions.push_back(question);
    return answerYes;
  }
  void SetSettingsEnabled(bool enabled) override {
    settingsEnabled = enabled;
    settingsChanges.push_back(enabled);
  }
  void SetBarMaximum(NormalizeBar bar, int64_t maximum) override { Bar(bar).maximum = maximum; }
  void SetBarPosition(NormalizeBar bar, int64_t position) override {
    Bar(bar).position = position;
    Bar(bar).positions.push_back(position);
    if (onBlock && bar == NormalizeBar::kFile) onBlock(true, position);
  }
  void MeasureProgress(int64_t k, int64_t) override {
    if (onBlock) onBlock(false, k);
  }
  void SelectEntry(int index) override { selections.push_back(index); }
  void ProcessEvents() override {
    ++eventRounds;
    if (onEvents) onEvents();
  }
  void OutputWritten(const std::string& path) override { written.push_back(path); }
  void EntryFinished(const EntryFigures& entry) override { figures.push_back(entry); }

  struct BarState {
    int64_t maximum = 100;
    int64_t position = 0;
    std::vector<int64_t> positions;
  };
  BarState& Bar(NormalizeBar bar) { return bar == NormalizeBar::kWhole ? whole : file; }

  bool answerYes = false;
  std::function<void()> onEvents;
  std::function<void(bool scaling, int64_t block)> onBlock;  // per block of either run
  std::vector<std::string> questions;
  std::vector<bool> settingsChanges;
  bool settingsEnabled = true;
  BarState whole, file;
  std::vector<int> selections;
  std::vector<std::string> written;
  std::vector<EntryFigures> figures;
  int eventRounds = 0;
};

}  // namespace sonaveld::test
