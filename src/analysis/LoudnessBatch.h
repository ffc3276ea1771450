#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "normalizer/LoudnessGain.h"
#include "normalizer/NormalizePass.h"
#include "normalizer/NormalizeReport.h"

namespace sonaveld {

// The settings of a loudness pass over a list of files.
struct LoudnessBatchSettings {
  NormalizeSettings settings;  // names, --replace, --skip-existing, output folder, dither (mode not used)
  LoudnessTarget target;
  bool album = false;        // one gain for the whole list
  bool dualMono = false;     // a mono channel counted twice
  bool measureOnly = false;  // measure and plan the gain, write nothing
  int jobs = 0;              // files at once; 0: one per processor
  // How the outputs are opened (shared by the jobs; must be thread-safe); empty: plain files.
  SinkOpener opener;
};

// What the pass did with one file: its report row, the messages to show (in order) and the path
// written ("" when none). bad: refused, failed or stopped.
struct LoudnessFileOutcome {
  ReportRow row;
  std::vector<std::string> messages;
  std::string written;
  bool bad = false;
};

// The pass's callbacks. stopTest may be called from any worker thread (it must be thread-safe);
// once it returns true every job stops at its next block and no partial output is left. progress
// and fileDone run on the calling thread: progress(done, total) in bytes of work about every
// 100 ms (total: four shares of each file's size: measuring, reading, writing, measuring again);
// fileProgress(i, share) with it: the first file in list order not yet done and its share done, 0..1.
// fileDone(i, outcome) for each file in list order as soon as it and those before it are done.
struct LoudnessBatchHooks {
  std::function<bool()> stopTest;
  std::function<void(int64_t done, int64_t total)> progress;
  std::function<void(size_t index, double share)> fileProgress;
  std::function<void(size_t index, const LoudnessFileOutcome& outcome)> fileDone;
};

// Loudness normalization of files: each is measured, given one plain gain to the target under the
// true-peak ceiling (with album: one gain for all, from all files' blocks together and the loudest
// true peak), written as the peak and average modes write, and its output measured again. Files
// run on up to settings.jobs threads. Returns the outcomes in list order. Never throws.
std::vector<LoudnessFileOutcome> RunLoudnessBatch(const std::vector<std::string>& files,
                                                  const LoudnessBatchSettings& settings,
                                                  const LoudnessBatchHooks& hooks);

}  // namespace sonaveld
