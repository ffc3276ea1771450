#include "playback/ClockDevice.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "document/Document.h"
#include "document/WaveProbe.h"
#include "io/ByteSource.h"

namespace sonaveld {
namespace {

int64_t SteadyMilliseconds() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ClockDevice::ClockDevice() : ClockDevice(SteadyMilliseconds) {}

ClockDevice::ClockDevice(Clock clock) : clock_(std::move(clock)) {}

Status ClockDevice::Open() {
  Close();
  auto file = FileSource::Open(FileName());
  if (!file) return Status::Fail(MessageId::kCannotOpen, FileName());
  const ProbeResult probe = ProbeWave(*file, FileName());
  if (probe.status.failed()) return probe.status;
  const int64_t ms = FrameToMilliseconds(probe.header.Frames(), probe.header.SampleRate);
  length_ = static_cast<int32_t>(std::min<int64_t>(ms, std::numeric_limits<int32_t>::max()));
  position_ = 0;
  open_ = true;
  mode_ = PlaybackMode::kStopped;
  return Status::Ok();
}

void ClockDevice::Close() {
  open_ = false;
  mode_ = PlaybackMode::kNotReady;
  position_ = 0;
  length_ = 0;
}

void ClockDevice::Play() {
  if (!open_) return;
  Advance();
  if (position_ >= length_) position_ = 0;
  startedAt_ = clock_();
  mode_ = PlaybackMode::kPlaying;
}

void ClockDevice::Stop() {
  if (!open_) return;
  Advance();
  mode_ = PlaybackMode::kStopped;
}

void ClockDevice::Pause() {
  if (mode_ == PlaybackMode::kPlaying) {
    Advance();
    mode_ = PlaybackMode::kPaused;
  } else if (mode_ == PlaybackMode::kPaused) {
    startedAt_ = clock_();
    mode_ = PlaybackMode::kPlaying;
  }
}

void ClockDevice::SetPosition(int32_t ms) {
  if (!open_) return;
  position_ = std::clamp(ms, 0, length_);
  startedAt_ = clock_();
}

int32_t ClockDevice::Position() {
  Advance();
  return position_;
}

PlaybackMode ClockDevice::Mode() {
  Advance();
  return mode_;
}

void ClockDevice::Advance() {
  if (mode_ != PlaybackMode::kPlaying) return;
  const int64_t now = clock_();
  const int64_t reached = static_cast<int64_t>(position_) + (now - startedAt_);
  startedAt_ = now;
  if (reached >= length_) {
    position_ = length_;
    mode_ = PlaybackMode::kStopped;
  } else {
    position_ = static_cast<int32_t>(std::max<int64_t>(reached, 0));
  }
}

}  // namespace sonaveld
