#include "analysis/PauseFinder.h"

#include <algorithm>
#include <cmath>

#include "analysis/PauseRuns.h"
#include "analysis/SampleLevels.h"

namespace sonaveld {
namespace {

// Bytes asked of the source per read: large enough for the read calls not to count, small
// enough for the buffer to stay in the processor's cache while its samples are measured.
constexpr int64_t kReadBytes = int64_t{1} << 20;

// Cuts the frames handed to it into windows of a fixed length, keeping the level of the window
// in progress across blocks, and passes each finished window on to the pause runs.
class WindowCutter {
 public:
  WindowCutter(const LevelLayout& layout, int64_t windowFrames, double threshold, PauseRuns& runs)
      : layout_(layout), window_(windowFrames), threshold_(threshold), runs_(runs), left_(windowFrames) {}

  // Measures `frames` whole frames at data.
  void Feed(const uint8_t* data, int64_t frames) {
    const int64_t frameBytes = layout_.FrameBytes();
    while (frames > 0) {
      const int64_t take = std::min(left_, frames);
      level_ = std::max(level_, layout_.maxAbs(data, take * layout_.channels));
      data += take * frameBytes;
      frames -= take;
      left_ -= take;
      if (left_ == 0) Close(window_);
    }
  }
  // Closes the last, shorter window, if any.
  void Finish() {
    if (left_ < window_) Close(window_ - left_);
  }

 private:
  void Close(int64_t frames) {
    runs_.Add(frames, level_ < threshold_);
    level_ = 0.0;
    left_ = window_;
  }
  const LevelLayout& layout_;
  int64_t window_;
  double threshold_;
  PauseRuns& runs_;
  int64_t left_;        // frames still missing from the window in progress
  double level_ = 0.0;  // largest absolute sample of the window in progress so far
};

}  // namespace

int64_t PauseWindowFrames(int32_t sampleRate) { return std::max<int64_t>(1, sampleRate / 100); }

int64_t PauseMinFrames(int32_t ms, int32_t sampleRate) {
  return std::max<int64_t>(1, (int64_t{ms} * sampleRate + 999) / 1000);
}

PauseResult FindPauses(ByteSource& source, const WaveHeader& header, const PauseSettings& settings,
                       const PauseHooks& hooks, const std::string& path) {
  PauseResult result;
  const LevelLayout layout = LevelLayoutOf(header.Samples());
  if (layout.maxAbs == nullptr) return result;
  const int64_t frameBytes = layout.FrameBytes();
  const int64_t total = std::max<int64_t>(0, header.DataEnd - header.DataOffset) / frameBytes * frameBytes;
  const int64_t blockBytes = std::max(kReadBytes / frameBytes, int64_t{1}) * frameBytes;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min(blockBytes, total)));

  PauseRuns runs(PauseMinFrames(settings.minMs, header.SampleRate));
  const double threshold = layout.fullScale * std::pow(10.0, settings.belowDb / 20.0);
  WindowCutter windows(layout, PauseWindowFrames(header.SampleRate), threshold, runs);
  IdleThrottle idle(hooks.idleInterval);
  for (int64_t done = 0; done < total;) {
    if (hooks.stopTest && hooks.stopTest()) {
      result.status = Status::Stopped();
      return result;
    }
    const int64_t want = std::min(blockBytes, total - done);
    const int64_t got = source.ReadAt(header.DataOffset + done, buffer.data(), want);
    if (got < 0) {
      result.status = Status::Fail(MessageId::kCannotRead, path);
      return result;
    }
    windows.Feed(buffer.data(), got / frameBytes);
    done += got;
    if (hooks.progress) hooks.progress(done, total);
    if (got < want) break;  // the file ended early: what was read is the whole recording
    if (hooks.idle && idle.Due()) hooks.idle();
  }
  windows.Finish();
  result.marks = runs.Marks();
  return result;
}

}  // namespace sonaveld
