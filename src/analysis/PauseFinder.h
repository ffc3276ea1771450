#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/IdleThrottle.h"
#include "base/Status.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"

namespace sonaveld {

// The settings of the pause finder, with their ranges and defaults.
constexpr double kPauseDbMin = -96.0;      // threshold, dBFS
constexpr double kPauseDbMax = 0.0;
constexpr double kPauseDbDefault = -50.0;
constexpr int32_t kPauseMsMin = 10;        // shortest pause, milliseconds
constexpr int32_t kPauseMsMax = 600000;
constexpr int32_t kPauseMsDefault = 1000;

struct PauseSettings {
  double belowDb = kPauseDbDefault;  // a window is quiet when its level is below this many dBFS
  int32_t minMs = kPauseMsDefault;   // a pause lasts at least this many milliseconds
};

// The hooks of a scan. Any of them may be empty.
struct PauseHooks {
  // Asked before each block is read; true ends the scan as stopped.
  std::function<bool()> stopTest;
  // After each block: bytes of the sample area scanned so far and in all.
  std::function<void(int64_t done, int64_t total)> progress;
  // Lets the caller process pending events; after a block, at most every idleInterval (the first
  // time one interval after the scan started).
  std::function<void()> idle;
  // Shortest time between two idle calls; 0: after every block (tests that must land between
  // two blocks).
  std::chrono::milliseconds idleInterval = IdleThrottle::kInterval;
};

struct PauseResult {
  Status status;               // Ok; Stopped when the stop test ended the scan; the read failure
  std::vector<int64_t> marks;  // the marks of the pauses, ascending frames (empty unless ok)
};

// Finds the pauses of the sample area [DataOffset, DataEnd) of a probed file. The area is read as
// windows of PauseWindowFrames frames from frame 1 (the last may be shorter; a trailing partial
// frame is ignored). A window's level is its largest absolute sample over all channels; it is
// quiet when the level is below full scale x 10^(dB / 20). A pause is a maximal run of quiet
// windows of at least PauseMinFrames frames holding neither the first nor the last window; its
// mark is its first frame + (its frames div 2), frames numbered from 1. The source is read in
// blocks of about 1 MiB into one buffer. path is only used in the read-error message. A header
// without a kind the finder can measure gives no marks.
PauseResult FindPauses(ByteSource& source, const WaveHeader& header, const PauseSettings& settings,
                       const PauseHooks& hooks = {}, const std::string& path = {});

// Frames of one window: max(1, rate div 100).
int64_t PauseWindowFrames(int32_t sampleRate);
// The shortest pause in frames: ceil(ms x rate / 1000), exact; at least 1.
int64_t PauseMinFrames(int32_t ms, int32_t sampleRate);

}  // namespace sonaveld
